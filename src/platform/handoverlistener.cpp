// SPDX-License-Identifier: MIT
#include "platform/handoverlistener.h"

#include <cerrno>

extern "C" {
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

#include "platform/handoversocket.h"
#include "platform/runtimefolder.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kBacklog = 4;

using Clock = std::chrono::steady_clock;

// A connection of the process `pid` of this user, or none when it did not come before the deadline. Any
// other connection is closed unanswered at once.
UniqueFd AcceptPeer(int listening, Clock::time_point deadline, pid_t pid) {
    while (HandOverSocket::WaitFor(listening, POLLIN, deadline)) {
        UniqueFd peer(::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (peer && HandOverSocket::PeerIsThisUser(peer.get(), pid))
            return peer;
    }
    return UniqueFd();
}

} // namespace

HandOverListener::HandOverListener(std::string socketPath) : path_(std::move(socketPath)) {}

HandOverListener::~HandOverListener() {
    // Remove the name only while it is still the socket made here.
    struct stat status {};
    if (made_ && ::lstat(path_.c_str(), &status) == 0 && status.st_dev == device_ && status.st_ino == inode_)
        ::unlink(path_.c_str());
}

bool HandOverListener::Listen() {
    sockaddr_un address{};
    if (!HandOverSocket::Address(path_, address)) {
        error_ = ENAMETOOLONG;
        return false;
    }
    const std::size_t slash = path_.rfind('/');
    problem_ =
        RuntimeFolder::Prepare(slash == 0 || slash == std::string::npos ? "/" : path_.substr(0, slash));
    if (!problem_.empty()) {
        error_ = EPERM;
        return false;
    }
    struct stat status {};
    if (::lstat(path_.c_str(), &status) == 0) {
        if (!HandOverSocket::IsOwnSocket(path_)) {
            problem_ = RuntimeFolder::OwnerProblem(path_, status.st_uid);
            error_ = EEXIST;
            return false;
        }
        if (HandOverSocket::Connect(path_, Clock::now())) {
            error_ = EADDRINUSE;
            return false;
        }
        ::unlink(path_.c_str()); // left behind by a companion that ended without cleaning up
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) {
        error_ = errno;
        return false;
    }
    // The socket is born with mode 0600: no moment in which another user could connect.
    const mode_t oldMask = ::umask(0177);
    const int bound = ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int bindError = errno;
    ::umask(oldMask);
    if (bound != 0 || ::listen(fd.get(), kBacklog) != 0 || ::lstat(path_.c_str(), &status) != 0) {
        error_ = bound != 0 ? bindError : errno;
        return false;
    }
    made_ = true;
    device_ = status.st_dev;
    inode_ = status.st_ino;
    fd_ = std::move(fd);
    error_ = 0;
    return true;
}

int HandOverListener::ServeOne(const Answerer& answer, Clock::time_point acceptDeadline, pid_t peerProcess,
                               std::chrono::milliseconds conversation) {
    if (!fd_)
        return 0;
    UniqueFd peer = AcceptPeer(fd_.get(), acceptDeadline, peerProcess);
    if (!peer)
        return 0;
    const Clock::time_point deadline = Clock::now() + conversation;
    int answered = 0;
    const std::string requestTag = LoadText(TextId::HandOverRequestName);
    HandOverSocket::ReceiveRecords(peer.get(), deadline, [&](HandOverRecord&& request) {
        if (request.tag != requestTag)
            return true;
        Bytes answers;
        for (const HandOverRecord& record : answer(std::string(request.data.begin(), request.data.end()))) {
            const Bytes encoded = EncodeRecord(record.tag, record.data);
            answers.insert(answers.end(), encoded.begin(), encoded.end());
        }
        if (!HandOverSocket::SendAll(peer.get(), answers, deadline))
            return false;
        ++answered;
        return true;
    });
    return answered;
}

} // namespace aw
