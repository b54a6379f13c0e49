// The ordered list of album entries; its order is the order on the page. Also keeps the few values that
// live beside the list (selection, audio picture, source folder, status text, busy flag).
//
// Ownership: the view (LineList) and the window peers are attached, never owned; either may be null, and
// then the operations that need it do nothing with it (without a view the editing commands do nothing).
// Thread-safety: none. The user-interface thread changes the list; the generation thread reads it through
// count()/at()/items() only while the main window is disabled behind the modal progress window.
#pragma once

#include <string>
#include <vector>

#include "album/mediaitem.h"

namespace aw {

class LineList;
class ItemListPeers;

class ItemList {
public:
    ItemList() = default;
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    void Attach(LineList* lines, ItemListPeers* peers);

    int count() const { return static_cast<int>(items_.size()); }
    const MediaItem* at(int index) const; // nullptr outside 0 .. count()-1
    const std::vector<MediaItem>& items() const { return items_; }

    // Puts `text` in the status bar (through the peers) and remembers it in statusText.
    void SetStatusText(const std::string& text);

    // Editing: media intake appends; the three commands act on the view's selected line.
    void AppendItem(const MediaItem& item);
    void RebuildLines(); // one line per item, text fileName, in list order
    void MoveSelectionUp();
    void MoveSelectionDown();
    void DeleteSelection();

    // Name preparation, run by Create in this order right before a generation run. The lines keep their
    // texts until the next rebuild.
    int PrepareFileNames(); // fileName := DataNameOf(path); always 0
    // Prefixes clashing names (ASCII case ignored) with their positions; the number of clashes found for
    // the last item that had any, so > 0 exactly when some name changed.
    int MakeFileNamesUnique();
    int PrepareThumbNames();    // audio items share the audio picture's name; always 0
    int MakeThumbNamesUnique(); // as MakeFileNamesUnique on thumbName; audio items are exempt

    int currentIndex = -1;        // the item last acted on as selected
    std::string audioPicturePath; // set by Create before PrepareThumbNames
    std::string sourceFolder;     // folder (with separator) of the first file handed over by the browser
    std::string statusText;       // text last put in the status bar by the list
    bool busy = false;            // set while the view handles a selection change

private:
    int MakeNamesUnique(std::string MediaItem::*name, bool exemptAudio);
    static int NumberClashes(std::vector<MediaItem>& items, std::string MediaItem::*name, bool exemptAudio);

    std::vector<MediaItem> items_;
    LineList* lines_ = nullptr;
    ItemListPeers* peers_ = nullptr;
};

} // namespace aw
