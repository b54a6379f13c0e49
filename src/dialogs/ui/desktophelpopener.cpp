#include "dialogs/ui/desktophelpopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

#include "dialogs/helpbook.h"
#include "stringtable.h"

namespace aw {

bool DesktopHelpOpener::OpenHelp(int context) {
    const std::string page =
        HelpBook::PagePath(QCoreApplication::applicationDirPath().toStdString(), CurrentLanguage(), context);
    if (page.empty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page)));
}

} // namespace aw
