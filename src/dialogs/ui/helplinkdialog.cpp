// SPDX-License-Identifier: MIT
#include "dialogs/ui/helplinkdialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "dialogs/helpopener.h"
#include "dialogs/ui/dialogunits.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kIconSize = 32;

} // namespace

HelpLinkDialog::HelpLinkDialog(std::string message, std::string caption, int helpContext, HelpOpener& help,
                               QWidget* parent)
    : QDialog(parent), helpContext_(helpContext), help_(help) {
    setWindowTitle(QString::fromStdString(caption));
    const DialogUnits units(font());

    auto* ok = new QPushButton(QString::fromStdString(LoadText(TextId::OkButton)), this);
    units.Place(ok, 1, 41, 49, 50, 14);
    ok->setDefault(true);
    auto* helpButton = new QPushButton(QString::fromStdString(LoadText(TextId::HelpCommand)), this);
    units.Place(helpButton, 1085, 126, 49, 50, 14);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    DialogUnits::NameControl(icon, 1086);
    icon->setGeometry(QRect(units.Rect(7, 11, 20, 20).topLeft(), QSize(kIconSize, kIconSize)));
    auto* text = new QLabel(QString::fromStdString(message), this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    units.Place(text, 1084, 32, 12, 165, 28);
    setFixedSize(units.Size(219, 69));

    connect(ok, &QPushButton::clicked, this, &HelpLinkDialog::accept);
    connect(helpButton, &QPushButton::clicked, this, &HelpLinkDialog::OpenHelp);
}

int HelpLinkDialog::Run() {
    return exec() == QDialog::Accepted ? 1 : 2;
}

void HelpLinkDialog::OpenHelp() {
    help_.OpenHelp(helpContext_);
}

} // namespace aw
