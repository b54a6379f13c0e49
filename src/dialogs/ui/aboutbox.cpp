// SPDX-License-Identifier: MIT
#include "dialogs/ui/aboutbox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "dialogs/systeminfo.h"
#include "dialogs/ui/dialogunits.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kIconSize = 32;

QLabel* MakeLine(QWidget* parent, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : AboutBox(QGuiApplication::queryKeyboardModifiers(), parent) {}

AboutBox::AboutBox(Qt::KeyboardModifiers held, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromStdString(LoadText(TextId::AboutTitle)));
    const DialogUnits units(font());

    // The icon keeps its own size at the control's top left, as an icon control does.
    auto* icon = new QLabel(this);
    const QPixmap picture(QStringLiteral(":/bitmaps/albumwright.png"));
    if (!picture.isNull())
        icon->setPixmap(picture.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(QRect(units.Rect(11, 17, 20, 20).topLeft(), QSize(kIconSize, kIconSize)));

    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    units.Place(MakeLine(this, VersionLine(held, program)), 1017, 40, 10, 155, 8);
    units.Place(MakeLine(this, LoadText(TextId::DevelopersLine)), 1019, 40, 25, 165, 8);
    units.Place(MakeLine(this, LoadText(TextId::CopyrightLine)), 1026, 40, 40, 197, 8);
    auto* ok = new QPushButton(QString::fromStdString(LoadText(TextId::OkButton)), this);
    units.Place(ok, 1, 206, 7, 32, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::accept);
    setFixedSize(units.Size(244, 55));
}

int AboutBox::Run() {
    return exec() == QDialog::Accepted ? 1 : 2;
}

std::string AboutBox::VersionLine(Qt::KeyboardModifiers held, const std::string& programPath) {
    const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
    if ((held & both) != both)
        return LoadText(TextId::PlainVersionLine);
    const std::uint64_t version = SystemInfo::FileVersion(programPath);
    auto part = [version](int shift) { return std::to_string((version >> shift) & 0xFFFF); };
    return FormatText(LoadText(TextId::VersionLine), {part(48), part(32), part(16), part(0)});
}

} // namespace aw
