#include "console/cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252Literals, UmlautsBecomeSingleWindows1252Bytes) {
    EXPECT_EQ("Hauptmenü"_cp, std::string_view("Hauptmen\xFC"));
    EXPECT_EQ("äöüß°Û"_cp, std::string_view("\xE4\xF6\xFC\xDF\xB0\xDB"));
    EXPECT_EQ("€"_cp, std::string_view("\x80"));
    EXPECT_EQ(""_cp.size(), 0u);
}
