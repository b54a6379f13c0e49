#include "app/ui/albumapp.h"

#include <QApplication>

namespace aw {

int AlbumApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    return 0;
}

} // namespace aw
