// The options file on Unix; options_file_windows.cpp is the Windows variant.
#include "options/options_file.h"

#include "options/game_options.h"
#include "options/options_format.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <istream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Found once at start-up; empty when no configuration folder is known. The home folder is
// kept for deciding which folders may be made.
std::string optionsHomePath;
std::string optionsConfigPath;
std::string optionsFolderPath;
std::string optionsFilePath;

// A save's temporary file is named after the file it replaces with this mark, so that one left
// by a killed save is known for ours and removed by the next save.
constexpr const char* TemporaryMark = ".kentermeer-";

// A chain of links in the file's place is followed no further than the system would go.
constexpr int LinkDepthLimit = 40;

// Relative values are ignored, as the XDG rules ask: they would name a different folder for
// every working directory.
void findConfigurationFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    optionsHomePath = home != nullptr && home[0] == '/' ? home : "";
    if (configHome != nullptr && configHome[0] == '/') {
        optionsConfigPath = configHome;
    } else {
        optionsConfigPath = optionsHomePath.empty() ? "" : optionsHomePath + "/.config";
    }
    optionsFolderPath = optionsConfigPath.empty() ? "" : optionsConfigPath + "/Kentermeer";
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An open descriptor when path is a regular file that can be read, else -1. Nothing else is
// opened at all, as opening a device may do something; O_NONBLOCK keeps a FIFO put in the
// file's place after the test from blocking the open.
int openRegularFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Hands the bytes of an open file to the line reader, which takes no more than it needs.
class FileReadBuffer : public std::streambuf {
  public:
    explicit FileReadBuffer(int fd) : fd_(fd) {}

  protected:
    int_type underflow() override {
        ssize_t count = 0;
        do {
            count = ::read(fd_, buffer_, sizeof buffer_);
        } while (count < 0 && errno == EINTR);
        if (count <= 0) {
            return traits_type::eof();
        }
        setg(buffer_, buffer_, buffer_ + count);
        return traits_type::to_int_type(buffer_[0]);
    }

  private:
    int fd_;
    char buffer_[OptionsReadLimit];
};

// Creates the options folder, and the configuration folder above it where that is missing, with
// the modes the user's umask gives. Folders are made only below one that is there: the
// configuration folder, or the home folder that holds it (a fresh account has no ~/.config
// yet). A missing home is never made, nor a missing configuration folder outside the home, as
// one on a disk that is not mounted.
void createOptionsFolder() {
    const std::string& home = optionsHomePath;
    const bool belowHome = !home.empty() && optionsConfigPath.starts_with(home) &&
                           optionsConfigPath.size() > home.size() &&
                           (home.back() == '/' || optionsConfigPath[home.size()] == '/');
    const std::string& base =
        belowHome && !isDirectory(optionsConfigPath) ? home : optionsConfigPath;
    if (!isDirectory(base)) {
        return;
    }
    std::size_t slash = base.size();
    while (slash != std::string::npos) {
        slash = optionsFolderPath.find('/', slash + 1);
        ::mkdir(optionsFolderPath.substr(0, slash).c_str(), 0777);
    }
}

// Where the options file really lives. A link in its place, as a dotfiles manager makes it, is
// followed, a relative one from its own folder, so that the file is saved where the link
// points and the link stays a link. Empty after too many links in a row, as in a loop.
std::string resolveLinks(std::string path) {
    for (int depth = 0; depth < LinkDepthLimit; ++depth) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0) {
            return path;
        }
        if (length == 0 || static_cast<std::size_t>(length) == sizeof target) {
            return {};
        }
        const std::string next(target, static_cast<std::size_t>(length));
        path = next[0] == '/' ? next : folderOf(path).append("/").append(next);
    }
    return {};
}

// Whether a save may put a new file in the place of path, and the file it replaces, if any.
// Only a regular file that can be opened for writing is replaced (the test opens it without
// emptying it): a file the user made read-only stays as it is.
bool mayReplace(const std::string& path, std::optional<struct stat>& replaced) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool known = ::fstat(fd, &info) == 0;
    ::close(fd);
    replaced = info;
    return known;
}

// A fresh name for a temporary file beside target: the process and a count tell the program's
// own apart, and the exclusive creation that uses the name makes sure.
std::string temporaryName(const std::string& target) {
    static unsigned count = 0;
    return target + TemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(count++);
}

