// SPDX-License-Identifier: MIT
#include "session/handoverstate.h"

#include <algorithm>
#include <new>

#include "medialist/selectionblock.h"
#include "platform/handoverchannel.h"
#include "platform/paths.h"
#include "session/outputfolders.h"
#include "stringtable.h"

namespace aw {
void HandOverState::Receive(const HandOverRecord& answer) {
    if (answer.tag == kSelectionFormat) {
        try {
            selection_ = answer.data;
        } catch (const std::bad_alloc&) {
            // No room for the copy: the answer is dropped and an earlier selection is lost with it.
            selection_.reset();
            return;
        }
        SelectionBlock::ParentFolder(*selection_, selectionFolder_);
        receivedParts_ |= SelectionPart;
    } else if (answer.tag == LoadText(TextId::BrowserStatusFormat)) {
        std::copy_n(answer.data.begin(), std::min(answer.data.size(), kStatusSize), status_.begin());
        receivedParts_ |= StatusPart;
    }
}

void HandOverState::AskBrowser(const std::string& socketPath) {
    for (const HandOverRecord& answer :
         HandOverChannel::Ask(socketPath, {kSelectionFormat, LoadText(TextId::BrowserStatusFormat)}))
        Receive(answer);
}

StartupDecision HandOverState::Decide(const std::string& startupFile, const OutputFolders& folders) const {
    if (receivedParts_ == (SelectionPart | StatusPart)) {
        if (!selection_)
            return {StartupSource::EmptyList, {}};
        return {StartupSource::Selection, folders.ChooseInitialFolder(selectionFolder_)};
    }
    if (startupFile.empty())
        return {StartupSource::NoFiles, {}};
    return {StartupSource::StartupFile, folders.ChooseInitialFolder(FolderOf(startupFile))};
}

} // namespace aw
