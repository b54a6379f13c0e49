// SPDX-License-Identifier: MIT
#include "mainwindow/ui/mainwindow.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

#include "dialogs/helpopener.h"
#include "dialogs/ui/aboutbox.h"
#include "dialogs/ui/colourbutton.h"
#include "dialogs/ui/colourswatch.h"
#include "dialogs/ui/desktophelpopener.h"
#include "dialogs/ui/messageboxservice.h"
#include "dialogs/ui/workfolderdialog.h"
#include "dialogs/workfoldertext.h"
#include "mainwindow/ui/bitmapbutton.h"
#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/pagestylechooser.h"
#include "mainwindow/ui/windowservices.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "platform/handoverchannel.h"
#include "session/createworkflow.h"
#include "stringtable.h"

namespace aw {

namespace {

constexpr int kHelpContext = 2000;
constexpr int kEmbedCommand = 1100;
constexpr int kLastArrangement = 3;

QString Text(TextId id) {
    return QString::fromStdString(LoadText(id));
}

// The text without its mnemonic: "&Help..." and "ヘルプ(&H)..." become "Help..." and "ヘルプ...".
QString WithoutMnemonic(const QString& text) {
    static const QRegularExpression bracketed(QStringLiteral("\\(&[^&]\\)"));
    QStringList parts = text.split(QStringLiteral("&&")); // "&&" is a literal "&"
    for (QString& part : parts)
        part.remove(bracketed).remove(QLatin1Char('&'));
    return parts.join(QStringLiteral("&&"));
}

// The platform's folder browser in place of the shell's, with the explanation shown inside it.
FolderPick PickFolderWithDialog(QWidget* owner) {
    QFileDialog dialog(owner, Text(TextId::BrowseOutputTitle));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // The built-in dialog, so that the explanation can stand inside it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* explanation = new QLabel(Text(TextId::SelectOutputFolder), &dialog);
        explanation->setWordWrap(true);
        grid->addWidget(explanation, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return {};
    const QUrl url = dialog.selectedUrls().constFirst();
    return FolderPick{true, url.isLocalFile() ? url.toLocalFile().toStdString() : std::string()};
}

FolderPick PickAlbumWithDialog(QWidget* owner) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner, Text(TextId::OpenAlbumTitle), QString(),
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty())
        return {};
    return FolderPick{true, QFile::encodeName(folder).toStdString()};
}

// The wait cursor while the user-interface thread reads files (the date taken of every item).
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool OpenPageInBrowser(const std::string& pagePath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(pagePath)));
}

} // namespace

MainWindow::MainWindow(const ImagingLibrary& imaging, std::string startupFile, QWidget* parent,
                       MainWindowSeams seams)
    : QDialog(parent), imaging_(imaging), startupFile_(std::move(startupFile)), seams_(std::move(seams)),
      session_(SessionPlaces{seams_.settingsFile, seams_.programFolder}) {
    if (!seams_.messages)
        ownBoxes_ = std::make_unique<MessageBoxService>(this);
    if (!seams_.startupMessages)
        ownStartupBoxes_ = std::make_unique<MessageBoxService>(nullptr);
    messages_ = seams_.messages ? seams_.messages : ownBoxes_.get();
    if (!seams_.help)
        ownHelp_ = std::make_unique<DesktopHelpOpener>(*messages_);
    help_ = seams_.help ? seams_.help : ownHelp_.get();
    startupMessages_ = seams_.startupMessages ? seams_.startupMessages : ownStartupBoxes_.get();
    if (!seams_.pickFolder)
        seams_.pickFolder = PickFolderWithDialog;
    if (!seams_.pickAlbum)
        seams_.pickAlbum = PickAlbumWithDialog;
    if (!seams_.openPage)
        seams_.openPage = OpenPageInBrowser;

    // A title bar with the window menu, minimise, maximise and close boxes; resizable down to the default.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/bitmaps/albumwright.png")));
    setWindowTitle(Text(TextId::ProgramName));
    // The dialog font, given to every control. The fixed rectangles are made for a narrow sans serif
    // about 12 pixels high: Liberation Sans where installed, else the desktop's face; other scripts
    // (Japanese) fall back glyph by glyph to a font that has them.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans"), font.family()});
    font.setPixelSize(12);
    setFont(font);

    CreateMenuBar();
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setGeometry(0, menuBar_->height(), kClientWidth, kClientHeight);
    client_->installEventFilter(this);
    CreateControls();
    setMinimumSize(kClientWidth, kClientHeight + menuBar_->height());
    resize(minimumSize());
    WireControls();
}

