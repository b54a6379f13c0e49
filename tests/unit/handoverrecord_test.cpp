// SPDX-License-Identifier: MIT
#include "platform/handoverrecord.h"

#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

using Records = std::vector<HandOverRecord>;

// Records arrive in pieces of any size; lengths beyond the limits stop the stream before buffering.
TEST(RecordReader, ReassemblesAndRefusesOversizedLengths) {
    Bytes stream = EncodeRecord("A", {1, 2, 3});
    const Bytes second = EncodeRecord("Shell IDList Array", Bytes(1000, 7));
    stream.insert(stream.end(), second.begin(), second.end());
    RecordReader reader;
    Records records;
    for (std::uint8_t byte : stream) {
        reader.Feed(&byte, 1);
        while (auto record = reader.Next())
            records.push_back(*record);
    }
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].data, Bytes(1000, 7));
    for (const Bytes& bytes : {Bytes{0xFF, 0xFF, 0, 0}, Bytes{1, 0, 0, 0, 'A', 0xFF, 0xFF, 0xFF, 0x7F}}) {
        RecordReader bad;
        bad.Feed(bytes.data(), bytes.size());
        EXPECT_FALSE(bad.Next());
        EXPECT_TRUE(bad.bad());
    }
}

} // namespace
} // namespace aw
