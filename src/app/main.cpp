// albumwright: the window program.
#include "app/ui/albumapp.h"

int main(int argc, char** argv) {
    return aw::AlbumApp::Run(argc, argv);
}
