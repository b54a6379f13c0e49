// SPDX-License-Identifier: MIT
// The option window in which the user picks the work folder, the folder that holds the album run's
// temporary files, and sees roughly how much space is free there. The folder cannot be typed: it changes
// only through Browse (a folder browser; folders on removable, optical or network file systems are refused
// with message 2013 and the browser opens again) and Default (the system's temporary folder). F1 opens
// help topic 2000.
//
// The caller passes the shown form of the work folder (ShownWorkFolder) and, after OK, stores folder()
// through StoredWorkFolder. Messages go through `messages`, help through `help`; both must outlive the
// window. The folder browser and the fixed-file-system test can be replaced (tests give the pick).
// A widget: user-interface thread only.
#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "dialogs/systeminfo.h"

class QKeyEvent;
class QLineEdit;

namespace aw {

class HelpOpener;
class MessageService;

class WorkFolderDialog : public QDialog {
    Q_OBJECT

public:
    // Shows a folder browser owned by `owner` with `title`, starting at `start`; "" when cancelled.
    using FolderPicker =
        std::function<std::string(QWidget* owner, const std::string& title, const std::string& start)>;
    // True when `folder` lies on a fixed (local, not removable, not optical) file system.
    using FixedTest = std::function<bool(const std::string& folder)>;

    WorkFolderDialog(std::string initialFolder, MessageService& messages, HelpOpener& help,
                     QWidget* parent = nullptr);

    // Runs the window modally: 1 after OK, 2 after Cancel, Esc or the close box.
    int Run();

    std::string folder() const;
    std::string freeSpaceLine() const;

    void SetFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }
    void SetFixedTest(FixedTest test) { isFixed_ = std::move(test); }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Browse();
    void UseDefault();
    void ShowFolder(const std::string& folder);

    MessageService& messages_;
    HelpOpener& help_;
    SystemInfo system_;
    FolderPicker picker_;
    FixedTest isFixed_;
    QLineEdit* folderEdit_;
    QLineEdit* freeSpaceEdit_;
};

} // namespace aw
