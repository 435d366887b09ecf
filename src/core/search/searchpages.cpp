#include "search/searchpages.h"

#include "common/fsutil.h"
#include "common/sjis.h"
#include "project/outline.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheaf::search {
namespace {

inline unsigned char fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b; }

// Horspool over bytes with ASCII case folded: the skip table maps both cases.
class FoldedSearcher {
public:
    explicit FoldedSearcher(std::string_view needle) : m_needle(needle.size(), '\0')
    {
        for (std::size_t i = 0; i < needle.size(); ++i)
            m_needle[i] = static_cast<char>(fold(static_cast<unsigned char>(needle[i])));
        m_skip.fill(needle.size());
        for (std::size_t i = 0; i + 1 < needle.size(); ++i) {
            const auto c = static_cast<unsigned char>(m_needle[i]);
            m_skip[c] = needle.size() - 1 - i;
            if (c >= 'a' && c <= 'z')
                m_skip[c - 32] = needle.size() - 1 - i;
        }
    }
    // Position of the first match at or after from, npos when none.
    std::size_t find(std::string_view hay, std::size_t from) const
    {
        const std::size_t m = m_needle.size();
        const auto* h = reinterpret_cast<const unsigned char*>(hay.data());
        const auto* n = reinterpret_cast<const unsigned char*>(m_needle.data());
        const unsigned char last = n[m - 1];
        std::size_t i = from;
        while (i + m <= hay.size()) {
            const unsigned char c = h[i + m - 1];
            if (fold(c) == last) {
                std::size_t k = 0;
                while (k + 1 < m && fold(h[i + k]) == n[k])
                    ++k;
                if (k + 1 >= m)
                    return i;
            }
            i += m_skip[c];
        }
        return std::string_view::npos;
    }

private:
    std::string m_needle;
    std::array<std::size_t, 256> m_skip{};
};

// A match may not hold a line break nor end with the CR of a CR LF.
bool withinLine(std::string_view text, std::size_t at, std::size_t length)
{
    return !(text[at + length - 1] == '\r' && at + length < text.size() && text[at + length] == '\n');
}

} // namespace

IndexRange rangeFor(const Outline& outline, Range range, std::size_t selected)
{
    if (outline.empty())
        return {};
    switch (range) {
    case Range::CurrentPage:
        return selected < outline.size() ? IndexRange{selected, selected, false} : IndexRange{};
    case Range::SelectedAndBelow:
        if (selected >= outline.size())
            return {};
        return {selected, outline.lastIndexOfSubtree(outline.nodeAt(selected)), false};
    case Range::AllPages:
        break;
    }
    return {0, outline.size() - 1, false};
}

bool textContains(std::string_view text, std::string_view needle, bool matchCase)
{
    if (needle.empty() || needle.find('\n') != std::string_view::npos)
        return false;
    const bool endsWithCr = needle.back() == '\r';
    if (matchCase) {
        const auto* h = text.data();
        std::size_t from = 0;
        while (from + needle.size() <= text.size()) {
            const void* hit = ::memmem(h + from, text.size() - from, needle.data(), needle.size());
            if (!hit)
                return false;
            const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - h);
            if (!endsWithCr || withinLine(text, at, needle.size()))
                return true;
            from = at + 1;
        }
        return false;
    }
    const FoldedSearcher searcher(needle);
    for (std::size_t at = searcher.find(text, 0); at != std::string_view::npos; at = searcher.find(text, at + 1))
        if (!endsWithCr || withinLine(text, at, needle.size()))
            return true;
    return false;
}

