// SPDX-License-Identifier: MIT
// The generation run: writes Index.html (the Gallery: index.html, its Viewer folder and thumbnails also at
// 2x and 3x in Thumb/2x and Thumb/3x), copies every item into Data and makes its thumbnail in Thumb,
// reporting to a RunHost as it goes, and ends every run with exactly one close request carrying the run
// code (1 written, 2 stopped, 3 failed), also when something in the run throws (then 3, after a failure
// line when one can be told). Nothing already written is removed on a stop or a failure; the page is built
// under a temporary name and replaces Index.html only when the run completes, so a stopped or failed run
// leaves the earlier page as it was. Temporary files are removed on every path. Thumbnails are made
// ahead on worker threads (one per core, a few items ahead: PrepareAhead) and written in item order like
// everything else; the workers are stopped and joined before the close request. Together they hold at most
// kLookAheadBytes of pictures in the making, whatever the number of cores.
//
// Ownership: the owner (the progress window, the command line, a test) creates one CCreateThread per run
// and keeps it until the run has ended; the destructor raises the cancel flag and joins the worker, so
// the object stays valid for a late RequestStop. The destructor can only finish if no host call waits
// for the destroying thread: an owner whose host hands calls over to its own thread shuts that hand-over
// down first (RelayedRunHost::Shutdown), so that a pending question answers No. The run keeps its own copy of
// the items and of the job, so nothing the window's event loop does meanwhile (a drop, a timer) can change
// what the worker reads. The imaging table and the host are borrowed and must outlive the object.
//
// Thread-safety: Start, Join, result and the destructor belong to one owning thread (any thread, not
// necessarily the one that made the object). RequestStop may be called from any thread, any number of
// times, also after the run has ended (then it changes nothing the run can see); it never calls the host.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "album/albumjob.h"
#include "album/mediaitem.h"
#include "album/pageplayback.h"
#include "album/prepareahead.h"
#include "album/runfailure.h"
#include "album/thumbnailpreparer.h"

namespace aw {

class GalleryPageWriter;
struct GalleryItem;
class MediaCopier;
class PageWriter;
class ReusePlan;
class RunHost;
struct ImagingLibrary;

// The folders of one run, as the folder preparation made them.
struct RunFolders {
    std::string dataFolder;    // full path of Data, no trailing separator
    std::string thumbFolder;   // full path of Thumb, no trailing separator; empty with the marker
    std::string workFolder;    // where temporary files go; an empty one fails the run at the first item
    int arrangementMarker = 0; // 1: the arrangement makes no thumbnails
};

class CCreateThread {
public:
    // Two pictures of the modules' pixel budget: two of the largest pictures, or many camera photos, are
    // prepared at once; on a machine of many cores, hostile files that each declare a huge picture no longer
    // multiply the run's peak by the number of cores.
    static constexpr uint64_t kLookAheadBytes = 2 * ThumbnailPreparer::kPictureBytes;

    CCreateThread(RunHost& host, std::vector<MediaItem> items, AlbumJob job, RunFolders folders,
                  const ImagingLibrary& imaging);
    ~CCreateThread(); // raises the cancel flag, then joins the worker
    CCreateThread(const CCreateThread&) = delete;
    CCreateThread& operator=(const CCreateThread&) = delete;

    // Keeps the Data files and thumbnails `plan` allows, records what the run writes, and has the plan
    // conclude (prune and write the album's record) when the run ends, whatever its code. Before Start;
    // the plan is borrowed and must outlive the run. Without a plan every file is made.
    void UseReusePlan(ReusePlan& plan) { reuse_ = &plan; }

    // Runs Run on the owned thread. Once per object; a second call does nothing.
    void Start();
    // Waits for the owned thread, if one was started. Safe to call more than once.
    void Join();

    // Raises the cancel flag; the run stops at its next check point (the start of an item, after its Data
    // copy, after its thumbnail). The caller shows "Finishing..." (string 434) itself.
    void RequestStop() { cancel_.store(1); }

    // The whole generation on the calling thread; the result is the code also sent with the close request.
    // Never throws: whatever the run or its host throws ends the run with RunFailed.
    int Run();

