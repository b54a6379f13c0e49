// SPDX-License-Identifier: MIT
// Writes the Gallery's index.html: an HTML5 page whose items are links on their thumbnails, whole and
// usable without script; the viewer script of the album improves on those links. The page is built in
// memory and put in place at Close, under a temporary name beside index.html renamed over it, so a stopped
// or failed run leaves the earlier page as it was.
//
// Names reach the page escaped as in the other arrangements (EscapeHtmlText, EscapeLinkSegment), and links
// also percent-encode what a URL may not hold and what would split a srcset (a space, a comma); the title
// is escaped too, since this page's markup is its own. Each item's id is its Data name with every byte
// outside letters, digits, ".", "-" and "_" written as "~XX", so it is stable across runs and safe in an
// address.
//
// Owned and used by one thread; not thread-safe. No operation throws for a file error: false, and
// failure() names the file and the cause.
#pragma once

#include <string>
#include <string_view>

#include "album/albumjob.h"
#include "album/mediakind.h"
#include "album/runfailure.h"

namespace aw {

// One item of the page, as the run knows it.
struct GalleryItem {
    std::string dataName;  // in Data; what the link opens, and the source of the item's id
    std::string shownName; // when not empty, what the link opens instead (the copy of a movie or sound
                           // whose own file is not in Data)
    std::string thumbName; // in Thumb (1x); the denser ones carry the same name in Thumb/2x, Thumb/3x
    MediaKind kind = MediaKind::StillJpeg;
    int thumbWidth = 160; // the 1x thumbnail's size in CSS pixels
    int thumbHeight = 120;
    bool denser = true;   // Thumb/2x and Thumb/3x hold this item's thumbnail
    int pictureWidth = 0; // the picture's (movie frame's) displayed size; 0: not known
    int pictureHeight = 0;
    std::string playableName; // a movie or sound: the Data name of a file browsers play (the item's own or a
                              // copy); empty: a movie is a link only, a sound is played from its own file
    std::string originalPath; // the original's path in the album when it is published; the viewer offers it
                              // as a download
    std::string caption;      // empty when none is known
    std::string date;         // the date taken as shown; empty when not known
};

class GalleryPageWriter {
public:
    // Folder in the album holding the style sheet, the scripts and the viewer's licence.
    static constexpr std::string_view kViewerFolder = "Viewer";

    GalleryPageWriter() = default;
    ~GalleryPageWriter() = default;
    GalleryPageWriter(const GalleryPageWriter&) = delete;
    GalleryPageWriter& operator=(const GalleryPageWriter&) = delete;

    // Starts the page for `job`; `backgroundName` is the background picture's name in Data (empty for a
    // solid colour). False when the output folder is empty.
    bool Begin(const AlbumJob& job, const std::string& backgroundName);
    void AddItem(const GalleryItem& item);
    // Ends the page and puts it in place as outputFolder/index.html (a link there is replaced, never
    // followed; an earlier page's read bits stay, with the owner's write bit).
    bool Close();

    const std::string& text() const { return text_; } // the page so far
    const std::string& pagePath() const { return pagePath_; }
    const RunFailure& failure() const { return failure_; }

    // Makes the album's folder `path` when missing; a link or file there is refused. Empty, or why not.
    static RunFailure MakeAlbumFolder(const std::string& path);
    // Copies the viewer's files from `viewerFolder` into albumFolder/Viewer (made when missing; a link
    // planted there is refused). Empty, or the file that could not be copied and why.
    static RunFailure CopyViewerFiles(const std::string& viewerFolder, const std::string& albumFolder);

    // The page name of a job: index.html for the Gallery, Index.html for every other arrangement.
    static std::string PageName(const AlbumJob& job);
    // The item's id on the page, from its Data name.
    static std::string ItemId(std::string_view dataName);

private:
    std::string AltText(const GalleryItem& item) const;

    std::string text_;
    std::string pagePath_;
    int count_ = 0;
    bool begun_ = false;
    RunFailure failure_;
};

} // namespace aw
