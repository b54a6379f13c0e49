// SPDX-License-Identifier: MIT
// albumwright-pick: hands the files named on its command line, or chosen in a file chooser when none is
// named, to a newly started Albumwright window as the media browser would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "companion/pickcompanion.h"
#include "companion/programlauncher.h"
#include "platform/handoverchannel.h"
#include "platform/paths.h"
#include "stringtable.h"

namespace {

std::vector<std::string> ChooseFiles() {
    const QString filter = QString::fromStdString(aw::LoadText(aw::TextId::ChooserFilter) + " (" +
                                                  aw::PickCompanion::SupportedPatterns() + ")");
    std::vector<std::string> files;
    for (const QString& file : QFileDialog::getOpenFileNames(
             nullptr, QString::fromStdString(aw::LoadText(aw::TextId::ChooserTitle)), QString(), filter))
        files.push_back(file.toStdString());
    return files;
}

// Qt ends the process with abort() when it cannot open a display; the user gets a sentence and status 1.
void EndOnFatal(QtMsgType type, const QMessageLogContext&, const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", aw::LoadText(aw::TextId::PickNoDisplay).c_str());
        std::_Exit(1);
    }
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const aw::PickCompanion::Arguments arguments =
        aw::PickCompanion::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.action) {
    case aw::PickCompanion::Arguments::Action::Help:
        std::fputs(aw::LoadText(aw::TextId::PickUsage).c_str(), stdout);
        return 0;
    case aw::PickCompanion::Arguments::Action::Version:
        std::printf("albumwright-pick %s\n", ALBUMWRIGHT_VERSION_TEXT);
        return 0;
    case aw::PickCompanion::Arguments::Action::Bad:
        return Fail(arguments.error);
    case aw::PickCompanion::Arguments::Action::HandOver:
        break;
    }
    std::vector<std::string> files = arguments.files;
    // A window system only when the user has to choose: named files need none here.
    std::unique_ptr<QApplication> application;
    if (files.empty()) {
        qInstallMessageHandler(EndOnFatal);
        application = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(nullptr);
        files = ChooseFiles();
        if (files.empty())
            return 0; // the user cancelled
    }

    // The current folder may have been removed under us: absolute names need none, and the window is
    // then started in the root folder.
    std::error_code noFolder;
    const std::string currentFolder = std::filesystem::current_path(noFolder).string();
    if (const std::string problem =
            aw::PickCompanion::CurrentFolderProblem(files, currentFolder, noFolder.message());
        !problem.empty())
        return Fail(problem);
    aw::PickCompanion companion(files, currentFolder);
    aw::ProgramLauncher launcher;
    const std::string program = aw::ProgramLauncher::Find(
        "albumwright", aw::ProgramFolder(), std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    const aw::PickCompanion::Launch launch{[&](std::string& error) {
                                               if (program.empty()) {
                                                   error = "albumwright not found";
                                                   return false;
                                               }
                                               return launcher.Start(program, error,
                                                                     currentFolder.empty() ? "/" : "");
                                           },
                                           [&] { return launcher.Ended(); }, [&] { return launcher.child(); },
                                           [&] { return launcher.status(); }};
    const int status = companion.Run(aw::HandOverChannel::DefaultSocketPath(), launch);
    if (status != 0) {
        Fail(companion.error());
        if (application)
            QMessageBox::critical(nullptr, QString::fromStdString(aw::LoadText(aw::TextId::ErrorCaption)),
                                  QString::fromStdString(companion.error()));
    }
    return status;
}
