// SPDX-License-Identifier: MIT
// The socket checks that both ends of the hand-over channel share: the address from a path, a connect
// that never follows a link and never waits for a peer that is not there, and the peer's user.
//
// Static functions; thread-safe.
#pragma once

#include <chrono>
#include <functional>
#include <string>

extern "C" {
#include <sys/types.h>
}

#include "platform/byteorder.h"
#include "platform/handoverrecord.h"
#include "platform/uniquefd.h"

struct sockaddr_un;

namespace aw {

class HandOverSocket {
public:
    // False when `path` is empty or too long for a socket address.
    static bool Address(const std::string& path, sockaddr_un& address);

    // A non-blocking stream connected to the socket at `path`, or none at once when nothing there is
    // a socket of this user, nobody listens, or the listener runs as another user.
    static UniqueFd Connect(const std::string& path, std::chrono::steady_clock::time_point deadline);

    // The process at the other end of the connected `fd` runs as this process's user (and, when `pid` is
    // not 0, is that process).
    static bool PeerIsThisUser(int fd, pid_t pid = 0);

    // `path` is a socket (not a link to one) owned by this process's user.
    static bool IsOwnSocket(const std::string& path);

    // Waits for `events` (poll) on `fd` until `deadline`; false when the deadline passes first.
    static bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline);
    // Sends all of `bytes` on the non-blocking `fd`, waiting for room until `deadline`.
    static bool SendAll(int fd, const Bytes& bytes, std::chrono::steady_clock::time_point deadline);
    // Receives into `buffer` from the non-blocking `fd`, waiting until `deadline`: the byte count, 0 when
    // the peer has closed, -1 on an error or when the deadline has passed.
    static long Receive(int fd, std::uint8_t* buffer, std::size_t size,
                        std::chrono::steady_clock::time_point deadline);
    // Hands each whole record received on the non-blocking `fd` to `take` until the peer closes, the
    // deadline passes, a length breaks the record limits, or `take` answers false.
    static void ReceiveRecords(int fd, std::chrono::steady_clock::time_point deadline,
                               const std::function<bool(HandOverRecord&&)>& take);
};

} // namespace aw
