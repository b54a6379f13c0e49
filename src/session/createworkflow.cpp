// SPDX-License-Identifier: MIT
#include "session/createworkflow.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "album/albumrecords.h"
#include "album/arrangementline.h"
#include "album/gallerypagewriter.h"
#include "album/runfailure.h"
#include "album/sourceguard.h"
#include "medialist/itemlist.h"
#include "platform/errorcodes.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "session/outputfolders.h"
#include "stringtable.h"

namespace aw {

namespace {

constexpr int kRenamedHelpContext = 2001;

} // namespace

CreateWorkflow::CreateWorkflow(CreateServices& services, MountInfo mounts)
    : services_(services), mounts_(std::move(mounts)) {}

std::string CreateWorkflow::ColourText(const Rgb& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string CreateWorkflow::AlbumPagePath(const AlbumJob& job) {
    return JoinPath(job.outputFolder, GalleryPageWriter::PageName(job));
}

int CreateWorkflow::HasArrangementMarker(const std::string& arrangementFile) {
    // A regular file only (a FIFO would block the open), read line by line with a bound on what is kept.
    OpenedFile opened = OpenRegularFile(arrangementFile);
    if (opened.error != 0)
        return 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fdopen(opened.fd.get(), "r"), &std::fclose);
    if (!file)
        return 0;
    opened.fd.release();
    std::string line;
    while (ReadArrangementLine(file.get(), line) == ArrangementRead::Line) {
        if (ParseArrangementNumber(line) == kArrangementMarker)
            return 1;
    }
    return 0;
}

void CreateWorkflow::FillJob(AlbumJob& job, const SessionChoices& choices,
                             const AlbumSettings& settings) const {
    // Leading blanks would make the page land in a folder relative to wherever the program runs; the
    // folder checks ignore them, so the run must too. A leading "~/" is the home folder, as users type it.
    job.outputFolder = ExpandHomeFolder(WithoutLeadingBlanks(choices.outputFolder));
    job.pageTitle = choices.pageTitle;
    job.fontColourText = ColourText(choices.fontColour);
    if (choices.background == 0) {
        job.backgroundText = ColourText(choices.backgroundColour);
    } else if (const std::string* picture = settings.Background(choices.background)) {
        job.backgroundText = *picture;
    }
    if (!choices.arrangementFile.empty())
        job.arrangementFile = choices.arrangementFile;
    else if (const std::string* arrangement = settings.Arrangement(choices.arrangement))
        job.arrangementFile = *arrangement;
    // The Gallery is no arrangement file; a file of the user's own is never the Gallery.
    job.gallery = choices.arrangementFile.empty() && choices.arrangement == kGalleryArrangement - 1;
    if (job.gallery) {
        job.arrangementFile.clear();
        job.viewerFolder = settings.viewerFolder;
    }
    job.originals = job.gallery && choices.includeOriginals;
    job.backgroundIndex = choices.background;
    job.audioPicture = settings.audioPicture;
    job.openWhenDone = choices.openWhenDone ? 1 : 0;
    // Movies always play in the Gallery's viewer; the flag is for the other arrangements' pages.
    job.embedPlayback = choices.embedPlayback && !job.gallery ? 1 : 0;
    job.removeLocation = choices.removeLocation ? 1 : 0;
}

CreateResult CreateWorkflow::Run(AlbumJob& job, ItemList& items, const SessionChoices& choices,
                                 const AlbumSettings& settings) {
    CreateResult result;
    FillJob(job, choices, settings);
    OutputFolders folders(services_, mounts_);
    folders.ResetOverwriteQuestion();
    // Replacing the files of an album this program wrote (its record says so, whichever page it has) is what
    // an update is for.
    if (choices.update &&
        FindAlbumRecord(job.outputFolder, ALBUMWRIGHT_VERSION_TEXT).read.state == ManifestState::Read)
        folders.SettleOverwriteQuestion();

    if (!SettleLocations(job, items))
        return result;

    if (folders.IsCameraFolder(job.outputFolder) &&
        !services_.AskYesNo(LoadText(TextId::CameraFolderQuestion), LoadText(TextId::WarningCaption),
                            MessageIcon::Exclamation, DefaultButton::No))
        return result;

    const FolderResult output = folders.PrepareOutputFolder(job.outputFolder);
    if (output.code == FolderFailed) {
        ReportFolderFailure(output.error);
        return result;
    }
    if (output.code == FolderNo) {
        services_.Inform(LoadText(TextId::CreationCancelled), LoadText(TextId::InformationCaption),
                         MessageIcon::Information);
        return result;
    }

    const int marker = HasArrangementMarker(job.arrangementFile);
    std::string dataPath;
    std::string thumbPath;
    const FolderResult media = folders.PrepareMediaFolders(job.outputFolder, marker, dataPath, thumbPath);
    if (media.code == FolderFailed) {
        ReportFolderFailure(media.error);
        return result;
    }
    if (media.code == FolderNo) {
        services_.Inform(LoadText(TextId::CreationCancelled), LoadText(TextId::InformationCaption),
                         MessageIcon::Information);
        return result;
    }

    if (folders.overwriteQuestionPending() &&
        OutputFolders::IndexPageExists(job.outputFolder, GalleryPageWriter::PageName(job)) &&
        !folders.AskOverwriteQuestion())
        return result;

    items.PrepareFileNames();
    const int renameCount = items.MakeFileNamesUnique();
    items.audioPicturePath = job.audioPicture;
    items.PrepareThumbNames();
    items.MakeThumbNamesUnique();
    if (job.embedPlayback != 0 || job.gallery)
        items.PreparePlayableNames(); // names for copies browsers play, beside every other Data name
    if (job.originals)
        items.PrepareOriginalNames();

    // Refused before anything is written: replacing a source would lose the user's original.
    const std::string written = FindSourceTheRunWouldWrite(items.items(), job, dataPath, thumbPath);
    if (!written.empty()) {
        services_.Inform(DescribeFailure({written, FailureCause::IsSource}), LoadText(TextId::WarningCaption),
                         MessageIcon::Exclamation);
        return result;
    }

    AlbumChoices made = ChoicesOf(choices, job);
    for (const MediaItem& item : items.items())
        made.order.push_back(item.fileName);
    const ProgressOutcome outcome = services_.RunProgress(ProgressRequest{
        items.items(), job, dataPath, thumbPath, marker, choices.workFolder, std::move(made)});
    result.reachedRun = true;
    result.runCode = outcome.runCode;

    ReportRun(outcome, renameCount, job);
    if (job.openWhenDone == 1 && outcome.runCode == RunWritten &&
        !services_.OpenInBrowser(AlbumPagePath(job)))
        services_.Inform(LoadText(TextId::BrowserFailed), LoadText(TextId::WarningCaption),
                         MessageIcon::Exclamation);
    result.closeWindow = outcome.runCode == RunWritten;
    return result;
}

bool CreateWorkflow::SettleLocations(AlbumJob& job, const ItemList& items) {
    if (job.removeLocation != 0)
        return true;
    const std::size_t located =
        services_.CountPublishingLocation(items.items(), {job.gallery, job.originals});
    if (located == 0)
        return true;
    const int answer =
        services_.AskThree(FormatText(LoadText(TextId::LocationQuestion),
                                      {std::to_string(located), std::to_string(items.count())}),
                           LoadText(TextId::ConfirmationCaption), MessageIcon::Question,
                           {LoadText(TextId::LocationRemoveAnswer), LoadText(TextId::LocationPublishAnswer),
                            LoadText(TextId::LocationBackAnswer)});
    if (answer == 0)
        job.removeLocation = 1;
    return answer != 2;
}

AlbumChoices CreateWorkflow::ChoicesOf(const SessionChoices& choices, const AlbumJob& job) {
    AlbumChoices record;
    record.title = choices.pageTitle;
    record.fontColour = ColourText(choices.fontColour);
    record.backgroundColour = ColourText(choices.backgroundColour);
    record.background = choices.background;
    record.arrangement = choices.arrangement;
    record.arrangementFile = job.arrangementFile;
    record.embed = job.embedPlayback != 0;
    record.removeLocation = job.removeLocation != 0;
    record.originals = job.originals;
    return record;
}

void CreateWorkflow::ReportFolderFailure(int error) {
    const std::string text =
        error == ELOOP ? LoadText(TextId::LinkedMediaFolder)
        : (IsAccessDenied(error) || IsWriteProtected(error))
            ? LoadText(TextId::FolderNotWritable) + "\n"
            : LoadText(TextId::FolderMistake) + "\n" + LoadText(TextId::FolderNotCreated);
    services_.Inform(text, LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
}

void CreateWorkflow::ReportRun(const ProgressOutcome& outcome, int renameCount, const AlbumJob& job) {
    switch (outcome.runCode) {
    case RunWritten:
        if (renameCount > 0)
            services_.InformWithHelp(LoadText(TextId::NamesChanged), LoadText(TextId::InformationCaption),
                                     kRenamedHelpContext);
        services_.Inform(FormatText(LoadText(job.gallery ? TextId::GalleryCreated : TextId::PageCreated),
                                    {job.outputFolder}),
                         LoadText(TextId::InformationCaption), MessageIcon::Information);
        break;
    case RunStopped:
        services_.Inform(LoadText(TextId::CreationCancelled) + LoadText(TextId::FilesMayRemain),
                         LoadText(TextId::InformationCaption), MessageIcon::Information);
        break;
    case RunFailed: {
        // The failing file and its reason turn "an error occurred" into something the user can act on.
        std::string text = LoadText(TextId::RunFailed);
        if (!outcome.failureLine.empty())
            text += "\n" + outcome.failureLine;
        services_.Inform(text, LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
        break;
    }
    default:
        break;
    }
}

} // namespace aw
