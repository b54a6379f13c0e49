// SPDX-License-Identifier: MIT
#include "metadata/privacyedits.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "metadata/embeddedpreview.h"
#include "metadata/jpegsegments.h"
#include "metadata/mediametadata.h"
#include "platform/regularfile.h"
#include "support/embeddedpreview.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;

fs::path Sample(const std::string& name) {
    return test::TestDataDir() / "media" / name;
}

// The copy the album would write: the source with its edits, or nothing when it cannot be made.
std::optional<std::string> CleanCopy(const fs::path& source, const fs::path& copy) {
    const OpenedFile opened = OpenRegularFile(source.string());
    const std::optional<std::vector<ByteSplice>> edits = PlanPrivacyEdits(opened.fd.get());
    if (!edits || CopyDescriptorReplacing(opened.fd.get(), copy.string(), *edits) != 0)
        return std::nullopt;
    return ReadWholeFile(copy);
}

// From the first scan on: the compressed picture data and what follows it.
std::string ScanOnward(const std::string& jpeg) {
    std::size_t end = 2;
    const auto* start = reinterpret_cast<const uint8_t*>(jpeg.data());
    VisitJpegSegments(start, jpeg.size(), [&](uint8_t, const uint8_t* payload, std::size_t size) {
        end = static_cast<std::size_t>(payload - start) + size;
        return false;
    });
    return jpeg.substr(end);
}

// exiftool's lines naming a location, owner, artist, serial number or maker note; "skip" without it.
std::string PrivateTags(const fs::path& file) {
    if (!test::RunCommand("exiftool -ver"))
        return "skip";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen(("exiftool -a -G1 -s -ee " + test::ShellQuote(file.string())).c_str(), "r"), ::pclose);
    std::string lines, line;
    for (char c; pipe && (c = static_cast<char>(std::fgetc(pipe.get()))) != EOF;) {
        line += c;
        if (c != '\n')
            continue;
        if (std::regex_search(line, std::regex("GPS|Owner|Artist|Serial|MakerNote")))
            lines += line;
        line.clear();
    }
    return lines;
}

TEST(PrivacyEdits, CopiesKeepThePictureAndEverythingElse) {
    const test::ScratchDir dir;
    for (const char* name : {"located.jpg", "located.png", "located.webp"}) {
        SCOPED_TRACE(name);
        const fs::path copy = dir / name;
        const std::optional<std::string> cleaned = CleanCopy(Sample(name), copy);
        ASSERT_TRUE(cleaned);
        const std::string tags = PrivateTags(copy);
        EXPECT_TRUE(tags.empty() || tags == "skip") << tags;
        const MediaMetadata before = ReadMediaMetadata(Sample(name).string());
        const MediaMetadata after = ReadMediaMetadata(copy.string());
        EXPECT_FALSE(after.fields.any());
        EXPECT_EQ(after.caption, before.caption);
        EXPECT_EQ(after.taken, before.taken);
        const auto original = test::ReadWithImageMagick(Sample(name));
        const auto copied = test::ReadWithImageMagick(copy);
        ASSERT_TRUE(original && copied);
        EXPECT_EQ(test::MeanDifference(*original, *copied), 0.0);
    }
    EXPECT_EQ(ScanOnward(ReadWholeFile(dir / "located.jpg")),
              ScanOnward(ReadWholeFile(Sample("located.jpg"))));
}

