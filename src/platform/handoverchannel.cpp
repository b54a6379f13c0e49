#include "platform/handoverchannel.h"

extern "C" {
#include <sys/socket.h>
#include <unistd.h>
}

#include "platform/handoversocket.h"
#include "platform/instancelock.h"
#include "platform/uniquefd.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr int kRequestId = 324;

using Clock = std::chrono::steady_clock;

} // namespace

std::string HandOverChannel::DefaultSocketPath() {
    return SocketPathIn(InstanceLock::DefaultFolder());
}

std::string HandOverChannel::SocketPathIn(const std::string& folder) {
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += LoadText(kRequestId);
    // /tmp is shared by every user: a socket each.
    if (folder == "/tmp" || folder == "/tmp/")
        path += "-" + std::to_string(::getuid());
    return path;
}

std::vector<HandOverRecord> HandOverChannel::Ask(const std::string& socketPath,
                                                 const std::vector<std::string>& formats,
                                                 std::chrono::milliseconds timeout) {
    std::vector<HandOverRecord> answers;
    const Clock::time_point deadline = Clock::now() + timeout;
    UniqueFd fd = HandOverSocket::Connect(socketPath, deadline);
    if (!fd)
        return answers;

    Bytes requests;
    for (const std::string& format : formats) {
        const Bytes request = EncodeRecord(LoadText(kRequestId), Bytes(format.begin(), format.end()));
        requests.insert(requests.end(), request.begin(), request.end());
    }
    if (!HandOverSocket::SendAll(fd.get(), requests, deadline))
        return answers;
    ::shutdown(fd.get(), SHUT_WR); // every request is out: the peer answers and closes

    RecordReader reader;
    std::uint8_t buffer[64 * 1024];
    long received = 0;
    while ((received = HandOverSocket::Receive(fd.get(), buffer, sizeof buffer, deadline)) > 0) {
        reader.Feed(buffer, static_cast<std::size_t>(received));
        while (auto record = reader.Next())
            answers.push_back(std::move(*record));
        if (reader.bad())
            break;
    }
    return answers;
}

} // namespace aw
