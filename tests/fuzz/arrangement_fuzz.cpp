// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the page writer as an arrangement file and writes a page of two items from it.
// The writer must neither crash nor hold unbounded text, whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "album/arrangementline.h"
#include "album/mediakind.h"
#include "album/pagewriter.h"

namespace {

const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("aw-arrangement-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    aw::ParseArrangementNumber(bytes);

    const std::filesystem::path arrangement = FuzzFolder() / "form.dat";
    if (std::FILE* file = std::fopen(arrangement.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    aw::AlbumJob job;
    job.outputFolder = FuzzFolder().string();
    job.pageTitle = "$DF$ <$TS$>";
    job.arrangementFile = arrangement.string();
    job.embedPlayback = 1;

    aw::PageWriter writer;
    writer.PreparePlaceholderValues(job);
    if (!writer.OpenPageFiles(job))
        return 0;
    std::vector<std::string> columns[2];
    if (writer.WritePageHead(1) && writer.ReadItemTemplates(columns[0], columns[1])) {
        writer.SetPlaceholderValue(aw::PageWriter::DataFile, "a&b.avi");
        writer.WriteItemEntry(columns[0], aw::MediaKind::MovieAvi, 120, 90, true);
        writer.SetPlaceholderValue(aw::PageWriter::DataFile, "c.jpg");
        writer.WriteItemEntry(columns[1], aw::MediaKind::StillJpeg, 160, 120, true);
        writer.WritePageTail();
    }
    writer.ClosePageFiles();
    return 0;
}