    // The code of a run that has ended (the one sent with its close request); 0 before.
    int result() const { return result_.load(); }

    // The name the background picture gets in Data: its own, unless an item of this run already owns that
    // name (ASCII case ignored), then the first free of "bg_", "bg2_", "bg3_"... + its own.
    static std::string BackgroundDataName(const std::string& backgroundPath,
                                          const std::vector<MediaItem>& items);

private:
    enum class ItemOutcome { Done, LeftOut, Stop, Fail };
    struct Column;

    int Generate();
    int FinishAfterException();
    ItemOutcome HandleItem(std::size_t index, MediaCopier& copier, PageWriter& page,
                           const std::vector<std::string>& templates, PagePlayback& playback,
                           const PagePlayback::Plan& plan);
    // The item's preparation, taken from the look-ahead the first time it is asked for.
    using Preparation = std::function<const PreparedThumbnail&()>;
    // The item's file in Data (the Gallery's display copy of a still), and the byte copy of its source in
    // Data/originals; `made` is set when a file was written.
    ItemOutcome PutDataFile(std::size_t index, MediaCopier& copier, PagePlayback& playback,
                            const Preparation& preparation, bool& made);
    ItemOutcome PutOriginal(std::size_t index, MediaCopier& copier, PagePlayback& playback, bool& made);
    bool CopyBackground();
    enum class Replaced {
        Failed,   // the copy failed for another reason than a read-only destination, or the rewrite failed
        Declined, // asked and answered No; nothing changed
        Done,     // rewritten (after a Yes when asked) and read-only again
    };
    // Replaces a read-only destination after the first copy refused it. `rewrite` writes the destination
    // again and gives 1 on success.
    Replaced ReplaceReadOnly(const std::string& destination, const std::string& displayName, bool ask,
                             const std::function<int()>& rewrite);
    // The Gallery's caption and date of the item, for its alt text.
    void GalleryCaption(const MediaItem& item, GalleryItem& entry) const;
    // The copy at `dataPath` (named `shownName` in a question) of a movie or sound whose metadata carries a
    // location, an owner or a serial number, when the job removes them: the video module's copy without
    // metadata. Nothing for any other item.
    std::optional<ItemOutcome> CopyWithoutMovieMetadata(std::size_t index, PagePlayback& playback,
                                                        const std::string& dataPath,
                                                        const std::string& shownName);
    void StartLookAhead();
    PreparedThumbnail TakeThumbnail(std::size_t index);
    ThumbnailPreparer Preparer(MemoryBudget* budget) const;
    // The Gallery's page, its denser thumbnails and its Viewer folder.
    bool BeginGallery();
    bool WriteDenserThumbnails(std::size_t index, const PreparedThumbnail& prepared, MediaCopier& copier);
    bool FinishGallery();
    int Finish(PageWriter& page, int runCode);
    bool Cancelled() const { return cancel_.load() != 0; }

    RunHost& host_;
    const std::vector<MediaItem> items_;
    const AlbumJob job_;
    const RunFolders folders_;
    const ImagingLibrary& imaging_;
    std::atomic<int> cancel_{0};
    std::atomic<int> result_{0};
    int closeSent_ = 0;          // worker only: the code of the one close request, once it was made
    std::string currentFile_;    // worker only: what the run works on, named when something throws
    std::string backgroundName_; // settled before the head is written: it is the value of $BF$
    RunFailure failure_;         // why the run failed, for the host
    // The memory the look-ahead's preparations share: declared before the workers, so it outlives them.
    MemoryBudget lookAheadMemory_{kLookAheadBytes};
    // Thumbnails made ahead of the items on worker threads; stopped (and joined) before the close request.
    std::unique_ptr<PrepareAhead<PreparedThumbnail>> lookAhead_;
    ReusePlan* reuse_ = nullptr;
    std::unique_ptr<GalleryPageWriter> gallery_; // the Gallery's page; none for the other arrangements
    std::thread worker_;
    bool started_ = false;
};

} // namespace aw
