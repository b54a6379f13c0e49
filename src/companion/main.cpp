// albumwright-pick: hands the files named on its command line, or chosen in a file chooser when none is
// named, to a newly started Albumwright window as the media browser would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "album/imaginglibraryloader.h"
#include "companion/pickcompanion.h"
#include "companion/programlauncher.h"
#include "platform/handoverchannel.h"
#include "stringtable.h"

namespace {

constexpr int kChooserTitleId = 3200;
constexpr int kChooserFilterId = 3201;
constexpr int kErrorCaptionId = 411;

std::vector<std::string> ChooseFiles() {
    const QString filter = QString::fromStdString(aw::LoadText(kChooserFilterId) + " (" +
                                                  aw::PickCompanion::SupportedPatterns() + ")");
    std::vector<std::string> files;
    for (const QString& file : QFileDialog::getOpenFileNames(
             nullptr, QString::fromStdString(aw::LoadText(kChooserTitleId)), QString(), filter))
        files.push_back(file.toStdString());
    return files;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files(argv + 1, argv + argc);
    // A window system only when the user has to choose: named files need none here.
    std::unique_ptr<QApplication> application;
    if (files.empty()) {
        application = std::make_unique<QApplication>(argc, argv);
        files = ChooseFiles();
        if (files.empty())
            return 0; // the user cancelled
    }

    aw::PickCompanion companion(files, std::filesystem::current_path().string());
    aw::ProgramLauncher launcher;
    const std::string program =
        aw::ProgramLauncher::Find("albumwright", aw::ImagingLibraryLoader::ProgramFolder().string(),
                                  std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    const aw::PickCompanion::Launch launch{[&](std::string& error) {
                                               if (program.empty()) {
                                                   error = "albumwright not found";
                                                   return false;
                                               }
                                               return launcher.Start(program, error);
                                           },
                                           [&] { return launcher.Ended(); }};
    const int status = companion.Run(aw::HandOverChannel::DefaultSocketPath(), launch);
    if (status != 0) {
        std::fprintf(stderr, "%s\n", companion.error().c_str());
        if (application)
            QMessageBox::critical(nullptr, QString::fromStdString(aw::LoadText(kErrorCaptionId)),
                                  QString::fromStdString(companion.error()));
    }
    return status;
}
