// SPDX-License-Identifier: MIT
// Copies of one photo into a folder, alternately as a plain copy (the album's byte copy into Data) and as a
// copy without its location, owner and serial numbers (privacyedits.h), ROUNDS of each, interleaved; prints
// the median wall and processor time of each in milliseconds and the ratio. The first copy of each kind is
// not counted (it brings the file into the page cache).
//
//   privacy_copy PHOTO OUTPUT-FOLDER [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "metadata/privacyedits.h"
#include "platform/filecopy.h"
#include "platform/regularfile.h"

namespace {

struct Sample {
    double wall = 0, cpu = 0;
};

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Sample Time(const std::function<bool()>& copy) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuMs();
    if (!copy()) {
        std::fprintf(stderr, "privacy_copy: a copy failed\n");
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            CpuMs() - cpuStart};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: privacy_copy PHOTO OUTPUT-FOLDER [ROUNDS]\n");
        return 1;
    }
    const std::string photo = argv[1], folder = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;
    const auto plain = [&] { return aw::CopyFileReplacing(photo, folder + "/plain.jpg") == 0; };
    const auto cleaned = [&] {
        const aw::OpenedFile source = aw::OpenRegularFile(photo);
        const auto edits = aw::PlanPrivacyEdits(source.fd.get());
        return edits && !edits->empty() &&
               aw::CopyDescriptorReplacing(source.fd.get(), folder + "/cleaned.jpg", *edits) == 0;
    };
    Time(plain);
    Time(cleaned);
    std::vector<double> plainWall, plainCpu, cleanWall, cleanCpu;
    for (int i = 0; i < rounds; ++i) {
        const Sample p = Time(plain), c = Time(cleaned);
        plainWall.push_back(p.wall), plainCpu.push_back(p.cpu);
        cleanWall.push_back(c.wall), cleanCpu.push_back(c.cpu);
    }
    std::printf("plain %.2f %.2f\ncleaned %.2f %.2f\nratio %.2f %.2f\n", Median(plainWall), Median(plainCpu),
                Median(cleanWall), Median(cleanCpu), Median(cleanWall) / Median(plainWall),
                Median(cleanCpu) / std::max(Median(plainCpu), 0.001));
    return 0;
}
