// SPDX-License-Identifier: MIT
#include "dialogs/helpbook.h"

#include <filesystem>
#include <system_error>

namespace aw {
namespace {

namespace fs = std::filesystem;

const char* FolderName(Language language) {
    return language == Language::Japanese ? "ja" : "en";
}

} // namespace

std::string HelpBook::PagePath(const std::string& programFolder, Language language, int context,
                               Lookup lookup) {
    if (context < 0 || programFolder.empty())
        return {};
    const fs::path program(programFolder);
    const fs::path books[] = {program / "help", program / ".." / "share" / "albumwright" / "help"};
    const std::string page = std::to_string(context) + ".html";
    if (lookup == Expected)
        return (books[0] / FolderName(language) / page).lexically_normal().string();
    for (Language candidate : {language, Language::English}) {
        for (const fs::path& book : books) {
            const fs::path path = book / FolderName(candidate) / page;
            std::error_code error;
            if (fs::is_regular_file(path, error))
                return fs::weakly_canonical(path, error).string();
        }
    }
    return {};
}

} // namespace aw
