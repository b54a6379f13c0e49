// SPDX-License-Identifier: MIT
// The item list and the drop pane wired as the main window wires them, with scripted boxes and a stand-in
// preparation: a solid red picture. User-interface thread only.
#pragma once

#include <cstring>
#include <string>

#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>

#include "album/picture.h"
#include "medialist/listcontroller.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "support/scriptedmessages.h"

namespace aw::test {

// A solid 100 x 50 24-bit picture as a module hands one over (rows of 300 bytes need no padding).
inline bool SolidPicture(Picture& out) {
    constexpr std::size_t kSize = 100 * 50 * 3;
    AwBitmapInfoHeader info{};
    info.biSize = 40, info.biWidth = 100, info.biHeight = 50, info.biPlanes = 1, info.biBitCount = 24;
    info.biSizeImage = kSize;
    MallocBuffer description = AllocateZeroed(sizeof(AwPictureDescription)), pixels = AllocateZeroed(kSize);
    std::memcpy(description.get(), &info, sizeof info);
    for (std::size_t i = 0; i < kSize; i += 3)
        pixels.get()[i + 2] = 255; // blue, green, red
    out.ReplaceImage(std::move(description), sizeof(AwPictureDescription), std::move(pixels), kSize);
    return true;
}

struct ListPaneRig {
    ListController controller; // first: it outlives its views
    QWidget window;
    ThumbnailList* list = new ThumbnailList(controller, &window);
    DropPane* pane = new DropPane(&window);
    QCheckBox* showThumbnail = new QCheckBox("Show Thumbnail", &window);
    QStatusBar* status = new QStatusBar(&window);
    ScriptedMessages messages;

    ListPaneRig() {
        list->setGeometry(170, 10, 200, 280);
        pane->setGeometry(10, 10, 155, 285);
        list->Attach(new QPushButton("Create", &window), pane, showThumbnail, status, &messages);
        pane->Attach(&controller, nullptr);
        NewWorker();
        window.resize(400, 320);
    }

    // The pane's worker made again at its next request (which then needs a thread).
    void NewWorker() {
        pane->SetPreviewPreparer(
            [this](const std::string&, MediaKind, Picture& out) { return SolidPicture(out); });
    }

    // Lists the paths as a drop would, without previewing the first, and forgets the boxes.
    void Add(const std::vector<std::string>& paths) {
        showThumbnail->setChecked(false);
        controller.TakeFiles(paths);
        showThumbnail->setChecked(true);
        messages.log.clear();
    }
};

} // namespace aw::test
