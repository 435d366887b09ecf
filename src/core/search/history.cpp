#include "search/history.h"

#include "common/inifile.h"
#include "common/text.h"

#include <algorithm>

namespace sheaf::search {

void addToHistory(std::vector<std::string>& list, const std::string& text)
{
    if (list.empty()) {
        list.push_back(text);
        return;
    }
    const bool present = std::any_of(list.begin(), list.end(), [&](const std::string& s) { return equalsNoCase(s, text); });
    if (!present)
        list.insert(list.begin(), text);
}

void moveToTop(std::vector<std::string>& list, const std::string& text, std::size_t cap)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const std::string& s) { return equalsNoCase(s, text); });
    if (it != list.end())
        list.erase(it);
    list.insert(list.begin(), text);
    if (cap != 0 && list.size() > cap)
        list.resize(cap);
}

std::vector<std::string> readHistory(const IniFile& ini, const std::string& section)
{
    std::vector<std::string> list;
    for (auto& kv : ini.readSectionValues(section))
        if (!kv.second.empty())
            list.push_back(std::move(kv.second));
    return list;
}

void writeHistory(const IniFile& ini, const std::string& section, const std::vector<std::string>& list, std::size_t cap)
{
    // One read and one write of the file for the whole list.
    IniDocument doc = IniDocument::parse(ini.rawText());
    doc.eraseSection(section);
    for (std::size_t i = 0; i < list.size() && (cap == 0 || i < cap); ++i)
        doc.setValue(section, std::to_string(i), list[i]);
    ini.writeRawText(doc.serialize());
}

} // namespace sheaf::search
