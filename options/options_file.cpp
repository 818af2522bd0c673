// The options file on Unix; options_file_windows.cpp is the Windows variant.
#ifndef _WIN32

#include "options/options_file.h"

#include "options/game_options.h"
#include "options/options_format.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <istream>
#include <streambuf>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Found once at start-up; empty when no configuration folder is known.
std::string optionsFolderPath;
std::string optionsFilePath;

// Relative values are ignored, as the XDG rules ask: they would name a different folder for
// every working directory.
std::string configurationFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config";
    }
    return {};
}

// An open descriptor when path is a regular file that can be read, else -1. O_NONBLOCK keeps
// a FIFO in the file's place from blocking the open.
int openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Hands the bytes of an open file to the line reader.
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
    char buffer_[512];
};

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder and any missing folder above it (a fresh account may have no
// ~/.config yet), private to the user as configuration folders should be.
void createFolders(const std::string& path) {
    std::size_t slash = 0;
    do {
        slash = path.find('/', slash + 1);
        const std::string part = path.substr(0, slash);
        if (part.back() != '/' && !isDirectory(part)) {
            ::mkdir(part.c_str(), 0700);
        }
    } while (slash != std::string::npos);
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

// The new contents go to a temporary file beside the old one and replace it by a rename only
// once they are complete on disk, so a crash or a full disk leaves the old file as it was.
void writeOptionsFile() {
    if (!isDirectory(optionsFolderPath)) {
        createFolders(optionsFolderPath);
    }
    std::string temporaryPath = optionsFilePath + ".XXXXXX";
    const int fd = ::mkstemp(temporaryPath.data());
    if (fd < 0) {
        return;
    }
    const bool written = writeAll(fd, formatOptions(gameOptions)) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporaryPath.c_str(), optionsFilePath.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
    }
}

// Only a folder that holds the options file is removed; a folder on its own is left alone.
// The folder goes with everything in it, but links in it are removed as links: nothing
// outside the folder is touched, and a folder that is itself a link stays.
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
    const std::string folder = configurationFolder();
    if (folder.empty()) {
        optionsFolderPath.clear();
        optionsFilePath.clear();
        return;
    }
    optionsFolderPath = folder + "/Kentermeer";
    optionsFilePath = optionsFolderPath + "/Optionen.cfg";
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

#endif
