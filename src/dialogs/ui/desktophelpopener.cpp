// SPDX-License-Identifier: MIT
#include "dialogs/ui/desktophelpopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "dialogs/helpbook.h"
#include "platform/messageservice.h"
#include "stringtable.h"

namespace aw {
namespace {} // namespace

bool DesktopHelpOpener::OpenHelp(int context) {
    const std::string programFolder = QCoreApplication::applicationDirPath().toStdString();
    std::string page = HelpBook::PagePath(programFolder, CurrentLanguage(), context);
    if (!page.empty() && QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page))))
        return true;
    if (page.empty()) // named where the build puts it, the first place looked at
        page = HelpBook::PagePath(programFolder, CurrentLanguage(), context, HelpBook::Expected);
    boxes_.Inform(FormatText(LoadText(TextId::HelpPageNotOpened), {page}), LoadText(TextId::WarningCaption),
                  MessageIcon::Exclamation);
    return false;
}

} // namespace aw