SearchResult SearchPages(const Outline& outline, std::size_t first, std::size_t last, std::string_view text,
                         bool matchCase, const std::function<void()>& step)
{
    SearchResult result;
    // Small pages are read into one buffer used again and again; large ones are
    // mapped. Either way the file is opened read-only and left as it was.
    std::vector<char> buffer(1 << 20);
    for (std::size_t i = first; i <= last && i < outline.size(); ++i) {
        const std::string native = fs::toNative(outline.nodeAt(i)->data->sFileName);
        int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOATIME);
        if (fd < 0 && errno == EPERM)
            fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            result.skipped.push_back(i);
            if (step)
                step();
            continue;
        }
        const auto size = static_cast<std::size_t>(st.st_size);
        bool found = false;
        bool readable = true;
        if (size <= buffer.size()) {
            std::size_t got = 0;
            while (got < size) {
                const ssize_t n = ::pread(fd, buffer.data() + got, size - got, static_cast<off_t>(got));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += static_cast<std::size_t>(n);
            }
            readable = got == size;
            found = readable && textContains(std::string_view(buffer.data(), got), text, matchCase);
        } else {
            void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (map == MAP_FAILED) {
                readable = false;
            } else {
                found = textContains(std::string_view(static_cast<const char*>(map), size), text, matchCase);
                ::munmap(map, size);
            }
        }
        ::close(fd);
        if (!readable)
            result.skipped.push_back(i);
        else if (found)
            result.found.push_back(i);
        if (step)
            step();
    }
    return result;
}

std::string resultLine(std::size_t absoluteIndex, const std::string& caption)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%.4zu) ", absoluteIndex);
    return buf + caption;
}

long indexOfResultLine(const std::string& line)
{
    const std::size_t open = line.find('(');
    const std::size_t close = line.find(')', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos || close == open + 1)
        return -1;
    long value = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return -1;
        value = value * 10 + (line[i] - '0');
    }
    return value;
}

bool replaceText(std::string_view text, const std::string& search, const std::string& replace, bool matchCase,
                 std::string& out)
{
    // Only a file that holds the text in exact case is touched, in both modes.
    if (search.empty() || !::memmem(text.data(), text.size(), search.data(), search.size()))
        return false;
    out.clear();
    out.reserve(text.size() + (replace.size() > search.size() ? text.size() / search.size() * (replace.size() - search.size()) : 0));
    const std::size_t m = search.size();
    std::size_t i = 0;
    while (i < text.size()) {
        // Matches are tried only where a character starts, so a replacement
        // can never cut a double-byte character in two.
        bool match = i + m <= text.size();
        for (std::size_t k = 0; match && k < m; ++k) {
            const auto h = static_cast<unsigned char>(text[i + k]);
            const auto s = static_cast<unsigned char>(search[k]);
            match = matchCase ? h == s : fold(h) == fold(s);
        }
        if (match) {
            out += replace;
            i += m;
            continue;
        }
        const std::size_t width = sjis::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        out.append(text.substr(i, width));
        i += width;
    }
    return true;
}

CRepStrFile::Outcome CRepStrFile::Replace(const std::string& search, const std::string& replace, bool matchCase)
{
    m_error.clear();
    if (search.empty() || !fs::exists(m_path))
        return Outcome::Unchanged;
    std::string reason;
    const auto text = fs::tryReadFile(m_path, &reason);
    if (!text) {
        m_error = fs::failureText(sjis::sj("ページファイルを読み込めませんでした"), m_path, reason);
        return Outcome::Failed;
    }
    std::string out;
    if (!replaceText(*text, search, replace, matchCase, out))
        return Outcome::Unchanged;
    try {
        fs::writeFileAtomic(m_path, out, sjis::sj("ページファイルを書き換えられませんでした"));
    } catch (const std::exception& e) {
        m_error = e.what();
        return Outcome::Failed;
    }
    return Outcome::Replaced;
}

ReplaceResult ReplacePages(const Outline& outline, std::size_t first, std::size_t last, const std::string& search,
                           const std::string& replace, bool matchCase, const std::function<void()>& step)
{
    ReplaceResult result;
    for (std::size_t i = first; i <= last && i < outline.size(); ++i) {
        const std::string& path = outline.nodeAt(i)->data->sFileName;
        if (fs::exists(path)) {
            CRepStrFile file(path);
            switch (file.Replace(search, replace, matchCase)) {
            case CRepStrFile::Outcome::Replaced:
                result.rewritten.push_back(path);
                break;
            case CRepStrFile::Outcome::Failed:
                result.failed.emplace_back(path, file.error());
                break;
            case CRepStrFile::Outcome::Unchanged:
                break;
            }
        }
        if (step)
            step();
    }
    return result;
}

} // namespace sheaf::search
