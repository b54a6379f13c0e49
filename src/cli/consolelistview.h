// SPDX-License-Identifier: MIT
// The command line's view of the session's list: the list controller's reports of an intake (files not
// taken, names that are not web-safe) go to the console as its messages; lines, selection, status and
// previews have nowhere to show and are dropped. No preview is ever asked for (Show Thumbnail is off).
//
// Ownership: the console is borrowed and must outlive the view. Thread-safety: the main thread only.
#pragma once

#include "medialist/listview.h"

namespace aw::cli {

class Console;

class ConsoleListView : public ListView {
public:
    explicit ConsoleListView(Console& console) : console_(console) {}

    void RemoveAllLines() override {}
    void AppendLine(const std::string&) override {}
    void SelectLines(const std::vector<int>&, int) override {}
    void EnableCreate(bool) override {}
    void SetStatusText(const std::string&) override {}
    bool IsShowThumbnailChecked() const override { return false; }
    PreviewStart StartPreview(std::uint64_t, const std::string&, MediaKind) override {
        return PreviewStart::Shown;
    }
    void ShowSoundPicture() override {}
    void ClearPreview() override {}
    void ShowBox(const std::string& text, const std::string& caption, BoxKind kind) override;
    // Reports of input come only from a window's keys and mouse; the command line has none.
    void ScheduleBoxes() override {}

private:
    Console& console_;
};

} // namespace aw::cli
