// The line list the item list needs from its view: one text line per item, at most one selected.
// Implemented by the list widget and by test doubles. Used on the user-interface thread only.
#pragma once

#include <string>

namespace aw {

class LineList {
public:
    virtual ~LineList() = default;

    virtual int LineCount() const = 0;
    virtual int SelectedLine() const = 0; // -1 when no line is selected
    // Selects line `index` (others lose the selection). Must not call back into the item list.
    virtual void SelectLine(int index) = 0;
    virtual std::string LineText(int index) const = 0; // empty outside 0 .. LineCount()-1
    virtual void RemoveAllLines() = 0;
    virtual void AppendLine(const std::string& text) = 0;
};

} // namespace aw
