// SPDX-License-Identifier: MIT
// Questions and messages as Qt message boxes: the window program's MessageService. A box has the owner
// given at construction (none: a box of its own, for the start-up errors that come while no window is
// shown). User-interface thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/messageservice.h"

namespace aw {

class MessageBoxService : public MessageService {
public:
    explicit MessageBoxService(QWidget* owner = nullptr) : owner_(owner) {}

    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                  DefaultButton defaultButton) override;
    void Inform(const std::string& text, const std::string& caption, MessageIcon icon) override;
    int AskThree(const std::string& text, const std::string& caption, MessageIcon icon,
                 const std::array<std::string, 3>& answers) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace aw
