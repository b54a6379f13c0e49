// SPDX-License-Identifier: MIT
// albumwright: the window program.
#include <csignal>

#include "app/ui/albumapp.h"
#include "metadata/exivsetup.h"

int main(int argc, char** argv) {
    // A file-size limit must fail the write (EFBIG, reported by the run), not kill the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before any worker reads a picture's metadata.
    aw::PrepareMetadataLibrary();
    return aw::AlbumApp::Run(argc, argv);
}
