// The options file's system side on Unix; options_file_windows.cpp is the Windows one.
#ifndef _WIN32

#include "options/options_file_platform.h"
#include "options/options_format.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace fs = std::filesystem;

namespace {

// Kept from start-up for deciding which folders may be made.
std::string homePath;
std::string configPath;

// A chain of links in the file's place is followed no further than the system would go.
constexpr int LinkDepthLimit = 40;

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the options folder, and the configuration folder above it where that is missing, with
// the modes the user's umask gives. Folders are made only below one that is there: the
// configuration folder, or the home folder that holds it (a fresh account has no ~/.config
// yet). A missing home is never made, nor a missing configuration folder outside the home, as
// one on a disk that is not mounted.
void createOptionsFolder(const std::string& folder) {
    const bool belowHome = !homePath.empty() && configPath.starts_with(homePath) &&
                           configPath.size() > homePath.size() &&
                           (homePath.back() == '/' || configPath[homePath.size()] == '/');
    const std::string& base = belowHome && !isDirectory(configPath) ? homePath : configPath;
    if (!isDirectory(base)) {
        return;
    }
    std::size_t slash = base.size();
    while (slash != std::string::npos) {
        slash = folder.find('/', slash + 1);
        ::mkdir(folder.substr(0, slash).c_str(), 0777);
    }
}

// Where the options file really lives. A link in its place, as a dotfiles manager makes it, is
// followed, a relative one from its own folder, so that the file is saved where the link
// points and the link stays a link. Only the user's own links are followed: another user's
// link in a folder they control (root keeps XDG_CONFIG_HOME through sudo -E) could point
// anywhere. Empty for such a link, and after too many links in a row, as in a loop.
std::string resolveLinks(std::string path) {
    for (int depth = 0; depth < LinkDepthLimit; ++depth) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (info.st_uid != ::geteuid() || length <= 0 ||
            static_cast<std::size_t>(length) == sizeof target) {
            return {};
        }
        const std::string next(target, static_cast<std::size_t>(length));
        path = next[0] == '/' ? next : folderOf(path).append("/").append(next);
    }
    return {};
}

// Whether a save may write the file at path, and what it knows of the file there, if any.
// Only a regular file that can be opened for writing is written (the test opens it without
// emptying it), and only one with a write bit: root could write any file, but one the user
// made read-only for everyone is meant to stay as it is.
bool mayWrite(const std::string& path, std::optional<struct stat>& existing) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    const bool known = ::fstat(fd, &info) == 0;
    ::close(fd);
    existing = info;
    return known;
}

// Access control lists and extended attributes, which a new file in the old one's place would
// not have. The labels the system gives every new file (security.*) do not count.
bool hasExtendedAttributes([[maybe_unused]] const std::string& path) {
#ifdef __linux__
    char names[4096];
    const ssize_t length = ::llistxattr(path.c_str(), names, sizeof names);
    if (length < 0) {
        return errno == ERANGE;
    }
    for (ssize_t at = 0; at < length; at += ssize_t(std::string_view(names + at).size()) + 1) {
        if (!std::string_view(names + at).starts_with("security.")) {
            return true;
        }
    }
#endif
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

enum class Replaced { Yes, NoTemporary, Failed };

// Puts the new contents in target's place: they go to a new file beside it and replace it by a
// rename only once they are complete on disk, so that the file is always the old one or the
// new one, also after a crash or on a full disk. The new file takes the old one's mode and,
// where the system allows, its owner; a new one follows the umask. Nothing is left behind.
Replaced replaceThroughTemporary(const std::string& target,
                                 const std::optional<struct stat>& existing,
                                 const std::string& bytes) {
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryBeside(target, static_cast<unsigned long>(::getpid()));
        fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return Replaced::NoTemporary;
        }
    }
    if (fd < 0) {
        return Replaced::NoTemporary;
    }
    if (existing) {
        if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
            // Only root may give a file away; anyone else's new file keeps its own owner.
        }
        ::fchmod(fd, existing->st_mode & 07777);
    }
    const bool renamed =
        writeAll(fd, bytes) && ::fsync(fd) == 0 && ::rename(temporary.c_str(), target.c_str()) == 0;
    ::close(fd);
    if (!renamed) {
        ::unlink(temporary.c_str());
    }
    return renamed ? Replaced::Yes : Replaced::Failed;
}

// Writes the new contents into the file itself, which keeps its links, owner, mode, access
// control list and attributes. The old bytes are overwritten before the rest is cut off, so
// that a failed write leaves at least as much of the old file as of the new one; the few bytes
// fit the block the file already has.
bool writeInPlace(const std::string& target, const std::string& bytes) {
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    struct stat info {};
    const bool written = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                         writeAll(fd, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0 &&
                         ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return written;
}

void syncFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A file's other names are written through only in the user's own folder: elsewhere another
// user may have planted one for a file of the user's.
bool folderIsOwn(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && info.st_uid == ::geteuid();
}

} // namespace

// Relative values are ignored, as the XDG rules ask: they would name a different folder for
// every working directory.
fs::path findOptionsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    homePath = home != nullptr && home[0] == '/' ? home : "";
    if (configHome != nullptr && configHome[0] == '/') {
        configPath = configHome;
    } else {
        configPath = homePath.empty() ? "" : homePath + "/.config";
    }
    return configPath.empty() ? fs::path() : fs::path(configPath + "/Kentermeer");
}

// O_NONBLOCK keeps a FIFO put in the file's place after the test from blocking the open.
std::optional<std::string> readOptionsBytes(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes(OptionsReadLimit, '\0');
    std::size_t done = 0;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    while (regular && done < bytes.size()) {
        const ssize_t count = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    bytes.resize(done);
    return regular ? std::optional(bytes) : std::nullopt;
}

// The file is replaced whole where it can be. It is written in place where the replacement
// would lose what the user arranged (other names of the file, an access control list or
// attributes), and where no temporary file can be made beside it (a folder the user made
// read-only), as an editor would; both only where the file is there already.
void saveOptionsBytes(const fs::path& folder, const fs::path& file, const std::string& bytes) {
    if (!isDirectory(folder)) {
        createOptionsFolder(folder);
    }
    const std::string target = resolveLinks(file);
    std::optional<struct stat> existing;
    if (target.empty() || !mayWrite(target, existing)) {
        return;
    }
    const bool mayWriteInPlace =
        existing && (existing->st_nlink == 1 || folderIsOwn(folderOf(target)));
    const bool inPlace =
        mayWriteInPlace && (existing->st_nlink > 1 || hasExtendedAttributes(target));
    removeOwnTemporaries(target);
    // The signals that end the program wait until the temporary is gone again, so that Ctrl+C,
    // a closed terminal or a plain kill cannot leave it behind; only SIGKILL cannot wait.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &previous);
    const Replaced replaced =
        inPlace ? Replaced::NoTemporary : replaceThroughTemporary(target, existing, bytes);
    if (replaced == Replaced::Yes ||
        (replaced == Replaced::NoTemporary && mayWriteInPlace && writeInPlace(target, bytes))) {
        syncFolder(folderOf(target));
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

bool isRealFolder(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void removeFile(const fs::path& path) {
    ::unlink(path.c_str());
}

void removeEmptyFolder(const fs::path& path) {
    ::rmdir(path.c_str());
}

#endif
