#include "options/game_options.h"
#include "options/options_file.h"
#include "options/options_format.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <sstream>
#include <tuple>
#ifndef _WIN32
#include "support/scratch_config_home.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#else
#include <shlobj.h>
#include <windows.h>
#endif

namespace {

// Every file is read over settings that are not the defaults, so that what it leaves alone
// shows. That any bytes give playable settings, and written ones read back, is the fuzz
// target's part.
TEST(OptionsFileFormat, ReaderTakesEachLineAsItsFieldAndLeavesMissingLinesAlone) {
    const std::string zeros(18, '0');
    const std::pair<std::string, GameOptions> cases[] = {
        {"", {17, 3, true, true}},                  // an empty read counts as a line
        {"18\n1\n0\n1\n0\n", {17, 1, false, true}}, // LF; the fifth line is not read
        {"3\r\n1", {17, 8, true, true}},            // 3 cells; no line end at the close
        {"1\r\n4\r\n01\r\n2\r\n", {1, 4, true, false}},
        {" 12abc\r\n+9\r\n4294967297\r\n", {12, 8, false, false}}, // strtol held to 32 bits
        {zeros + "5\n0" + zeros + "2\n", {5, 8, false, true}},     // 19 characters count
    };
    for (const auto& [bytes, expected] : cases) {
        GameOptions options{3, 3, true, true};
        std::istringstream in(bytes);
        readOptions(in, options);
        EXPECT_EQ(options, expected) << bytes;
    }
}

namespace fs = std::filesystem;

// The file's bytes, of a huge file only the beginning.
std::string read(const fs::path& path) {
    std::string bytes(std::min<std::uintmax_t>(fs::file_size(path), 100), '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
    return bytes;
}

// The Unix configuration folder; on Windows the file lives in the application-data folder.
#ifndef _WIN32

// Every path below top, sorted, with its mode and a file's bytes, or a link's target.
std::string tree(const fs::path& top) {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        const fs::file_status status = entry.symlink_status();
        char mode[8];
        std::snprintf(mode, sizeof mode, "%o", unsigned(status.permissions()));
        const std::string what = fs::is_symlink(status) ? "-> " + fs::read_symlink(entry).string()
                                 : fs::is_regular_file(status)
                                     ? std::string(mode) + " " + read(entry.path())
                                     : mode;
        found.insert(entry.path().lexically_relative(top).string() + " " + what + "|");
    }
    return std::accumulate(found.begin(), found.end(), std::string());
}

// A shell command's exit code, with $f the options file's name, kept F that F holds 5, and
// saved F that F holds what the program saves.
int shell(const std::string& command) {
    return std::system(("f=Optionen.cfg; kept() { [ \"$(cat $1)\" = 5 ]; }; saved() { printf "
                        "'4\\r\\n4\\r\\n0\\r\\n1\\r\\n' | cmp -s - $1; }; " +
                        command)
                           .c_str());
}

// Lays out the scratch configuration folder with a shell command run in the options folder,
// which is there, with a mask that neither 0600 nor 0644 would follow. Root may read and write
// any file, so unless the case is root's the folder is given to the user nobody.
void layOut(const std::string& root, const std::string& layout, bool asRoot = false) {
    const std::string nobody = " && { [ $(id -u) != 0 ] || chown -Rh 65534:65534 " + root + "; }";
    ASSERT_EQ(shell("umask 027 && cd " + root + " && rm -rf * && mkdir Kentermeer && cd " +
                    "Kentermeer && " + layout + (asRoot ? "" : nobody)),
              0)
        << layout;
}

// Loads the options over others and quits, as nobody where layOut gave them the folder; gives
// the columns loaded.
int loadAndQuit(bool save, bool asRoot = false, rlim_t disk = RLIM_INFINITY) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{disk, disk};
        if (!asRoot && ::geteuid() == 0 && (::setgid(65534) | ::setuid(65534))) {
            std::_Exit(255);
        }
        ::umask(027);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        gameOptions = {3, 3, true, true};
        errno = EINTR; // as an interrupted call may leave it: only a failure sets it anew
        loadOptionsFile();
        const int loaded = gameOptions.columns;
        gameOptions = {4, 4, false, save};
        storeOptionsFile();
        std::_Exit(loaded);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WEXITSTATUS(status);
}

