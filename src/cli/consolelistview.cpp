// SPDX-License-Identifier: MIT
#include "cli/consolelistview.h"

#include "cli/console.h"

namespace aw::cli {

void ConsoleListView::ShowBox(const std::string& text, const std::string& caption, BoxKind) {
    console_.Message(text, caption);
}

} // namespace aw::cli
