// SPDX-License-Identifier: MIT
// The companion that stands in the media browser's place: it holds the user's files as the selection,
// listens on the hand-over socket, has the window program started, and answers its two requests as the
// media browser would: the selection block for "Shell IDList Array", a 12-byte status record for string
// 325. Files of unsupported kinds stay in the selection; the window reports them as any intake does.
//
// Ownership: owns its selection block and, while Run() lasts, the listening socket.
// Thread-safety: none; one thread.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <sys/types.h>
}

#include "platform/handoverrecord.h"

namespace aw {

class PickCompanion {
public:
    static constexpr std::chrono::milliseconds kTimeLimit{30000};

    // How the window program is started, and whether it has ended since.
    struct Launch {
        std::function<bool(std::string& error)> start;
        std::function<bool()> ended;
        // The started program's process id: no other process is answered. Unset: this very process
        // (a window run in the same process, as tests do).
        std::function<pid_t()> process = nullptr;
        // Its wait status once ended() is true, for the message; unset when unknown.
        std::function<int()> status = nullptr;
    };

    // What the command line asks for: files to hand over (`files`, after "--" whatever they look like),
    // the usage or the version, or nothing but an error (the whole text, in `error`).
    struct Arguments {
        enum class Action { HandOver, Help, Version, Bad } action = Action::HandOver;
        std::vector<std::string> files;
        std::string error;
    };
    static Arguments Parse(const std::vector<std::string>& arguments);

    // Empty when every file can be made absolute; else the text to show: a relative name while the
    // current folder cannot be read (`currentFolder` empty, `reason` why).
    static std::string CurrentFolderProblem(const std::vector<std::string>& files,
                                            const std::string& currentFolder, const std::string& reason);

    // `files` as named on the command line or chosen; relative ones are taken against `currentFolder`.
    PickCompanion(const std::vector<std::string>& files, const std::string& currentFolder);

    // The chooser's name filter: "*.jpg *.JPG ..." for every supported extension, in both cases.
    static std::string SupportedPatterns();

    // The absolute, lexically normal paths held as the selection.
    const std::vector<std::string>& files() const { return files_; }
    // The answers to one request for `format`: the selection block, the status record, or nothing.
    std::vector<HandOverRecord> AnswerFor(const std::string& format) const;

    // Listens on `socketPath`, starts the window program, and serves it (and only it) until it has asked
    // for both parts, it ends, or `limit` passes. 0 when the started program took the selection, else 1
    // with the reason in error() (already a whole text of the string table; naming how the program
    // ended, or whose file or folder is in the way).
    int Run(const std::string& socketPath, const Launch& launch,
            std::chrono::milliseconds limit = kTimeLimit);
    const std::string& error() const { return error_; }

private:
    std::vector<std::string> files_;
    Bytes selection_;
    std::string error_;
};

} // namespace aw
