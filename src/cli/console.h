// SPDX-License-Identifier: MIT
// The terminal side of albumwright-make: messages on standard error, yes/no questions answered by the
// options or on the terminal, and the progress display (a status line with a bar on a terminal, plain
// lines otherwise, nothing when quiet). Quiet leaves warnings, errors and questions.
//
// Thread-safety: every operation takes the console's lock, so the generation thread and the main thread
// (a stop request) may both use it; output never interleaves within a line.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "cli/commandline.h"

namespace aw::cli {

class Console {
public:
    struct Streams {
        std::FILE* in = stdin;
        std::FILE* out = stderr;
        bool inIsTerminal = false;  // questions are asked only on a terminal
        bool outIsTerminal = false; // the bar is drawn only on a terminal
    };

    // The streams of the process, with their terminal state.
    static Streams ProcessStreams();

    Console(Answer answer, bool quiet, Streams streams = ProcessStreams());

    // "Caption: text" on its own lines; nothing when quiet and the caption is "Information" (string 421).
    void Message(const std::string& text, const std::string& caption);

    // A line of its own about the run (not a message): nothing when quiet.
    void Note(const std::string& text);

    // Answered by --yes/--no when given; else on the terminal (an empty line takes the default); else No.
    // A Ctrl-C while waiting, the end of input and a read error all answer No. The question and the
    // answer taken are always shown.
    bool Ask(const std::string& text, const std::string& caption, bool defaultYes);

    // The progress display: `total` steps in all (0 draws no bar); Status replaces the text, Advance
    // moves the bar. Lines end when a message or question comes, and with EndProgress.
    void StartProgress(int total);
    void Status(const std::string& text);
    void Advance(int steps);
    void EndProgress();

private:
    void BreakProgressLine(); // the caller holds the lock
    void DrawProgress();      // the caller holds the lock
    bool ReadAnswer(bool defaultYes);

    std::mutex lock_;
    Answer answer_;
    bool quiet_;
    Streams streams_;
    std::string status_;
    int total_ = 0;
    int done_ = 0;
    bool lineOpen_ = false;
};

} // namespace aw::cli
