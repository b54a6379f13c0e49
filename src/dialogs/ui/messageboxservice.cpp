// SPDX-License-Identifier: MIT
#include "dialogs/ui/messageboxservice.h"

#include <QMessageBox>
#include <QPushButton>

namespace aw {
namespace {

// What a box shows in its own text; the rest stands whole in its scrollable details. A box listing
// thousands of names must still fit the screen, its buttons within reach.
constexpr int kMaxLines = 20;
constexpr int kMaxCharacters = 1500;

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Stop:
        break;
    }
    return QMessageBox::Critical;
}

// Puts `text` into `box`, cut to the bounds above with the whole text in the details when it is longer.
void SetBoundedText(QMessageBox& box, const std::string& text) {
    const QString whole = QString::fromStdString(text);
    qsizetype cut = std::min<qsizetype>(whole.size(), kMaxCharacters);
    qsizetype from = 0;
    for (int line = 0; line < kMaxLines; ++line) {
        from = whole.indexOf(QLatin1Char('\n'), from);
        if (from < 0)
            break;
        ++from;
    }
    if (from > 0 && from < cut)
        cut = from - 1;
    if (cut == whole.size()) {
        box.setText(whole);
        return;
    }
    box.setText(whole.left(cut) + QStringLiteral("\n…"));
    box.setDetailedText(whole);
}

int Show(QMessageBox::Icon icon, const std::string& caption, const std::string& text,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton, QWidget* owner) {
    QMessageBox box(icon, QString::fromStdString(caption), QString(), buttons, owner);
    SetBoundedText(box, text);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

bool MessageBoxService::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                                 DefaultButton defaultButton) {
    return Show(ToQt(icon), caption, text, QMessageBox::Yes | QMessageBox::No,
                defaultButton == DefaultButton::Yes ? QMessageBox::Yes : QMessageBox::No,
                owner_.data()) == QMessageBox::Yes;
}

void MessageBoxService::Inform(const std::string& text, const std::string& caption, MessageIcon icon) {
    Show(ToQt(icon), caption, text, QMessageBox::Ok, QMessageBox::Ok, owner_.data());
}

int MessageBoxService::AskThree(const std::string& text, const std::string& caption, MessageIcon icon,
                                const std::array<std::string, 3>& answers) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString(), QMessageBox::NoButton,
                    owner_.data());
    SetBoundedText(box, text);
    const std::array roles{QMessageBox::AcceptRole, QMessageBox::DestructiveRole, QMessageBox::RejectRole};
    std::array<QPushButton*, 3> buttons{};
    for (std::size_t k = 0; k < answers.size(); ++k)
        buttons[k] = box.addButton(QString::fromStdString(answers[k]), roles[k]);
    box.setDefaultButton(buttons[0]);
    box.setEscapeButton(buttons[2]);
    box.exec();
    for (std::size_t k = 0; k < buttons.size(); ++k)
        if (box.clickedButton() == buttons[k])
            return static_cast<int>(k);
    return 2;
}

} // namespace aw
