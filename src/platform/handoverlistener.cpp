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
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kRequestId = 324;
constexpr int kBacklog = 4;

using Clock = std::chrono::steady_clock;

// A connection of this user's program, or none when nobody came before the deadline.
UniqueFd AcceptOwnUser(int listening, Clock::time_point deadline) {
    while (HandOverSocket::WaitFor(listening, POLLIN, deadline)) {
        UniqueFd peer(::accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (peer && HandOverSocket::PeerIsThisUser(peer.get()))
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
    struct stat status {};
    if (::lstat(path_.c_str(), &status) == 0) {
        if (!HandOverSocket::IsOwnSocket(path_)) {
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

int HandOverListener::ServeOne(const Answerer& answer, Clock::time_point acceptDeadline,
                               std::chrono::milliseconds conversation) {
    if (!fd_)
        return 0;
    UniqueFd peer = AcceptOwnUser(fd_.get(), acceptDeadline);
    if (!peer)
        return 0;
    const Clock::time_point deadline = Clock::now() + conversation;
    int answered = 0;
    RecordReader reader;
    std::uint8_t buffer[4096];
    long received = 0;
    while ((received = HandOverSocket::Receive(peer.get(), buffer, sizeof buffer, deadline)) > 0) {
        reader.Feed(buffer, static_cast<std::size_t>(received));
        while (auto request = reader.Next()) {
            if (request->tag != LoadText(kRequestId))
                continue;
            Bytes answers;
            for (const HandOverRecord& record :
                 answer(std::string(request->data.begin(), request->data.end()))) {
                const Bytes encoded = EncodeRecord(record.tag, record.data);
                answers.insert(answers.end(), encoded.begin(), encoded.end());
            }
            if (!HandOverSocket::SendAll(peer.get(), answers, deadline))
                return answered;
            ++answered;
        }
        if (reader.bad())
            break;
    }
    return answered;
}

} // namespace aw