// What is left after the quit is as the case says or as it was.
TEST(OptionsFile, LoadingAndQuittingTouchOnlyTheOptionsFileAndItsFolderAndOnlyAsTheyMay) {
    const ScratchConfigHome config;
    const std::string root = config.root.string(), unchanged = "unchanged";
    const std::string bytes = " 4\r\n4\r\n0\r\n1\r\n|";
    const auto saved = [&](const std::string& at, const std::string& mode) {
        return at + "Kentermeer 750|" + at + "Kentermeer/Optionen.cfg " + mode + bytes;
    };
    struct Case {
        std::string layout;
        bool save;
        std::string after;
        int columns = 3; // as loaded over 3
        std::string configHome = {};
        rlim_t disk = RLIM_INFINITY; // the largest file the program may write
    };
    const Case cases[] = {
        // Replaced whole, keeping its mode; a killed save's leftover is cleared.
        {"printf 5 >Optionen.cfg && chmod 604 * && touch Optionen.cfg.kentermeer-1-0", true,
         saved("", "604"), 5},
        // Read no further than the reader's bound, at once.
        {"printf 5 >Optionen.cfg && truncate -s 4G Optionen.cfg", true, saved("", "640"), 5},
        // Saved where the links lead, a relative one from its own folder; the links stay.
        {"mkdir ../k && ln -s ../k/next Optionen.cfg && ln -s ${PWD%/*}/k/p ../k/next && "
         "ln -s o ../k/p",
         true,
         "Kentermeer 750|Kentermeer/Optionen.cfg -> ../k/next|k 750|k/next -> " + root +
             "/k/p|k/o 640" + bytes + "k/p -> o|"},
        // What cannot be read is not read; what may not be replaced stays as it is.
        {"mkdir Optionen.cfg", true, unchanged},
        {"echo 5 >Optionen.cfg && chmod 0 Optionen.cfg", true, unchanged},
        {"ln -s Optionen.cfg Optionen.cfg", true, unchanged},
        // A disk that fills up during the save leaves the old file.
        {"echo 7 >Optionen.cfg", true, unchanged, 7, "", 4},
        // Removed, a link as a link, and the folder when nothing of the user's is left in it.
        {"mkdir sub ../k && touch sub/x ../k/x && echo 3 >Optionen.cfg && ln -s ../k link", false,
         "Kentermeer 750|Kentermeer/link -> ../k|Kentermeer/sub 750|Kentermeer/sub/x 640 |"
         "k 750|k/x 640 |"},
        {"mkdir ../k && echo 3 >../k/x && ln -s ../k/x Optionen.cfg", false, "k 750|k/x 640 3\n|"},
        // A folder that is itself a link stays.
        {"cd .. && rmdir Kentermeer && mkdir k && ln -s k Kentermeer && echo 3 >k/Optionen.cfg",
         false, "Kentermeer -> k|k 750|"},
        // Without the file, no folder is removed.
        {"touch x", false, unchanged},
        // A relative configuration folder means ~/.config. Folders are made in a home that is
        // there, never a missing home nor a missing configuration folder outside the home.
        {"rmdir $PWD && mkdir ../home", true,
         "home 750|home/.config 750|" + saved("home/.config/", "640"), 3, "relative"},
        {"rmdir $PWD", true, unchanged, 3, "relative"},
        {"rmdir $PWD && mkdir ../home", true, unchanged, 3, root + "/home-unmounted/config"},
    };
    for (const auto& [layout, save, after, columns, configHome, disk] : cases) {
        layOut(root, layout);
        setenv("XDG_CONFIG_HOME", configHome.empty() ? root.c_str() : configHome.c_str(), 1);
        setenv("HOME", (root + "/home").c_str(), 1);
        buildOptionsPaths();
        const std::string before = after == unchanged ? tree(root) : after;
        EXPECT_EQ(loadAndQuit(save, false, disk), columns) << layout;
        EXPECT_EQ(tree(root), before) << layout;
    }
}

