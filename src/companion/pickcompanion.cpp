#include "companion/pickcompanion.h"

#include <cstring>
#include <filesystem>

#include "medialist/selectionblock.h"
#include "platform/handoverformats.h"
#include "platform/handoverlistener.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kStatusFormatId = 325;
constexpr int kCannotStartId = 3202;
constexpr int kSocketUnusableId = 3203;
constexpr int kNotAskedId = 3204;
constexpr int kRequestsPerHandOver = 2;
constexpr std::chrono::milliseconds kEndedCheck{100};

// The extensions of the supported kinds, as the intake's table holds them.
constexpr int kExtensionIds[] = {300, 321, 322, 301, 302, 303, 327, 328, 329, 304, 330, 331};

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

std::string PickCompanion::SupportedPatterns() {
    std::string patterns;
    for (const int id : kExtensionIds) {
        const std::string extension = LoadText(id);
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
    if (format == LoadText(kStatusFormatId))
        return {{format, Bytes(kHandOverStatusSize, 0)}};
    return {};
}

int PickCompanion::Run(const std::string& socketPath, const Launch& launch, std::chrono::milliseconds limit) {
    HandOverListener listener(socketPath);
    if (!listener.Listen()) {
        error_ = FormatText(LoadText(kSocketUnusableId), {socketPath, std::strerror(listener.error())});
        return 1;
    }
    std::string reason;
    if (!launch.start(reason)) {
        error_ = FormatText(LoadText(kCannotStartId), {reason});
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto answer = [this](const std::string& format) { return AnswerFor(format); };
    // Short waits, so that a window program that ended without asking (another instance was running,
    // a module was missing) does not keep the companion waiting for the whole limit.
    while (std::chrono::steady_clock::now() < deadline && !launch.ended()) {
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kEndedCheck);
        if (listener.ServeOne(answer, slice) >= kRequestsPerHandOver)
            return 0;
    }
    error_ = LoadText(kNotAskedId);
    return 1;
}

} // namespace aw
