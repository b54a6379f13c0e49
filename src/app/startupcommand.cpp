#include "app/startupcommand.h"

#include <algorithm>
#include <cctype>

namespace aw {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string StartupFileName(const std::vector<std::string>& arguments) {
    std::string file;
    bool haveFile = false;
    bool openCommand = true;
    for (const std::string& argument : arguments) {
        // Only '-' marks a switch: here '/' begins every absolute path.
        if (!argument.empty() && argument[0] == '-') {
            const std::string name = Lower(argument.substr(1));
            if (name == "p" || name == "pt" || name == "dde" || name == "unregister" || name == "unregserver")
                openCommand = false;
            continue;
        }
        if (!haveFile) {
            file = argument;
            haveFile = true;
        }
    }
    return openCommand ? file : std::string();
}

} // namespace aw