MainWindow::~MainWindow() {
    // The list and the pane are views of the session's controller: they go while it is still there.
    delete client_;
}

QWidget* MainWindow::control(ControlId id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QAction* MainWindow::command(const QString& objectName) const {
    for (QMenu* menu : {options_, edit_})
        for (QAction* action : menu->actions())
            if (action->objectName() == objectName)
                return action;
    return nullptr;
}

void MainWindow::CreateMenuBar() {
    // The window menu belongs to the desktop here, so the window's own commands live in a menu bar.
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    options_ = menuBar_->addMenu(Text(TextId::OptionsMenu));
    const auto add = [this](QMenu* menu, TextId text, const char* name, bool checkable = false) {
        QAction* action = menu->addAction(Text(text));
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    connect(add(options_, TextId::WorkFolderCommand, "command48"), &QAction::triggered, this,
            &MainWindow::OnOption);
    options_->addSeparator();
    connect(add(options_, TextId::PlayMoviesCommand, "playMovies", true), &QAction::triggered, this,
            [this](bool on) { session_.choices().embedPlayback = on; });
    connect(add(options_, TextId::IncludeOriginalsCommand, "includeOriginals", true), &QAction::triggered,
            this, [this](bool on) { session_.choices().includeOriginals = on; });
    connect(add(options_, TextId::RemoveLocationCommand, "removeLocation", true), &QAction::triggered, this,
            [this](bool on) { session_.choices().removeLocation = on; });
    options_->addSeparator();
    connect(add(options_, TextId::OpenAlbumCommand, "openAlbum"), &QAction::triggered, this,
            &MainWindow::OnOpenAlbum);

    edit_ = menuBar_->addMenu(Text(TextId::EditMenu));
    ListController* list = &session_.list();
    QAction* undo = add(edit_, TextId::UndoCommand, "undo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, this, [list] { list->Undo(); });
    QAction* redo = add(edit_, TextId::RedoCommand, "redo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redo, &QAction::triggered, this, [list] { list->Redo(); });
    edit_->addSeparator();
    connect(add(edit_, TextId::SortTakenCommand, "sortTaken"), &QAction::triggered, this, [this, list] {
        const WaitCursor wait;
        list->SortByTaken(&imaging_);
    });
    connect(add(edit_, TextId::SortNameCommand, "sortName"), &QAction::triggered, this,
            [list] { list->SortByName(); });
    // The shortcuts work while the menu is closed; an edit with the focus keeps Ctrl+Z for its own text.
    addActions({undo, redo});
    connect(options_, &QMenu::aboutToShow, this, &MainWindow::UpdateMenus);
    // Greyed only while the menu shows them: their keys must work after any later edit.
    connect(edit_, &QMenu::aboutToShow, this, [undo, redo, list] {
        undo->setEnabled(list->CanUndo());
        redo->setEnabled(list->CanRedo());
    });
    connect(edit_, &QMenu::aboutToHide, this, [undo, redo] {
        undo->setEnabled(true);
        redo->setEnabled(true);
    });

    // The Help button owns Alt+H; a second owner in the menu bar would make each press go to the
    // two by turns, opening help only every other time.
    QAction* help = menuBar_->addAction(WithoutMnemonic(Text(TextId::HelpCommand)));
    help->setObjectName(QStringLiteral("command32"));
    connect(help, &QAction::triggered, this, &MainWindow::OnHelp);
    if (!LoadText(TextId::AboutCommand).empty()) {
        QAction* about = menuBar_->addAction(Text(TextId::AboutCommand));
        about->setObjectName(QStringLiteral("command16"));
        connect(about, &QAction::triggered, this, &MainWindow::OnAbout);
    }
    menuBar_->setGeometry(0, 0, kClientWidth, menuBar_->sizeHint().height());
}

void MainWindow::UpdateMenus() {
    const SessionChoices& choices = session_.choices();
    ShowEmbedState(command(QStringLiteral("playMovies")));
    command(QStringLiteral("includeOriginals"))->setChecked(choices.includeOriginals);
    command(QStringLiteral("removeLocation"))->setChecked(choices.removeLocation);
}

void MainWindow::ShowEmbedState(QAction* action) const {
    // Arrangement 4 has no players to embed: the item is greyed and unticked there. In the Gallery movies
    // always play: greyed and ticked.
    const bool lastArrangement = pageStyle_->arrangementIndex() == kLastArrangement;
    const bool gallery = pageStyle_->arrangementIndex() == kGalleryArrangement - 1;
    action->setEnabled(!lastArrangement && !gallery);
    action->setChecked(gallery || (!lastArrangement && session_.choices().embedPlayback));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut(std::max(width(), kClientWidth), std::max(height() - menuBar_->height(), kClientHeight));
}

void MainWindow::LayOut(int clientWidth, int clientHeight) {
    const int dx = clientWidth - kClientWidth;
    const int dy = clientHeight - kClientHeight;
    menuBar_->setGeometry(0, 0, clientWidth, menuBar_->height());
    client_->setGeometry(0, menuBar_->height(), clientWidth, clientHeight);
    std::vector<ControlSpec> specs = MainWindowControls();
    specs.push_back(kStatusBarSpec);
    for (const ControlSpec& spec : specs) {
        if (QWidget* widget = control(spec.id)) {
            const ControlSpec r = GrownRect(spec, dx, dy);
            widget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
    }
    if (auto* pane = qobject_cast<DropPane*>(control(ControlId::DropPane)))
        pane->SetPreviewArea(kPreviewAreaWidth + dx / 3, kPreviewAreaHeight + dy);
}

void MainWindow::CreateControls() {
    QWidget* previousFocus = nullptr;
    for (const ControlSpec& spec : MainWindowControls()) {
        QWidget* widget = nullptr;
        const QString caption = spec.caption ? Text(*spec.caption) : QString();
        switch (spec.kind) {
        case ControlKind::GroupBox:
            widget = new QGroupBox(caption, client_);
            break;
        case ControlKind::Edit:
            widget = new QLineEdit(client_);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, client_);
            break;
        case ControlKind::PushButton: {
            auto* button = new QPushButton(caption, client_);
            // Enter belongs to nobody here: no default button.
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::Line: {
            auto* line = new QFrame(client_);
            line->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            line->setLineWidth(1);
            widget = line;
            break;
        }
        case ControlKind::Label:
        case ControlKind::RightLabel: {
            auto* label = new QLabel(caption, client_);
            label->setAlignment((spec.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignRight) |
                                Qt::AlignVCenter);
            widget = label;
            break;
        }
        case ControlKind::DropPane:
            widget = new DropPane(client_);
            break;
        case ControlKind::ItemList:
            // Created after the drop pane, so it lies above the pane's area that it covers.
            widget = new ThumbnailList(session_.list(), client_);
            break;
        case ControlKind::BitmapButton:
            widget = new BitmapButton(spec.normalBitmap, spec.pressedBitmap, spec.disabledBitmap, client_);
            break;
        case ControlKind::ColourButton: {
            auto* button = new ColourButton(client_);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::Swatch:
            widget = new ColourSwatch(static_cast<int>(spec.id), client_);
            break;
        }
        widget->setObjectName(QStringLiteral("c%1").arg(static_cast<int>(spec.id)));
        widget->setProperty("controlId", static_cast<int>(spec.id));
        widget->setGeometry(spec.left, spec.top, spec.right - spec.left, spec.bottom - spec.top);
        // Group boxes, labels and the line let the mouse through to the window, as the platform's
        // statics do: a right click there is a click on the window itself.
        if (spec.kind == ControlKind::GroupBox || spec.kind == ControlKind::Label ||
            spec.kind == ControlKind::RightLabel || spec.kind == ControlKind::Line)
            widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        // Only the two edits, the two check boxes and the item list take the keyboard focus.
        const bool takesFocus = spec.kind == ControlKind::Edit || spec.kind == ControlKind::CheckBox ||
                                spec.kind == ControlKind::ItemList;
        widget->setFocusPolicy(takesFocus ? Qt::StrongFocus : Qt::NoFocus);
        if (takesFocus) {
            if (previousFocus)
                setTabOrder(previousFocus, widget);
            previousFocus = widget;
        }
        controls_[spec.id] = widget;
    }

    auto* status = new QStatusBar(client_);
    status->setSizeGripEnabled(false);
    status->setObjectName(QStringLiteral("c%1").arg(static_cast<int>(ControlId::StatusBar)));
    status->setProperty("controlId", static_cast<int>(ControlId::StatusBar));
    status->setGeometry(kStatusBarSpec.left, kStatusBarSpec.top, kStatusBarSpec.right - kStatusBarSpec.left,
                        kStatusBarSpec.bottom - kStatusBarSpec.top);
    controls_[ControlId::StatusBar] = status;

    // The tooltip's tools: the status bar shows its whole text (set with it), the three list buttons
    // say what they do.
    control(ControlId::MoveUp)->setToolTip(Text(TextId::MoveUpTip));
    control(ControlId::MoveDown)->setToolTip(Text(TextId::MoveDownTip));
    control(ControlId::Delete)->setToolTip(Text(TextId::DeleteTip));
}

void MainWindow::WireControls() {
    auto* list = As<ThumbnailList>(ControlId::ItemList);
    auto* create = As<QPushButton>(ControlId::Create);
    auto* showThumbnail = As<QCheckBox>(ControlId::ShowThumbnail);
    ListController* controller = &session_.list();
    As<DropPane>(ControlId::DropPane)->Attach(controller, &imaging_);
    // The list's controller enables Create by its rule from here on.
    list->Attach(create, As<DropPane>(ControlId::DropPane), showThumbnail,
                 As<QStatusBar>(ControlId::StatusBar), messages_);
    connect(As<BitmapButton>(ControlId::MoveUp), &QAbstractButton::clicked, this,
            [controller] { controller->MoveSelectionUp(); });
    connect(As<BitmapButton>(ControlId::MoveDown), &QAbstractButton::clicked, this,
            [controller] { controller->MoveSelectionDown(); });
    connect(As<BitmapButton>(ControlId::Delete), &QAbstractButton::clicked, this,
            [controller] { controller->DeleteSelection(); });
    connect(As<QLineEdit>(ControlId::OutputFolder), &QLineEdit::textChanged, this,
            &MainWindow::OnFolderTextChanged);
    connect(As<QPushButton>(ControlId::Browse), &QPushButton::clicked, this, &MainWindow::OnBrowse);
    connect(As<QPushButton>(ControlId::Create), &QPushButton::clicked, this, &MainWindow::OnCreate);
    connect(As<QPushButton>(ControlId::Close), &QPushButton::clicked, this, &MainWindow::OnClose);
    connect(As<QPushButton>(ControlId::Help), &QPushButton::clicked, this, &MainWindow::OnHelp);
    connect(As<QCheckBox>(ControlId::ShowThumbnail), &QCheckBox::toggled, this, &MainWindow::OnShowThumbnail);
    PageStyleChooser::Controls style;
    style.solidColour = As<ColourButton>(ControlId::SolidColour);
    for (std::size_t k = 0; k < kPictureButtons.size(); ++k)
        style.pictures[k] = As<BitmapButton>(kPictureButtons[k]);
    for (std::size_t k = 0; k < kArrangementButtons.size(); ++k)
        style.arrangements[k] = As<BitmapButton>(kArrangementButtons[k]);
    // The Gallery is new beside the four of old: its button says what it is.
    control(ControlId::Gallery)->setToolTip(Text(TextId::GalleryDescription));
    control(ControlId::Gallery)->setAccessibleName(Text(TextId::GalleryName));
    style.fontColourButton = As<BitmapButton>(ControlId::FontColour);
    style.backgroundColourButton = As<BitmapButton>(ControlId::BackgroundColour);
    style.fontSwatch = As<ColourSwatch>(ControlId::FontSwatch);
    style.preview = As<ColourSwatch>(ControlId::Preview);
    pageStyle_ = std::make_unique<PageStyleChooser>(style, this);
    pageStyle_->Initialise();
}

int MainWindow::Run() {
    const int failed = Initialise();
    if (failed != 0)
        return failed;
    return exec();
}

int MainWindow::Initialise() {
    // The boxes of the start have no owner: the window is not shown yet, and closes after a refusal.
    if (!session_.LoadSettings(*startupMessages_))
        return 2;
    // What stands in the media browser's place is asked for its selection; without both answers the
    // decision falls to the file named on the command line.
    if (!session_.TakeStartupFiles(startupFile_, HandOverChannel::DefaultSocketPath(), *startupMessages_))
        return 2;
    ShowChoices();
    // Where the window last stood, when that is still on a screen; never smaller than the default.
    const WindowPlace& place = session_.choices().window;
    if (place.width > 0) {
        resize(std::max(place.width, minimumWidth()), std::max(place.height, minimumHeight()));
        if (QGuiApplication::screenAt(QPoint(place.left + place.width / 2, place.top + 10)))
            move(place.left, place.top);
    }
    return 0;
}

void MainWindow::CollectChoices() {
    SessionChoices& choices = session_.choices();
    choices.outputFolder = As<QLineEdit>(ControlId::OutputFolder)->text().toStdString();
    choices.pageTitle = As<QLineEdit>(ControlId::PageTitle)->text().toStdString();
    pageStyle_->FillChoices(choices);
    choices.openWhenDone = As<QCheckBox>(ControlId::OpenWhenDone)->isChecked();
    // A maximised window is remembered at the size it comes back to.
    const QRect normal = isMaximized() ? normalGeometry() : QRect(pos(), size());
    choices.window = WindowPlace{normal.x(), normal.y(), normal.width(), normal.height()};
}

void MainWindow::ShowChoices() {
    const SessionChoices& choices = session_.choices();
    As<QLineEdit>(ControlId::OutputFolder)->setText(QString::fromStdString(choices.outputFolder));
    As<QLineEdit>(ControlId::PageTitle)->setText(QString::fromStdString(choices.pageTitle));
    As<QCheckBox>(ControlId::OpenWhenDone)->setChecked(choices.openWhenDone);
    pageStyle_->ApplyChoices(choices);
    UpdateMenus();
}

void MainWindow::OnFolderTextChanged() {
    session_.list().SetOutputFolderGiven(!As<QLineEdit>(ControlId::OutputFolder)->text().isEmpty());
}

std::optional<std::string> MainWindow::PickFolder(const std::function<FolderPick(QWidget*)>& pick) {
    const FolderPick picked = pick(this);
    if (!picked.chosen)
        return std::nullopt;
    if (picked.path.empty()) {
        messages_->Inform(LoadText(TextId::FolderUnusable), LoadText(TextId::WarningCaption),
                          MessageIcon::Exclamation);
        return std::nullopt;
    }
    return picked.path;
}

void MainWindow::OnBrowse() {
    if (const std::optional<std::string> folder = PickFolder(seams_.pickFolder))
        As<QLineEdit>(ControlId::OutputFolder)->setText(QString::fromStdString(*folder));
}

void MainWindow::OnCreate() {
    CollectChoices();
    WindowServices services(this, *messages_, *help_, imaging_, seams_.openPage);
    services.UpdateAndPrune(session_.WritesIntoReopened());
    if (session_.Create(services).closeWindow)
        done(1);
}

void MainWindow::OnClose() {
    CollectChoices();
    session_.SaveSettings(*messages_);
    done(1);
}

void MainWindow::reject() {
    done(2);
}

void MainWindow::OnShowThumbnail(bool checked) {
    session_.list().ShowThumbnailChanged(checked);
}

void MainWindow::OnHelp() {
    help_->OpenHelp(kHelpContext);
}

void MainWindow::OnAbout() {
    AboutBox about(this);
    about.Run();
}

void MainWindow::OnOption() {
    // A root folder is shown whole, any other without its closing "/"; the choice is saved only by the
    // next save step.
    std::string& workFolder = session_.choices().workFolder;
    WorkFolderDialog option(ShownWorkFolder(workFolder), *messages_, *help_, this);
    if (option.Run() == 1)
        workFolder = StoredWorkFolder(option.folder());
}

void MainWindow::OnOpenAlbum() {
    const std::optional<std::string> folder = PickFolder(seams_.pickAlbum);
    if (!folder)
        return;
    CollectChoices();
    if (session_.Reopen(*folder, *messages_))
        ShowChoices();
}

std::unique_ptr<QMenu> MainWindow::MakeContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    QAction* embed = menu->addAction(Text(TextId::EmbedPlaybackLabel));
    embed->setObjectName(QStringLiteral("command%1").arg(kEmbedCommand));
    embed->setCheckable(true);
    ShowEmbedState(embed);
    connect(embed, &QAction::triggered, this,
            [this] { session_.choices().embedPlayback = !session_.choices().embedPlayback; });
    return menu;
}

void MainWindow::ShowContextMenu(const QPoint& globalPosition) {
    const std::unique_ptr<QMenu> menu = MakeContextMenu();
    menu->exec(globalPosition);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Only over the window itself: a child control keeps its own right button.
        if (mouse->button() == Qt::RightButton && !client_->childAt(mouse->position().toPoint())) {
            ShowContextMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // Neither Enter nor Esc closes the window.
        event->accept();
        return;
    case Qt::Key_F1:
        OnHelp();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace aw
