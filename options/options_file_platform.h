#pragma once

// What the options file needs of the system, one variant per platform
// (options_file_unix.cpp, options_file_windows.cpp); options_file.cpp builds on it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The folder Kentermeer in the user's configuration folder, empty when none is known.
std::filesystem::path findOptionsFolder();
// At most OptionsReadLimit bytes of the file, when it is a file that can be read; nothing
// else is opened at all.
std::optional<std::string> readOptionsBytes(const std::filesystem::path& file);
// Saves the bytes as the file, making its folder where that is missing. Leaves alone what it
// may not or should not write, silently.
void saveOptionsBytes(const std::filesystem::path& folder, const std::filesystem::path& file,
                      const std::string& bytes);
// A folder of its own: a link to a folder does not count.
bool isRealFolder(const std::filesystem::path& path);
// Removes a file, or a link as a link; an empty folder.
void removeFile(const std::filesystem::path& path);
void removeEmptyFolder(const std::filesystem::path& path);

// A save writes a temporary file beside the file it replaces, named after it with this mark
// and a number, so that one left behind by a killed save is known for the program's own.
constexpr std::string_view TemporaryMark = ".kentermeer-";
// A fresh name for such a file: the process and a count tell the program's own apart, and
// the exclusive creation that uses the name makes sure.
std::filesystem::path temporaryBeside(const std::filesystem::path& file, unsigned long process);
// Removes the temporary files that killed saves left beside the file.
void removeOwnTemporaries(const std::filesystem::path& file);
