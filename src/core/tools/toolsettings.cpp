#include "tools/toolsettings.h"

#include "common/inifile.h"
#include "common/paths.h"
#include "common/text.h"

#include <algorithm>

namespace sheaf::tools {

std::string quotedList(const std::vector<std::string>& items)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += i ? ",\"" : "\"";
        for (char c : items[i])
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += '"';
    }
    return out;
}

std::vector<std::string> splitQuotedList(const std::string& value)
{
    // Comma text: items separated by commas (and blanks outside quotes); a
    // quoted item is taken whole, blanks and commas included.
    const std::string text = "\"" + value + "\"";
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ','))
            ++i;
        if (i >= text.size())
            break;
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != ' ')
                item += text[i++];
        }
        items.push_back(item);
    }
    return items;
}

ToolSettings readToolSettings(const IniFile& ini)
{
    ToolSettings s;
    s.exePath = ini.readString("Tool", "ToolExePath", "");
    const std::string scripts = ini.readString("Tool", "ToolScript", "");
    if (scripts.empty())
        return s;
    const auto paths = splitQuotedList(scripts);
    const auto comments = splitQuotedList(ini.readString("Tool", "ToolComment", ""));
    for (std::size_t i = 0; i < paths.size(); ++i)
        s.scripts.push_back({fileNamePart(paths[i]), paths[i], i < comments.size() ? comments[i] : std::string()});
    return s;
}

void writeToolSettings(const IniFile& ini, const ToolSettings& settings)
{
    IniDocument doc = IniDocument::parse(ini.rawText());
    for (const char* key : {"ToolExePath", "ToolScript", "ToolComment"})
        doc.deleteKey("Tool", key);
    doc.setValue("Tool", "ToolExePath", settings.exePath);
    if (!settings.scripts.empty()) {
        std::vector<std::string> paths;
        std::vector<std::string> comments;
        for (const auto& s : settings.scripts) {
            paths.push_back(s.Path);
            comments.push_back(s.Comment);
        }
        doc.setValue("Tool", "ToolScript", quotedList(paths));
        doc.setValue("Tool", "ToolComment", quotedList(comments));
    }
    ini.writeRawText(doc.serialize());
}

void sortByName(std::vector<APPSDATA>& scripts)
{
    std::stable_sort(scripts.begin(), scripts.end(),
                     [](const APPSDATA& a, const APPSDATA& b) { return asciiLower(a.Name) < asciiLower(b.Name); });
}

std::string responseFileText(const Outline& outline, std::size_t first, std::size_t last)
{
    std::string out;
    for (std::size_t i = first; i <= last && i < outline.size(); ++i)
        out += outline.nodeAt(i)->data->sFileName + "\r\n";
    return out;
}

} // namespace sheaf::tools
