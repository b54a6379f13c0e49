// SPDX-License-Identifier: MIT
#include "cli/console.h"

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "stringtable.h"

namespace aw::cli {
namespace {

// -q keeps the "Information:" lines back; a warning or an error still reaches a script's log.
TEST(Console, QuietKeepsOnlyWhatInforms) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(out);
    Console console(Answer::No, true, Console::Streams{stdin, out.get(), false, false});
    console.Message("made", LoadText(TextId::InformationCaption));
    console.Note("3 items reused, 0 made.");
    console.Message("careful", LoadText(TextId::WarningCaption));
    std::rewind(out.get());
    char text[256] = {};
    const std::size_t got = std::fread(text, 1, sizeof text - 1, out.get());
    EXPECT_EQ(std::string(text, got), LoadText(TextId::WarningCaption) + ": careful\n");
}

} // namespace
} // namespace aw::cli
