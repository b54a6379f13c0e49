// SPDX-License-Identifier: MIT
// The media browser's side of the hand-over channel, as the companion program plays it: it listens on
// the user's hand-over socket (HandOverChannel::DefaultSocketPath), takes one window program's
// connection, and answers each request for a format with the records its answerer gives.
//
// The socket is made with mode 0600 in a folder checked as private to the user (RuntimeFolder::Prepare).
// An existing name is reused only when it is this user's socket and nobody listens on it any more; a
// link, another user's file or a live peer make Listen() fail.
//
// Ownership: the object owns the listening socket and removes the name it made when destroyed (only if
// the name still is that socket). Thread-safety: none; one thread uses the object.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <sys/types.h>
}

#include "platform/handoverrecord.h"
#include "platform/uniquefd.h"

namespace aw {

class HandOverListener {
public:
    // The answers to one request for `format` (the request's data), sent in the order given.
    using Answerer = std::function<std::vector<HandOverRecord>(const std::string& format)>;

    explicit HandOverListener(std::string socketPath);
    ~HandOverListener();
    HandOverListener(const HandOverListener&) = delete;
    HandOverListener& operator=(const HandOverListener&) = delete;

    // True when listening; otherwise errno in error() (EEXIST: the name is not ours to reuse,
    // EADDRINUSE: another listener answers there, EPERM: the folder may not be used) and, for a folder
    // or a file of another user, the whole text to show in problem().
    bool Listen();
    int error() const { return error_; }
    const std::string& problem() const { return problem_; }
    const std::string& path() const { return path_; }

    // Waits until `acceptDeadline` for a connection of the process `peerProcess` of this user (0: any
    // process of this user), closing every other connection unanswered; answers its requests until it
    // has sent all of them (it ends its side) or `conversation` has passed, then closes the connection.
    // The number of requests answered in full (0 when nobody came in time); records of other tags are
    // ignored.
    int ServeOne(const Answerer& answer, std::chrono::steady_clock::time_point acceptDeadline,
                 pid_t peerProcess, std::chrono::milliseconds conversation = std::chrono::seconds(5));

private:
    std::string path_;
    UniqueFd fd_;
    bool made_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    int error_ = 0;
    std::string problem_;
};

} // namespace aw
