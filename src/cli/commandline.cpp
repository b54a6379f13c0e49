// SPDX-License-Identifier: MIT
#include "cli/commandline.h"

#include <charconv>

#include "album/albumjob.h"
#include "album/kindstext.h"
#include "platform/asciicase.h"
#include "session/installedtables.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

enum class Option {
    Output,
    Title,
    Arrangement,
    ArrangementFile,
    Background,
    BackgroundColour,
    FontColour,
    Embed,
    WorkFolder,
    Yes,
    No,
    Open,
    Quiet,
    Update,
    Prune,
    RemoveLocation,
    Sort,
    Originals,
    Help,
    Version,
};

struct OptionSpec {
    char shortName; // 0: long only
    const char* longName;
    Option option;
    bool takesValue;
};

constexpr OptionSpec kOptions[] = {
    {'o', "output", Option::Output, true},
    {'t', "title", Option::Title, true},
    {'a', "arrangement", Option::Arrangement, true},
    {0, "arrangement-file", Option::ArrangementFile, true},
    {'b', "background", Option::Background, true},
    {0, "background-colour", Option::BackgroundColour, true},
    {'f', "font-colour", Option::FontColour, true},
    {'e', "embed", Option::Embed, false},
    {'w', "work-folder", Option::WorkFolder, true},
    {'y', "yes", Option::Yes, false},
    {'n', "no", Option::No, false},
    {0, "open", Option::Open, false},
    {'q', "quiet", Option::Quiet, false},
    {0, "update", Option::Update, false},
    {0, "prune", Option::Prune, false},
    {0, "remove-location", Option::RemoveLocation, false},
    {0, "sort", Option::Sort, true},
    {0, "originals", Option::Originals, false},
    {'h', "help", Option::Help, false},
    {0, "version", Option::Version, false},
};

const OptionSpec* FindShort(char name) {
    for (const OptionSpec& spec : kOptions)
        if (spec.shortName == name)
            return &spec;
    return nullptr;
}

const OptionSpec* FindLong(std::string_view name) {
    for (const OptionSpec& spec : kOptions)
        if (name == spec.longName)
            return &spec;
    return nullptr;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || rest != end || text.empty() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

// Applies one option with its value (empty for flags); false with `error` set when the value is bad.
bool Apply(CommandLine& line, const OptionSpec& spec, const std::string& shown, const std::string& value,
           std::string& error) {
    switch (spec.option) {
    case Option::Output:
        line.outputFolder = value;
        return true;
    case Option::Title:
        line.pageTitle = value;
        return true;
    case Option::Arrangement:
    case Option::Background: {
        const bool arrangement = spec.option == Option::Arrangement;
        int& target = arrangement ? line.arrangement : line.background;
        const int low = arrangement ? 1 : 0;
        const int high = arrangement ? kArrangementCount : kBackgroundPictureCount;
        if (ParseNumber(value, low, high, target))
            return true;
        error = FormatText(LoadText(TextId::NotANumber),
                           {shown, std::to_string(low), std::to_string(high), value});
        return false;
    }
    case Option::ArrangementFile:
        line.arrangementFile = value;
        return true;
    case Option::BackgroundColour:
    case Option::FontColour: {
        const std::optional<Rgb> colour = ParseColour(value);
        if (!colour) {
            error = FormatText(LoadText(TextId::NotAColour), {shown, value});
            return false;
        }
        (spec.option == Option::FontColour ? line.fontColour : line.backgroundColour) = *colour;
        return true;
    }
    case Option::Embed:
        line.embed = true;
        return true;
    case Option::WorkFolder:
        line.workFolder = value;
        return true;
    case Option::Yes:
    case Option::No: {
        const Answer answer = spec.option == Option::Yes ? Answer::Yes : Answer::No;
        if (line.answer != Answer::Ask && line.answer != answer) {
            error = LoadText(TextId::YesAndNo);
            return false;
        }
        line.answer = answer;
        return true;
    }
    case Option::Open:
        line.openWhenDone = true;
        return true;
    case Option::Quiet:
        line.quiet = true;
        return true;
    case Option::Update:
        line.update = true;
        return true;
    case Option::Prune:
        line.prune = true;
        return true;
    case Option::RemoveLocation:
        line.removeLocation = true;
        return true;
    case Option::Sort:
        if (value != "taken" && value != "name") {
            error = FormatText(LoadText(TextId::SortValueBad), {shown, value});
            return false;
        }
        line.sort = value == "taken" ? SortOrder::Taken : SortOrder::Name;
        return true;
    case Option::Originals:
        line.originals = true;
        return true;
    case Option::Help:
        line.action = CommandLine::Action::Help;
        return true;
    case Option::Version:
        if (line.action != CommandLine::Action::Help)
            line.action = CommandLine::Action::Version;
        return true;
    }
    return false;
}

// "--name", "--name=value" or "--name value"; `i` moves past a value taken from the next argument.
bool ParseLong(CommandLine& line, const std::vector<std::string>& args, std::size_t& i, std::string& error) {
    const std::string& arg = args[i];
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const std::string shown = "--" + name;
    const OptionSpec* spec = FindLong(name);
    if (!spec) {
        error = FormatText(LoadText(TextId::UnknownOption), {shown});
        return false;
    }
    std::string value;
    if (!spec->takesValue) {
        if (equals != std::string::npos) {
            error = FormatText(LoadText(TextId::OptionTakesNoValue), {shown});
            return false;
        }
    } else if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    } else {
        error = FormatText(LoadText(TextId::OptionNeedsValue), {shown});
        return false;
    }
    return Apply(line, *spec, shown, value, error);
}

