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

#include <csignal>
#include <functional>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
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
    static fs::perms mode(const fs::path& path) { return fs::symlink_status(path).permissions(); }
    // Every path below a folder with what it is: a link's target, a file's bytes.
    static std::map<fs::path, std::string> tree(const fs::path& top) {
        std::map<fs::path, std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(top)) {
            const fs::file_type type = entry.symlink_status().type();
            found[entry.path()] = type == fs::file_type::symlink ? fs::read_symlink(entry).string()
                                  : type == fs::file_type::regular ? read(entry)
                                                                   : std::to_string(int(type));
        }
        return found;
    }
    // Root may read and write any file, so what permissions forbid is tried as the user nobody
    // there, in a child process (inside EXPECT_EXIT), with the scratch folder handed to nobody.
    void becomeOrdinaryUser() const {
        constexpr uid_t Nobody = 65534;
        if (::geteuid() == 0) {
            for (const auto& [path, what] : tree(root)) {
                ::lchown(path.c_str(), Nobody, Nobody);
            }
            if (::chown(root.c_str(), Nobody, Nobody) | ::setgid(Nobody) | ::setuid(Nobody)) {
                std::_Exit(2);
            }
        }
    }

    ScratchConfigHome config;
    const fs::path root = config.root;
    const fs::path folder = root / "Kentermeer";
    const fs::path file = folder / "Optionen.cfg";
};

TEST_F(OptionsFile, QuittingStoresTheOptionsOrRemovesTheFolderButNothingOutsideIt) {
    write(file, std::string(100, '7'));
    quitWith({17, 8, false, true});
    EXPECT_EQ(read(file), "17\r\n8\r\n0\r\n1\r\n"); // the old file replaced whole
    EXPECT_EQ(tree(folder).size(), 1U);             // no temporary file
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

TEST_F(OptionsFile, LoadingReturnsAtOnceWhateverStandsInTheFilesPlace) {
    const std::pair<std::function<void()>, GameOptions> cases[] = {
        {[&] { fs::create_directories(file); }, {3, 3, true, true}},
        {[&] { ::mkfifo(file.c_str(), 0600); }, {3, 3, true, true}}, // no writer
        {[&] { fs::create_symlink("/dev/zero", file); }, {3, 3, true, true}},
        {[&] { fs::create_symlink("/proc/self/pagemap", file); }, {17, 3, true, true}},
        {[&] { write(file, "5"), fs::resize_file(file, 1ULL << 32); }, {5, 3, true, true}},
    };
    for (const auto& [arrange, expected] : cases) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        arrange();
        gameOptions = {3, 3, true, true};
        loadOptionsFile();
        EXPECT_EQ(gameOptions, expected) << &arrange - &cases[0].first;
        if (expected == GameOptions{3, 3, true, true}) {
            quitWith({}); // what is no readable file is not removed either
            EXPECT_TRUE(fs::exists(fs::symlink_status(file)));
        }
    }
    write(file, "5\r\n3\r\n1\r\n1\r\n");
    ::chmod(file.c_str(), 0);
    gameOptions = {3, 3, true, true};
    EXPECT_EXIT((becomeOrdinaryUser(), loadOptionsFile(), std::_Exit(gameOptions.columns)),
                ::testing::ExitedWithCode(3), "")
        << "a file without read permission";
}

TEST_F(OptionsFile, WhatCannotBeWrittenStaysAsItIsAndNothingIsLeftBeside) {
    const std::function<void()> arrangements[] = {
        [&] { fs::create_directories(file); },
        [&] { write(folder, "a file where the folder should be"); },
        [&] { write(file, "5\r\n3\r\n1\r\n1\r\n"), fs::permissions(file, fs::perms::owner_read); },
        [&] { fs::create_directories(folder), ::mkfifo(file.c_str(), 0600); },
        [&] { fs::create_directories(folder), fs::create_symlink("Optionen.cfg", file); },
    };
    for (const auto& arrange : arrangements) {
        fs::remove_all(folder);
        arrange();
        const auto before = tree(root);
        EXPECT_EXIT((becomeOrdinaryUser(), quitWith({4, 4, false, true}), std::_Exit(0)),
                    ::testing::ExitedWithCode(0), "");
        EXPECT_EQ(tree(root), before) << &arrange - arrangements;
    }
}

