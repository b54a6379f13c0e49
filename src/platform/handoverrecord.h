// SPDX-License-Identifier: MIT
// One tagged message of the hand-over channel between the window program and the program that stands in
// the media browser's place: a tag (the registered name of the message or format) and its bytes.
//
// On the wire a record is a 32-bit tag length, the tag's bytes, a 32-bit data length and the data, both
// lengths little-endian. RecordReader takes a byte stream in pieces of any size and yields whole
// records; it refuses a tag longer than kMaxTag or data longer than kMaxData as soon as their length has
// arrived. Call Next() until it gives nothing after every Feed(): then at most one piece beyond the
// record being completed is ever held.
//
// Thread-safety: none; one reader per stream.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/byteorder.h"

namespace aw {

struct HandOverRecord {
    std::string tag;
    Bytes data;
};

Bytes EncodeRecord(const std::string& tag, const Bytes& data);

class RecordReader {
public:
    static constexpr std::size_t kMaxTag = 256;
    static constexpr std::size_t kMaxData = 16u << 20;

    // Appends received bytes. Once the stream is bad, further bytes are ignored.
    void Feed(const std::uint8_t* bytes, std::size_t size);
    // The next whole record, if one has arrived.
    std::optional<HandOverRecord> Next();
    // A length beyond its limit arrived: nothing after it can be trusted.
    bool bad() const { return bad_; }

private:
    void Refuse();

    Bytes buffer_;
    std::size_t consumed_ = 0;
    bool bad_ = false;
};

} // namespace aw