// Bundled short options as getopt takes them: "-yq", "-oDIR", "-yo DIR".
bool ParseShort(CommandLine& line, const std::vector<std::string>& args, std::size_t& i, std::string& error) {
    const std::string arg = args[i];
    for (std::size_t k = 1; k < arg.size(); ++k) {
        const std::string shown = std::string("-") + arg[k];
        const OptionSpec* spec = FindShort(arg[k]);
        if (!spec) {
            error = FormatText(LoadText(TextId::UnknownOption), {shown});
            return false;
        }
        if (!spec->takesValue) {
            if (!Apply(line, *spec, shown, {}, error))
                return false;
            continue;
        }
        std::string value;
        if (k + 1 < arg.size()) {
            value = arg.substr(k + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = FormatText(LoadText(TextId::OptionNeedsValue), {shown});
            return false;
        }
        return Apply(line, *spec, shown, value, error);
    }
    return true;
}

} // namespace

std::optional<Rgb> ParseColour(const std::string& text) {
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    std::uint8_t bytes[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[static_cast<std::size_t>(1 + 2 * i)]);
        const int low = HexDigit(text[static_cast<std::size_t>(2 + 2 * i)]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return Rgb{bytes[0], bytes[1], bytes[2]};
}

std::string UsageText() {
    // The options, the privacy and order options, then the supported files and what plays, from the
    // program's own tables.
    const KindsText kinds = DescribeKinds();
    std::string playable;
    for (const std::string& line : kinds.playable)
        playable += "  " + line + "\n";
    return LoadText(TextId::MakeUsage) + LoadText(TextId::MakeUsagePrivacy) +
           LoadText(TextId::MakeUsageOriginals) + FormatText(LoadText(TextId::SupportedKinds),
                      {kinds.pictures, kinds.converted, kinds.movies, kinds.sounds, playable});
}

std::optional<CommandLine> CommandLine::Parse(const std::vector<std::string>& args, std::string& error) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.files.push_back(arg); // "-" alone is a file name like any other
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg[1] == '-') {
            if (!ParseLong(line, args, i, error))
                return std::nullopt;
        } else if (!ParseShort(line, args, i, error)) {
            return std::nullopt;
        }
    }
    if (line.action != Action::Make)
        return line;
    if (line.outputFolder.empty()) {
        error = LoadText(TextId::OutputMissing);
        return std::nullopt;
    }
    if (line.files.empty()) {
        error = LoadText(TextId::NoFileGiven);
        return std::nullopt;
    }
    // The Gallery is no arrangement file; which of the two was meant cannot be guessed.
    if (line.arrangement == kGalleryArrangement && !line.arrangementFile.empty()) {
        error = LoadText(TextId::GalleryWithArrangementFile);
        return std::nullopt;
    }
    // Removing files needs the record of an update run; alone it would remove nothing, silently.
    if (line.prune && !line.update) {
        error = LoadText(TextId::PruneNeedsUpdate);
        return std::nullopt;
    }
    return line;
}

} // namespace aw::cli
