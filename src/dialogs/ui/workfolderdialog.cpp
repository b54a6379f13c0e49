// SPDX-License-Identifier: MIT
#include "dialogs/ui/workfolderdialog.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/helpopener.h"
#include "dialogs/ui/dialogunits.h"
#include "dialogs/workfoldertext.h"
#include "platform/messageservice.h"
#include "platform/tempfile.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kHelpContext = 2000;

QString Text(TextId id) {
    return QString::fromStdString(LoadText(id));
}

std::string BrowseWithDialog(QWidget* owner, const std::string& title, const std::string& start) {
    return QFileDialog::getExistingDirectory(owner, QString::fromStdString(title),
                                             QString::fromStdString(start), QFileDialog::ShowDirsOnly)
        .toStdString();
}

} // namespace

WorkFolderDialog::WorkFolderDialog(std::string initialFolder, MessageService& messages, HelpOpener& help,
                                   QWidget* parent)
    : QDialog(parent), messages_(messages), help_(help), picker_(&BrowseWithDialog),
      isFixed_([this](const std::string& folder) { return system_.IsUsableWorkFolder(folder); }) {
    setWindowTitle(Text(TextId::OptionTitle));
    const DialogUnits units(font());

    // Created in the order of the window's template, which is also the order of tabbing.
    units.Place(new QGroupBox(Text(TextId::WorkFolderGroup), this), 1087, 7, 7, 237, 71);
    folderEdit_ = new QLineEdit(this);
    folderEdit_->setReadOnly(true);
    units.Place(folderEdit_, 1088, 13, 23, 168, 14);
    auto* browse = new QPushButton(Text(TextId::WorkFolderBrowse), this);
    units.Place(browse, 1089, 188, 24, 50, 14);
    freeSpaceEdit_ = new QLineEdit(this);
    freeSpaceEdit_->setReadOnly(true);
    freeSpaceEdit_->setFrame(false);
    freeSpaceEdit_->setFocusPolicy(Qt::ClickFocus);
    // Without its border and background the line reads as a label on whatever lies behind it.
    QPalette palette = freeSpaceEdit_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    freeSpaceEdit_->setPalette(palette);
    units.Place(freeSpaceEdit_, 1090, 13, 45, 168, 12);
    auto* useDefault = new QPushButton(Text(TextId::WorkFolderDefault), this);
    units.Place(useDefault, 1092, 188, 42, 50, 14);
    units.Place(new QLabel(Text(TextId::SpaceCaution), this), 1091, 13, 62, 225, 8);
    auto* ok = new QPushButton(Text(TextId::WorkFolderOk), this);
    units.Place(ok, kOk, 69, 88, 50, 14);
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(TextId::WorkFolderCancel), this);
    units.Place(cancel, kCancel, 130, 88, 50, 14);
    setFixedSize(units.Size(251, 109));

    connect(browse, &QPushButton::clicked, this, &WorkFolderDialog::Browse);
    connect(useDefault, &QPushButton::clicked, this, &WorkFolderDialog::UseDefault);
    connect(ok, &QPushButton::clicked, this, &WorkFolderDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &WorkFolderDialog::reject);
    ShowFolder(initialFolder);
}

int WorkFolderDialog::Run() {
    return exec() == kOk ? kOk : kCancel;
}

std::string WorkFolderDialog::folder() const {
    return folderEdit_->text().toStdString();
}

std::string WorkFolderDialog::freeSpaceLine() const {
    return freeSpaceEdit_->text().toStdString();
}

void WorkFolderDialog::reject() {
    done(kCancel);
}

void WorkFolderDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        help_.OpenHelp(kHelpContext);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WorkFolderDialog::Browse() {
    const std::string title = LoadText(TextId::SelectWorkFolder);
    const std::string start = folder();
    std::string pick = picker_(this, title, start);
    while (!pick.empty() && !isFixed_(pick)) {
        messages_.Inform(LoadText(TextId::FixedDriveOnly), LoadText(TextId::ErrorCaption),
                         MessageIcon::Exclamation);
        pick = picker_(this, title, start);
    }
    ShowFolder(pick.empty() ? start : ShownWorkFolder(pick));
}

void WorkFolderDialog::UseDefault() {
    const std::string temp = SystemTempPath();
    if (temp.empty()) {
        messages_.Inform(LoadText(TextId::WorkFileFailed), LoadText(TextId::ErrorCaption),
                         MessageIcon::Exclamation);
        return;
    }
    ShowFolder(ShownWorkFolder(temp));
}

void WorkFolderDialog::ShowFolder(const std::string& folder) {
    folderEdit_->setText(QString::fromStdString(folder));
    freeSpaceEdit_->setText(QString::fromStdString(system_.FreeSpaceLine(folder)));
}

} // namespace aw
