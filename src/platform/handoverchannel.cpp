// SPDX-License-Identifier: MIT
#include "platform/handoverchannel.h"

extern "C" {
#include <sys/socket.h>
#include <unistd.h>
}

#include "platform/handoversocket.h"
#include "platform/paths.h"
#include "platform/runtimefolder.h"
#include "platform/uniquefd.h"
#include "stringtable.h"

namespace aw {
namespace {

using Clock = std::chrono::steady_clock;

} // namespace

std::string HandOverChannel::DefaultSocketPath() {
    return SocketPathIn(RuntimeFolder::Path());
}

std::string HandOverChannel::SocketPathIn(const std::string& folder) {
    return JoinPath(folder, LoadText(TextId::HandOverRequestName));
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
        const Bytes request =
            EncodeRecord(LoadText(TextId::HandOverRequestName), Bytes(format.begin(), format.end()));
        requests.insert(requests.end(), request.begin(), request.end());
    }
    if (!HandOverSocket::SendAll(fd.get(), requests, deadline))
        return answers;
    ::shutdown(fd.get(), SHUT_WR); // every request is out: the peer answers and closes

    // Each record is bounded by the reader; what a peer may pile up before the timeout is bounded here.
    std::size_t collected = 0;
    HandOverSocket::ReceiveRecords(fd.get(), deadline, [&](HandOverRecord&& record) {
        collected += sizeof record + record.tag.size() + record.data.size();
        if (collected > kMaxCollected)
            return false;
        answers.push_back(std::move(record));
        return true;
    });
    return answers;
}

} // namespace aw
