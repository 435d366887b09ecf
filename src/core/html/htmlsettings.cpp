#include "html/htmlsettings.h"

#include "common/inifile.h"

namespace sheaf::html {

const std::vector<std::string>& defaultHeaderLines()
{
    static const std::vector<std::string> lines{
        "<!DOCTYPE HTML PUBLIC \" -//W3C//DTD HTML 4.0 Strict//EN\">",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">"};
    return lines;
}

HtmlSettings ReadSettings(const std::string& iniPath)
{
    const IniFile ini(iniPath);
    HtmlSettings s;
    auto values = [&](const char* section) {
        std::vector<std::string> out;
        for (auto& kv : ini.readSectionValues(section))
            out.push_back(std::move(kv.second));
        return out;
    };
    s.headerLines = values("Header");
    if (s.headerLines.empty())
        s.headerLines = defaultHeaderLines();
    s.keywords = values("Keyword");
    s.searchStrings = values("Search");
    s.replaceStrings = values("Replace");
    s.firstLineSize = ini.readInteger("HtmlFontSize", "FirstLineSize", 3);
    s.headerLineSize = ini.readInteger("HtmlFontSize", "HeaderLineSize", 4);
    s.keywordLineSize = ini.readInteger("HtmlFontSize", "KeywordLineSize", 4);
    s.quoteImageFile = ini.readString("General", "QuoteImageFile", "");
    return s;
}

} // namespace sheaf::html
