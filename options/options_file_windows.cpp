// The options file's system side on Windows, in the user's roaming application-data folder;
// options_file_unix.cpp is the Unix one.
#ifdef _WIN32

#include "options/options_file_platform.h"
#include "options/options_format.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fstream>
#include <shlobj.h>
#include <windows.h>

#ifdef _MSC_VER
#pragma comment(lib, "shell32.lib")
#endif

namespace fs = std::filesystem;

fs::path findOptionsFolder() {
    // The call fills a buffer of MAX_PATH characters, the most it ever gives.
    wchar_t appData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        return {};
    }
    appData[MAX_PATH - 1] = L'\0';
    return fs::path(appData) / L"Kentermeer";
}

std::optional<std::string> readOptionsBytes(const fs::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    std::string bytes(OptionsReadLimit, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// The new contents go to a temporary file beside the old one and replace it only once they
// are complete on disk, so a crash or a full disk leaves the old file as it was. A file the
// user made read-only stays as it is: moving a file over it is refused by Windows but not by
// every system that runs the program.
void saveOptionsBytes(const fs::path& folder, const fs::path& file, const std::string& bytes) {
    if (!isRealFolder(folder)) {
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        return;
    }
    removeOwnTemporaries(file);
    fs::path temporary;
    HANDLE out = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && out == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryBeside(file, GetCurrentProcessId());
        out = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return;
        }
    }
    if (out == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(out);
    CloseHandle(out);
    if (!complete || !MoveFileExW(temporary.c_str(), file.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
    }
}

// A junction or folder link does not count.
bool isRealFolder(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// A read-only file goes too, as Unix removes one from a folder the user may change.
void removeFile(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    DeleteFileW(path.c_str());
}

void removeEmptyFolder(const fs::path& path) {
    RemoveDirectoryW(path.c_str());
}

#endif
