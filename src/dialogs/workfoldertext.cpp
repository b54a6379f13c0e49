// SPDX-License-Identifier: MIT
#include "dialogs/workfoldertext.h"

namespace aw {

std::string ShownWorkFolder(const std::string& folder) {
    if (folder.size() > 1 && folder.back() == '/')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

std::string StoredWorkFolder(const std::string& text) {
    // An empty text stays empty rather than becoming the root folder.
    if (text.empty() || text.back() == '/')
        return text;
    return text + '/';
}

} // namespace aw
