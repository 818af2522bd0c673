#include "options/game_options.h"
#include "options/options_file.h"
#include "options/options_format.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#ifndef _WIN32
#include "support/scratch_config_home.h"

#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST(OptionsFileFormat, WriterGivesFourLinesWithCrLf) {
    EXPECT_EQ(formatOptions({17, 8, false, true}),
              std::string("\x31\x37\x0D\x0A\x38\x0D\x0A\x30\x0D\x0A\x31\x0D\x0A"));
}

TEST(OptionsFileFormat, ReaderTakesWhatTheFileHoldsAndDefaultsTheRest) {
    const std::string nineteen = "0000000000000000005";
    const std::pair<std::string, GameOptions> cases[] = {
        {"", {17, 8, false, false}},
        {"5\n3\n1\n1\n7\n0\n", {5, 3, true, true}}, // LF; lines after the fourth
        {"5\n3\n1\n1", {5, 3, true, true}},         // no line end at the close
        {"1\r\n2\r\n1\r\n", {17, 8, true, false}},  // fewer than four cells
        {"2\r\n2\r\n", {2, 2, false, false}},
        {"18\r\n1\r\n", {17, 1, false, false}},
        {"3\r\n1\r\n", {17, 8, false, false}},
        {"4\r\n4\r\n2\r\n01\r\n", {4, 4, false, true}},
        {" 12abc\r\n-3\r\n+1\r\n1 x\r\n", {12, 8, true, true}},
        {"\xEF\xBB\xBF" + std::string("5\r\n3\r\n1\r\n1\r\n"), {17, 3, true, true}},
        {"2147483648\r\n3\r\n4294967297\r\n1\r\n", {17, 3, false, true}},
        {std::string("7\0 9\n3\n", 7), {7, 3, false, false}},
        // A line counts with its first 19 characters.
        {nineteen + "\r\n3\r\n", {5, 3, false, false}},
        {"0" + nineteen + "\n3\n1\n1\n", {17, 3, true, true}},
        // Within the bound a long line is passed over; beyond it the file counts as ended.
        {"3" + std::string(400, ' ') + "\n3\n1\n1\n", {3, 3, true, true}},
        {"3" + std::string(OptionsReadLimit, ' ') + "\n3\n1\n1\n", {3, 8, false, false}},
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

class OptionsFile : public ::testing::Test {
  protected:
    ~OptionsFile() override { gameOptions = GameOptions{}; }

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

    ScratchConfigHome config;
    const fs::path root = config.root;
    const fs::path folder = root / "Kentermeer";
    const fs::path file = folder / "Optionen.cfg";
};

TEST_F(OptionsFile, QuittingStoresTheOptionsOrRemovesTheFolderButNothingOutsideIt) {
    write(file, std::string(100, '7'));
    quitWith({17, 8, false, true});
    EXPECT_EQ(read(file), "17\r\n8\r\n0\r\n1\r\n");                  // the old file replaced whole
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1); // no temporary file
    quitWith({5, 3, true, true});
    EXPECT_EQ(nextStart(), (GameOptions{5, 3, true, true}));

    write(folder / "sub" / "other", "x");
    write(root / "outside" / "keep", "x");
    fs::create_directory_symlink(root / "outside", folder / "link");
    quitWith({5, 3, true, false});
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(read(root / "outside" / "keep"), "x");
    EXPECT_EQ(nextStart(), GameOptions{});

    write(folder / "other", "x"); // a folder without the file stays
    quitWith({});
    EXPECT_EQ(read(folder / "other"), "x");
}

TEST_F(OptionsFile, WhatIsNoReadableFileLeavesTheOptionsAndEveryCallReturns) {
    const auto optionsStay = [&](const char* what) {
        gameOptions = {3, 3, true, true};
        loadOptionsFile();
        EXPECT_EQ(gameOptions, (GameOptions{3, 3, true, true})) << what;
    };
    fs::create_directories(file);
    optionsStay("a folder");
    quitWith({}); // not a file to remove either
    EXPECT_TRUE(fs::is_directory(file));
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    optionsStay("a FIFO without a writer");
    fs::remove(file);
    write(file, "5\r\n3\r\n1\r\n1\r\n");
    ::chmod(file.c_str(), 0);
    if (::geteuid() != 0) { // root reads it all the same
        optionsStay("a file without read permission");
    }
}

TEST_F(OptionsFile, FailuresToWriteStaySilentAndLeaveNothingBehind) {
    fs::create_directories(file);
    quitWith({5, 3, false, true});
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    fs::remove_all(folder);
    write(folder, "a file where the folder should be");
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(folder), "a file where the folder should be");
}

TEST_F(OptionsFile, OnlyThePathsFoundAtStartUpAreUsedAndARelativeConfigHomeMeansHomeConfig) {
    setenv("XDG_CONFIG_HOME", (root / "later").c_str(), 1);
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(file), "5\r\n3\r\n0\r\n1\r\n");
    for (const char* configHome : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", configHome, 1);
        setenv("HOME", root.c_str(), 1);
        buildOptionsPaths();
        quitWith({4, 1, false, true});
        EXPECT_EQ(read(root / ".config/Kentermeer/Optionen.cfg"), "4\r\n1\r\n0\r\n1\r\n");
    }
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(nextStart(), GameOptions{}); // no folder known: nothing read
}

#endif

} // namespace
