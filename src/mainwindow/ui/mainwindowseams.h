// SPDX-License-Identifier: MIT
// What a test (or another front end) may put in place of the main window's real services: the message
// boxes, the help viewer, the browser, the folder browser and where the settings live. Every member left
// empty gets the real thing. The pointers are borrowed and must outlive the window.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace aw {

class HelpOpener;
class MessageService;

// The folder browser's answer: nothing chosen, or a folder with (or, for a place that is not a local
// folder, without) its file-system path.
struct FolderPick {
    bool chosen = false;
    std::string path; // empty when the chosen place has no local path
};

struct MainWindowSeams {
    MessageService* messages = nullptr;        // boxes owned by the main window
    MessageService* startupMessages = nullptr; // the start-up errors, shown without an owner window
    HelpOpener* help = nullptr;
    // Opens the album page in the default browser; false when no browser could be started.
    std::function<bool(const std::string& pagePath)> openPage;
    // The folder browser owned by `owner`, with the text 224 inside and the title 226.
    std::function<FolderPick(QWidget* owner)> pickFolder;
    // The folder browser of "Open album...", owned by `owner`.
    std::function<FolderPick(QWidget* owner)> pickAlbum;
    std::string settingsFile;  // empty: the per-user settings file
    std::string programFolder; // the folder holding htmldata/, with its closing "/"; empty: the program's
};

} // namespace aw
