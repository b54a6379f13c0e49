// SPDX-License-Identifier: MIT
// A MessageService for window tests: logs "ask <caption>: <text>" and "inform <caption>: <text>", and
// answers Yes after running `onAsk` (to act while a question is on screen).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/messageservice.h"

namespace aw::test {

struct ScriptedMessages : MessageService {
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon, DefaultButton) override {
        if (onAsk)
            onAsk();
        log.push_back("ask " + caption + ": " + text);
        return true;
    }
    void Inform(const std::string& text, const std::string& caption, MessageIcon) override {
        log.push_back("inform " + caption + ": " + text);
    }

    std::function<void()> onAsk;
    std::vector<std::string> log;
};

} // namespace aw::test
