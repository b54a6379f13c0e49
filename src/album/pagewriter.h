// SPDX-License-Identifier: MIT
// Writes Index.html from the page fragments of the string table, in the order an arrangement file gives,
// with the eight placeholders replaced by the run's values.
//
// Owned and used by the generation thread alone; not thread-safe. Owns both files while they are open
// and closes them in ClosePageFiles or the destructor (which removes an unfinished page's temporary file,
// leaving the earlier Index.html). No operation throws: read and write errors give
// false, and failure() then names the file and the cause.
//
// The page is UTF-8 without a byte-order mark; every "\n" of a fragment is written as CR LF, tabs as they
// are. Values of $DF$ and $TF$ are stored with < > " & as character references so that a file name cannot
// break the markup, and where they stand in a link (right after "Data/" or "Thumb/") the characters that
// would end or change a URL path (% # ? \, control characters, bytes that are not UTF-8) are
// percent-encoded too, so that the link finds the file. "$" in them becomes &#36;, so their values reach
// the page literally. The title ($TS$) is written raw on purpose.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "album/albumjob.h"
#include "album/mediakind.h"
#include "album/runfailure.h"
#include "platform/atomicfile.h"
#include "stringtable.h"

namespace aw {

class PageWriter {
public:
    // Placeholder indices, in the order Substitute replaces them.
    enum Placeholder : int {
        TitleText = 0,      // $TS$
        FontColour = 1,     // $FC$
        BackgroundText = 2, // $BC$
        BackgroundFile = 3, // $BF$
        DataFile = 4,       // $DF$
        ThumbFile = 5,      // $TF$
        ThumbWidth = 6,     // $TW$
        ThumbHeight = 7,    // $TH$
    };
    static constexpr int kPlaceholderCount = 8;

    struct Substituted {
        std::string text;
        int count = 0; // replacements made
    };

    PageWriter();
    ~PageWriter();
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // Values 0..3 from the job, 4..7 empty.
    void PreparePlaceholderValues(const AlbumJob& job);
    // False (and nothing changed) for an index outside 0..7. DataFile and ThumbFile values are escaped.
    bool SetPlaceholderValue(int index, std::string value);
    const std::string& PlaceholderValue(int index) const; // as stored (escaped); empty outside 0..7

    // Replaces placeholders 0..7 in that order, each left to right, resuming after an inserted value;
    // a later placeholder is still found inside an earlier value.
    Substituted Substitute(std::string_view text) const;

    // Opens the job's arrangement file for reading (a regular file only, refused without blocking) and
    // creates the page under a temporary name ("HTM...") in outputFolder. On failure nothing stays open.
    bool OpenPageFiles(const AlbumJob& job);
    bool
    WritePageHead(int backgroundIndex); // the solid body becomes the picture body for backgroundIndex > 0
    // Appends the raw template lines (shared ones to both lists); the reader then stands at the tail.
    bool ReadItemTemplates(std::vector<std::string>& firstColumn, std::vector<std::string>& secondColumn);
    // One item's entry from a template list; thumbWidth/Height decide the grey box (below 160 x 120).
    // playInPage: embedded playback is on and a browser plays this movie or sound (itself, or the copy
    // named `playedName` in Data when not empty). A movie's thumbnail then becomes a video element of the
    // thumbnail's size with the thumbnail as its poster; a sound's picture gets an audio element below it;
    // either way its name stays a link to its own Data file. Every other item is written as with embedded
    // playback off.
    bool WriteItemEntry(const std::vector<std::string>& templateLines, MediaKind kind, int thumbWidth,
                        int thumbHeight, bool playInPage, const std::string& playedName = {});
    bool WritePageTail();
    // Closes both files. A page whose tail was written is synced and renamed over outputFolder/Index.html
    // (replacing a link there, never following it; an earlier page's read bits stay, with the owner's
    // write bit); an unfinished one is removed, leaving the earlier page as it was. False when the page
    // could not be written, synced or put in place (then the earlier page also stays).
    bool ClosePageFiles();

    const RunFailure& failure() const { return failure_; }
    const std::string& pagePath() const { return pagePath_; } // empty before OpenPageFiles

private:
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };
    using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
    enum class LineRead { Line, End, Error };

    LineRead ReadLine(std::string& line);
    bool WriteFragment(int number); // a number read from the arrangement file
    bool WriteFragment(TextId id);
    // The fragment with $DF$ naming `dataName` instead of the item's Data file (when not empty).
    bool WriteFragmentFor(TextId id, const std::string& dataName);
    bool WriteText(std::string_view text);
    bool FailRead();
    bool FailWrite(int error);

    std::array<std::string, kPlaceholderCount> values_;
    std::array<std::string, 2> linkValues_; // $DF$ and $TF$ as they stand in a link
    FileHandle arrangement_;
    std::unique_ptr<AtomicFile> page_; // the page being built, renamed to pagePath_ when complete
    std::string pending_;              // written to page_ in large steps
    std::string arrangementPath_;
    std::string pagePath_;
    bool pageComplete_ = false; // WritePageTail read the arrangement to its end
    RunFailure failure_;
};

// < > " & $ as &lt; &gt; &quot; &amp; &#36;; everything else unchanged. The "$" keeps a file name that
// holds a placeholder ("x$TW$.jpg") from being substituted again.
std::string EscapeHtmlText(std::string_view text);
// A file name as one path segment of a relative link: % # ? \, control characters and bytes that are not
// well-formed UTF-8 percent-encoded, then EscapeHtmlText.
std::string EscapeLinkSegment(std::string_view name);

} // namespace aw
