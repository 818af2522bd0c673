#pragma once

// Unix only. Points the options folder at a fresh temporary folder for as long as the object
// lives; afterwards no configuration folder is known, so that no test can read or write the
// user's own.

#include "options/options_file.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

struct ScratchConfigHome {
    ScratchConfigHome() { setenv("XDG_CONFIG_HOME", root.c_str(), 1), buildOptionsPaths(); }
    ~ScratchConfigHome() {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("HOME");
        buildOptionsPaths();
        std::filesystem::remove_all(root);
    }

    std::string pattern =
        (std::filesystem::temp_directory_path() / "kentermeer-test-XXXXXX").string();
    const std::filesystem::path root = ::mkdtemp(pattern.data());
};