// Temporary files of earlier saves that were killed before they were done.
void removeStaleTemporaries(const std::string& target) {
    const std::string prefix = target.substr(target.rfind('/') + 1) + TemporaryMark;
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (std::string_view(entry->d_name).starts_with(prefix)) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

// A new file beside target, unnamed (temporary left empty) where the file system allows.
int createTemporary(const std::string& target, bool unnamed, std::string& temporary) {
    temporary.clear();
    if (unnamed) {
#ifdef O_TMPFILE
        return ::open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
        return -1;
#endif
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryName(target);
        const int fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Gives an unnamed file a temporary name beside target. Linking the descriptor itself would
// need a privilege; its link under /proc needs none.
bool nameTemporary(int fd, const std::string& target, std::string& temporary) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    temporary.clear();
    return false;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// Puts the new contents in target's place: they go to a new file beside it and replace it by a
// rename only once they are complete on disk, so that the file is always the old one or the
// new one, also after a crash or on a full disk. An unnamed file gets its name only then and
// loses it at once, so that only a kill in that moment leaves it behind. The new file
// takes the old one's mode and, where the system allows, its owner; a new one follows the
// umask. False, with nothing left behind, when it could not be done.
bool replaceThroughTemporary(const std::string& target, const std::optional<struct stat>& replaced,
                             bool unnamed) {
    std::string temporary;
    const int fd = createTemporary(target, unnamed, temporary);
    if (fd < 0) {
        return false;
    }
    if (replaced) {
        if (::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
            // Only root may give a file away; anyone else's new file keeps its own owner.
        }
        ::fchmod(fd, replaced->st_mode & 07777);
    }
    const bool renamed = writeAll(fd, formatOptions(gameOptions)) && ::fsync(fd) == 0 &&
                         (!unnamed || nameTemporary(fd, target, temporary)) &&
                         ::rename(temporary.c_str(), target.c_str()) == 0;
    ::close(fd);
    if (!renamed && !temporary.empty()) {
        ::unlink(temporary.c_str());
    }
    return renamed;
}

void syncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the file where it really lives, if it may be replaced, and clears up after earlier
// saves that were killed.
void writeOptionsFile() {
    if (!isDirectory(optionsFolderPath)) {
        createOptionsFolder();
    }
    const std::string target = resolveLinks(optionsFilePath);
    std::optional<struct stat> replaced;
    if (target.empty() || !mayReplace(target, replaced)) {
        return;
    }
    removeStaleTemporaries(target);
    // The signals that end the program wait until the temporary is gone again, so that Ctrl+C,
    // a closed terminal or a plain kill cannot leave it behind; only SIGKILL cannot wait.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &previous);
    if (replaceThroughTemporary(target, replaced, true) ||
        replaceThroughTemporary(target, replaced, false)) {
        syncFolder(folderOf(target));
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

// Only a folder that holds the options file is removed; a folder on its own is left alone.
// The folder goes with everything in it, but links in it are removed as links: nothing
// outside the folder is touched, and a folder that is itself a link stays. So an options file
// that is a link is removed as a link, and the file it points to stays where the user keeps it.
void removeOptionsFile() {
    const int fd = openRegularFile(optionsFilePath);
    if (fd < 0) {
        return;
    }
    ::close(fd);
    ::unlink(optionsFilePath.c_str());
    struct stat info {};
    if (::lstat(optionsFolderPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::error_code ignored;
        std::filesystem::remove_all(optionsFolderPath, ignored);
    }
}

} // namespace

void buildOptionsPaths() {
    findConfigurationFolder();
    optionsFilePath = optionsFolderPath.empty() ? "" : optionsFolderPath + "/Optionen.cfg";
}

void loadOptionsFile() {
    if (optionsFilePath.empty()) {
        return;
    }
    const int fd = openRegularFile(optionsFilePath);
    if (fd < 0) {
        return;
    }
    FileReadBuffer buffer(fd);
    std::istream in(&buffer);
    readOptions(in, gameOptions);
    ::close(fd);
}

void storeOptionsFile() {
    if (optionsFilePath.empty()) {
        return;
    }
    if (gameOptions.saveOptions) {
        writeOptionsFile();
    } else {
        removeOptionsFile();
    }
}
