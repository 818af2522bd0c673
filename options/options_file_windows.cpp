// The options file on Windows, in the user's roaming application-data folder;
// options_file.cpp is the Unix variant.
#include "options/game_options.h"
#include "options/options_file.h"
#include "options/options_format.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <cstdio>
#include <cwchar>
#include <direct.h>
#include <filesystem>
#include <fstream>
#include <io.h>
#include <shlobj.h>
#include <string>
#include <windows.h>

#ifdef _MSC_VER
#pragma comment(lib, "shell32.lib")
#endif

namespace {

// MAX_PATH, the terminator included.
constexpr std::size_t PathBufferSize = 260;

// Found once at start-up; empty when the folder is unknown or a path would not fit.
wchar_t optionsFolderPath[PathBufferSize] = {};
wchar_t optionsFilePath[PathBufferSize] = {};
// Beside the file, and no longer than its path, so that it always fits too.
wchar_t temporaryFilePath[PathBufferSize] = {};

// Appends text to the path of the given length; false, with nothing written, when the result
// and its terminator would not fit.
bool append(wchar_t* path, std::size_t& length, const wchar_t* text) {
    const std::size_t added = std::wcslen(text);
    if (length + added + 1 > PathBufferSize) {
        return false;
    }
    std::wmemcpy(path + length, text, added + 1);
    length += added;
    return true;
}

// A folder of its own: a junction or folder link does not count.
bool isRealFolder(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Opens the path for reading if it names a file (not a folder) that can be read.
bool openForReading(const wchar_t* path, std::ifstream& in) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    in.open(std::filesystem::path(path), std::ios::binary);
    return in.is_open();
}

// The new contents go to a temporary file beside the old one and replace it only once they
// are complete on disk, so a crash or a full disk leaves the old file as it was.
void writeOptionsFile() {
    if (!isRealFolder(optionsFolderPath)) {
        _wmkdir(optionsFolderPath);
    }
    std::FILE* out = _wfopen(temporaryFilePath, L"wb");
    if (out == nullptr) {
        return;
    }
    const std::string bytes = formatOptions(gameOptions);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                         std::fflush(out) == 0 && _commit(_fileno(out)) == 0;
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed ||
        !MoveFileExW(temporaryFilePath, optionsFilePath,
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporaryFilePath);
    }
}

// Removes a folder with everything in it. Links and junctions inside are removed as links,
// never followed, so nothing outside the folder is touched. Paths beyond MAX_PATH make the
// calls fail, which also ends the descent.
void removeFolderTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            const DWORD attributes = entry.dwFileAttributes;
            const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            // rmdir /S /Q removes read-only files too.
            if (!link && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
                SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
            }
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW(path.c_str());
            } else if (link) {
                RemoveDirectoryW(path.c_str());
            } else {
                removeFolderTree(path);
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// Only a folder that holds the options file is removed; a folder on its own is left alone.
void removeOptionsFile() {
    {
        std::ifstream test;
        if (!openForReading(optionsFilePath, test)) {
            return;
        }
    }
    DeleteFileW(optionsFilePath);
    if (isRealFolder(optionsFolderPath)) {
        removeFolderTree(optionsFolderPath);
    }
}

} // namespace

void buildOptionsPaths() {
    optionsFolderPath[0] = L'\0';
    optionsFilePath[0] = L'\0';
    temporaryFilePath[0] = L'\0';
    wchar_t appData[PathBufferSize] = {};
    if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        return;
    }
    appData[PathBufferSize - 1] = L'\0';
    wchar_t folder[PathBufferSize] = {};
    wchar_t file[PathBufferSize] = {};
    wchar_t temporary[PathBufferSize] = {};
    std::size_t folderLength = 0;
    std::size_t fileLength = 0;
    std::size_t temporaryLength = 0;
    if (append(folder, folderLength, appData) && append(folder, folderLength, L"\\Kentermeer") &&
        append(file, fileLength, folder) && append(file, fileLength, L"\\Optionen.cfg") &&
        append(temporary, temporaryLength, folder) &&
        append(temporary, temporaryLength, L"\\Optionen.tmp")) {
        std::wmemcpy(optionsFolderPath, folder, PathBufferSize);
        std::wmemcpy(optionsFilePath, file, PathBufferSize);
        std::wmemcpy(temporaryFilePath, temporary, PathBufferSize);
    }
}

void loadOptionsFile() {
    if (optionsFilePath[0] == L'\0') {
        return;
    }
    std::ifstream in;
    if (!openForReading(optionsFilePath, in)) {
        return;
    }
    readOptions(in, gameOptions);
}

void storeOptionsFile() {
    if (optionsFilePath[0] == L'\0') {
        return;
    }
    if (gameOptions.saveOptions) {
        writeOptionsFile();
    } else {
        removeOptionsFile();
    }
}
