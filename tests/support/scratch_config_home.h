#pragma once

// Unix only. Points the options folder at a fresh temporary folder for as long as the object
// lives, then puts the environment back and forgets the paths, so that no test reads or
// writes the user's own configuration.

#include "options/options_file.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

struct ScratchConfigHome {
    ScratchConfigHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kentermeer-test-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        buildOptionsPaths();
    }
    ~ScratchConfigHome() {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("HOME");
        buildOptionsPaths(); // no paths left for a later test to write through
        for (const auto& [name, value] :
             {std::pair{"XDG_CONFIG_HOME", configHome}, std::pair{"HOME", home}}) {
            if (value) {
                setenv(name, value->c_str(), 1);
            }
        }
        std::filesystem::remove_all(root);
    }
    static std::optional<std::string> variable(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }

    const std::optional<std::string> configHome = variable("XDG_CONFIG_HOME");
    const std::optional<std::string> home = variable("HOME");
    std::filesystem::path root;
};
