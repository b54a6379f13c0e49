// SPDX-License-Identifier: MIT
// The starting window program's side of the hand-over: it asks whoever stands in the media browser's
// place for the current selection and status, over a Unix-domain socket private to the user.
//
// The socket is named after string 324 and lives in the user's private runtime folder (RuntimeFolder). Ask() connects without waiting, sends one request per format (tag: string 324; data: the
// format's name), ends its side of the stream, and collects the tagged answers until the peer closes or
// the timeout passes. Nobody listening means no answers at once: a missing socket, a stale one, a link,
// a socket of another user or a peer of another user give an empty result without delay.
//
// Thread-safety: Ask() keeps no state; it may run on any thread. It blocks at most `timeout`.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/handoverrecord.h"

namespace aw {

class HandOverChannel {
public:
    // The time a starting program gives a listening peer to answer.
    static constexpr std::chrono::milliseconds kAnswerTimeout{1000};
    // The most a starting program keeps of all answers together (each is bounded by the record reader).
    static constexpr std::size_t kMaxCollected = 2 * RecordReader::kMaxData;

    // The socket's path: the runtime folder (as for the instance lock) and the text of string 324.
    static std::string DefaultSocketPath();
    static std::string SocketPathIn(const std::string& folder);

    // The answers in their order of arrival; those that arrived before a broken record, or before the
    // answers together passed kMaxCollected (bytes, with each record's own overhead), are kept.
    static std::vector<HandOverRecord> Ask(const std::string& socketPath,
                                           const std::vector<std::string>& formats,
                                           std::chrono::milliseconds timeout = kAnswerTimeout);
};

} // namespace aw
