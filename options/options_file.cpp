#include "options/options_file.h"

#include "options/game_options.h"
#include "options/options_file_platform.h"
#include "options/options_format.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

// Found once at start-up; empty when no configuration folder is known.
fs::path optionsFolderPath;
fs::path optionsFilePath;

// Only the program's own files go: the options file (a link as a link, so that the file it
// points to stays where the user keeps it) and the leftovers of killed saves, then the folder
// if that left it empty. What else the user keeps in the folder stays, and so does a folder
// that is a link. Without an options file nothing is removed.
void removeOptionsFile() {
    if (!readOptionsBytes(optionsFilePath)) {
        return;
    }
    removeFile(optionsFilePath);
    removeOwnTemporaries(optionsFilePath);
    if (isRealFolder(optionsFolderPath)) {
        removeEmptyFolder(optionsFolderPath);
    }
}

} // namespace

fs::path temporaryBeside(const fs::path& file, unsigned long process) {
    static unsigned count = 0;
    fs::path name = file;
    name += TemporaryMark;
    name += std::to_string(process) + "-" + std::to_string(count++);
    return name;
}

void removeOwnTemporaries(const fs::path& file) {
    fs::path prefix = file.filename();
    prefix += TemporaryMark;
    std::error_code error;
    for (fs::directory_iterator entry(file.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().filename().native().starts_with(prefix.native())) {
            removeFile(entry->path());
        }
    }
}

void buildOptionsPaths() {
    optionsFolderPath = findOptionsFolder();
    optionsFilePath = optionsFolderPath.empty() ? fs::path() : optionsFolderPath / "Optionen.cfg";
}

void loadOptionsFile() {
    if (optionsFilePath.empty()) {
        return;
    }
    if (const std::optional<std::string> bytes = readOptionsBytes(optionsFilePath)) {
        readOptions(*bytes, gameOptions);
    }
}

void storeOptionsFile() {
    if (optionsFilePath.empty()) {
        return;
    }
    if (gameOptions.saveOptions) {
        saveOptionsBytes(optionsFolderPath, optionsFilePath, formatOptions(gameOptions));
    } else {
        removeOptionsFile();
    }
}
