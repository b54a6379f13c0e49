#include "album/pagewriter.h"

#include <cerrno>
#include <initializer_list>
#include <string>
#include <utility>

#include <sys/stat.h>

#include "album/arrangementline.h"
#include "album/mediakind.h"
#include "album/mediapath.h"
#include "stringtable.h"

namespace aw {

namespace {

constexpr std::string_view kPlaceholders[PageWriter::kPlaceholderCount] = {
    "$TS$", "$FC$", "$BC$", "$BF$", "$DF$", "$TF$", "$TW$", "$TH$",
};

// Only a line's leading number matters; a longer line is read to its end but not kept, so that a
// corrupt arrangement file cannot make the writer hold arbitrary amounts of text.
constexpr std::size_t kMaxKeptLine = 4096;

// The grey box centres thumbnails smaller than the fixed 160 x 120 frame.
constexpr int kBoxWidth = 160;
constexpr int kBoxHeight = 120;

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

} // namespace

std::string EscapeHtmlText(std::string_view text) {
    return ReplaceChars(text, {{'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'&', "&amp;"}});
}

std::string EscapeLinkSegment(std::string_view name) {
    return EscapeHtmlText(ReplaceChars(name, {{'%', "%25"}, {'#', "%23"}, {'?', "%3F"}, {'\\', "%5C"}}));
}

void PageWriter::FileCloser::operator()(std::FILE* file) const {
    if (file)
        std::fclose(file);
}

PageWriter::PageWriter() = default;

PageWriter::~PageWriter() = default;

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

    arrangement_.reset(std::fopen(arrangementPath_.c_str(), "r"));
    struct stat info {};
    // fopen accepts a folder for reading on this platform; refuse it here rather than at the first read.
    if (!arrangement_ || fstat(fileno(arrangement_.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        arrangement_.reset();
        failure_ = {arrangementPath_, FailureCause::Arrangement};
        return false;
    }

    const std::string& folder = job.outputFolder;
    const std::string pageName = LoadText(310);
    if (folder.empty()) {
        // Without a folder the page would land in the file-system root.
        arrangement_.reset();
        failure_ = {pageName, FailureCause::WriteFailed};
        return false;
    }
    pagePath_ = folder.back() == '/' ? folder + pageName : folder + "/" + pageName;

    // A read-only page from an earlier run is replaced: give it its owner write bit back, others stay.
    struct stat existing {};
    if (stat(pagePath_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        chmod(pagePath_.c_str(), (existing.st_mode & 07777) | S_IWUSR);

    page_.reset(std::fopen(pagePath_.c_str(), "w"));
    if (!page_) {
        const int error = errno;
        arrangement_.reset();
        failure_ = {pagePath_, CauseFromErrno(error)};
        return false;
    }
    return true;
}

PageWriter::LineRead PageWriter::ReadLine(std::string& line) {
    line.clear();
    if (!arrangement_)
        return LineRead::Error;
    std::FILE* file = arrangement_.get();
    bool any = false;
    for (int c; (c = std::getc(file)) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < kMaxKeptLine)
            line += static_cast<char>(c);
    }
    if (std::ferror(file))
        return LineRead::Error;
    if (!any)
        return LineRead::End;
    // Arrangement files made on other systems end their lines with CR LF.
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return LineRead::Line;
}

bool PageWriter::FailRead() {
    failure_ = {arrangementPath_, FailureCause::Arrangement};
    return false;
}

bool PageWriter::FailWrite(int error) {
    failure_ = {pagePath_.empty() ? LoadText(310) : pagePath_,
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
    if (out.empty())
        return true;
    errno = 0;
    if (std::fwrite(out.data(), 1, out.size(), page_.get()) != out.size())
        return FailWrite(errno);
    return true;
}

bool PageWriter::WriteFragment(int id) {
    const std::string fragment = LoadText(id);
    if (fragment.empty())
        return true; // a number that names no string writes nothing
    return WriteText(Substitute(fragment).text);
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
        if (n == 501 && backgroundIndex > 0)
            n = 502;
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

bool PageWriter::WriteItemEntry(const std::vector<std::string>& templateLines, int kind, int thumbWidth,
                                int thumbHeight, bool embedPlayback, bool arrangementMarker) {
    const bool movie = IsMovieKind(kind);
    // The box is judged by the item's thumbnail even when the player stands in for the image.
    const bool boxed = thumbWidth < kBoxWidth || thumbHeight < kBoxHeight;
    for (const std::string& line : templateLines) {
        const int n = ParseArrangementNumber(line);
        bool written = true;
        if (n == 506) {
            written = (!boxed || WriteFragment(518)) && WriteFragment(movie && embedPlayback ? 507 : 506) &&
                      (!boxed || WriteFragment(514));
        } else if (n == 508) {
            written = WriteFragment(movie && embedPlayback && !arrangementMarker ? 520 : 508);
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
        if (read == LineRead::End)
            return true;
        if (read == LineRead::Error)
            return FailRead();
        if (!WriteFragment(ParseArrangementNumber(line)))
            return false;
    }
}

bool PageWriter::ClosePageFiles() {
    arrangement_.reset();
    if (!page_)
        return true;
    // Buffered bytes meet a full disk only here; both the flush and the close must be checked.
    std::FILE* page = page_.release();
    errno = 0;
    const bool flushed = std::fflush(page) == 0;
    const int flushError = errno;
    errno = 0;
    const bool closed = std::fclose(page) == 0;
    const int closeError = errno;
    if (!flushed)
        return FailWrite(flushError);
    if (!closed)
        return FailWrite(closeError);
    return true;
}

} // namespace aw
