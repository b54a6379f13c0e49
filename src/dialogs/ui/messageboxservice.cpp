#include "dialogs/ui/messageboxservice.h"

#include <QMessageBox>

namespace aw {
namespace {

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

} // namespace

bool MessageBoxService::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                                 DefaultButton defaultButton) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, owner_.data());
    box.setDefaultButton(defaultButton == DefaultButton::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxService::Inform(const std::string& text, const std::string& caption, MessageIcon icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Ok, owner_.data());
    box.exec();
}

} // namespace aw
