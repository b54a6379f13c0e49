// SPDX-License-Identifier: MIT
// A HelpOpener for window tests: records every topic asked for.
#pragma once

#include <vector>

#include "dialogs/helpopener.h"

namespace aw::test {

struct RecordingHelp : HelpOpener {
    bool OpenHelp(int context) override {
        contexts.push_back(context);
        return true;
    }

    std::vector<int> contexts;
};

} // namespace aw::test
