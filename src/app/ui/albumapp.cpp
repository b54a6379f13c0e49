// SPDX-License-Identifier: MIT
#include "app/ui/albumapp.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QIcon>

#include "app/albumstartup.h"
#include "app/ui/interruptwatch.h"
#include "app/ui/qttranslations.h"
#include "dialogs/ui/messageboxservice.h"
#include "mainwindow/ui/mainwindow.h"

namespace aw {

int AlbumApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(":/bitmaps/albumwright.png"));
    LoadQtTranslations(application); // without them the standard buttons stay English
    WatchForInterrupt(application);

    // QApplication has taken its own options out of argv; what is left are the program's arguments, as the
    // bytes the shell gave (file names need not be valid UTF-8).
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    MessageBoxService boxes; // start-up errors come before any window: boxes of their own
    AlbumStartup startup(boxes);
    startup.Run(arguments, [](const ImagingLibrary& imaging, const std::string& startupFile) {
        MainWindow window(imaging, startupFile);
        window.Run();
    });
    // The program sets no exit code of its own.
    return 0;
}

} // namespace aw
