// SPDX-License-Identifier: MIT
// Puts the supported files and the movies that play in the page into a help page, in words made from the
// program's own tables (KindsText), so that the help book says what the program does:
//   helpkinds en|ja PAGE OUT
// replaces what stands between "<!-- kinds" and "<!-- /kinds -->" in PAGE and writes the page to OUT. Run by
// the build for each language's main page; status 1 when the page has no such block or cannot be written.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "album/kindstext.h"
#include "stringtable.h"

int main(int argc, char** argv) {
    if (argc != 4)
        return 1;
    aw::SetLanguage(std::string(argv[1]) == "ja" ? aw::Language::Japanese : aw::Language::English);
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    const std::size_t begin = text.find("<!-- kinds");
    const std::size_t end = text.find("<!-- /kinds -->", begin == std::string::npos ? 0 : begin);
    if (!in || begin == std::string::npos || end == std::string::npos) {
        std::fprintf(stderr, "helpkinds: %s has no kinds block\n", argv[2]);
        return 1;
    }
    const aw::KindsText kinds = aw::DescribeKinds();
    std::string playable;
    for (const std::string& line : kinds.playable)
        playable += "<li>" + line + "</li>\n";
    text.replace(begin, end + 15 - begin,
                 aw::FormatText(aw::LoadText(aw::TextId::HelpKinds),
                                {kinds.pictures, kinds.converted, kinds.movies, kinds.sounds, playable}));
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << text;
    return out.good() ? 0 : 1;
}