// Each case lays out the options folder, which holds $f with 5, quits as root or as nobody,
// and checks what is left with a shell command run in the folder. ../secret, which holds 5, is
// a file of root's.
TEST(OptionsFile, QuittingKeepsWhatTheUserArrangedAndWritesOnlyThroughTheirOwnLinks) {
    const ScratchConfigHome config;
    const std::string root = config.root.string();
    const std::tuple<std::string, bool, bool, std::string> cases[] = {
        // Root writes nothing through another user's link, follows its own, and leaves a file
        // with no write bit alone. A name planted in another user's folder is replaced.
        {"ln -sf ../secret $f && chown -h 65534 . $f", true, true, "kept ../secret && [ -L $f ]"},
        {"ln -sf ../secret $f", true, true, "saved ../secret"},
        {"chmod 444 $f", true, true, "kept $f"},
        {"ln -f ../secret $f && chown 65534 .", true, true, "kept ../secret && saved $f"},
        // Written in place where no temporary can be made, and where a new file would lose the
        // old one's other names, its access control list (whose mask never becomes group bits)
        // or its attributes.
        {"chmod 555 .", false, true, "saved $f && [ \"$(ls -A)\" = $f ]"},
        {"ln $f ../other", false, true, "saved ../other"},
        {"chmod 600 $f && setfacl -m u:65533:rw $f", false, true,
         "saved $f && getfacl -c $f | grep -x user:65533:rw- && getfacl -c $f | grep -x "
         "group::---"},
        {"setfattr -n user.from -v x $f", false, true, "saved $f && getfattr -n user.from $f"},
        // Removing takes only the options file and the leftovers of killed saves: the folder
        // stays with the user's own files.
        {"touch notes $f.kentermeer-1-0", false, false, "[ \"$(ls -A)\" = notes ]"},
    };
    for (const auto& [layout, asRoot, save, check] : cases) {
        if (asRoot && ::geteuid() != 0) {
            continue; // only root can play both users
        }
        layOut(root, "echo 5 >../secret && echo 5 >$f && " + layout, asRoot);
        EXPECT_EQ(loadAndQuit(save, asRoot), 5) << layout;
        EXPECT_EQ(shell("cd " + root + "/Kentermeer && { " + check + "; } >/dev/null"), 0)
            << layout;
    }
    gameOptions = {};
}

// A save killed at any moment leaves the old file or the new one. A signal that can wait
// leaves nothing else; SIGKILL, in the moment between making the new file and renaming it,
// may leave that file beside the old one, and the next save clears it away.
TEST(OptionsFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    const ScratchConfigHome config;
    const GameOptions saved[] = {{5, 3, false, true}, {4, 4, true, true}};
    for (int kill = 0; kill < 50; ++kill) {
        gameOptions = saved[0];
        storeOptionsFile();
        const pid_t saver = ::fork();
        if (saver == 0) {
            for (int save = 0;; ++save) {
                gameOptions = saved[save % 2];
                storeOptionsFile();
            }
        }
        ::usleep(kill * 60);
        ::kill(saver, kill % 2 == 0 ? SIGTERM : SIGKILL);
        ::waitpid(saver, nullptr, 0);
        for (const auto& entry : fs::directory_iterator(config.root / "Kentermeer")) {
            const std::string bytes = read(entry.path());
            EXPECT_TRUE(entry.path().filename() == "Optionen.cfg" || kill % 2 == 1) << entry.path();
            EXPECT_TRUE(entry.path().filename() != "Optionen.cfg" ||
                        bytes == formatOptions(saved[0]) || bytes == formatOptions(saved[1]));
        }
    }
    gameOptions = {};
}

#endif

#ifdef _WIN32

// The options folder is the user's own, in the application-data folder: one that is there is
// put aside for the test and back after it. Each case quits over files that hold 5.
TEST(OptionsFileOnWindows, QuittingKeepsAReadOnlyFileAndTheUsersOwnFiles) {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
    const fs::path folder = fs::path(appData) / "Kentermeer", file = folder / "Optionen.cfg";
    const fs::path aside = fs::path(appData) / "Kentermeer.aside";
    std::error_code error;
    fs::rename(folder, aside, error);
    buildOptionsPaths();
    const std::string leftover = "Optionen.cfg.kentermeer-1-0";
    const std::tuple<std::set<std::string>, bool, bool, std::string> cases[] = {
        // A read-only file stays as it is; another is replaced, and a killed save's leftover
        // goes.
        {{"Optionen.cfg"}, true, true, "Optionen.cfg 5|"},
        {{"Optionen.cfg", leftover}, false, true, "Optionen.cfg 4\r\n4\r\n0\r\n1\r\n|"},
        // Removing takes the file, read-only or not, and leftovers, then the folder if empty.
        {{"Optionen.cfg", leftover, "Notizen.txt"}, true, false, "Notizen.txt 5|"},
        {{"Optionen.cfg", leftover}, false, false, "gone"},
    };
    for (const auto& [files, readOnly, save, after] : cases) {
        fs::remove_all(folder, error);
        fs::create_directory(folder, error);
        for (const std::string& name : files) {
            std::ofstream(folder / name, std::ios::binary) << "5";
        }
        SetFileAttributesW(file.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : 0);
        gameOptions = {4, 4, false, save};
        storeOptionsFile();
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::set<std::string> found{fs::exists(folder) ? "" : "gone"};
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            found.insert(entry.path().filename().string() + " " + read(entry.path()) + "|");
        }
        EXPECT_EQ(std::accumulate(found.begin(), found.end(), std::string()), after);
    }
    fs::remove_all(folder, error);
    fs::rename(aside, folder, error);
    gameOptions = {};
}

#endif

} // namespace
