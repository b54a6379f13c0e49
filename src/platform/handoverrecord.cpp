// SPDX-License-Identifier: MIT
#include "platform/handoverrecord.h"

namespace aw {
namespace {

constexpr std::size_t kLengthSize = 4;

} // namespace

Bytes EncodeRecord(const std::string& tag, const Bytes& data) {
    Bytes bytes;
    bytes.reserve(2 * kLengthSize + tag.size() + data.size());
    AppendLe32(bytes, static_cast<std::uint32_t>(tag.size()));
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    AppendLe32(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

void RecordReader::Feed(const std::uint8_t* bytes, std::size_t size) {
    if (bad_)
        return;
    // Drop what has been handed out before the buffer grows again.
    if (consumed_ > 0) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(consumed_));
        consumed_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

std::optional<HandOverRecord> RecordReader::Next() {
    const std::size_t available = buffer_.size() - consumed_;
    const std::uint8_t* at = buffer_.data() + consumed_;
    if (bad_ || available < kLengthSize)
        return std::nullopt;
    const std::size_t tagLength = ReadLe32(at);
    if (tagLength > kMaxTag) {
        Refuse();
        return std::nullopt;
    }
    if (available < 2 * kLengthSize + tagLength)
        return std::nullopt;
    const std::size_t dataLength = ReadLe32(at + kLengthSize + tagLength);
    if (dataLength > kMaxData) {
        Refuse();
        return std::nullopt;
    }
    if (available - 2 * kLengthSize - tagLength < dataLength)
        return std::nullopt;
    HandOverRecord record;
    record.tag.assign(reinterpret_cast<const char*>(at + kLengthSize), tagLength);
    const std::uint8_t* data = at + 2 * kLengthSize + tagLength;
    record.data.assign(data, data + dataLength);
    consumed_ += 2 * kLengthSize + tagLength + dataLength;
    return record;
}

void RecordReader::Refuse() {
    bad_ = true;
    buffer_.clear();
    consumed_ = 0;
}

} // namespace aw
