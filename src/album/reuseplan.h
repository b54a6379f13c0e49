// SPDX-License-Identifier: MIT
// Which of an album's earlier Data and Thumb files a run may keep instead of making them again, and what
// the run records about the files it keeps and writes (AlbumManifest). A file is kept only when the
// record names it with the item's source path and kind, the source still has the identity recorded, and
// the file itself (never through a link) still has the identity it had when it was written; anything
// missing or different makes it again. The album that results is the one a full run would write. A plan
// that does not reuse (a full run, the window's) keeps nothing but records all the same.
//
// Data and Thumb are opened when the plan is made, without following a link: what the plan examines and
// removes in them is never reached through a link planted in their place later.
//
// A run decides twice: when the plan is made (so that the look-ahead does not decode a thumbnail that will
// be kept) and again when the item is reached (Keep...), because the album may change in between. The
// source identities are taken when the plan is made, before anything reads the sources: a source edited
// while the run reads it is not recorded, so a later run makes it again.
//
// Conclude writes the new record: what this run kept and wrote, plus the earlier entries whose files are
// still as recorded (after a stop or a failure those still describe the album). With pruning, after a
// written run, the earlier entries that this run does not use are removed from the album instead (only
// files still as recorded, never one that is a source of this run), and a Thumb folder that this run does
// not use is removed when that leaves it empty.
//
// Ownership and threads: one plan per run, used by the run's thread; ThumbPlanned may also be called by
// the look-ahead workers (it reads only what the constructor settled).
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "album/albummanifest.h"
#include "album/boxfit.h"
#include "album/mediaitem.h"
#include "platform/uniquefd.h"

namespace aw {

struct ReuseTarget {
    std::string albumFolder;    // where the pages are
    std::string dataFolder;     // no closing "/"
    std::string thumbFolder;    // no closing "/"; also when the arrangement makes no thumbnails
    bool thumbnails = true;     // false: the arrangement makes none, so this run uses nothing in Thumb
    std::string audioPicture;   // the source of every audio item's thumbnail
    std::string backgroundPath; // the background picture copied into Data; empty for a solid colour
    std::string version;        // this program's version
    std::string recordPath;     // where the record is written (AlbumRecordPath)
    RecordHeader header;        // what the record says of the album besides its files
    bool reuse = true;          // false: every file is made again (and recorded)
    bool prune = false;
    int densities = 1;                 // 3: every thumbnail but an audio item's also in Thumb/2x and Thumb/3x
    bool withoutPrivateFields = false; // the run's Data copies leave out location, owner and serials
    bool displayCopies = false;        // the Gallery: a still's Data file is its display copy, made with the
                                       // thumbnails
    bool originals = false;            // every item's source also copied into Data/originals
};

class ReusePlan {
public:
    // `earlier`: the entries of the album's record, empty when none can be trusted (a full run).
    ReusePlan(const std::vector<MediaItem>& items, ReuseTarget target, std::vector<ManifestEntry> earlier);

    // The item's thumbnail is expected to be kept, and with display copies a still's Data file too, so that
    // nothing need be prepared for it (settled by the constructor; any thread).
    bool ThumbPlanned(std::size_t index) const { return thumbPlanned_[index] != 0; }

    // True when the item's Data file (its thumbnail) may stay as it is; the thumbnail's recorded size is
    // then given. The file is then recorded again as it was.
    // With densities, a thumbnail is kept only with its denser ones, and `picture` (when given) is then
    // the picture's size they recorded (0 x 0 for an audio item).
    bool KeepData(std::size_t index);
    bool KeepThumb(std::size_t index, int& width, int& height, PixelSize* picture = nullptr);

    // The item's copy browsers play (`copyKind`, a CopyKind, under its playable name; a Clean copy under
    // its Data name) may stay as it is; and the record of one just written.
    bool KeepPlayable(std::size_t index, int copyKind);
    void RecordPlayable(std::size_t index, int copyKind);
    // The item's Data name holds nothing of this run (the Gallery's movie or sound that has a copy
    // browsers play instead): a prune may remove what an earlier run left there.
    void LeaveOutData(std::size_t index);
    // The byte copy of the item's source in Data/originals, as KeepData and RecordData.
    bool KeepOriginal(std::size_t index);
    void RecordOriginal(std::size_t index);

    // Records the file just written for the item (the background picture's copy under `name`).
    void RecordData(std::size_t index);
    void RecordThumb(std::size_t index, int width, int height);
    void RecordBackground(const std::string& name);
    // A denser thumbnail (density 2 or 3) just written, with the size of the picture it was made from.
    void RecordDenser(std::size_t index, int density, int pictureWidth, int pictureHeight);
    // The page just put in place under `name` in the album folder, made by way of `madeFrom` (the
    // arrangement file or the viewer's script). Conclude then removes the album's other page (the
    // other arrangements' Index.html, or the Gallery's index.html) when the record names it as the
    // album's own and it is still as recorded.
    void RecordPage(const std::string& name, const std::string& madeFrom);

    // Counts an item put on the page: kept whole, or with something made.
    void CountItem(bool made) { ++(made ? made_ : reused_); }

    // Prunes (when asked, and only after a written run) and writes the record; once per plan. 0, or the
    // errno of the record's write (the earlier record is then gone, never left stale).
    int Conclude(bool written);

    int reused() const { return reused_; }
    int made() const { return made_; }
    int pruned() const { return pruned_; }
    int saveError() const { return saveError_; } // what Conclude gave

private:
    using Key = std::pair<char, std::string>;
    struct Source {
        std::string path;
        RecordKind kind;
        std::optional<FileIdentity> identity; // when the plan was made
    };

    int FolderOf(const Key& key) const;
    bool Matches(const Key& key, const Source& source) const;
    bool Keep(const Key& key, const Source& source);
    void Record(const Key& key, const Source& source, int width, int height);
    Source ThumbSource(std::size_t index) const;
    Source DataSource(std::size_t index) const;
    Source OriginalSource(std::size_t index) const;
    bool HasDenser(std::size_t index) const;
    bool SamePage(const std::string& name) const;
    Key PlayableKey(std::size_t index, int copyKind);
    void OpenLaterFolders();
    Source PlayableSource(std::size_t index, int copyKind) const;

    std::vector<MediaItem> items_;
    ReuseTarget target_;
    // The folders the files are in, opened when the plan was made; an invalid one: nothing in it is kept,
    // recorded or removed.
    UniqueFd album_; // the pages
    UniqueFd data_;
    UniqueFd thumb_;
    UniqueFd denser_[2]; // Thumb/2x and Thumb/3x
    UniqueFd originals_; // Data/originals, once it exists
    std::map<Key, ManifestEntry> earlier_;
    std::map<Key, ManifestEntry> current_; // kept and written by this run
    std::set<Key> used_;                   // every name this run puts in the album
    std::vector<Source> sources_;          // per item, taken when the plan was made
    Source audio_;
    Source background_;
    std::string page_; // the page this run put in place
    std::vector<char> thumbPlanned_;
    int reused_ = 0;
    int made_ = 0;
    int pruned_ = 0;
    int saveError_ = 0;
    bool concluded_ = false;
};

} // namespace aw