// A camera's large preview after the main picture has its own EXIF: cleaned too, and still found.
TEST(PrivacyEdits, PicturesAfterTheMainOneAreCleanedAndStillIndexed) {
    const test::ScratchDir dir;
    const std::string located = ReadWholeFile(Sample("located.jpg"));
    std::ofstream(dir / "camera.jpg", std::ios::binary) << test::WithEmbeddedPreview(located, located);
    const std::optional<std::string> cleaned = CleanCopy(dir / "camera.jpg", dir / "copy.jpg");
    ASSERT_TRUE(cleaned);
    EXPECT_FALSE(ReadMediaMetadata((dir / "copy.jpg").string()).fields.any());
    const auto preview =
        FindEmbeddedPreview(reinterpret_cast<const uint8_t*>(cleaned->data()), cleaned->size());
    ASSERT_TRUE(preview);
    const std::string previewBytes(reinterpret_cast<const char*>(preview->data), preview->size);
    std::ofstream(dir / "preview.jpg", std::ios::binary) << previewBytes;
    EXPECT_FALSE(ReadMediaMetadata((dir / "preview.jpg").string()).fields.any());
    EXPECT_EQ(ScanOnward(previewBytes), ScanOnward(located));
    const std::string tags = PrivateTags(dir / "copy.jpg");
    EXPECT_TRUE(tags.empty() || tags == "skip") << tags;
}

// An extended XMP packet (in parts after the main one) goes when it carries a location, with the main
// packet's note of it; one without stays byte for byte.
TEST(PrivacyEdits, ExtendedXmpGoesWhenItCarriesALocation) {
    const test::ScratchDir dir;
    const std::string guid(32, 'A'), rdf = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF )"
                                           R"(xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">)"
                                           R"(<rdf:Description rdf:about="" )";
    const std::string end = "/></rdf:RDF></x:xmpmeta>";
    const std::string main =
        std::string("http://ns.adobe.com/xap/1.0/\0", 29) + rdf +
        R"(xmlns:xmpNote="http://ns.adobe.com/xmp/note/" xmpNote:HasExtendedXMP=")" + guid +
        "\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" dc:format=\"image/jpeg\"" + end;
    const auto parts = [&](const std::string& property) {
        const std::string packet = rdf + property + end;
        const std::string header = std::string("http://ns.adobe.com/xmp/extension/\0", 35) + guid;
        const auto be32 = [](std::size_t v) {
            return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        };
        const std::size_t half = packet.size() / 2;
        return test::Segment(0xE1, header + be32(packet.size()) + be32(0) + packet.substr(0, half)) +
               test::Segment(0xE1, header + be32(packet.size()) + be32(half) + packet.substr(half));
    };
    const std::string jpeg = ReadWholeFile(Sample("p3.jpg"));
    const std::string located = R"(xmlns:exif="http://ns.adobe.com/exif/1.0/" exif:GPSLatitude="35,39.5N")";
    const std::string plain = R"(xmlns:dc="http://purl.org/dc/elements/1.1/" dc:source="scan")";
    for (const std::string& property : {located, plain}) {
        const std::string file =
            jpeg.substr(0, 2) + test::Segment(0xE1, main) + parts(property) + jpeg.substr(2);
        std::ofstream(dir / "extended.jpg", std::ios::binary) << file;
        const std::optional<std::string> cleaned = CleanCopy(dir / "extended.jpg", dir / "copy.jpg");
        ASSERT_TRUE(cleaned);
        if (property == plain) {
            EXPECT_EQ(*cleaned, file);
            continue;
        }
        EXPECT_EQ(cleaned->find("GPSLatitude"), std::string::npos);
        EXPECT_EQ(cleaned->find("HasExtendedXMP"), std::string::npos);
        EXPECT_NE(cleaned->find("image/jpeg"), std::string::npos);
    }
}

TEST(PrivacyEdits, NothingToRemoveOrNothingThatCanBeRemoved) {
    const test::ScratchDir dir;
    EXPECT_EQ(CleanCopy(Sample("p3.jpg"), dir / "p3.jpg"), ReadWholeFile(Sample("p3.jpg")));
    EXPECT_EQ(CleanCopy(Sample("p3.heic"), dir / "p3.heic"), ReadWholeFile(Sample("p3.heic")));
    // A HEIF picture is stored as a JPEG without metadata; its own bytes cannot be cleaned here.
    EXPECT_FALSE(CleanCopy(Sample("located.heic"), dir / "located.heic"));
}

} // namespace
} // namespace aw
