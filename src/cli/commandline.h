// SPDX-License-Identifier: MIT
// The options of albumwright-make, parsed from its argument vector. A plain value; parsing touches nothing
// outside the arguments (paths are kept as given, files are not looked at).
//
//   albumwright-make -o DIR [options] FILE...
//
// Short options take their value as the next argument or joined ("-oDIR"); long ones as the next argument
// or after "=" ("--output=DIR"). "--" ends the options, so a file may begin with "-". Thread-safety: none
// needed (values only).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialogs/rgb.h"

namespace aw::cli {

enum class Answer { Ask, Yes, No };
enum class SortOrder { Given, Taken, Name };

struct CommandLine {
    enum class Action { Make, Help, Version };

    Action action = Action::Make;
    std::string outputFolder;    // -o, required for Make
    std::string pageTitle;       // -t
    int arrangement = 1;         // -a, 1..kArrangementCount (kGalleryArrangement: the Gallery)
    std::string arrangementFile; // --arrangement-file; used instead of -a when not empty
    int background = 0;          // -b, 0 solid colour, 1..kBackgroundPictureCount the installed pictures
    Rgb backgroundColour{0xff, 0xff, 0xff};
    Rgb fontColour{0, 0, 0};
    bool embed = false;          // -e
    std::string workFolder;      // -w; empty: the saved one if usable, else the system's
    Answer answer = Answer::Ask; // -y / -n
    bool openWhenDone = false;   // --open
    bool quiet = false;          // -q
    bool update = false;         // --update: keep what has not changed since the last such run
    bool prune = false;          // --prune, only with --update
    bool originals = false;      // --originals: the Gallery publishes byte copies of the files too
    std::vector<std::string> files;

    bool removeLocation = false;       // --remove-location: Data copies without location, owner and serials
    SortOrder sort = SortOrder::Given; // --sort taken|name

    // The parsed options, or nothing with `error` set to a one-line reason (in the user's language).
    static std::optional<CommandLine> Parse(const std::vector<std::string>& args, std::string& error);
};

// "#rrggbb" with six hexadecimal digits in either case; nothing for anything else.
std::optional<Rgb> ParseColour(const std::string& text);

// The usage text printed by --help.
std::string UsageText();

} // namespace aw::cli
