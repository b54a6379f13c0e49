// SPDX-License-Identifier: MIT
#include "cli/console.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

extern "C" {
#include <poll.h>
#include <unistd.h>
}

#include "platform/interruptflag.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

constexpr int kBarWidth = 24;
constexpr int kPollMilliseconds = 100;

} // namespace

Console::Streams Console::ProcessStreams() {
    return Streams{stdin, stderr, isatty(STDIN_FILENO) == 1, isatty(STDERR_FILENO) == 1};
}

Console::Console(Answer answer, bool quiet, Streams streams)
    : answer_(answer), quiet_(quiet), streams_(streams) {}

void Console::Message(const std::string& text, const std::string& caption) {
    std::lock_guard guard(lock_);
    // Quiet keeps what only informs ("Information: ..."); warnings and errors still reach the user.
    if (quiet_ && caption == LoadText(TextId::InformationCaption))
        return;
    BreakProgressLine();
    std::fprintf(streams_.out, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(streams_.out);
}

void Console::Note(const std::string& text) {
    std::lock_guard guard(lock_);
    if (quiet_)
        return;
    BreakProgressLine();
    std::fprintf(streams_.out, "%s\n", text.c_str());
    std::fflush(streams_.out);
}

bool Console::Ask(const std::string& text, const std::string& caption, bool defaultYes) {
    std::lock_guard guard(lock_);
    BreakProgressLine();
    std::fprintf(streams_.out, "%s: %s %s ", caption.c_str(), text.c_str(),
                 LoadText(defaultYes ? TextId::DefaultYesPrompt : TextId::DefaultNoPrompt).c_str());
    bool yes = false;
    if (answer_ == Answer::Yes) {
        yes = true;
        std::fprintf(streams_.out, "%s\n", LoadText(TextId::AnsweredYes).c_str());
    } else if (answer_ == Answer::No || !streams_.inIsTerminal) {
        std::fprintf(streams_.out, "%s\n", LoadText(TextId::AnsweredNo).c_str());
    } else {
        std::fflush(streams_.out);
        yes = ReadAnswer(defaultYes);
    }
    std::fflush(streams_.out);
    return yes;
}

bool Console::ReadAnswer(bool defaultYes) {
    // Read byte by byte from the descriptor, polling, so that a Ctrl-C is noticed while the user is
    // being asked whichever thread the signal went to.
    const int fd = fileno(streams_.in);
    std::string line;
    for (;;) {
        if (InterruptFlag::Raised()) {
            std::fprintf(streams_.out, "\n");
            return false;
        }
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, kPollMilliseconds);
        if (polled == 0 || (polled < 0 && errno == EINTR))
            continue;
        char c = 0;
        if (polled < 0 || read(fd, &c, 1) != 1)
            return false;
        if (c == '\n')
            break;
        line += c;
    }
    const auto first = std::find_if(line.begin(), line.end(),
                                    [](char c) { return !std::isspace(static_cast<unsigned char>(c)); });
    if (first == line.end())
        return defaultYes;
    return *first == 'y' || *first == 'Y';
}

void Console::StartProgress(int total) {
    std::lock_guard guard(lock_);
    total_ = std::max(total, 0);
    done_ = 0;
    status_.clear();
}

void Console::Status(const std::string& text) {
    std::lock_guard guard(lock_);
    status_ = text;
    if (quiet_)
        return;
    if (streams_.outIsTerminal) {
        DrawProgress();
    } else {
        std::fprintf(streams_.out, "%s\n", text.c_str());
        std::fflush(streams_.out);
    }
}

void Console::Advance(int steps) {
    std::lock_guard guard(lock_);
    done_ = std::min(done_ + steps, total_);
    if (!quiet_ && streams_.outIsTerminal)
        DrawProgress();
}

void Console::EndProgress() {
    std::lock_guard guard(lock_);
    BreakProgressLine();
}

void Console::BreakProgressLine() {
    if (lineOpen_) {
        std::fprintf(streams_.out, "\n");
        lineOpen_ = false;
    }
}

void Console::DrawProgress() {
    const int filled = total_ > 0 ? done_ * kBarWidth / total_ : 0;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '-');
    // Carriage return and erase-line redraw the one status line in place.
    std::fprintf(streams_.out, "\r\033[K[%s] %s", bar.c_str(), status_.c_str());
    std::fflush(streams_.out);
    lineOpen_ = true;
}

} // namespace aw::cli
