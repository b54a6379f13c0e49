// SPDX-License-Identifier: MIT
#include "album/createthread.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "album/gallerypagewriter.h"
#include "album/itemmetadata.h"
#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "album/mediapath.h"
#include "album/pagewriter.h"
#include "album/progressrequest.h"
#include "album/reuseplan.h"
#include "album/runhost.h"
#include "platform/asciicase.h"
#include "platform/atomicfile.h"
#include "platform/filecopy.h"
#include "platform/paths.h"
#include "platform/tempfile.h"
#include "stringtable.h"

namespace aw {
CCreateThread::CCreateThread(RunHost& host, std::vector<MediaItem> items, AlbumJob job, RunFolders folders,
                             const ImagingLibrary& imaging)
    : host_(host), items_(std::move(items)), job_(std::move(job)), folders_(std::move(folders)),
      imaging_(imaging) {}

CCreateThread::~CCreateThread() {
    // An owner that goes away early must not leave the worker writing behind it: stop at the next check
    // point and wait.
    cancel_.store(1);
    Join();
}

void CCreateThread::Start() {
    if (started_)
        return;
    started_ = true;
    worker_ = std::thread([this] { Run(); });
}

void CCreateThread::Join() {
    if (worker_.joinable())
        worker_.join();
}

std::string CCreateThread::BackgroundDataName(const std::string& backgroundPath,
                                              const std::vector<MediaItem>& items) {
    const std::string own = MediaPath::BaseNameOf(backgroundPath) + MediaPath::ExtensionOf(backgroundPath);
    auto taken = [&items](const std::string& name) {
        for (const MediaItem& item : items)
            if (EqualsIgnoringAsciiCase(item.fileName, name))
                return true;
        return false;
    };
    if (!taken(own))
        return own;
    // A user's own picture of the same name was copied into Data by an item; the page's background must
    // not replace it, so the background takes a name no item of this run has.
    for (int n = 1;; ++n) {
        const std::string candidate = (n == 1 ? std::string("bg_") : "bg" + std::to_string(n) + "_") + own;
        if (!taken(candidate))
            return candidate;
    }
}

int CCreateThread::Run() {
    int code = RunFailed;
    try {
        code = Generate();
    } catch (...) {
        code = FinishAfterException();
    }
    result_.store(code);
    return code;
}

int CCreateThread::FinishAfterException() {
    // The page files were closed by unwinding and the temporary file removed; what was written stays, as
    // with any failure. The close request must come once whatever else throws now.
    lookAhead_.reset();
    gallery_.reset(); // an unfinished page never replaces the earlier one
    if (closeSent_ != 0)
        return closeSent_;
    try {
        if (reuse_)
            reuse_->Conclude(false);
    } catch (...) {
    }
    try {
        host_.ReportFailure(DescribeFailure({currentFile_, FailureCause::Unexpected}));
    } catch (...) {
    }
    closeSent_ = RunFailed;
    try {
        host_.RequestClose(RunFailed);
    } catch (...) {
    }
    return RunFailed;
}

int CCreateThread::Generate() {
    const std::string pageFile = JoinPath(job_.outputFolder, GalleryPageWriter::PageName(job_));
    currentFile_ = pageFile;
    PageWriter page;
    if (job_.gallery && !BeginGallery())
        return Finish(page, RunFailed);
    page.PreparePlaceholderValues(job_);
    if (job_.backgroundIndex > 0) {
        // $BF$ names the file really written into Data, so it is settled before the head uses it.
        backgroundName_ = BackgroundDataName(job_.backgroundText, items_);
        page.SetPlaceholderValue(PageWriter::BackgroundFile, backgroundName_);
    }

    if (!job_.gallery && !page.OpenPageFiles(job_)) {
        failure_ = page.failure();
        return Finish(page, RunFailed);
    }
    std::vector<std::string> templates[2];
    if (!job_.gallery &&
        (!page.WritePageHead(job_.backgroundIndex) || !page.ReadItemTemplates(templates[0], templates[1]))) {
        failure_ = page.failure();
        return Finish(page, RunFailed);
    }

    StartLookAhead();
    MediaCopier copier(imaging_, folders_.workFolder, folders_.arrangementMarker, job_.audioPicture);
    copier.SetRemovePrivateFields(job_.removeLocation != 0);
    // Movies and sounds always play in the Gallery's viewer.
    PagePlayback playback(imaging_, host_, cancel_, job_.embedPlayback != 0 || job_.gallery, job_.gallery);
    const int count = static_cast<int>(items_.size());
    int column = 0;
    for (int p = 1; p <= count; ++p) {
        if (Cancelled())
            return Finish(page, RunStopped);
        currentFile_ = items_[p - 1].path;
        host_.SetStatusText(
            FormatText(LoadText(TextId::ProcessingProgress), {std::to_string(p), std::to_string(count)}));
        const PagePlayback::Plan plan = playback.PlanFor(items_[p - 1]);
        // An item with a copy to make moves the bar while the copy is made, within its own steps.
        host_.AdvanceProgress(plan.copy == CopyKind::None ? kProgressPerItem : 1);

        switch (HandleItem(p - 1, copier, page, templates[column], playback, plan)) {
        case ItemOutcome::Done:
            column = 1 - column;
            break;
        case ItemOutcome::LeftOut:
            break;
        case ItemOutcome::Stop:
            return Finish(page, RunStopped);
        case ItemOutcome::Fail:
            return Finish(page, RunFailed);
        }
    }

    // The background first: the page's tail marks it complete, and only a complete page replaces the
    // earlier Index.html, so a failed background copy leaves the earlier page as it was.
    if (job_.backgroundIndex > 0 && !CopyBackground())
        return Finish(page, RunFailed);
    currentFile_ = pageFile;
    if (job_.gallery)
        return Finish(page, FinishGallery() ? RunWritten : RunFailed);
    if (!page.WritePageTail()) {
        failure_ = page.failure();
        return Finish(page, RunFailed);
    }
    return Finish(page, RunWritten);
}

CCreateThread::ItemOutcome CCreateThread::HandleItem(std::size_t index, MediaCopier& copier, PageWriter& page,
                                                     const std::vector<std::string>& templates,
                                                     PagePlayback& playback, const PagePlayback::Plan& plan) {
    const MediaItem& item = items_[index];
    bool made = false;
    // One preparation serves the display copy and the thumbnails: taken when the first of them is made.
    std::optional<PreparedThumbnail> prepared;
    const Preparation preparation = [&]() -> const PreparedThumbnail& {
        if (!prepared)
            prepared = TakeThumbnail(index);
        return *prepared;
    };
    // In the Gallery a movie or sound goes into Data only as a copy browsers play, without its metadata;
    // a copy of the original's bytes only with the originals.
    const bool copyOnly = gallery_ && plan.copy != CopyKind::None;
    if (!copyOnly) {
        if (const ItemOutcome data = PutDataFile(index, copier, playback, preparation, made);
            data != ItemOutcome::Done)
            return data;
    } else if (plan.copy != CopyKind::Clean && reuse_) {
        reuse_->LeaveOutData(index);
    }
    if (gallery_ && job_.originals) {
        if (const ItemOutcome original = PutOriginal(index, copier, playback, made);
            original != ItemOutcome::Done)
            return original;
    }
    if (Cancelled())
        return ItemOutcome::Stop;

    const std::string thumbPath = JoinPath(folders_.thumbFolder, item.thumbName);
    int thumbWidth = 0;
    int thumbHeight = 0;
    PixelSize picture; // the Gallery's viewer needs it
    if (!reuse_ || !reuse_->KeepThumb(index, thumbWidth, thumbHeight, &picture)) {
        const std::string& workFolder = folders_.workFolder;
        // The thumbnail's temporary file goes away on every path out of an item, the failing ones included.
        TempFile temp = TempFile::Create(workFolder, "HTM");
        if (!temp.valid()) {
            failure_ = {workFolder.empty() ? item.path : workFolder, FailureCause::NoWorkFolder};
            return ItemOutcome::Fail;
        }
        const PreparedThumbnail& taken = preparation();
        const int committed = copier.CommitThumbnail(taken, temp, thumbPath, item.kind);
        if (committed == 0) {
            failure_ = copier.failure();
            return ItemOutcome::Fail;
        }
        if (committed != 1) {
            const RunFailure copyFailure = copier.failure();
            const Replaced replaced = ReplaceReadOnly(thumbPath, item.thumbName, false, [&] {
                return copier.WriteThumbContent(temp, thumbPath, item.kind);
            });
            if (replaced == Replaced::Failed) {
                failure_ = copier.failure().empty() ? copyFailure : copier.failure();
                return ItemOutcome::Fail;
            }
        }
        thumbWidth = copier.thumbWidth();
        thumbHeight = copier.thumbHeight();
        if (folders_.arrangementMarker != 1) {
            made = true;
            if (reuse_)
                reuse_->RecordThumb(index, thumbWidth, thumbHeight);
        }
        if (gallery_ && !WriteDenserThumbnails(index, taken, copier))
            return ItemOutcome::Fail;
        picture = {taken.pictureWidth, taken.pictureHeight};
    }
    prepared.reset(); // a display copy's bytes are not kept while a movie is copied
    if (Cancelled())
        return ItemOutcome::Stop;

    if (plan.copy != CopyKind::None) {
        const int copyKind = static_cast<int>(plan.copy);
        // A copy without metadata of a file browsers play stands in for it under its own Data name.
        const std::string& copyName = plan.copy == CopyKind::Clean ? item.fileName : item.playableName;
        if (reuse_ && reuse_->KeepPlayable(index, copyKind)) {
            host_.AdvanceProgress(kProgressPerItem - 1);
        } else {
            const PagePlayback::Outcome outcome = playback.MakeCopy(
                item, plan.copy, JoinPath(folders_.dataFolder, copyName), static_cast<int>(index) + 1,
                static_cast<int>(items_.size()), kProgressPerItem - 1);
            if (outcome == PagePlayback::Outcome::Stopped)
                return ItemOutcome::Stop;
            if (outcome == PagePlayback::Outcome::Failed) {
                failure_ = playback.failure();
                return ItemOutcome::Fail;
            }
            made = true;
            if (reuse_)
                reuse_->RecordPlayable(index, copyKind);
        }
        if (Cancelled())
            return ItemOutcome::Stop;
    }

    if (gallery_) {
        GalleryItem entry;
        entry.dataName = item.fileName;
        // A movie or sound that browsers do not play as it is opens its copy: its own file is not there.
        if (copyOnly && plan.copy != CopyKind::Clean)
            entry.shownName = item.playableName;
        entry.thumbName = item.thumbName;
        entry.kind = item.kind;
        entry.thumbWidth = thumbWidth;
        entry.thumbHeight = thumbHeight;
        entry.denser = item.kind != MediaKind::Audio;
        entry.pictureWidth = picture.width;
        entry.pictureHeight = picture.height;
        // What the viewer plays: the file itself (or its copy without metadata), or the copy browsers play;
        // a movie neither plays stays a link.
        if (plan.plays)
            entry.playableName = plan.copy == CopyKind::None || plan.copy == CopyKind::Clean
                                     ? item.fileName
                                     : item.playableName;
        if (job_.originals)
            entry.originalPath = "Data/" + LoadText(TextId::OriginalsFolderName) + "/" + item.originalName;
        GalleryCaption(item, entry);
        gallery_->AddItem(entry);
        if (reuse_)
            reuse_->CountItem(made);
        return ItemOutcome::Done;
    }
    page.SetPlaceholderValue(PageWriter::DataFile, item.fileName);
    page.SetPlaceholderValue(PageWriter::ThumbFile, item.thumbName);
    page.SetPlaceholderValue(PageWriter::ThumbWidth, std::to_string(thumbWidth));
    page.SetPlaceholderValue(PageWriter::ThumbHeight, std::to_string(thumbHeight));
    const std::string played = plan.copy == CopyKind::None ? std::string() : item.playableName;
    if (!page.WriteItemEntry(templates, item.kind, thumbWidth, thumbHeight, plan.plays, played)) {
        failure_ = page.failure();
        return ItemOutcome::Fail;
    }
    if (reuse_)
        reuse_->CountItem(made);
    return ItemOutcome::Done;
}

CCreateThread::ItemOutcome CCreateThread::PutDataFile(std::size_t index, MediaCopier& copier,
                                                      PagePlayback& playback, const Preparation& preparation,
                                                      bool& made) {
    const MediaItem& item = items_[index];
    if (reuse_ && reuse_->KeepData(index))
        return ItemOutcome::Done;
    const std::string dataPath = JoinPath(folders_.dataFolder, item.fileName);
    // The Gallery's stills: the copy for screens, made with the thumbnails.
    const bool display = gallery_ && IsStillKind(item.kind);
    const std::optional<ItemOutcome> cleaned =
        display ? std::nullopt : CopyWithoutMovieMetadata(index, playback, dataPath, item.fileName);
    if (cleaned && *cleaned != ItemOutcome::Done)
        return *cleaned;
    TempFile temp;
    if (display) {
        temp = TempFile::Create(folders_.workFolder, "HTM");
        if (!temp.valid()) {
            failure_ = {folders_.workFolder.empty() ? item.path : folders_.workFolder,
                        FailureCause::NoWorkFolder};
            return ItemOutcome::Fail;
        }
    }
    const int copied = cleaned   ? 1
                       : display ? copier.CommitDisplayCopy(preparation(), temp, item.path, dataPath)
                                 : copier.CopyToDataFolder(item.path, dataPath, item.kind);
    if (copied == 0) {
        failure_ = copier.failure();
        return ItemOutcome::Fail;
    }
    if (copied != 1) {
        const RunFailure copyFailure = copier.failure();
        const Replaced replaced = ReplaceReadOnly(dataPath, item.fileName, true, [&] {
            return display ? copier.WriteMadeContent(temp, dataPath)
                           : copier.WriteDataContent(item.path, dataPath, item.kind);
        });
        if (replaced == Replaced::Failed) {
            failure_ = copier.failure().empty() ? copyFailure : copier.failure();
            return ItemOutcome::Fail;
        }
        if (replaced == Replaced::Declined) {
            host_.Inform(FormatText(LoadText(TextId::FileNotCreated), {item.fileName}),
                         LoadText(TextId::InformationCaption));
            return ItemOutcome::LeftOut;
        }
    }
    made = true;
    if (reuse_)
        reuse_->RecordData(index);
    return ItemOutcome::Done;
}

CCreateThread::ItemOutcome CCreateThread::PutOriginal(std::size_t index, MediaCopier& copier,
                                                      PagePlayback& playback, bool& made) {
    const MediaItem& item = items_[index];
    if (reuse_ && reuse_->KeepOriginal(index))
        return ItemOutcome::Done;
    const std::string name = LoadText(TextId::OriginalsFolderName) + "/" + item.originalName;
    const std::string path = JoinPath(folders_.dataFolder, name);
    // With the private fields removed, an original is like any other copy.
    const std::optional<ItemOutcome> cleaned = CopyWithoutMovieMetadata(index, playback, path, name);
    if (cleaned && *cleaned != ItemOutcome::Done)
        return *cleaned;
    const int copied = cleaned ? 1 : copier.CopyAsItIs(item.path, path, item.kind);
    if (copied == 0) {
        failure_ = copier.failure();
        return ItemOutcome::Fail;
    }
    if (copied != 1) {
        const RunFailure copyFailure = copier.failure();
        const Replaced replaced = ReplaceReadOnly(
            path, name, true, [&] { return copier.CopyAsItIs(item.path, path, item.kind) == 1 ? 1 : 0; });
        if (replaced == Replaced::Failed) {
            failure_ = copier.failure().empty() ? copyFailure : copier.failure();
            return ItemOutcome::Fail;
        }
        // Declined: the earlier original stays, and the page still offers it.
    }
    made = true;
    if (reuse_)
        reuse_->RecordOriginal(index);
    return ItemOutcome::Done;
}

void CCreateThread::StartLookAhead() {
    // Without thumbnails there is nothing to make ahead; audio items only get a copy of one picture.
    if (folders_.arrangementMarker == 1)
        return;
    const ThumbnailPreparer preparer = Preparer(&lookAheadMemory_);
    lookAhead_ =
        std::make_unique<PrepareAhead<PreparedThumbnail>>(items_.size(), [this, preparer](std::size_t index) {
            const MediaItem& item = items_[index];
            // A thumbnail the plan expects to keep is not decoded ahead.
            const bool needed = item.kind != MediaKind::Audio && !(reuse_ && reuse_->ThumbPlanned(index));
            return needed ? preparer.Prepare(item.path, item.kind) : PreparedThumbnail{};
        });
}

PreparedThumbnail CCreateThread::TakeThumbnail(std::size_t index) {
    // Without thumbnails (the marker) and for audio items the copier needs nothing prepared.
    const MediaItem& item = items_[index];
    if (!lookAhead_ || item.kind == MediaKind::Audio)
        return {};
    // Expected to be kept but changed since the plan was made: made here, the look-ahead passed it over.
    if (reuse_ && reuse_->ThumbPlanned(index))
        return Preparer(nullptr).Prepare(item.path, item.kind);
    // What a preparation threw is thrown here, at its item, and ends the run like any throw in it.
    std::optional<PreparedThumbnail> prepared = lookAhead_->Take(index);
    return prepared ? std::move(*prepared) : Preparer(nullptr).Prepare(item.path, item.kind);
}

ThumbnailPreparer CCreateThread::Preparer(MemoryBudget* budget) const {
    // The Gallery's thumbnails at 1x, 2x and 3x and its display copies come from one decode.
    return ThumbnailPreparer(imaging_, budget, job_.gallery ? 3 : 1, job_.gallery);
}

bool CCreateThread::BeginGallery() {
    gallery_ = std::make_unique<GalleryPageWriter>();
    if (job_.backgroundIndex > 0)
        backgroundName_ = BackgroundDataName(job_.backgroundText, items_);
    for (const char* density : {"/2x", "/3x"}) {
        failure_ = GalleryPageWriter::MakeAlbumFolder(folders_.thumbFolder + density);
        if (!failure_.empty())
            return false;
    }
    if (job_.originals) {
        failure_ = GalleryPageWriter::MakeAlbumFolder(
            JoinPath(folders_.dataFolder, LoadText(TextId::OriginalsFolderName)));
        if (!failure_.empty())
            return false;
    }
    if (!gallery_->Begin(job_, backgroundName_)) {
        failure_ = gallery_->failure();
        return false;
    }
    return true;
}

bool CCreateThread::WriteDenserThumbnails(std::size_t index, const PreparedThumbnail& prepared,
                                          MediaCopier& copier) {
    const MediaItem& item = items_[index];
    if (item.kind == MediaKind::Audio)
        return true;
    int density = 2;
    for (const DenserThumbnail& denser : prepared.denser) {
        const std::string name = std::to_string(density) + "x/" + item.thumbName;
        TempFile temp = TempFile::Create(folders_.workFolder, "HTM");
        PreparedThumbnail one;
        one.made = true;
        one.jpeg = denser.jpeg;
        if (!temp.valid()) {
            failure_ = {folders_.workFolder.empty() ? item.path : folders_.workFolder,
                        FailureCause::NoWorkFolder};
            return false;
        }
        const std::string path = JoinPath(folders_.thumbFolder, name);
        const int committed = copier.CommitThumbnail(one, temp, path, item.kind);
        // A read-only one from an earlier run is replaced without a question, as the 1x one is.
        if (committed != 1) {
            const RunFailure copyFailure = copier.failure();
            if (committed == 0 || ReplaceReadOnly(path, name, false, [&] {
                                      return copier.WriteThumbContent(temp, path, item.kind);
                                  }) == Replaced::Failed) {
                failure_ = copier.failure().empty() ? copyFailure : copier.failure();
                return false;
            }
        }
        if (reuse_)
            reuse_->RecordDenser(index, density, prepared.pictureWidth, prepared.pictureHeight);
        ++density;
    }
    return true;
}

bool CCreateThread::FinishGallery() {
    failure_ = GalleryPageWriter::CopyViewerFiles(job_.viewerFolder, job_.outputFolder);
    if (!failure_.empty())
        return false;
    if (!gallery_->Close()) {
        failure_ = gallery_->failure();
        return false;
    }
    return true;
}

bool CCreateThread::CopyBackground() {
    const std::string& source = job_.backgroundText;
    currentFile_ = source;
    const std::string destination = JoinPath(folders_.dataFolder, backgroundName_);
    const int error = CopyFileReplacing(source, destination);
    int rewriteError = 0;
    const bool copied = error == 0 || ReplaceReadOnly(destination, backgroundName_, false, [&] {
                                          rewriteError = CopyFileReplacing(source, destination);
                                          return rewriteError == 0 ? 1 : 0;
                                      }) == Replaced::Done;
    if (copied) {
        if (reuse_)
            reuse_->RecordBackground(backgroundName_);
        return true;
    }
    failure_ = {destination, CauseFromErrno(rewriteError != 0 ? rewriteError : error)};
    return false;
}

void CCreateThread::GalleryCaption(const MediaItem& item, GalleryItem& entry) const {
    const MediaMetadata metadata = ReadItemMetadata(item, &imaging_);
    entry.caption = metadata.caption;
    // Only a date the file itself records: a modification time may be the day it was copied.
    if (metadata.taken.known() && metadata.taken.source() != TakenTime::Source::FileTime) {
        const CivilTime day = metadata.taken.WallClock();
        char text[16];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
        entry.date = text;
    }
}

std::optional<CCreateThread::ItemOutcome>
CCreateThread::CopyWithoutMovieMetadata(std::size_t index, PagePlayback& playback,
                                        const std::string& dataPath, const std::string& shownName) {
    const MediaItem& item = items_[index];
    if (job_.removeLocation == 0 || (!IsMovieKind(item.kind) && item.kind != MediaKind::Audio))
        return std::nullopt;
    // A file that carries nothing private stays the file itself, as pictures do.
    const std::optional<AwMovieDetails> details = ReadMovieDetails(imaging_, item.path);
    if (!details || (details->hasLocation == 0 && details->hasOwner == 0 && details->hasSerial == 0))
        return std::nullopt;
    PagePlayback::Outcome outcome = PagePlayback::Outcome::Failed;
    const auto copy = [&] {
        // Within the item's own progress steps: the copy gives none of its own.
        outcome = playback.MakeCopy(item, CopyKind::Clean, dataPath, static_cast<int>(index) + 1,
                                    static_cast<int>(items_.size()), 0);
        return outcome == PagePlayback::Outcome::Done ? 1 : 0;
    };
    // The copy replaces what is there by renaming; a read-only Data file is asked about first, as ever.
    if (IsReadOnly(dataPath)) {
        const Replaced replaced = ReplaceReadOnly(dataPath, shownName, true, copy);
        if (replaced == Replaced::Done)
            return ItemOutcome::Done;
        if (replaced == Replaced::Declined) {
            host_.Inform(FormatText(LoadText(TextId::FileNotCreated), {shownName}),
                         LoadText(TextId::InformationCaption));
            return ItemOutcome::LeftOut;
        }
    } else {
        copy();
    }
    if (outcome == PagePlayback::Outcome::Stopped || Cancelled())
        return ItemOutcome::Stop;
    if (outcome == PagePlayback::Outcome::Done)
        return ItemOutcome::Done;
    failure_ = playback.failure();
    // A container the module copies only as it is: its private fields cannot be left out.
    if (failure_.empty() || failure_.cause == FailureCause::NoPlayableCopy)
        failure_ = {item.path, FailureCause::PrivateFieldsKept};
    return ItemOutcome::Fail;
}

CCreateThread::Replaced CCreateThread::ReplaceReadOnly(const std::string& destination,
                                                       const std::string& displayName, bool ask,
                                                       const std::function<int()>& rewrite) {
    if (!IsReadOnly(destination))
        return Replaced::Failed;
    if (ask && host_.AskYesNo(FormatText(LoadText(TextId::ReadOnlyQuestion), {displayName}),
                              LoadText(TextId::ConfirmationCaption)) != RunHost::kYes)
        return Replaced::Declined;
    if (!ClearReadOnly(destination))
        return Replaced::Failed;
    const int written = rewrite();
    // The file was read-only before and stays so, also when the rewrite failed half-way.
    const bool restored = SetReadOnly(destination);
    // Reporting success for a rewrite that did not land would leave a stale or broken file on the page.
    if (written != 1 || !restored)
        return Replaced::Failed;
    return Replaced::Done;
}

int CCreateThread::Finish(PageWriter& page, int runCode) {
    // The workers go first: no preparation may outlive the run's close request.
    lookAhead_.reset();
    gallery_.reset();
    // Data and Thumb files were renamed into place without a sync each: their folders are synced once, here,
    // before the page and the record that name them. Best effort: a file system that cannot sync a folder
    // still holds the files.
    for (const std::string* folder : {&folders_.dataFolder, &folders_.thumbFolder})
        if (!folder->empty())
            SyncFolder(*folder);
    // On the way to a written album the page must really be on disk and in place; on a stop or a failure
    // the unfinished page is dropped (the earlier Index.html stays) and the close result changes nothing.
    const bool closed = page.ClosePageFiles();
    if (runCode == RunWritten && !closed) {
        failure_ = page.failure();
        runCode = RunFailed;
    }
    // The album's record is written on every way out, so that it matches what is now on disk.
    if (reuse_ && runCode == RunWritten)
        reuse_->RecordPage(GalleryPageWriter::PageName(job_),
                           job_.gallery ? job_.viewerFolder + "gallery.js" : job_.arrangementFile);
    if (reuse_)
        reuse_->Conclude(runCode == RunWritten);
    if (runCode == RunFailed) {
        const std::string reason = DescribeFailure(failure_);
        if (!reason.empty())
            host_.ReportFailure(reason);
    }
    closeSent_ = runCode;
    host_.RequestClose(runCode);
    return runCode;
}

} // namespace aw
