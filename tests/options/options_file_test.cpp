#include "options/game_options.h"
#include "options/options_file.h"
#include "options/options_format.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST(OptionsFileFormat, WriterGivesFourLinesWithCrLf) {
    EXPECT_EQ(formatOptions({17, 8, false, true}),
              std::string("\x31\x37\x0D\x0A\x38\x0D\x0A\x30\x0D\x0A\x31\x0D\x0A"));
    EXPECT_EQ(formatOptions({5, 3, true, true}), "5\r\n3\r\n1\r\n1\r\n");
}

TEST(OptionsFileFormat, ReaderTakesWhatTheFileHoldsAndDefaultsTheRest) {
    const std::string nineteen = "0000000000000000005";
    const std::pair<std::string, GameOptions> cases[] = {
        {"", {17, 8, false, false}},
        {"5\r\n3\r\n1\r\n1\r\n", {5, 3, true, true}},
        {"5\n3\n1\n1\n7\n0\n", {5, 3, true, true}}, // LF; lines after the fourth
        {"5\n3\n1\n1", {5, 3, true, true}},         // no line end at the close
        {"1\r\n2\r\n1\r\n", {17, 8, true, false}},  // fewer than four cells
        {"2\r\n2\r\n", {2, 2, false, false}},
        {"18\r\n1\r\n", {17, 1, false, false}},
        {"3\r\n1\r\n", {17, 8, false, false}},
        {"4\r\n4\r\n2\r\n01\r\n", {4, 4, false, true}},
        {" 12abc\r\n-3\r\n+1\r\n1 x\r\n", {12, 8, true, true}},
        {"\xEF\xBB\xBF"
         "5\r\n3\r\n1\r\n1\r\n",
         {17, 3, true, true}},
        {"2147483648\r\n3\r\n4294967297\r\n1\r\n", {17, 3, false, true}},
        {std::string("7\0 9\n3\n", 7), {7, 3, false, false}},
        // A line counts with its first 19 characters.
        {nineteen + "\r\n3\r\n", {5, 3, false, false}},
        {"0" + nineteen + "\n3\n1\n1\n", {17, 3, true, true}},
        {"5" + std::string(40, ' ') + "\r\n3\r\n1\r\n1\r\n", {5, 3, true, true}},
        {std::string(10'000'000, '9'), {17, 8, false, false}},
    };
    for (const auto& [bytes, expected] : cases) {
        GameOptions options;
        std::istringstream in(bytes);
        readOptions(in, options);
        EXPECT_EQ(options, expected) << bytes.substr(0, 40);
    }
}

// The Unix configuration folder; on Windows the file lives in the application-data folder.
#ifndef _WIN32

