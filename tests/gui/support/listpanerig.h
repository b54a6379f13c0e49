// SPDX-License-Identifier: MIT
// The item list and the drop pane wired as the main window wires them, with a check box, a Create
// button, a status bar and scripted message boxes, and a stand-in preview
// preparation: a 100 x 50 picture whose colour comes from the file name (red unless the name holds
// "green"), failing for names that hold "bad", after an adjustable delay and while held. User-interface
// thread only.
#pragma once

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include <QCheckBox>
#include <QEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>

#include "album/mediaitem.h"
#include "album/picture.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "support/scriptedmessages.h"

namespace aw::test {

// A solid 100 x 50 24-bit picture in the modules' exchange format (rows of 300 bytes need no padding).
inline void SolidPicture(Picture& out, uint8_t red, uint8_t green, uint8_t blue) {
    constexpr std::size_t kSize = 100 * 50 * 3;
    MallocBuffer description = AllocateZeroed(sizeof(AwPictureDescription));
    MallocBuffer pixels = AllocateZeroed(kSize);
    AwBitmapInfoHeader info{};
    info.biSize = 40;
    info.biWidth = 100;
    info.biHeight = 50;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = kSize;
    std::memcpy(description.get(), &info, sizeof info);
    for (std::size_t i = 0; i < kSize; i += 3)
        pixels.get()[i] = blue, pixels.get()[i + 1] = green, pixels.get()[i + 2] = red;
    out.ReplaceImage(std::move(description), sizeof(AwPictureDescription), std::move(pixels), kSize);
}

// Counts the calls posted to `target` (a preview's result, a drop's intake) as it takes them.
struct CountPosts : QObject {
    explicit CountPosts(QObject* target) { target->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::MetaCall;
        return false;
    }
    int count = 0;
};

struct ListPaneRig {
    QWidget window;
    ThumbnailList* list = new ThumbnailList(&window);
    DropPane* pane = new DropPane(&window);
    QPushButton* create = new QPushButton("Create", &window);
    QCheckBox* showThumbnail = new QCheckBox("Show Thumbnail", &window);
    QStatusBar* status = new QStatusBar(&window);
    ScriptedMessages messages;
    std::atomic<int> prepared{0};
    std::atomic<int> delayMs{0};
    std::atomic<bool> hold{false};

    ListPaneRig() {
        list->setGeometry(170, 10, 200, 280);
        pane->setGeometry(10, 10, 155, 285);
        status->setGeometry(0, 300, 400, 20);
        showThumbnail->setChecked(true);
        create->setEnabled(false);
        list->Attach(create, pane, showThumbnail, status, &messages);
        pane->Attach(list, nullptr);
        pane->SetPreviewPreparer([this](const std::string& path, int, Picture& out) {
            ++prepared;
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs.load()));
            while (hold)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (path.find("bad") != std::string::npos)
                return false;
            const bool green = path.find("green") != std::string::npos;
            SolidPicture(out, green ? 0 : 255, green ? 255 : 0, 0);
            return true;
        });
        window.resize(400, 320);
    }

    // Lists /p/<name> for each name, as a drop would, without previewing the first; line 0 is selected.
    // What the intake reported is forgotten.
    void Add(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back("/p/" + name);
        const bool checked = showThumbnail->isChecked();
        showThumbnail->setChecked(false);
        list->controller().TakeFiles(paths);
        showThumbnail->setChecked(checked);
        messages.log.clear();
    }
    int selected() const { return list->SelectedLine(); }
    std::string statusText() const { return status->currentMessage().toStdString(); }
};

} // namespace aw::test
