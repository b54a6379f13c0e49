// SPDX-License-Identifier: MIT
// The Create rule: turns a session's choices into one album run. Checks and prepares the output folder,
// asks before anything could be overwritten, names the items, runs the progress display, reports the
// outcome and opens the page when asked to. (The session saves the settings after a run that took place.)
//
// Every question and every message goes through CreateServices, and so do the progress run and the
// browser; the logic itself shows nothing and can run without any window. The window's services, the
// command line's and the test doubles implement CreateServices.
//
// Thread-safety: user-interface thread only. The job and the item list are handed to the progress run by
// reference; nothing here touches them while the run lasts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "album/albumjob.h"
#include "album/itemmetadata.h"
#include "album/mediaitem.h"
#include "album/progressrequest.h"
#include "dialogs/rgb.h"
#include "platform/messageservice.h"
#include "platform/mountinfo.h"
#include "session/albumsettings.h"
#include "session/sessionchoices.h"

namespace aw {

class ItemList;

struct ProgressOutcome {
    int runCode = 0;         // RunWritten (1), RunStopped (2), RunFailed (3)
    std::string failureLine; // with RunFailed: which file and why (DescribeFailure); may be empty
};

class CreateServices : public MessageService {
public:
    // A message with OK and a Help button that opens the help at `helpContext` (2001 for renamed files).
    virtual void InformWithHelp(const std::string& text, const std::string& caption, int helpContext) = 0;

    // Runs the generation with its progress display and returns when the run has ended.
    virtual ProgressOutcome RunProgress(const ProgressRequest& request) = 0;

    // Opens `pagePath` in the user's default web browser; false when no browser could be started.
    virtual bool OpenInBrowser(const std::string& pagePath) = 0;

    // How many of `items` would publish the place where they were taken, in an album that holds
    // `publishing` of them (CountPublishingLocation); the window asks about them before a run. 0 for front
    // ends that say so themselves (the command line's notice).
    virtual std::size_t CountPublishingLocation(const std::vector<MediaItem>& items, Publishing publishing) {
        (void)items, (void)publishing;
        return 0;
    }
};

struct CreateResult {
    bool reachedRun = false;  // the progress run took place
    int runCode = 0;          // its code; 0 when Create stopped before it
    bool closeWindow = false; // true after a written album: the main window closes with result 1
};

class CreateWorkflow {
public:
    // `mounts` decides camera folders; the default reads the running system's mount table.
    explicit CreateWorkflow(CreateServices& services, MountInfo mounts = MountInfo());

    // One Create command on `items` (the session's copy of its list: the names are prepared in it). `job`
    // is filled afresh (a background or arrangement index without a row in `settings` leaves that field as
    // it was) and must stay alive and unchanged while the run lasts.
    CreateResult Run(AlbumJob& job, ItemList& items, const SessionChoices& choices,
                     const AlbumSettings& settings);

    // 1 when a line of the arrangement file reads 18766 (see ParseArrangementNumber); 0 otherwise and
    // when the file cannot be read.
    static int HasArrangementMarker(const std::string& arrangementFile);

    // The job's output folder + "/" + the page the job writes (Index.html, the Gallery's index.html),
    // with no doubled "/".
    static std::string AlbumPagePath(const AlbumJob& job);

    // "#rrggbb", lower-case hexadecimal.
    static std::string ColourText(const Rgb& colour);

    // What the album's record keeps of the choices a run of `choices` (filled into `job`) makes.
    static AlbumChoices ChoicesOf(const SessionChoices& choices, const AlbumJob& job);

private:
    void FillJob(AlbumJob& job, const SessionChoices& choices, const AlbumSettings& settings) const;
    // The question before a run that would publish where photos were taken: false to go back; the answer
    // "remove it" turns removing on for this run.
    bool SettleLocations(AlbumJob& job, const ItemList& items);
    void ReportFolderFailure(int error);
    void ReportRun(const ProgressOutcome& outcome, int renameCount, const AlbumJob& job);

    CreateServices& services_;
    MountInfo mounts_;
};

} // namespace aw
