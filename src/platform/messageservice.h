// SPDX-License-Identifier: MIT
// How the window-free logic puts a question or a message in front of the user. The Qt windows, the
// command line and the test doubles implement it; nothing below the user interface shows anything itself.
//
// Every call is modal: it returns once the user has answered or dismissed the message. Texts and
// captions arrive already loaded from the string table ("\n" is a line break). Called on the
// user-interface thread only.
#pragma once

#include <array>
#include <string>

namespace aw {

// The icon a message shows: Stop goes with "Error" (411), Information with "Information" (421),
// Question with "Confirmation" (431), Exclamation with "Warning" (438).
enum class MessageIcon { Information, Question, Exclamation, Stop };

// The button that Enter picks in a yes/no question.
enum class DefaultButton { Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;

    // A question with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon,
                          DefaultButton defaultButton) = 0;

    // A message with one OK button.
    virtual void Inform(const std::string& text, const std::string& caption, MessageIcon icon) = 0;

    // A question with three buttons labelled `answers` (mnemonics with "&"), the first the default: the
    // index of the one chosen, 2 when the question is closed instead. The last answer must be the one
    // that changes nothing. A front end that never asks it keeps this, which takes that answer.
    virtual int AskThree(const std::string& text, const std::string& caption, MessageIcon icon,
                         const std::array<std::string, 3>& answers) {
        (void)text, (void)caption, (void)icon, (void)answers;
        return 2;
    }
};

} // namespace aw
