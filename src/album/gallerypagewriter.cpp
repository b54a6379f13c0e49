// SPDX-License-Identifier: MIT
#include "album/gallerypagewriter.h"

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "album/mediakind.h"
#include "album/pagewriter.h"
#include "platform/atomicfile.h"
#include "platform/filecopy.h"
#include "stringtable.h"

namespace aw {
namespace {

// The viewer's label, then its buttons' and its error's, in the order the viewer's script reads them.
constexpr TextId kViewerLabels[] = {TextId::ViewerLabel,    TextId::ViewerClose, TextId::ViewerZoom,
                                    TextId::ViewerPrevious, TextId::ViewerNext,  TextId::ViewerError,
                                    TextId::ViewerOriginal};

// Items per list: the browser lays out and paints only the lists near the screen, and loads no thumbnail
// of a list it skips. Small enough that a phone's first screen needs two lists and its lazy-loading margin
// (thousands of pixels on a slow network) reaches no further; a multiple of 2, 3, 4 and 6 columns.
constexpr int kChunkItems = 12;
// What the album's Viewer folder holds, all copied from the installed viewer folder.
constexpr std::string_view kViewerFiles[] = {"gallery.css", "gallery.js", "photoswipe.css",
                                             "photoswipe.umd.min.js", "photoswipe-LICENSE.txt"};

// The first few thumbnails load at once; the rest when they come near the screen.
constexpr int kEagerItems = 8;

std::string Attribute(std::string_view name, std::string_view value) {
    std::string out(" ");
    out += name;
    out += "=\"";
    out += value;
    out += '"';
    return out;
}

bool IsIdByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

// A name as a link path segment that is a valid URL as well (the other arrangements' pages keep what their
// time wrote): also what a URL may not hold, and the comma and space that would split a srcset.
std::string GalleryLink(std::string_view name) {
    static const std::pair<std::string_view, std::string_view> kMore[] = {
        {" ", "%20"}, {",", "%2C"}, {"[", "%5B"}, {"]", "%5D"},    {"^", "%5E"},    {"`", "%60"},
        {"{", "%7B"}, {"|", "%7C"}, {"}", "%7D"}, {"&lt;", "%3C"}, {"&gt;", "%3E"}, {"&quot;", "%22"}};
    const std::string escaped = EscapeLinkSegment(name);
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size();) {
        bool replaced = false;
        for (const auto& [from, to] : kMore) {
            if (std::string_view(escaped).substr(i, from.size()) == from) {
                out += to;
                i += from.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += escaped[i++];
    }
    return out;
}

} // namespace

std::string GalleryPageWriter::PageName(const AlbumJob& job) {
    return LoadText(job.gallery ? TextId::GalleryPageName : TextId::IndexPageName);
}

// Every byte outside letters, digits, ".", "-" and "_" as `marker` and two hexadecimal digits.
static std::string Encoded(std::string_view name, char marker) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsIdByte(c)) {
            out += ch;
        } else {
            out += marker;
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::string GalleryPageWriter::ItemId(std::string_view dataName) {
    // Not "%": an address would decode it, and the id would no longer match the one in the page.
    return Encoded(dataName, '~');
}

bool GalleryPageWriter::Begin(const AlbumJob& job, const std::string& backgroundName) {
    failure_ = {};
    text_.clear();
    count_ = 0;
    const std::string& folder = job.outputFolder;
    if (folder.empty()) {
        failure_ = {PageName(job), FailureCause::WriteFailed};
        return false;
    }
    pagePath_ = (folder.back() == '/' ? folder : folder + "/") + PageName(job);
    const std::string title =
        EscapeHtmlText(job.pageTitle.empty() ? LoadText(TextId::GalleryName) : job.pageTitle);
    const std::string viewer(kViewerFolder);
    std::string labels;
    for (const TextId label : kViewerLabels)
        labels += (label == kViewerLabels[0] ? "" : "|") + LoadText(label);

    text_ += "<!DOCTYPE html>\n<html" + Attribute("lang", LoadText(TextId::PageLanguage)) + ">\n<head>\n";
    text_ += "<meta charset=\"utf-8\">\n";
    text_ += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    text_ += "<title>" + title + "</title>\n";
    text_ += "<link rel=\"icon\" href=\"data:,\">\n"; // no request for an icon the album has not got
    text_ += "<link rel=\"stylesheet\" href=\"" + viewer + "/gallery.css\">\n";
    // The user's colours and picture; the colour texts are #rrggbb, the picture's name is the album's own.
    text_ += "<style>body{color:" + job.fontColourText;
    if (job.backgroundIndex == 0)
        text_ += ";background-color:" + job.backgroundText;
    else if (!backgroundName.empty())
        text_ += ";background-image:url(\"Data/" + Encoded(backgroundName, '%') + "\")";
    text_ += "}</style>\n";
    text_ += "<script src=\"" + viewer + "/gallery.js\" defer></script>\n";
    text_ += "</head>\n<body>\n";
    if (!job.pageTitle.empty())
        text_ += "<header><h1>" + title + "</h1></header>\n";
    text_ += "<main" + Attribute("data-labels", EscapeHtmlText(labels)) + ">\n<ul>\n";
    begun_ = true;
    return true;
}

std::string GalleryPageWriter::AltText(const GalleryItem& item) const {
    if (!item.caption.empty())
        return item.caption;
    if (!item.date.empty()) {
        const TextId kindText = IsMovieKind(item.kind)          ? TextId::MovieKind
                                : item.kind == MediaKind::Audio ? TextId::SoundKind
                                                                : TextId::PhotoKind;
        return FormatText(LoadText(TextId::KindAndDate), {LoadText(kindText), item.date});
    }
    return item.dataName;
}

void GalleryPageWriter::AddItem(const GalleryItem& item) {
    if (count_ > 0 && count_ % kChunkItems == 0)
        text_ += "</ul>\n<ul>\n";
    const std::string thumb = GalleryLink(item.thumbName);
    const std::string& opened = item.shownName.empty() ? item.dataName : item.shownName;
    std::string line = "<li" + Attribute("id", ItemId(item.dataName)) + "><a" +
                       Attribute("href", "Data/" + GalleryLink(opened));
    if (item.pictureWidth > 0 && item.pictureHeight > 0)
        line += Attribute("data-size",
                          std::to_string(item.pictureWidth) + "x" + std::to_string(item.pictureHeight));
    if (IsMovieKind(item.kind))
        line += Attribute("data-movie",
                          item.playableName.empty() ? "" : "Data/" + GalleryLink(item.playableName));
    else if (item.kind == MediaKind::Audio &&
             (item.playableName.empty() || item.playableName == item.dataName))
        line += " data-sound";
    else if (item.kind == MediaKind::Audio)
        line += Attribute("data-sound", "Data/" + GalleryLink(item.playableName));
    if (!item.caption.empty())
        line += " data-captioned"; // the viewer shows the alt text as the caption
    if (!item.originalPath.empty()) {
        const std::size_t slash = item.originalPath.rfind('/') + 1; // the folder's own name is plain
        line += Attribute("data-original",
                          item.originalPath.substr(0, slash) + GalleryLink(item.originalPath.substr(slash)));
    }
    line += "><img" + Attribute("src", "Thumb/" + thumb);
    if (item.denser)
        line += Attribute("srcset", "Thumb/2x/" + thumb + " 2x,Thumb/3x/" + thumb + " 3x");
    line += Attribute("width", std::to_string(item.thumbWidth)) +
            Attribute("height", std::to_string(item.thumbHeight)) +
            Attribute("alt", EscapeHtmlText(AltText(item)));
    if (count_ == 0)
        line += " fetchpriority=\"high\"";
    if (count_ >= kEagerItems)
        line += " loading=\"lazy\"";
    line += " decoding=\"async\"></a></li>\n";
    text_ += line;
    ++count_;
}

RunFailure GalleryPageWriter::MakeAlbumFolder(const std::string& path) {
    struct stat info {};
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return {path, CauseFromErrno(errno)};
    // Never through a link: the album's files stay inside the album.
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {path, CauseFromErrno(ENOTDIR)};
    return {};
}

RunFailure GalleryPageWriter::CopyViewerFiles(const std::string& viewerFolder,
                                              const std::string& albumFolder) {
    const std::string folder = albumFolder + "/" + std::string(kViewerFolder);
    if (RunFailure made = MakeAlbumFolder(folder); !made.empty())
        return made;
    for (const std::string_view name : kViewerFiles) {
        const std::string from = viewerFolder + std::string(name);
        const std::string to = folder + "/" + std::string(name);
        if (const int error = CopyFileReplacing(from, to); error != 0) {
            // The installed file missing is an installation fault, named as such; else the album's side.
            const bool missing = ::access(from.c_str(), R_OK) != 0;
            return {missing ? from : to, missing ? FailureCause::Unreadable : CauseFromErrno(error)};
        }
    }
    return {};
}

bool GalleryPageWriter::Close() {
    if (!begun_)
        return true;
    begun_ = false;
    text_ += "</ul>\n</main>\n</body>\n</html>\n";
    // An earlier page's read bits stay, with the owner's write bit, as for the other arrangements' page.
    struct stat existing {};
    const bool earlier = ::lstat(pagePath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (!earlier && ::lstat(pagePath_.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        failure_ = {pagePath_, CauseFromErrno(EISDIR)};
        return false;
    }
    const mode_t mode = earlier ? (existing.st_mode & 0666) | S_IWUSR : 0666;
    AtomicFile page(pagePath_, mode);
    if (earlier)
        page.SetMode(mode); // the umask applies to new pages only
    int error = page.valid() ? page.Write(text_) : page.error();
    if (error == 0)
        error = page.Commit(AtomicFile::Sync::FileAndFolder);
    if (error != 0) {
        failure_ = {pagePath_, CauseFromErrno(error)};
        return false;
    }
    return true;
}

} // namespace aw
