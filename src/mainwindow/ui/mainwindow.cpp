// SPDX-License-Identifier: MIT
#include "mainwindow/ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
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
#include "mainwindow/createworkflow.h"
#include "mainwindow/handoverstate.h"
#include "mainwindow/outputfolders.h"
#include "mainwindow/settingsstore.h"
#include "mainwindow/ui/bitmapbutton.h"
#include "mainwindow/ui/controltable.h"
#include "mainwindow/ui/pagestylechooser.h"
#include "mainwindow/ui/windowservices.h"
#include "medialist/ui/droppane.h"
#include "medialist/ui/thumbnaillist.h"
#include "platform/handoverchannel.h"
#include "platform/tempfile.h"
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

bool OpenPageInBrowser(const std::string& pagePath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(pagePath)));
}

} // namespace

MainWindow::MainWindow(const ImagingLibrary& imaging, std::string startupFile, QWidget* parent,
                       MainWindowSeams seams)
    : QDialog(parent), imaging_(imaging), startupFile_(std::move(startupFile)), seams_(std::move(seams)),
      profile_(seams_.settingsFile) {
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
    if (!seams_.openPage)
        seams_.openPage = OpenPageInBrowser;
    settingsStore_ = std::make_unique<SettingsStore>(profile_, seams_.programFolder);

    // A title bar with the window menu and a minimise box; no maximise box, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
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
    setFixedSize(kClientWidth, kClientHeight + menuBar_->height());
    WireControls();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::control(ControlId id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void MainWindow::CreateMenuBar() {
    // The window menu belongs to the desktop here, so its three own commands live in a menu bar.
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QAction* option = menuBar_->addAction(Text(TextId::OptionCommand));
    option->setObjectName(QStringLiteral("command48"));
    connect(option, &QAction::triggered, this, &MainWindow::OnOption);
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
            widget = new ThumbnailList(client_);
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
    As<DropPane>(ControlId::DropPane)->Attach(list, &imaging_);
    // The list's controller enables Create by its rule from here on.
    list->Attach(create, As<DropPane>(ControlId::DropPane), showThumbnail,
                 As<QStatusBar>(ControlId::StatusBar), messages_);
    ListController* controller = &list->controller();
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
    if (!LoadSettings())
        return 2;
    return ChooseStartupFiles();
}

bool MainWindow::LoadSettings() {
    if (!settingsStore_->WriteDefaultSettings()) {
        // A settings file that cannot be read whole or written (full or read-only, a folder or a FIFO at its
        // path, too large): said once, then this session runs on the defaults and saves nothing, so a file
        // it could not read is never replaced.
        settings_.workFolder = SystemTempPath();
        if (!settingsStore_->DefaultSettings(settings_) || settings_.workFolder.empty())
            return false;
        startupMessages_->Inform(LoadText(TextId::SettingsNotSaved) + "\n" +
                                     FormatText(LoadText(TextId::SettingsFileUnusable), {profile_.file()}),
                                 LoadText(TextId::WarningCaption), MessageIcon::Exclamation);
        sessionOnly_ = true;
        return true;
    }
    if (!settingsStore_->LoadSettings(settings_)) {
        startupMessages_->Inform(LoadText(TextId::SettingsBroken), LoadText(TextId::ErrorCaption),
                                 MessageIcon::Stop);
        return false;
    }
    return settingsStore_->LoadWorkFolder(settings_);
}

int MainWindow::ChooseStartupFiles() {
    // What stands in the media browser's place is asked for its selection; without both answers the
    // decision falls to the file named on the command line. The boxes have no owner: the window is about
    // to close.
    HandOverState handOver;
    handOver.AskBrowser(HandOverChannel::DefaultSocketPath());
    const OutputFolders folders(*startupMessages_);
    const StartupDecision decision = handOver.Decide(startupFile_, folders);
    if (decision.source == StartupSource::EmptyList)
        return 0;
    if (decision.source == StartupSource::NoFiles) {
        startupMessages_->Inform(LoadText(TextId::NoFilesSelected), LoadText(TextId::ErrorCaption),
                                 MessageIcon::Stop);
        return 2;
    }
    std::string folder = decision.initialFolder;
    const IntakeRefusal refused =
        decision.source == StartupSource::Selection
            ? As<ThumbnailList>(ControlId::ItemList)->AcceptBrowserSelection(*handOver.selectionBlock())
            : As<DropPane>(ControlId::DropPane)->AcceptStartupFile(startupFile_, folder);
    handOver.ReleaseSelection();
    if (refused) {
        startupMessages_->Inform(LoadText(*refused), LoadText(TextId::ErrorCaption), MessageIcon::Stop);
        return 2;
    }
    if (decision.source == StartupSource::StartupFile)
        folder = folders.ChooseInitialFolder(folder);
    As<QLineEdit>(ControlId::OutputFolder)->setText(QString::fromStdString(folder));
    return 0;
}

void MainWindow::OnFolderTextChanged() {
    As<ThumbnailList>(ControlId::ItemList)
        ->controller()
        .SetOutputFolderGiven(!As<QLineEdit>(ControlId::OutputFolder)->text().isEmpty());
}

void MainWindow::OnBrowse() {
    const FolderPick pick = seams_.pickFolder(this);
    if (!pick.chosen)
        return;
    if (pick.path.empty()) {
        messages_->Inform(LoadText(TextId::FolderUnusable), LoadText(TextId::WarningCaption),
                          MessageIcon::Exclamation);
        return;
    }
    As<QLineEdit>(ControlId::OutputFolder)->setText(QString::fromStdString(pick.path));
}

void MainWindow::SaveSettings() {
    if (sessionOnly_)
        return;
    // Each save reports its own failure; the second is tried whatever became of the first.
    if (!settingsStore_->SaveEmbedFlag(settings_.embedPlayback))
        messages_->Inform(LoadText(TextId::SettingsNotSaved), LoadText(TextId::WarningCaption),
                          MessageIcon::Exclamation);
    if (!settingsStore_->SaveWorkFolder(settings_.workFolder))
        messages_->Inform(LoadText(TextId::SettingsNotSaved), LoadText(TextId::WarningCaption),
                          MessageIcon::Exclamation);
}

void MainWindow::OnCreate() {
    CreateInputs inputs;
    inputs.outputFolder = As<QLineEdit>(ControlId::OutputFolder)->text().toStdString();
    inputs.pageTitle = As<QLineEdit>(ControlId::PageTitle)->text().toStdString();
    pageStyle_->FillCreateInputs(inputs);
    inputs.openWhenDone = As<QCheckBox>(ControlId::OpenWhenDone)->isChecked();
    WindowServices services(this, *messages_, *help_, imaging_, sessionOnly_ ? nullptr : settingsStore_.get(),
                            seams_.openPage);
    CreateWorkflow create(services);
    const CreateResult result =
        create.Run(job_, As<ThumbnailList>(ControlId::ItemList)->items(), inputs, settings_);
    if (result.closeWindow)
        done(1);
}

void MainWindow::OnClose() {
    SaveSettings();
    done(1);
}

void MainWindow::reject() {
    done(2);
}

void MainWindow::OnShowThumbnail(bool checked) {
    As<ThumbnailList>(ControlId::ItemList)->controller().ShowThumbnailChanged(checked);
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
    WorkFolderDialog option(ShownWorkFolder(settings_.workFolder), *messages_, *help_, this);
    if (option.Run() == 1)
        settings_.workFolder = StoredWorkFolder(option.folder());
}

std::unique_ptr<QMenu> MainWindow::MakeContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    QAction* embed = menu->addAction(Text(TextId::EmbedPlaybackLabel));
    embed->setObjectName(QStringLiteral("command%1").arg(kEmbedCommand));
    embed->setCheckable(true);
    // Arrangement 4 has no players to embed: the item is greyed and unticked there. In the Gallery movies
    // always play: greyed and ticked.
    const bool lastArrangement = pageStyle_->arrangementIndex() == kLastArrangement;
    const bool gallery = pageStyle_->arrangementIndex() == kGalleryArrangement - 1;
    embed->setEnabled(!lastArrangement && !gallery);
    embed->setChecked(gallery || (!lastArrangement && settings_.embedPlayback == 1));
    connect(embed, &QAction::triggered, this,
            [this] { settings_.embedPlayback = settings_.embedPlayback == 1 ? 0 : 1; });
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
