// SPDX-License-Identifier: MIT
#include "companion/pickcompanion.h"

#include <cstring>
#include <filesystem>

extern "C" {
#include <sys/wait.h>
#include <unistd.h>
}

#include "album/mediapath.h"
#include "medialist/selectionblock.h"
#include "platform/handoverformats.h"
#include "platform/handoverlistener.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kRequestsPerHandOver = 2;
constexpr std::chrono::milliseconds kEndedCheck{100};

} // namespace

PickCompanion::PickCompanion(const std::vector<std::string>& files, const std::string& currentFolder) {
    for (const std::string& file : files) {
        std::filesystem::path path(file);
        if (path.is_relative())
            path = std::filesystem::path(currentFolder) / path;
        files_.push_back(path.lexically_normal().string());
    }
    selection_ = SelectionBlock::ForFiles(files_);
}

PickCompanion::Arguments PickCompanion::Parse(const std::vector<std::string>& arguments) {
    Arguments parsed;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            parsed.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            return {Arguments::Action::Help, {}, {}};
        } else if (argument == "--version") {
            return {Arguments::Action::Version, {}, {}};
        } else {
            return {Arguments::Action::Bad, {}, FormatText(LoadText(TextId::PickUnknownOption), {argument})};
        }
    }
    return parsed;
}

std::string PickCompanion::CurrentFolderProblem(const std::vector<std::string>& files,
                                                const std::string& currentFolder, const std::string& reason) {
    if (!currentFolder.empty())
        return {};
    for (const std::string& file : files)
        if (file.empty() || file[0] != '/')
            return FormatText(LoadText(TextId::PickNoCurrentFolder), {reason, file});
    return {};
}

std::string PickCompanion::SupportedPatterns() {
    std::string patterns;
    for (const MediaPath::Extension& entry : MediaPath::kExtensions) { // the intake's own table
        const std::string extension = LoadText(entry.text);
        std::string upper = extension;
        for (char& c : upper)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        patterns += (patterns.empty() ? "*" : " *") + extension + " *" + upper;
    }
    return patterns;
}

std::vector<HandOverRecord> PickCompanion::AnswerFor(const std::string& format) const {
    if (format == kSelectionFormat)
        return {{kSelectionFormat, selection_}};
    if (format == LoadText(TextId::BrowserStatusFormat))
        return {{format, Bytes(kHandOverStatusSize, 0)}};
    return {};
}

int PickCompanion::Run(const std::string& socketPath, const Launch& launch, std::chrono::milliseconds limit) {
    HandOverListener listener(socketPath);
    if (!listener.Listen()) {
        error_ = FormatText(
            LoadText(TextId::PickSocketUnusable),
            {socketPath, listener.problem().empty() ? std::strerror(listener.error()) : listener.problem()});
        return 1;
    }
    std::string reason;
    if (!launch.start(reason)) {
        error_ = FormatText(LoadText(TextId::PickCannotStart), {reason});
        return 1;
    }
    const pid_t window = launch.process ? launch.process() : ::getpid();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto answer = [this](const std::string& format) { return AnswerFor(format); };
    // Short waits, so that a window program that ended without asking (another instance was running,
    // a module was missing) does not keep the companion waiting for the whole limit.
    while (std::chrono::steady_clock::now() < deadline && !launch.ended()) {
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kEndedCheck);
        if (listener.ServeOne(answer, slice, window) >= kRequestsPerHandOver)
            return 0;
    }
    error_ = LoadText(TextId::PickNotAsked);
    if (launch.ended() && launch.status) {
        const int status = launch.status();
        if (WIFEXITED(status))
            error_ = FormatText(LoadText(TextId::PickEndedWithStatus), {std::to_string(WEXITSTATUS(status))});
        else if (WIFSIGNALED(status))
            error_ = FormatText(LoadText(TextId::PickEndedBySignal),
                                {std::to_string(WTERMSIG(status)) + ", " + ::strsignal(WTERMSIG(status))});
    }
    return 1;
}

} // namespace aw
