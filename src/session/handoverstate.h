// SPDX-License-Identifier: MIT
// What the media browser has handed over to the starting main window, and the start-up decision made
// from it: the selection block (a private copy; a later one replaces an earlier one), the 12-byte status
// record (kept, never interpreted), the selection's parent folder, and which of the two has arrived
// (received parts: 1 the selection, 2 the status, 3 both).
//
// Ownership: owns its copies. Thread-safety: none; the user-interface thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/handoverformats.h"
#include "platform/handoverrecord.h"

namespace aw {

class OutputFolders;

enum class StartupSource {
    Selection,   // both parts arrived with a selection: the list takes it
    EmptyList,   // both parts arrived without a selection: open with an empty list and folder
    StartupFile, // a part is missing and the command line named a file: the list takes it
    NoFiles,     // a part is missing and there is no command-line file: message 446, the program ends
};

struct StartupDecision {
    StartupSource source = StartupSource::NoFiles;
    // The folder proposed for the album: the selection's, or the start-up file's (FolderOf), the desktop
    // instead of a camera's folder (OutputFolders::ChooseInitialFolder); empty with the two other sources.
    std::string initialFolder;
};

class HandOverState {
public:
    static constexpr std::size_t kStatusSize = kHandOverStatusSize;
    enum Part : int { SelectionPart = 1, StatusPart = 2 };

    // One answer. The selection is copied (replacing an earlier one) and its parent folder read; when
    // that folder has no file-system path the folder keeps its previous text. A status record fills at
    // most 12 bytes. Other tags are ignored. Answers are stored even after the decision.
    void Receive(const HandOverRecord& answer);

    // Asks whoever listens at `socketPath` for the selection, then for the status, and receives every
    // answer that arrives before the peer closes or the channel's timeout passes. Nobody listening
    // returns at once with nothing received.
    void AskBrowser(const std::string& socketPath);

    // Both parts -> Selection or EmptyList; otherwise StartupFile when `startupFile` is not empty, else
    // NoFiles. The only place of the rule for the folder proposed at start (see StartupDecision).
    StartupDecision Decide(const std::string& startupFile, const OutputFolders& folders) const;

    int receivedParts() const { return receivedParts_; }
    const std::optional<Bytes>& selectionBlock() const { return selection_; }
    // Gives up the kept selection block (after use).
    void ReleaseSelection() { selection_.reset(); }
    const std::array<std::uint8_t, kStatusSize>& status() const { return status_; }
    const std::string& selectionFolder() const { return selectionFolder_; }

private:
    int receivedParts_ = 0;
    std::optional<Bytes> selection_;
    std::array<std::uint8_t, kStatusSize> status_{};
    std::string selectionFolder_;
};

} // namespace aw
