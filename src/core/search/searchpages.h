#pragma once
// Text search over the page files of a range of items, and the replacement
// of a string throughout a page file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sheaf {
class Outline;
}

namespace sheaf::search {

// The three ranges of the search and the tool runner, over absolute indexes.
enum class Range { CurrentPage = 0, SelectedAndBelow = 1, AllPages = 2 };
struct IndexRange {
    std::size_t first = 0;
    std::size_t last = 0; // inclusive
    bool empty = true;
};
IndexRange rangeFor(const Outline& outline, Range range, std::size_t selected);

// The text search's rule for one page: a match of the bytes of needle lies
// within one line (a line ends at LF or CR LF, which belong to no line; the
// text after the last line break is a line too); ASCII letters fold when
// matchCase is off; a match may begin on the trail byte of a character.
bool textContains(std::string_view text, std::string_view needle, bool matchCase);

struct SearchResult {
    std::vector<std::size_t> found;   // absolute indexes, ascending
    std::vector<std::size_t> skipped; // pages that could not be opened
};

// Searches the page files of the items first..last. Files are only read:
// opened read-only, never lengthened, re-dated or locked. step() runs after
// each item.
SearchResult SearchPages(const Outline& outline, std::size_t first, std::size_t last, std::string_view text,
                         bool matchCase, const std::function<void()>& step = {});

// "(0037) " + caption: the result line of an absolute index.
std::string resultLine(std::size_t absoluteIndex, const std::string& caption);
// The absolute index in a result line; -1 when it holds none.
long indexOfResultLine(const std::string& line);

// Replaces search by replace throughout a file (CRepStrFile): nothing when
// the file lacks search in exact case; matches never overlap, never start
// inside a double-byte character, and fold ASCII case when matchCase is off;
// every byte of the file is kept (also after a NUL). The file is replaced
// atomically with its permissions kept.
class CRepStrFile {
public:
    explicit CRepStrFile(std::string path) : m_path(std::move(path)) {}
    enum class Outcome { Unchanged, Replaced, Failed };
    // Failed: error() tells why (the file and the system's reason).
    Outcome Replace(const std::string& search, const std::string& replace, bool matchCase);
    const std::string& error() const { return m_error; }

private:
    std::string m_path;
    std::string m_error;
};

// The replaced text, or nullopt-like empty flag when search is absent in exact case.
bool replaceText(std::string_view text, const std::string& search, const std::string& replace, bool matchCase,
                 std::string& out);

struct ReplaceResult {
    std::vector<std::string> rewritten;                       // page paths, in index order
    std::vector<std::pair<std::string, std::string>> failed;  // path, message
};
// Runs the replacement over the page files of first..last (missing files skipped).
ReplaceResult ReplacePages(const Outline& outline, std::size_t first, std::size_t last, const std::string& search,
                           const std::string& replace, bool matchCase, const std::function<void()>& step = {});

} // namespace sheaf::search
