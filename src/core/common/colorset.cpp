#include "common/colorset.h"

#include "common/inifile.h"

namespace sheaf {

using namespace colors;

const std::array<const char*, ColorSet::Count>& ColorSet::keyNames()
{
    static const std::array<const char*, Count> names{
        "TextBackColor",    "TextForeColor",    "SelectBackColor",  "SelectForeColor",  "MailForeColor",
        "UrlForeColor",     "CommentForeColor", "ReturnForeColor",  "KeywordForeColor", "AtMarkForeColor",
        "SearchForeColor",  "TagForeColor",     "Tag3ForeColor"};
    return names;
}

ColorSet ColorSet::scheme(int customizer)
{
    ColorSet set;
    if (customizer == 0)
        set.colors = {clNavy, clWhite, clPurple, clWhite, clLime, clFuchsia, clSilver,
                      clYellow, clAqua, clAqua, clYellow, clYellow, clGreen};
    else
        set.colors = {clWindow, clWindowText, clHighlight, clHighlightText, clGreen, clPurple, clGray,
                      clGray, clNavy, clNavy, clOlive, clBlue, clGreen};
    return set;
}

ColorSet ColorSet::load(const IniFile& ini)
{
    const int customizer = ini.readInteger("Customize", "Customizer", 1);
    if (customizer == 0 || customizer == 1)
        return scheme(customizer);
    const ColorSet defaults = scheme(1);
    ColorSet set;
    for (int i = 0; i < Count; ++i)
        set.colors[i] = ini.readColor("Customize", keyNames()[i], defaults.colors[i]);
    return set;
}

EditorColors editorColors(int customizer, const IniFile& ini)
{
    if (customizer == 0)
        return {clNavy, clWhite, clPurple, clWhite, clNavy, clSilver, clNavy, clLime, clNavy, clFuchsia, clYellow};
    if (customizer == 1)
        return {clWindow, clWindowText, clHighlight, clHighlightText, clWindow, clGray,
                clWindow, clLime, clWindow, clFuchsia, clGray};
    const auto read = [&](const char* key, TColor def) { return ini.readColor("Customize", key, def); };
    const TColor back = read("TextBackColor", clWindow);
    return {back,
            read("TextForeColor", clWindowText),
            read("SelectBackColor", clHighlight),
            read("SelectForeColor", clHighlightText),
            back,
            read("CommentForeColor", clGray),
            back,
            read("MailForeColor", clNavy),
            back,
            read("UrlForeColor", clPurple),
            read("ReturnForeColor", clGray)};
}

} // namespace sheaf
