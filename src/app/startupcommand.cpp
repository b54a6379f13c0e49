// SPDX-License-Identifier: MIT
#include "app/startupcommand.h"

#include <filesystem>

#include "platform/asciicase.h"

namespace aw {

std::string StartupFileName(const std::vector<std::string>& arguments, const std::string& currentFolder) {
    std::string file;
    bool haveFile = false;
    bool openCommand = true;
    for (const std::string& argument : arguments) {
        // Only '-' marks a switch: here '/' begins every absolute path.
        if (!argument.empty() && argument[0] == '-') {
            const std::string name = AsciiLower(argument.substr(1));
            if (name == "p" || name == "pt" || name == "dde" || name == "unregister" || name == "unregserver")
                openCommand = false;
            continue;
        }
        if (!haveFile) {
            file = argument;
            haveFile = true;
        }
    }
    if (!openCommand || file.empty() || file[0] == '/')
        return openCommand ? file : std::string();
    std::error_code error;
    const std::filesystem::path base =
        currentFolder.empty() ? std::filesystem::current_path(error) : std::filesystem::path(currentFolder);
    if (error)
        return file; // no current folder: the intake reports the file as it was given
    return (base / file).lexically_normal().string();
}

} // namespace aw
