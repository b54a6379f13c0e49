// SPDX-License-Identifier: MIT
// A HelpOpener for window tests: records every topic asked for and answers `answer`.
#pragma once

#include <vector>

#include "dialogs/helpopener.h"

namespace aw::test {

class RecordingHelp : public HelpOpener {
public:
    bool OpenHelp(int context) override {
        contexts.push_back(context);
        return answer;
    }

    bool answer = true;
    std::vector<int> contexts;
};

} // namespace aw::test