TEST_F(OptionsFile, ASaveGoesThroughLinksWhichStayLinks) {
    const fs::path kept = root / "dotfiles" / "deeper" / "kentermeer.cfg";
    fs::create_directories(kept.parent_path());
    fs::create_directories(folder);
    fs::create_symlink("../dotfiles/next", file); // relative, from the link's own folder
    fs::create_symlink("deeper/kentermeer.cfg", root / "dotfiles" / "next");
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(kept), "5\r\n3\r\n0\r\n1\r\n");
    EXPECT_EQ(fs::read_symlink(file), "../dotfiles/next");

    fs::remove(file);
    fs::create_symlink(kept, file);
    fs::permissions(kept, fs::perms(0640));
    quitWith({4, 4, true, true});
    EXPECT_EQ(read(kept), "4\r\n4\r\n1\r\n1\r\n");
    EXPECT_EQ(mode(kept), fs::perms(0640));
    EXPECT_EQ(tree(kept.parent_path()).size(), 1U);
    EXPECT_TRUE(fs::is_symlink(file));

    quitWith({4, 4, true, false}); // the link goes with the folder; the file it names stays
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
    EXPECT_EQ(read(kept), "4\r\n4\r\n1\r\n1\r\n");
}

// A save killed at any moment leaves the old file or the new one. A signal that can wait
// leaves nothing else; SIGKILL, in the moment between naming the new file and renaming it,
// may leave that file whole beside the old one, and the next save clears it away.
TEST_F(OptionsFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileAndNoDebris) {
    const GameOptions saved[] = {{5, 3, false, true}, {4, 4, true, true}};
    quitWith(saved[0]);
    std::minstd_rand random(::getpid());
    for (int kill = 0; kill < 50; ++kill) {
        const int signal = kill % 2 == 0 ? SIGTERM : SIGKILL;
        const pid_t saver = ::fork();
        for (int save = 0; saver == 0; ++save) {
            quitWith(saved[save % 2]);
        }
        ::usleep(random() % 3000);
        ::kill(saver, signal);
        ::waitpid(saver, nullptr, 0);
        for (const auto& [path, bytes] : tree(folder)) {
            const bool debris = path.filename().string().starts_with("Optionen.cfg.kentermeer-");
            EXPECT_TRUE(path == file || (debris && signal == SIGKILL)) << path;
            EXPECT_TRUE(bytes == formatOptions(saved[0]) || bytes == formatOptions(saved[1]));
        }
    }
    quitWith(saved[0]);
    EXPECT_EQ(tree(folder).size(), 1U);
}

TEST_F(OptionsFile, OnlyThePathsFoundAtStartUpAreUsedAndFoldersAreMadeOnlyBelowOnesThatAreThere) {
    setenv("XDG_CONFIG_HOME", (root / "later").c_str(), 1);
    quitWith({5, 3, false, true});
    EXPECT_EQ(read(file), "5\r\n3\r\n0\r\n1\r\n");
    // A relative configuration folder means ~/.config. Folders are made, with the umask, in a
    // home that is there; a missing home never is, nor a configuration folder outside it.
    const fs::path home = root / "home";
    fs::create_directory(home);
    const std::tuple<fs::path, fs::path, mode_t, fs::path, bool> cases[] = {
        {"relative/config", home, 022, home / ".config", true},
        {home / "etc/config", home, 077, home / "etc/config", true},
        {root / "home-unmounted/config", home, 022, root / "home-unmounted/config", false},
        {"", root / "missing", 022, root / "missing/.config", false},
    };
    for (const auto& [configHome, homeFolder, mask, configFolder, made] : cases) {
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        setenv("HOME", homeFolder.c_str(), 1);
        buildOptionsPaths();
        const mode_t before = ::umask(mask);
        quitWith({4, 1, false, true});
        ::umask(before);
        EXPECT_EQ(fs::exists(configFolder), made) << configFolder;
        if (made) {
            EXPECT_EQ(read(configFolder / "Kentermeer/Optionen.cfg"), "4\r\n1\r\n0\r\n1\r\n");
            EXPECT_EQ(mode(configFolder / "Kentermeer/Optionen.cfg"), fs::perms(0666 & ~mask));
            EXPECT_EQ(mode(configFolder / "Kentermeer"), fs::perms(0777 & ~mask));
            EXPECT_EQ(mode(configFolder), fs::perms(0777 & ~mask));
        }
    }
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    EXPECT_EQ(nextStart(), GameOptions{}); // no folder known: nothing read
}

#endif

} // namespace
