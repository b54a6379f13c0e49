// SPDX-License-Identifier: MIT
#include "cli/makecommand.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "album/imaginglibrary.h"
#include "album/imaginglibraryloader.h"
#include "album/runfailure.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/metadatasteps.h"
#include "cli/terminalservices.h"
#include "mainwindow/createworkflow.h"
#include "mainwindow/outputfolders.h"
#include "mainwindow/settingsstore.h"
#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "metadata/exivsetup.h"
#include "platform/paths.h"
#include "platform/profilestore.h"
#include "platform/regularfile.h"
#include "stringtable.h"
#include "textgroups.h"

namespace aw::cli {
namespace {

namespace fs = std::filesystem;

void PrintError(const std::string& text) {
    std::fprintf(stderr, "albumwright-make: %s\n", text.c_str());
}

int UsageError(const std::string& text) {
    PrintError(text);
    std::fprintf(stderr, "%s\n", LoadText(TextId::TryHelp).c_str());
    return ExitUsage;
}

// Paths are made absolute so that the album's items and messages name real places whatever the
// current folder; symbolic links and ".." are left for the system to resolve.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.string();
}

// Empty when `path` is a regular file this process can open for reading, else the reason, naming what it
// is when it is no regular file. A FIFO is refused without blocking.
std::string ReadProblem(const std::string& path) {
    const OpenedFile opened = OpenRegularFile(path);
    if (opened.error == 0)
        return {};
    const FailureCause cause = CauseFromFileType(opened.type);
    return cause == FailureCause::None || cause == FailureCause::Unreadable ? std::strerror(opened.error)
                                                                            : ReasonText(cause);
}

std::string WithClosingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

AlbumSettings InstalledSettings(const std::string& dataRoot, const CommandLine& line) {
    AlbumSettings settings;
    settings.backgrounds.push_back({0, LoadText(TextId::SolidColourName)});
    for (std::size_t i = 0; i < kBackgroundPictureFiles.size(); ++i)
        settings.backgrounds.push_back(
            {static_cast<int>(i) + 1, dataRoot + LoadText(kBackgroundPictureFiles[i])});
    if (!line.arrangementFile.empty()) {
        settings.arrangements.push_back({0, Absolute(line.arrangementFile)});
    } else {
        for (std::size_t i = 0; i < kArrangementFiles.size(); ++i)
            settings.arrangements.push_back({static_cast<int>(i), dataRoot + LoadText(kArrangementFiles[i])});
    }
    settings.audioPicture = dataRoot + LoadText(TextId::AudioPictureFile);
    settings.viewerFolder = dataRoot + LoadText(TextId::ViewerFolder);
    settings.embedPlayback = line.embed ? 1 : 0;
    settings.removeLocation = line.removeLocation ? 1 : 0;
    return settings;
}

// -w when given (it must be a folder), else the saved work folder when usable, else the system's.
std::optional<std::string> ChooseWorkFolder(const CommandLine& line, const std::string& dataRoot,
                                            std::string& problem) {
    if (!line.workFolder.empty()) {
        const std::string folder = Absolute(line.workFolder);
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            problem = FormatText(LoadText(TextId::WorkFolderUnusable), {folder});
            return std::nullopt;
        }
        return WithClosingSlash(folder);
    }
    ProfileStore store;
    const SettingsStore settings(store, dataRoot);
    AlbumSettings loaded;
    settings.LoadWorkFolder(loaded); // reads only; falls back to the system's folder itself
    return WithClosingSlash(loaded.workFolder);
}

} // namespace

int MakeCommand::Run(const std::vector<std::string>& args) {
    std::string error;
    const std::optional<CommandLine> parsed = CommandLine::Parse(args, error);
    if (!parsed)
        return UsageError(error);
    const CommandLine& line = *parsed;
    if (line.action == CommandLine::Action::Help) {
        std::fputs(UsageText().c_str(), stdout);
        return ExitWritten;
    }
    if (line.action == CommandLine::Action::Version) {
        std::printf("albumwright-make %s\n", ALBUMWRIGHT_VERSION_TEXT);
        return ExitWritten;
    }

    Console console(line.answer, line.quiet);
    PrepareMetadataLibrary();
    const std::string dataRoot = SettingsStore::DataFolderFor(ProgramFolder());
    if (dataRoot.empty()) {
        PrintError(LoadText(TextId::HtmldataMissing));
        return ExitFailed;
    }
    if (!line.arrangementFile.empty()) {
        const std::string problem = ReadProblem(Absolute(line.arrangementFile));
        if (!problem.empty())
            return UsageError(FormatText(LoadText(TextId::ArrangementFileUnreadable),
                                         {line.arrangementFile + ": " + problem}));
    }

    // The same per-file step as the window's intake, in the order given.
    ItemList items;
    MediaIntake intake(items);
    for (const std::string& file : line.files)
        intake.Take(Absolute(file));
    if (!intake.rejectedNames().empty())
        console.Message(intake.RejectedText(), LoadText(TextId::InformationCaption));
    if (items.count() == 0) {
        console.Message(LoadText(TextId::UnsupportedSelection), LoadText(TextId::ErrorCaption));
        return ExitUsage;
    }
    // A supported file that cannot be read would fail the run half-way; refuse it before anything is made.
    for (const MediaItem& item : items.items()) {
        const std::string problem = ReadProblem(item.path);
        if (!problem.empty())
            return UsageError(FormatText(LoadText(TextId::CannotRead), {item.path, problem}));
    }
    if (!intake.unsafeNames().empty())
        console.Message(intake.UnsafeText(), LoadText(TextId::WarningCaption));

    AlbumSettings settings = InstalledSettings(dataRoot, line);
    std::string problem;
    const std::optional<std::string> workFolder = ChooseWorkFolder(line, dataRoot, problem);
    if (!workFolder)
        return UsageError(problem);
    settings.workFolder = *workFolder;

    ImagingLibraryLoader loader;
    if (loader.Load() != ImagingLoadResult::Loaded) {
        console.Message(LoadText(loader.failureTextId()) + "\n" + loader.errorText(),
                        LoadText(TextId::ErrorCaption));
        return ExitFailed;
    }
    // Movies tell their dates and places through the video module.
    OrderAndNotice(items, line, loader.library());

    CreateInputs inputs;
    // The window ignores leading blanks of the folder text; so does the command line, before the path is
    // made absolute (" /abs/out" is /abs/out, not "<cwd>/ /abs/out").
    inputs.outputFolder = Absolute(WithoutLeadingBlanks(line.outputFolder));
    inputs.pageTitle = line.pageTitle;
    inputs.fontColour = line.fontColour;
    inputs.backgroundColour = line.backgroundColour;
    inputs.backgroundIndex = line.background;
    inputs.arrangementIndex = line.arrangementFile.empty() ? line.arrangement - 1 : 0;
    inputs.openWhenDone = line.openWhenDone;
    inputs.update = line.update;

    TerminalServices services(console, loader.library(), UpdateChoice{line.update, line.prune});
    CreateWorkflow workflow(services);
    AlbumJob job;
    const CreateResult result = workflow.Run(job, items, inputs, settings);
    if (result.reachedRun) {
        switch (result.runCode) {
        case RunWritten:
            return ExitWritten;
        case RunStopped:
            return ExitStopped;
        default:
            return ExitFailed;
        }
    }
    // Create ended before the run: a No answer (or Ctrl-C at a question) declined it, anything else
    // was a folder that could not be prepared.
    return services.declined() ? ExitStopped : ExitFailed;
}

} // namespace aw::cli
