#include "common/customizesettings.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/inifile.h"
#include "common/paths.h"
#include "common/text.h"

#include <charconv>

namespace sheaf {
namespace {

std::int32_t integer(const std::string& text)
{
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw SheafError("'" + text + "' is not a valid integer value");
    return v;
}

// Keys numbered by editor line; empty lines keep their number and write nothing.
void writeLines(const IniFile& ini, const std::string& section, const std::vector<std::string>& lines)
{
    ini.eraseSection(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string value = TrimEx(lines[i]);
        if (!value.empty())
            ini.writeString(section, std::to_string(i), value);
    }
}

} // namespace

void applyCustomize(const IniFile& settings, const IniFile& html, const std::string& imagesFolder,
                    const CustomizeValues& v)
{
    settings.writeString("Customize", "TextFontName", v.textFontName);
    settings.writeInteger("Customize", "TextFontSize", integer(v.textFontSize));
    settings.writeString("Customize", "TreeFontName", v.treeFontName);
    settings.writeInteger("Customize", "TreeFontSize", integer(v.treeFontSize));
    settings.writeInteger("Customize", "TextTabWidth", v.tabWidth);
    settings.writeInteger("Customize", "TextCharSpace", v.charSpace);
    settings.writeInteger("Customize", "TextLineSpace", v.lineSpace);
    settings.writeInteger("Customize", "Customizer", v.customizer);
    // The colour keys mean something only for the free scheme.
    if (v.customizer == 2)
        for (int i = 0; i < ColorSet::Count; ++i)
            settings.writeInteger("Customize", ColorSet::keyNames()[static_cast<std::size_t>(i)],
                                  v.colors.colors[static_cast<std::size_t>(i)]);
    writeLines(settings, "Keyword", v.keywordLines);
    settings.writeString("Customize", "FunctionKey", v.functionKeys);

    writeLines(html, "Keyword", v.keywordLines);
    writeLines(html, "Header", v.headerLines);
    html.eraseSection("Search");
    html.eraseSection("Replace");
    for (std::size_t i = 0; i < v.searchLines.size(); ++i) {
        if (v.searchLines[i].empty())
            continue;
        html.writeString("Search", std::to_string(i), v.searchLines[i]);
        html.writeString("Replace", std::to_string(i), i < v.replaceLines.size() ? v.replaceLines[i] : std::string());
    }
    if (!v.quoteImage.empty() && fs::isFile(v.quoteImage)) {
        const std::string target = joinPath(imagesFolder, fileNamePart(v.quoteImage));
        if (asciiLower(target) != asciiLower(v.quoteImage))
            fs::writeFileAtomic(target, fs::readFile(v.quoteImage, "image"), "image");
        html.writeString("General", "QuoteImageFile", v.quoteImage);
    }
}

} // namespace sheaf
