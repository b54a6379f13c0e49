// SPDX-License-Identifier: MIT
#include "album/pagewriter.h"

#include <cerrno>
#include <initializer_list>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/arrangementline.h"
#include "album/mediakind.h"
#include "album/mediapath.h"
#include "platform/paths.h"
#include "platform/regularfile.h"
#include "stringtable.h"

namespace aw {

namespace {

constexpr std::string_view kPlaceholders[PageWriter::kPlaceholderCount] = {
    "$TS$", "$FC$", "$BC$", "$BF$", "$DF$", "$TF$", "$TW$", "$TH$",
};

// The grey box centres thumbnails smaller than the fixed 160 x 120 frame.
constexpr int kBoxWidth = 160;
constexpr int kBoxHeight = 120;
// The page goes to the disk in steps of this size rather than a write per fragment.
constexpr std::size_t kWriteStep = 64 * 1024;

struct CharReplacement {
    char from;
    std::string_view to;
};

std::string ReplaceChars(std::string_view text, std::initializer_list<CharReplacement> replacements) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const CharReplacement* match = nullptr;
        for (const CharReplacement& r : replacements)
            if (r.from == c)
                match = &r;
        if (match)
            out += match->to;
        else
            out += c;
    }
    return out;
}

// The length of the well-formed UTF-8 sequence at the start of `text` (shortest form, no surrogates,
// at most U+10FFFF), or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::string EscapeHtmlText(std::string_view text) {
    return ReplaceChars(text,
                        {{'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'&', "&amp;"}, {'$', "&#36;"}});
}

std::string EscapeLinkSegment(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const std::size_t length = Utf8SequenceLength(name.substr(i));
        const bool percent =
            length == 0 || c < 0x20 || c == 0x7F || c == '%' || c == '#' || c == '?' || c == '\\';
        if (!percent) {
            encoded.append(name.substr(i, length));
            i += length;
            continue;
        }
        // A browser decodes the bytes back, so the link names the file whatever its bytes are.
        encoded += '%';
        encoded += kHex[c >> 4];
        encoded += kHex[c & 0x0F];
        ++i;
    }
    return EscapeHtmlText(encoded);
}

void PageWriter::FileCloser::operator()(std::FILE* file) const {
    if (file)
        std::fclose(file);
}

PageWriter::PageWriter() = default;

PageWriter::~PageWriter() {
    ClosePageFiles(); // removes an unfinished page's temporary file
}

void PageWriter::PreparePlaceholderValues(const AlbumJob& job) {
    values_[TitleText] = job.pageTitle;
    values_[FontColour] = job.fontColourText;
    values_[BackgroundText] = job.backgroundText;
    values_[BackgroundFile] =
        MediaPath::BaseNameOf(job.backgroundText) + MediaPath::ExtensionOf(job.backgroundText);
    for (int i = DataFile; i < kPlaceholderCount; ++i)
        values_[static_cast<std::size_t>(i)].clear();
    for (std::string& value : linkValues_)
        value.clear();
}

bool PageWriter::SetPlaceholderValue(int index, std::string value) {
    if (index < 0 || index >= kPlaceholderCount)
        return false;
    // File names land in attributes and links; escaping them keeps the markup intact whatever the name.
    if (index == DataFile || index == ThumbFile) {
        linkValues_[static_cast<std::size_t>(index - DataFile)] = EscapeLinkSegment(value);
        value = EscapeHtmlText(value);
    }
    values_[static_cast<std::size_t>(index)] = std::move(value);
    return true;
}

const std::string& PageWriter::PlaceholderValue(int index) const {
    static const std::string empty;
    if (index < 0 || index >= kPlaceholderCount)
        return empty;
    return values_[static_cast<std::size_t>(index)];
}

PageWriter::Substituted PageWriter::Substitute(std::string_view text) const {
    Substituted result{std::string(text), 0};
    for (std::size_t p = 0; p < values_.size(); ++p) {
        const std::string_view placeholder = kPlaceholders[p];
        const bool fileName = p == DataFile || p == ThumbFile;
        // Resuming after the inserted value keeps a value from being searched for its own placeholder.
        std::size_t from = 0;
        for (std::size_t found; (found = result.text.find(placeholder, from)) != std::string::npos;) {
            const std::string_view before = std::string_view(result.text).substr(0, found);
            const bool inLink = fileName && (before.ends_with("Data/") || before.ends_with("Thumb/"));
            const std::string& value = inLink ? linkValues_[p - DataFile] : values_[p];
            result.text.replace(found, placeholder.size(), value);
            from = found + value.size();
            ++result.count;
        }
    }
    return result;
}

bool PageWriter::OpenPageFiles(const AlbumJob& job) {
    ClosePageFiles();
    failure_ = {};
    arrangementPath_ = job.arrangementFile;
    pagePath_.clear();

    // Only a regular file: a folder would fail at the first read, a FIFO would block the open itself.
    OpenedFile arrangement = OpenRegularFile(arrangementPath_);
    if (arrangement.error == 0)
        arrangement_.reset(fdopen(arrangement.fd.get(), "r"));
    if (!arrangement_) {
        failure_ = {arrangementPath_, FailureCause::Arrangement};
        return false;
    }
    arrangement.fd.release(); // the stream owns it now

    const std::string& folder = job.outputFolder;
    const std::string pageName = LoadText(TextId::IndexPageName);
    if (folder.empty()) {
        // Without a folder the page would land in the file-system root.
        arrangement_.reset();
        failure_ = {pageName, FailureCause::WriteFailed};
        return false;
    }
    pagePath_ = JoinPath(folder, pageName);

    // The page is built under a temporary name beside Index.html and renamed over it only when complete:
    // a stopped or failed run leaves the earlier page as it was, and a link planted at Index.html is
    // replaced rather than written through. An earlier page's read bits stay, with the owner's write bit
    // (a read-only page from an earlier run is replaced).
    struct stat existing {};
    const bool earlier = lstat(pagePath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    const mode_t mode = earlier ? (existing.st_mode & 0666) | S_IWUSR : 0666;
    if (lstat(pagePath_.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        arrangement_.reset();
        failure_ = {pagePath_, CauseFromErrno(EISDIR)};
        return false;
    }
    page_ = std::make_unique<AtomicFile>(pagePath_, mode);
    if (earlier)
        page_->SetMode(mode); // the umask applies to new pages only
    if (!page_->valid()) {
        failure_ = {pagePath_, CauseFromErrno(page_->error())};
        page_.reset();
        arrangement_.reset();
        return false;
    }
    pending_.clear();
    pageComplete_ = false;
    return true;
}

PageWriter::LineRead PageWriter::ReadLine(std::string& line) {
    switch (ReadArrangementLine(arrangement_.get(), line)) {
    case ArrangementRead::Line:
        return LineRead::Line;
    case ArrangementRead::End:
        return LineRead::End;
    default:
        return LineRead::Error;
    }
}

bool PageWriter::FailRead() {
    failure_ = {arrangementPath_, FailureCause::Arrangement};
    return false;
}

bool PageWriter::FailWrite(int error) {
    failure_ = {pagePath_.empty() ? LoadText(TextId::IndexPageName) : pagePath_,
                error == 0 ? FailureCause::WriteFailed : CauseFromErrno(error)};
    return false;
}

bool PageWriter::WriteText(std::string_view text) {
    if (!page_)
        return FailWrite(0);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A value that already brings CR LF (a title pasted from elsewhere) is not doubled.
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    pending_ += out;
    if (pending_.size() < kWriteStep)
        return true;
    const int error = page_->Write(pending_);
    pending_.clear();
    return error == 0 || FailWrite(error);
}

bool PageWriter::WriteFragment(int number) {
    const std::string fragment = TextForNumber(number);
    if (fragment.empty())
        return true; // a number that names no string writes nothing
    return WriteText(Substitute(fragment).text);
}

bool PageWriter::WriteFragment(TextId id) {
    return WriteText(Substitute(LoadText(id)).text);
}

bool PageWriter::WritePageHead(int backgroundIndex) {
    std::string line;
    for (;;) {
        const LineRead read = ReadLine(line);
        if (read == LineRead::End)
            return true;
        if (read == LineRead::Error)
            return FailRead();
        int n = ParseArrangementNumber(line);
        if (n == kArrangementSectionEnd)
            return true;
        if (n == kArrangementMarker)
            continue;
        if (n == TextNumber(TextId::SolidBodyFragment) && backgroundIndex > 0)
            n = TextNumber(TextId::PictureBodyFragment);
        if (!WriteFragment(n))
            return false;
    }
}

bool PageWriter::ReadItemTemplates(std::vector<std::string>& firstColumn,
                                   std::vector<std::string>& secondColumn) {
    enum { Shared, First, Second } part = Shared;
    std::string line;
    for (;;) {
        const LineRead read = ReadLine(line);
        if (read == LineRead::End)
            return true;
        if (read == LineRead::Error)
            return FailRead();
        const int n = ParseArrangementNumber(line);
        if (n == kArrangementSectionEnd)
            return true;
        if (part == Shared && n == kArrangementSharedEnd) {
            part = First;
        } else if (part == First && n == kArrangementFirstColumnEnd) {
            part = Second;
        } else {
            if (part != Second)
                firstColumn.push_back(line);
            if (part != First)
                secondColumn.push_back(line);
        }
    }
}

bool PageWriter::WriteFragmentFor(TextId id, const std::string& dataName) {
    if (dataName.empty())
        return WriteFragment(id);
    const std::string value = values_[DataFile];
    const std::string link = linkValues_[0];
    SetPlaceholderValue(DataFile, dataName);
    const bool written = WriteFragment(id);
    values_[DataFile] = value;
    linkValues_[0] = link;
    return written;
}

bool PageWriter::WriteItemEntry(const std::vector<std::string>& templateLines, MediaKind kind, int thumbWidth,
                                int thumbHeight, bool playInPage, const std::string& playedName) {
    // The plug-in player of fragment 507 runs in no current browser (and its cell lost the link to the
    // file, fragment 520), so a movie either plays in a video element or is shown as without playback.
    const bool video = IsMovieKind(kind) && playInPage;
    const bool audio = kind == MediaKind::Audio && playInPage;
    // The box is judged by the item's thumbnail even when the player stands in for the image.
    const bool boxed = thumbWidth < kBoxWidth || thumbHeight < kBoxHeight;
    for (const std::string& line : templateLines) {
        const int n = ParseArrangementNumber(line);
        bool written = true;
        if (n == TextNumber(TextId::ThumbImageFragment)) {
            written = (!boxed || WriteFragment(TextId::GreyFrameFragment)) &&
                      (video ? WriteFragmentFor(TextId::VideoFragment, playedName)
                             : WriteFragment(TextId::ThumbImageFragment)) &&
                      (!audio || WriteFragmentFor(TextId::SoundPlayerFragment, playedName)) &&
                      (!boxed || WriteFragment(TextId::TableEndFragment));
        } else {
            written = WriteFragment(n);
        }
        if (!written)
            return false;
    }
    return true;
}

bool PageWriter::WritePageTail() {
    std::string line;
    for (;;) {
        const LineRead read = ReadLine(line);
        if (read == LineRead::End) {
            pageComplete_ = page_ != nullptr;
            return true;
        }
        if (read == LineRead::Error)
            return FailRead();
        if (!WriteFragment(ParseArrangementNumber(line)))
            return false;
    }
}

bool PageWriter::ClosePageFiles() {
    arrangement_.reset();
    const std::unique_ptr<AtomicFile> page = std::move(page_);
    const std::string pending = std::exchange(pending_, std::string());
    // A page the run did not finish never replaces the earlier one: it goes with `page`.
    if (!page || !std::exchange(pageComplete_, false))
        return true;
    int error = page->Write(pending);
    if (error == 0)
        error = page->Commit(AtomicFile::Sync::FileAndFolder);
    return error == 0 || FailWrite(error);
}

} // namespace aw
