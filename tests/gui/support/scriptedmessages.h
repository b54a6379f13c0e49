// SPDX-License-Identifier: MIT
// A MessageService for window tests: records every question and message as "ask <caption>: <text>" or
// "inform <caption>: <text>" and answers questions from a queue (Yes when the queue is empty), running
// `onAsk` first (to act while a question is on screen).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/messageservice.h"

namespace aw::test {

class ScriptedMessages : public MessageService {
public:
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon, DefaultButton) override {
        if (onAsk)
            onAsk();
        log.push_back("ask " + caption + ": " + text);
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Inform(const std::string& text, const std::string& caption, MessageIcon) override {
        log.push_back("inform " + caption + ": " + text);
    }

    std::function<void()> onAsk;
    std::deque<bool> answers;
    std::vector<std::string> log;
};

} // namespace aw::test
