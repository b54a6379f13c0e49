// SPDX-License-Identifier: MIT
#include "platform/handoversocket.h"

#include <cerrno>
#include <cstring>

extern "C" {
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

namespace aw {
namespace {

using Clock = std::chrono::steady_clock;

} // namespace

bool HandOverSocket::WaitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd wait{fd, events, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool HandOverSocket::SendAll(int fd, const Bytes& bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n == 0 || errno != EAGAIN || !WaitFor(fd, POLLOUT, deadline))
            return false;
    }
    return true;
}

long HandOverSocket::Receive(int fd, std::uint8_t* buffer, std::size_t size, Clock::time_point deadline) {
    while (true) {
        const ssize_t n = ::recv(fd, buffer, size, 0);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN || !WaitFor(fd, POLLIN, deadline))
            return -1;
    }
}

void HandOverSocket::ReceiveRecords(int fd, Clock::time_point deadline,
                                    const std::function<bool(HandOverRecord&&)>& take) {
    RecordReader reader;
    std::uint8_t buffer[64 * 1024];
    long received = 0;
    while (!reader.bad() && (received = Receive(fd, buffer, sizeof buffer, deadline)) > 0) {
        reader.Feed(buffer, static_cast<std::size_t>(received));
        while (auto record = reader.Next())
            if (!take(std::move(*record)))
                return;
    }
}

bool HandOverSocket::Address(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool HandOverSocket::IsOwnSocket(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == ::getuid();
}

bool HandOverSocket::PeerIsThisUser(int fd, pid_t pid) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid() &&
           (pid == 0 || peer.pid == pid);
}

UniqueFd HandOverSocket::Connect(const std::string& path, Clock::time_point deadline) {
    sockaddr_un address{};
    // connect() would follow a link: only a socket of this user, looked at without following, is tried.
    if (!Address(path, address) || !IsOwnSocket(path))
        return UniqueFd();
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return UniqueFd();
    int result = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    while (result != 0 && errno == EINTR)
        result = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result != 0 && errno == EINPROGRESS && WaitFor(fd.get(), POLLOUT, deadline)) {
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
            result = 0;
    }
    // A stale socket (ECONNREFUSED) or a full backlog (EAGAIN): nobody to wait for.
    if (result != 0 || !PeerIsThisUser(fd.get()))
        return UniqueFd();
    return fd;
}

} // namespace aw
