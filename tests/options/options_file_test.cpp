#include "console/virtual_console.h"
#include "options/game_options.h"
#include "options/options_file.h"
#include "options/options_format.h"
#include "options/options_menu.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

GameOptions readFrom(const std::string& bytes) {
    GameOptions options;
    std::istringstream in(bytes);
    readOptions(in, options);
    return options;
}

TEST(OptionsFileFormat, DefaultsWithSavingOnAreThirteenBytesWithCrLf) {
    EXPECT_EQ(formatOptions({17, 8, false, true}), "17\r\n8\r\n0\r\n1\r\n");
    EXPECT_EQ(formatOptions({5, 3, true, true}), "5\r\n3\r\n1\r\n1\r\n");
}

TEST(OptionsFileFormat, ReaderTakesWhatTheFileHoldsAndDefaultsTheRest) {
    struct Case {
        std::string bytes;
        GameOptions expected;
    };
    const std::string nineteen = "0000000000000000005";
    const Case cases[] = {
        {"", {17, 8, false, false}},
        {"5\r\n3\r\n1\r\n1\r\n", {5, 3, true, true}},
        {"5\n3\n1\n1", {5, 3, true, true}},         // LF, no line end at the close
        {"5\n3\n1\n1\n7\n0\n", {5, 3, true, true}}, // lines after the fourth
        {"1\r\n2\r\n1\r\n", {17, 8, true, false}},  // fewer than four cells
        {"2\r\n2\r\n", {2, 2, false, false}},
        {"18\r\n1\r\n", {17, 1, false, false}},
        {"3\r\n1\r\n", {17, 8, false, false}},
        {"5\r\n", {5, 8, false, false}},
        {"4\r\n4\r\n2\r\n01\r\n", {4, 4, false, true}},
        {" 12abc\r\n-3\r\n+1\r\n1 x\r\n", {12, 8, true, true}},
        {"\xEF\xBB\xBF"
         "5\r\n3\r\n1\r\n1\r\n",
         {17, 3, true, true}},
        {"2147483648\r\n3\r\n4294967297\r\n1\r\n", {17, 3, false, true}},
        // Lines of 19 characters fit; a longer one counts with its first 19.
        {nineteen + "\r\n3\r\n", {5, 3, false, false}},
        {"0" + nineteen + "\n3\n1\n1\n", {17, 3, true, true}},
        {"5" + std::string(40, ' ') + "\r\n3\r\n1\r\n1\r\n", {5, 3, true, true}},
        {std::string(10'000'000, '9'), {17, 8, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readFrom(c.bytes), c.expected) << c.bytes.substr(0, 40);
    }
    EXPECT_EQ(readFrom(std::string("7\0 9\n3\n", 7)), (GameOptions{7, 3, false, false}));
}

TEST(OptionsFileFormat, AnyBytesGiveABoardTheShipsFitOn) {
    std::mt19937 random(4711);
    const char letters[] = "0123456789\r\n\r\n -+\xEF\x1A\0x";
    const std::string alphabet(letters, sizeof letters - 1);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 40, ' ');
        for (char& byte : bytes) {
            byte = alphabet[random() % alphabet.size()];
        }
        const GameOptions options = readFrom(bytes);
        EXPECT_TRUE(options.columns >= 1 && options.columns <= 17 && options.rows >= 1 &&
                    options.rows <= 8 && options.columns * options.rows >= 4)
            << bytes;
    }
}

