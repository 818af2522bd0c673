#include "app/banners.h"

// Made by tools/make_banners.py from FIGlet's letters; remake them there rather than
// edit them here.
// clang-format off

const std::array<std::string_view, 11> TitleBanner = {
    "MM   MMM",
    "MM dMMP                         MM",
    "MM8MMP     dMMMMb   MM8MMMM   MMMMMMM   dMMMMb   MM8MMMM  MM8M8MMb   dMMMMb    dMMMMb   MM8MMMM",
    "MMMMM     dMMMMMMb  MMMMMMMb  MMMMMMM  dMMMMMMb  MMMMMMM  MMMMMMMM  dMMMMMMb  dMMMMMMb  MMMMMMM",
    "MMMMM     MM6  9MM  MMM  YMM    MM     MM6  9MM  MMMP     MM8MM8MM  MM6  9MM  MM6  9MM  MMMP",
    "MMMMMb    MMMMMMMM  MM    MM    MM     MMMMMMMM  MM       MM MM MM  MMMMMMMM  MMMMMMMM  MM",
    "MMPYMM    MMMMMMMM  MM    MM    MM     MMMMMMMM  MM       MM MM MM  MMMMMMMM  MMMMMMMM  MM",
    "MM  MMb   MM        MM    MM    MM     MM        MM       MM MM MM  MM        MM        MM",
    "MM  YMM   MMMb  dM  MM    MM    MMb    MMMb  dM  MM       MM MM MM  MMMb  dM  MMMb  dM  MM",
    "MM   MMb  YMMMMMMM  MM    MM    MMMMM  YMMMMMMM  MM       MM MM MM  YMMMMMMM  YMMMMMMM  MM",
    "MM   YMM   YMMMMMP  MM    MM    YMMMM   YMMMMMP  MM       MM MM MM   YMMMMMP   YMMMMMP  MM",
};

const std::array<std::string_view, 14> InfoBanner = {
    "******  ***   **  ********   ******",
    " &&&&&& *&&&  *&& *&&&&&&&& **&&&&&&",
    "  SSSSSS*&SSS *&SS*&SSSSSSSS*&&dSSSSb",
    "  *&SS  *&SSSb*&SS*&SS      *&dSS &SSb",
    "  *&SS  *&SSSS*&SS*&SS***   *&SSP *YSS",
    "  *&SS  *&SS%Sb&SS*&SS&&&&  *&SS  *&SS",
    "  *&SS  *&SS&SS&SS*&SSSSSSS *&SS  *&SS",
    "  *&SS  *&SS&SS&SS*&SSSSSSS *&SS **&SS",
    "  *&SS  *&SS*YS%SS*&SS      *&SS *&&SS",
    "***&SS  *&SS &SSSS*&SS       &SSb*&dSS",
    " &&&SS&  &SS  YSSS &SS        YSS&&SSP",
    "  SSSSSS  SS   SSS  SS         YSSSSP",
    "  ~~~_~~~_~~~_~~~_~~~_~~~_~~~_",
    "   `'~~~.`'~~~.`'~~~.`'~~~.`'",
};

const std::array<std::string_view, 14> ChangelogBanner = {
    "  ******  **    **    ****    ***   **    ******  ********   **          ******      ******",
    "***&&&&&& *&&   *&&   *&&&&   *&&&  *&& ***&&&&&& *&&&&&&&&  *&&        **&&&&&&   ***&&&&&&",
    "*&&&dSSSSb*&SS  *&SS  *&dSSb  *&SSS *&SS*&&&dSSSSb*&SSSSSSSS *&SS       *&&dSSSSb  *&&&dSSSSb",
    "*&dSSP  YS*&SS  *&SS **&SSSS  *&SSSb*&SS*&dSSP  YS*&SS       *&SS       *&dSS &SSb *&dSSP  YS",
    "*&SSP     *&SS***&SS *&&SSSS  *&SSSS*&SS*&SSP     *&SS***    *&SS       *&SSP *YSS *&SSP",
    "*&SSP     *&SS&&&&SS *&dSSSSb *&SS%Sb&SS*&SS.***  *&SS&&&&   *&SS       *&SS  *&SS *&SS.***",
    "*&SS      *&SSSSSSSS *&dSPYSb *&SS&SS&SS*&SS*&&&& *&SSSSSSS  *&SS       *&SS  *&SS *&SS*&&&&",
    "*&SS      *&SSSSSSSS**&SS&&SS *&SS&SS&SS*&SS &SSSS*&SSSSSSS  *&SS       *&SS **&SS *&SS &SSSS",
    "*&SSb **  *&SS  *&SS*&&SSSSSS *&SS*YS%SS*&SS. SSSS*&SS       *&SS       *&SS *&&SS *&SS. SSSS",
    " &SSb**&& *&SS  *&SS*&.SSSSSS.*&SS &SSSS &SSb**&SS*&SS****   *&SS****    &SSb*&dSS  &SSb**&SS",
    "  YSSb&&dS &SS   &SS &dSS &SSb &SS  YSSS  YSSb&&SS &SS&&&&&   &SS&&&&&    YSS&&SSP   YSSb&&SS",
    "    YSSSSP  SS    SS  SSP  YSS  SS   SSS    YSSSSP  SSSSSSSS   SSSSSSSS    YSSSSP      YSSSSP",
    "  ~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~~_~~",
    "   `'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'~~~.`'",
};
