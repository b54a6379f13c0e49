// SPDX-License-Identifier: MIT
// The program's only top-level window: the item list with its drop pane on the left; the output folder,
// page title, style choices, open-when-done box and the Create, Close and Help buttons on the right; a
// status bar along the bottom; and a menu bar with the Options and Edit menus, Help and About. Every
// control is built from the control table at its rectangle in the client area below the menu bar; at its
// default size the window is exactly that layout, larger the list, the preview and the status bar grow
// with it (GrownRect), and it is never smaller. Its place and size are remembered with the choices.
//
// The window menu belongs to the window manager here: whatever the manager's menu shows (and greys) while
// minimised is its own. Group boxes, labels and the line let the mouse through, so a right click on them is a
// click on the window (its context menu); the item list lies above the drop pane where the two overlap.
//
// Results of Run: 1 after Close or a written album, 2 when the window was closed by the desktop (Alt+F4,
// the title bar), or when start-up failed (settings, no start-up file, an unsupported one).
//
// The window is a front end of its AlbumSession: the list's controller, the choices, the settings and
// Create are the session's; the window shows them, fills the choices from its controls
// (CollectChoices) and drives the session.
//
// Ownership: owns the session, its controls (destroyed before the session they show), the style state and
// the services of Create; borrows the imaging table (and whatever the seams lend), which must outlive it.
// User-interface thread only.
#pragma once

#include <QDialog>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/mainwindowseams.h"
#include "session/albumsession.h"

class QCheckBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace aw {

struct ImagingLibrary;
class HelpOpener;
class MessageService;
class PageStyleChooser;

class MainWindow : public QDialog {
    Q_OBJECT

public:
    MainWindow(const ImagingLibrary& imaging, std::string startupFile, QWidget* parent = nullptr,
               MainWindowSeams seams = {});
    ~MainWindow() override;

    // The start-up steps that can fail (settings, then the start-up file), then the modal run.
    int Run();
    // The settings and the start-up file alone: 0 when the window may open, else its result (2).
    int Initialise();

    // The control `id`; nullptr for one the table does not hold.
    QWidget* control(ControlId id) const;
    QWidget* clientArea() const { return client_; }
    QMenuBar* menuBar() const { return menuBar_; }

    const AlbumSession& session() const { return session_; }
    const PageStyleChooser& pageStyle() const { return *pageStyle_; }
    // The context menu as the right button shows it; the caller owns it.
    std::unique_ptr<QMenu> MakeContextMenu();
    // The menu bar's command named `objectName` ("command48" Work folder, "playMovies", "includeOriginals",
    // "removeLocation", "openAlbum", "undo", "redo", "sortTaken", "sortName"); nullptr for none.
    QAction* command(const QString& objectName) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public slots:
    // The desktop's close (Alt+F4, the title bar) and Esc end up here: result 2, nothing saved.
    void reject() override;

private:
    void CreateControls();
    void CreateMenuBar();
    void CreateEditMenu();
    void WireControls();
    // The session's choices from the controls that show them, and the reverse.
    void CollectChoices();
    void ShowChoices();
    // Every control at its rectangle for a client area of this size.
    void LayOut(int clientWidth, int clientHeight);
    // The embed flag as both its menu items show it: greyed where the arrangement decides it.
    void ShowEmbedState(QAction* action) const;
    void UpdateMenus();

    void OnFolderTextChanged();
    void OnBrowse();
    void OnCreate();
    void OnClose();
    void OnShowThumbnail(bool checked);
    void OnHelp();
    void OnAbout();
    void OnOption();
    void OnOpenAlbum();
    // The folder `pick` chose; nothing when none was, or (said in a box) one without a local path.
    std::optional<std::string> PickFolder(const std::function<FolderPick(QWidget*)>& pick);
    void ShowContextMenu(const QPoint& globalPosition);

    // The control `id` as the class the table makes for it; a mismatch fails here, not at the use.
    template <typename T> T* As(ControlId id) const {
        T* widget = qobject_cast<T*>(control(id));
        Q_ASSERT_X(widget, "MainWindow::As", "the control table makes another class for this id");
        return widget;
    }

    const ImagingLibrary& imaging_;
    std::string startupFile_;
    MainWindowSeams seams_;
    AlbumSession session_; // the controls that show it are deleted before it, in the destructor
    std::unique_ptr<MessageService> ownBoxes_;
    std::unique_ptr<MessageService> ownStartupBoxes_;
    std::unique_ptr<HelpOpener> ownHelp_;
    HelpOpener* help_ = nullptr;
    MessageService* messages_ = nullptr;
    MessageService* startupMessages_ = nullptr;

    QMenuBar* menuBar_ = nullptr;
    QMenu* options_ = nullptr;
    QMenu* edit_ = nullptr;
    QWidget* client_ = nullptr;
    std::map<ControlId, QWidget*> controls_;

    std::unique_ptr<PageStyleChooser> pageStyle_;
};

} // namespace aw