// Every test here points XDG_CONFIG_HOME at a fresh folder and puts the environment back
// afterwards; the real user's configuration is never looked at.
class OptionsFile : public ::testing::Test {
  protected:
    OptionsFile() {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            savedEnvironment.emplace_back(name,
                                          value ? std::optional<std::string>(value) : std::nullopt);
        }
        std::string folder = (fs::temp_directory_path() / "kentermeer-options-XXXXXX").string();
        root = ::mkdtemp(folder.data());
        ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        gameOptions = GameOptions{};
        buildOptionsPaths();
    }

    ~OptionsFile() override {
        // No paths stay behind for a later test to write through.
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("HOME");
        buildOptionsPaths();
        for (const auto& [name, value] : savedEnvironment) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            }
        }
        fs::remove_all(root);
        gameOptions = GameOptions{};
    }

    static void write(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static std::vector<std::string> namesIn(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    void quitWith(GameOptions options) {
        gameOptions = options;
        storeOptionsFile();
    }

    GameOptions nextStart() {
        gameOptions = GameOptions{};
        buildOptionsPaths();
        loadOptionsFile();
        return gameOptions;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
    fs::path root;
    fs::path folder() const { return root / "Kentermeer"; }
    fs::path file() const { return root / "Kentermeer" / "Optionen.cfg"; }
};

TEST_F(OptionsFile, SavedOptionsAreTheNextStartsOptions) {
    quitWith({17, 8, false, true});
    EXPECT_EQ(read(file()), std::string("\x31\x37\x0D\x0A\x38\x0D\x0A\x30\x0D\x0A\x31\x0D\x0A"));
    write(file(), std::string(100, '7')); // replaced whole, not overwritten in place
    quitWith({5, 3, true, true});
    EXPECT_EQ(read(file()), "5\r\n3\r\n1\r\n1\r\n");
    EXPECT_EQ(namesIn(folder()), std::vector<std::string>{"Optionen.cfg"});
    EXPECT_EQ(nextStart(), (GameOptions{5, 3, true, true}));
}

TEST_F(OptionsFile, SavingCreatesMissingConfigurationFolders) {
    ::setenv("XDG_CONFIG_HOME", (root / "fresh" / "config").c_str(), 1);
    buildOptionsPaths();
    quitWith({2, 2, false, true});
    EXPECT_EQ(read(root / "fresh/config/Kentermeer/Optionen.cfg"), "2\r\n2\r\n0\r\n1\r\n");
}

TEST_F(OptionsFile, QuittingWithSavingOffRemovesTheFolderButNothingOutsideIt) {
    write(file(), "5\r\n3\r\n1\r\n1\r\n");
    write(folder() / "sub" / "other", "x");
    write(root / "outside" / "keep", "x");
    fs::create_directory_symlink(root / "outside", folder() / "link");
    EXPECT_EQ(nextStart(), (GameOptions{5, 3, true, true}));
    quitWith({5, 3, true, false});
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_EQ(read(root / "outside" / "keep"), "x");
    EXPECT_EQ(nextStart(), GameOptions{});
}

TEST_F(OptionsFile, QuittingWithSavingOffLeavesAFolderWithoutTheFile) {
    write(folder() / "other", "x");
    fs::create_directory(folder() / "Optionen.cfg"); // not a file either
    quitWith({});
    EXPECT_EQ(namesIn(folder()), (std::vector<std::string>{"Optionen.cfg", "other"}));
}

TEST_F(OptionsFile, WhatIsNoReadableFileGivesTheDefaultsAndEveryCallReturns) {
    const auto startsWithDefaults = [&](const char* what) {
        gameOptions = {3, 3, true, true};
        loadOptionsFile();
        EXPECT_EQ(gameOptions, (GameOptions{3, 3, true, true})) << what;
    };
    fs::create_directories(file());
    startsWithDefaults("a folder");
    fs::remove(file());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    startsWithDefaults("a FIFO without a writer");
    fs::remove(file());
    fs::create_symlink(root / "nowhere", file());
    startsWithDefaults("a dangling link");
    fs::remove(file());
    write(file(), "5\r\n3\r\n1\r\n1\r\n");
    ::chmod(file().c_str(), 0);
    if (::geteuid() != 0) { // root reads it anyway
        startsWithDefaults("a file without read permission");
    }
}

TEST_F(OptionsFile, FailuresToWriteStaySilentAndLeaveNoTemporaryFile) {
    fs::create_directories(file());
    quitWith({5, 3, false, true});
    EXPECT_EQ(namesIn(folder()), std::vector<std::string>{"Optionen.cfg"});
    EXPECT_TRUE(fs::is_directory(file()));
    fs::remove_all(folder());
    write(folder(), "a file where the folder should be");
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(folder()), "a file where the folder should be");
}

TEST_F(OptionsFile, WithoutXdgConfigHomeTheFolderIsUnderHomeConfig) {
    for (const char* configHome : {"", "relative/config"}) {
        ::setenv("XDG_CONFIG_HOME", configHome, 1);
        ::setenv("HOME", root.c_str(), 1);
        buildOptionsPaths();
        quitWith({4, 1, false, true});
        EXPECT_EQ(read(root / ".config/Kentermeer/Optionen.cfg"), "4\r\n1\r\n0\r\n1\r\n");
        fs::remove_all(root / ".config");
    }
}

TEST_F(OptionsFile, ThePathsFoundAtStartUpStayForTheRun) {
    const fs::path elsewhere = root / "elsewhere";
    write(elsewhere / "Kentermeer" / "Optionen.cfg", "2\r\n2\r\n0\r\n1\r\n");
    ::setenv("XDG_CONFIG_HOME", elsewhere.c_str(), 1);
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(file()), "5\r\n3\r\n0\r\n1\r\n");
    quitWith({5, 3, false, false});
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_EQ(read(elsewhere / "Kentermeer" / "Optionen.cfg"), "2\r\n2\r\n0\r\n1\r\n");
}

TEST_F(OptionsFile, WithNoConfigurationFolderKnownNothingIsReadOrWritten) {
    write(file(), "5\r\n3\r\n1\r\n1\r\n");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(nextStart(), GameOptions{});
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    quitWith({2, 2, false, true});
    quitWith({2, 2, false, false});
    EXPECT_EQ(read(file()), "5\r\n3\r\n1\r\n1\r\n");
}

TEST_F(OptionsFile, TheMenuChangesOnlyTheRecord) {
    VirtualConsole console;
    console.type(keys::Down);
    console.type(keys::Enter);
    console.type(keys::Down);
    console.type(keys::Enter);
    console.pressEscape();
    runOptionsMenu();
    EXPECT_TRUE(gameOptions.saveOptions);
    EXPECT_TRUE(namesIn(root).empty());
}

} // namespace
