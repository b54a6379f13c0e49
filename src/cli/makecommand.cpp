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
#include "cli/consolelistview.h"
#include "cli/metadatasteps.h"
#include "cli/terminalservices.h"
#include "medialist/itemlist.h"
#include "metadata/exivsetup.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "session/albumsession.h"
#include "session/installedtables.h"
#include "session/outputfolders.h"
#include "stringtable.h"

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

// The options as the session's choices: the one mapping from the command line to what Create reads (the
// work folder is chosen apart, ChooseWorkFolder).
SessionChoices ChoicesFromOptions(const CommandLine& line) {
    SessionChoices choices;
    // The window ignores leading blanks of the folder text; so does the command line, before the path is
    // made absolute (" /abs/out" is /abs/out, not "<cwd>/ /abs/out").
    choices.outputFolder = Absolute(WithoutLeadingBlanks(line.outputFolder));
    choices.pageTitle = line.pageTitle;
    choices.fontColour = line.fontColour;
    choices.backgroundColour = line.backgroundColour;
    choices.background = line.background;
    choices.arrangement = line.arrangement - 1;
    if (!line.arrangementFile.empty())
        choices.arrangementFile = Absolute(line.arrangementFile);
    choices.openWhenDone = line.openWhenDone;
    choices.embedPlayback = line.embed;
    choices.removeLocation = line.removeLocation;
    choices.includeOriginals = line.originals;
    choices.update = line.update;
    return choices;
}

// -w when given (it must be a folder), else the saved work folder when usable, else the system's.
std::optional<std::string> ChooseWorkFolder(const CommandLine& line, const AlbumSession& session,
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
    std::string saved;
    session.ReadSavedWorkFolder(saved); // reads only; falls back to the system's folder itself
    return WithClosingSlash(saved);
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
    const std::string dataRoot = DataFolderFor(ProgramFolder());
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

    // The same intake as the window's, in the order given; its reports are the console's messages.
    AlbumSession session(SessionPlaces{{}, dataRoot});
    ConsoleListView view(console);
    session.list().Attach(&view);
    std::vector<std::string> files;
    for (const std::string& file : line.files)
        files.push_back(Absolute(file));
    session.list().TakeFiles(files);
    const ItemList& items = session.list().items();
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

    session.UseInstalledTables();
    session.choices() = ChoicesFromOptions(line);
    std::string problem;
    const std::optional<std::string> workFolder = ChooseWorkFolder(line, session, problem);
    if (!workFolder)
        return UsageError(problem);
    session.choices().workFolder = *workFolder;

    ImagingLibraryLoader loader;
    if (loader.Load() != ImagingLoadResult::Loaded) {
        console.Message(LoadText(loader.failureTextId()) + "\n" + loader.errorText(),
                        LoadText(TextId::ErrorCaption));
        return ExitFailed;
    }
    // Movies tell their dates and places through the video module.
    OrderAndNotice(session.list(), line, loader.library());

    TerminalServices services(console, loader.library(), UpdateChoice{line.update, line.prune});
    const CreateResult result = session.Create(services);
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
