// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the settings store as its file, then reads, writes and reads again. The store
// must not crash on any file, and a value it reports as written must read back exactly as given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/profilestore.h"

namespace {

const std::filesystem::path& FuzzFile() {
    static const std::filesystem::path file = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("aw-settings-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        return folder / "settings";
    }();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (std::FILE* file = std::fopen(FuzzFile().c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    aw::ProfileStore store(FuzzFile().string());
    store.KeyExists("Software/Quorvel");
    store.Read("Software/Quorvel/Page Binder/ENV", "BGFILE0");

    // A name and a text taken from the input itself, so that escapes and odd bytes reach the writer.
    const std::string name = bytes.substr(0, bytes.size() % 13);
    const std::string text = bytes.substr(bytes.size() / 2);
    if (store.WriteText("Software/Fuzz", name, text)) {
        const auto value = aw::ProfileStore(FuzzFile().string()).Read("software/fuzz", name);
        if (!value || value->type != aw::ProfileStore::Type::Text || value->text != text)
            __builtin_trap();
    }
    return 0;
}