// Each test points XDG_CONFIG_HOME at a fresh folder and puts the environment back after;
// the user's own configuration is never touched.
class OptionsFile : public ::testing::Test {
  protected:
    OptionsFile() {
        std::string folder = (fs::temp_directory_path() / "kentermeer-options-XXXXXX").string();
        root = ::mkdtemp(folder.data());
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        buildOptionsPaths();
    }
    ~OptionsFile() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("HOME");
        buildOptionsPaths(); // no paths left for a later test to write through
        for (const auto& [name, value] :
             {std::pair{"XDG_CONFIG_HOME", configHome}, std::pair{"HOME", home}}) {
            if (value) {
                setenv(name, value->c_str(), 1);
            }
        }
        fs::remove_all(root);
        gameOptions = GameOptions{};
    }

    static std::optional<std::string> variable(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void write(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void quitWith(GameOptions options) {
        gameOptions = options;
        storeOptionsFile();
    }
    static GameOptions nextStart() {
        gameOptions = GameOptions{};
        buildOptionsPaths();
        loadOptionsFile();
        return gameOptions;
    }

    const std::optional<std::string> configHome = variable("XDG_CONFIG_HOME");
    const std::optional<std::string> home = variable("HOME");
    fs::path root;
    fs::path folder() const { return root / "Kentermeer"; }
    fs::path file() const { return root / "Kentermeer" / "Optionen.cfg"; }
};

TEST_F(OptionsFile, SavedOptionsReplaceTheOldFileWholeAndComeBackAtTheNextStart) {
    write(file(), std::string(100, '7'));
    quitWith({5, 3, true, true});
    EXPECT_EQ(read(file()), "5\r\n3\r\n1\r\n1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), {}), 1); // no temporary file
    EXPECT_EQ(nextStart(), (GameOptions{5, 3, true, true}));
}

TEST_F(OptionsFile, QuittingWithSavingOffRemovesTheFolderButNothingOutsideIt) {
    write(file(), "5\r\n3\r\n1\r\n1\r\n");
    write(folder() / "sub" / "other", "x");
    write(root / "outside" / "keep", "x");
    fs::create_directory_symlink(root / "outside", folder() / "link");
    quitWith({5, 3, true, false});
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_EQ(read(root / "outside" / "keep"), "x");
}

TEST_F(OptionsFile, QuittingWithSavingOffLeavesAFolderWithoutTheFile) {
    write(folder() / "other", "x");
    quitWith({});
    EXPECT_EQ(read(folder() / "other"), "x");
}

TEST_F(OptionsFile, WhatIsNoReadableFileLeavesTheOptionsAndEveryCallReturns) {
    const auto optionsStay = [&](const char* what) {
        gameOptions = {3, 3, true, true};
        loadOptionsFile();
        EXPECT_EQ(gameOptions, (GameOptions{3, 3, true, true})) << what;
    };
    fs::create_directories(file());
    optionsStay("a folder");
    quitWith({}); // not a file to remove either
    EXPECT_TRUE(fs::is_directory(file()));
    fs::remove(file());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    optionsStay("a FIFO without a writer");
    fs::remove(file());
    fs::create_symlink(root / "nowhere", file());
    optionsStay("a dangling link");
    fs::remove(file());
    write(file(), "5\r\n3\r\n1\r\n1\r\n");
    ::chmod(file().c_str(), 0);
    if (::geteuid() != 0) { // root reads it all the same
        optionsStay("a file without read permission");
    }
}

TEST_F(OptionsFile, FailuresToWriteStaySilentAndLeaveNothingBehind) {
    fs::create_directories(file());
    quitWith({5, 3, false, true});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), {}), 1);
    fs::remove_all(folder());
    write(folder(), "a file where the folder should be");
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(folder()), "a file where the folder should be");
}

TEST_F(OptionsFile, WithoutAnAbsoluteXdgConfigHomeTheFolderIsCreatedUnderHomeConfig) {
    for (const char* configHome : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", configHome, 1);
        setenv("HOME", root.c_str(), 1);
        buildOptionsPaths();
        quitWith({4, 1, false, true});
        EXPECT_EQ(read(root / ".config/Kentermeer/Optionen.cfg"), "4\r\n1\r\n0\r\n1\r\n");
        fs::remove_all(root / ".config");
    }
}

TEST_F(OptionsFile, OnlyThePathsFoundAtStartUpAreEverUsed) {
    write(root / "later/Kentermeer/Optionen.cfg", "2\r\n2\r\n0\r\n1\r\n");
    setenv("XDG_CONFIG_HOME", (root / "later").c_str(), 1);
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(file()), "5\r\n3\r\n0\r\n1\r\n");
    quitWith({});
    EXPECT_FALSE(fs::exists(folder()));
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(nextStart(), GameOptions{}); // no folder known: nothing read
    setenv("XDG_CONFIG_HOME", (root / "later").c_str(), 1);
    quitWith({});
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(root / "later/Kentermeer/Optionen.cfg"), "2\r\n2\r\n0\r\n1\r\n");
}

#endif

} // namespace
