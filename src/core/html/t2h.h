#pragma once
// The text-to-HTML converter: one page of the light markup into one HTML
// document, all on Shift-JIS bytes.
#include "html/htmlsettings.h"
#include "html/inlinetags.h"
#include "html/pagelines.h"
#include "html/preblocks.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sheaf::html {

class clsT2H {
public:
    // Reads the settings once; a failure while reading is kept as
    // settingsWarning() for the caller to show, and conversion goes on with
    // what was read.
    explicit clsT2H(std::string settingsPath);

    const std::string& settingsWarning() const { return m_settingsWarning; }
    const HtmlSettings& settings() const { return m_settings; }

    // Converts the source lines into result (cleared first). Throws
    // SheafError with the failing step's chained prefixes.
    void ConvertLines(const std::vector<std::string>& source, std::vector<std::string>& result);
    // The same on lines the caller no longer needs.
    void ConvertLines(std::vector<std::string>&& source, std::vector<std::string>& result);

    // Reads the page file, converts it and replaces the HTML file with the
    // result (CR LF after every line). The HTML file is written only when the
    // whole conversion succeeded, and never left half written.
    void ConvertFile(const std::string& pagePath, const std::string& htmlPath);
    // The HTML bytes of a page file (what ConvertFile writes); the per-page
    // stores are left for the caller to clear.
    std::string ConvertPage(const std::string& pagePath);
    // The HTML of a page handed on piece by piece (lines and their CR LF), so
    // that it is never held whole; knownSize (when not negative) is the size
    // one look has already told.
    void ConvertPageTo(const std::string& pagePath, std::int64_t knownSize,
                       const std::function<void(std::string_view)>& out);

    // Empties the per-page stores; batch conversion calls it after each page.
    void ClearPageStores();

    const EmbeddedTagStore& embeddedTags() const { return m_tags; }
    const std::vector<PreBlock>& preBlocks() const { return m_blocks; }

private:
    using Sink = std::function<void(std::string&&)>;
    using Emit = std::function<void(std::string&&)>;
    // The HTML lines of the page into result.
    void collect(PageLines&& page, std::vector<std::string>& result);
    // The whole conversion; every finished HTML line goes to sink in order.
    void convert(PageLines&& lines, const Sink& sink);
    // The body lines (all but the first) as HTML lines.
    void appendBody(const PageLines& lines, const Emit& emit) const;
    void checkPlaceholders(const PageLines& lines) const;
    // The block a placeholder line stands for; throws when it names none.
    std::optional<std::size_t> placeholderBlock(std::string_view line) const;
    // A line of the body: a placeholder becomes its block, masked tags are
    // restored, the replacement pairs applied, and the result handed on.
    void finishLine(std::string&& line, const Sink& sink) const;
    void restoreLine(std::string&& line, const Sink& sink) const;
    void ApplySearchReplace(std::string& line) const;

    std::string m_settingsPath;
    HtmlSettings m_settings;
    std::string m_settingsWarning;
    std::string m_noteImage; // "images/" + file-name part of QuoteImageFile, or empty
    EmbeddedTagStore m_tags;
    std::vector<PreBlock> m_blocks;
    // The pages the stores point into (the one being converted, and earlier
    // ones until the stores are cleared); a copy of the converter (one per
    // thread) starts without any.
    struct PagesInUse {
        std::vector<PageLines> pages;
        PagesInUse() = default;
        PagesInUse(const PagesInUse&) {}
        PagesInUse& operator=(const PagesInUse&)
        {
            pages.clear();
            return *this;
        }
    } m_pages;
};

} // namespace sheaf::html
