#include "options/options_banner.h"

// Made by tools/make_banners.py from FIGlet's letters; remake them there rather than
// edit them here.
// clang-format off

const std::array<std::string_view, 14> OptionsBanner = {
    " ******     *******     ********    ******     ******     ***   **    ********    ***   **",
    "**&&&&&&    *&&&&&&&     &&&&&&&&    &&&&&&   **&&&&&&    *&&&  *&&   *&&&&&&&&   *&&&  *&&",
    "*&&dSSSSb   *&SSSSSSb     SSSSSSSS    SSSSSS  *&&dSSSSb   *&SSS *&SS  *&SSSSSSSS  *&SSS *&SS",
    "*&dSS &SSb  *&SS **YSS     *&SS       *&SS    *&dSS &SSb  *&SSSb*&SS  *&SS        *&SSSb*&SS",
    "*&SSP *YSS  *&SS**&&SS     *&SS       *&SS    *&SSP *YSS  *&SSSS*&SS  *&SS***     *&SSSS*&SS",
    "*&SS  *&SS  *&SS&&&dSS     *&SS       *&SS    *&SS  *&SS  *&SS%Sb&SS  *&SS&&&&    *&SS%Sb&SS",
    "*&SS  *&SS  *&SSSSSSSP     *&SS       *&SS    *&SS  *&SS  *&SS&SS&SS  *&SSSSSSS   *&SS&SS&SS",
    "*&SS **&SS  *&SSSSSSP      *&SS       *&SS    *&SS **&SS  *&SS&SS&SS  *&SSSSSSS   *&SS&SS&SS",
    "*&SS *&&SS  *&SS           *&SS       *&SS    *&SS *&&SS  *&SS*YS%SS  *&SS        *&SS*YS%SS",
    " &SSb*&dSS  *&SS           *&SS     ***&SS     &SSb*&dSS  *&SS &SSSS  *&SS****    *&SS &SSSS",
    "  YSS&&SSP   &SS            &SS      &&&SS&     YSS&&SSP   &SS  YSSS   &SS&&&&&    &SS  YSSS",
    "   YSSSSP     SS             SS       SSSSSS     YSSSSP     SS   SSS    SSSSSSSS    SS   SSS",
    "  ~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~",
    "   `'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'",
};
