#include "common/inifile.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/sjis.h"
#include "common/text.h"

#include <charconv>
#include <optional>

namespace sheaf {
namespace {

std::string trimBlanks(std::string_view s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

// Closing bracket of a section header, skipping trail bytes of double-byte characters.
size_t findClosingBracket(std::string_view s, size_t from)
{
    for (size_t i = from; i < s.size(); ++i) {
        if (sjis::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
            ++i;
        else if (s[i] == ']')
            return i;
    }
    return std::string_view::npos;
}

IniDocument load(const std::string& path)
{
    // A settings file is small; anything past this is no settings file.
    auto data = fs::tryReadFile(path, nullptr, 64 << 20);
    return IniDocument::parse(data ? *data : std::string());
}

void save(const std::string& path, const IniDocument& doc)
{
    const std::string folder = path.substr(0, path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/'));
    if (!folder.empty() && !fs::isDirectory(folder))
        fs::makeDirectories(folder);
    fs::writeFileAtomic(path, doc.serialize(), sjis::sj("設定ファイルに書き込めません"));
}

std::optional<std::string> findValue(const IniDocument& doc, const std::string& section, const std::string& key)
{
    const int s = doc.findSection(section);
    if (s < 0)
        return std::nullopt;
    const std::string wanted = trimBlanks(key);
    for (const auto& line : doc.lines)
        if (line.section == s && !line.isHeader && !line.key.empty() && equalsNoCase(line.key, wanted))
            return line.value;
    return std::nullopt;
}

std::optional<std::int32_t> parseInteger(const std::string& text)
{
    std::string_view v = text;
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t'))
        v.remove_prefix(1);
    if (v.empty())
        return std::nullopt;
    int base = 10;
    bool negative = false;
    if (v.front() == '-' || v.front() == '+') {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    // "$FF" and "0x80000005" are integers to the platform's reader as well.
    if (!v.empty() && v.front() == '$') {
        base = 16;
        v.remove_prefix(1);
    } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        base = 16;
        v.remove_prefix(2);
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, base);
    if (ec != std::errc() || end != v.data() + v.size())
        return std::nullopt;
    if (negative)
        value = -value;
    // Hexadecimal colour values such as 80000005 wrap into the 32-bit range.
    if (value < INT32_MIN || value > static_cast<std::int64_t>(UINT32_MAX))
        return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

IniDocument IniDocument::parse(const std::string& data)
{
    IniDocument doc;
    int current = -1;
    for (auto& text : splitLines(data)) {
        Line line;
        line.text = std::move(text);
        const std::string trimmed = trimBlanks(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = findClosingBracket(trimmed, 1);
            const std::string name = trimBlanks(std::string_view(trimmed).substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = doc.findSection(name);
            if (current < 0) {
                doc.sections.push_back(name);
                current = static_cast<int>(doc.sections.size()) - 1;
            }
            line.isHeader = true;
        } else if (!trimmed.empty() && trimmed.front() != ';') {
            const size_t eq = trimmed.find('=');
            if (eq != std::string::npos && eq > 0) {
                line.key = trimBlanks(std::string_view(trimmed).substr(0, eq));
                line.value = trimBlanks(std::string_view(trimmed).substr(eq + 1));
            }
        }
        line.section = current;
        doc.lines.push_back(std::move(line));
    }
    return doc;
}

std::string IniDocument::serialize() const
{
    std::string out;
    for (const auto& line : lines) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

int IniDocument::findSection(const std::string& name) const
{
    const std::string wanted = trimBlanks(name);
    for (size_t i = 0; i < sections.size(); ++i)
        if (equalsNoCase(sections[i], wanted))
            return static_cast<int>(i);
    return -1;
}

std::string unquoteIniValue(const std::string& raw)
{
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
        return raw.substr(1, raw.size() - 2);
    return raw;
}

std::optional<std::string> IniDocument::value(const std::string& section, const std::string& key) const
{
    const auto raw = findValue(*this, section, key);
    return raw ? std::optional<std::string>(unquoteIniValue(*raw)) : std::nullopt;
}

std::string IniFile::readString(const std::string& section, const std::string& key, const std::string& def) const
{
    return load(m_path).value(section, key).value_or(def);
}

std::int32_t IniFile::readInteger(const std::string& section, const std::string& key, std::int32_t def) const
{
    const auto value = findValue(load(m_path), section, key);
    if (!value)
        return def;
    return parseInteger(unquoteIniValue(*value)).value_or(def);
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::sectionExists(const std::string& section) const { return load(m_path).findSection(section) >= 0; }

bool IniFile::valueExists(const std::string& section, const std::string& key) const
{
    return findValue(load(m_path), section, key).has_value();
}

std::vector<std::string> IniFile::readSection(const std::string& section) const
{
    std::vector<std::string> keys;
    for (auto& kv : readSectionValues(section))
        keys.push_back(std::move(kv.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::readSectionValues(const std::string& section) const
{
    return load(m_path).sectionValues(section);
}

std::vector<std::pair<std::string, std::string>> IniDocument::sectionValues(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    const int s = findSection(section);
    if (s < 0)
        return out;
    for (const auto& line : lines) {
        if (line.section != s || line.isHeader || line.key.empty())
            continue;
        bool seen = false;
        for (const auto& kv : out)
            seen = seen || equalsNoCase(kv.first, line.key);
        if (!seen)
            out.emplace_back(line.key, unquoteIniValue(line.value));
    }
    return out;
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) const
{
    IniDocument doc = load(m_path);
    doc.setValue(section, key, value);
    save(m_path, doc);
}

void IniDocument::setValue(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string newLine = key + "=" + value;
    const int s = findSection(section);
    // A section whose lines were all erased gets its header again.
    bool headerPresent = false;
    for (const auto& line : lines)
        headerPresent = headerPresent || (line.section == s && line.isHeader);
    if (s < 0 || !headerPresent) {
        if (!lines.empty() && !trimBlanks(lines.back().text).empty())
            lines.push_back({});
        int index = s;
        if (index < 0) {
            index = static_cast<int>(sections.size());
            sections.push_back(section);
        }
        lines.push_back({"[" + sections[static_cast<size_t>(index)] + "]", index, true, {}, {}});
        lines.push_back({newLine, index, false, trimBlanks(key), trimBlanks(value)});
        return;
    }
    const std::string wanted = trimBlanks(key);
    size_t insertAt = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        auto& line = lines[i];
        if (line.section != s)
            continue;
        if (!line.isHeader && !line.key.empty() && equalsNoCase(line.key, wanted)) {
            line.text = newLine;
            line.value = trimBlanks(value);
            return;
        }
        // New keys go after the last non-blank line of the section.
        if (line.isHeader || !trimBlanks(line.text).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<long>(insertAt), {newLine, s, false, wanted, trimBlanks(value)});
}

void IniFile::writeInteger(const std::string& section, const std::string& key, std::int32_t value) const
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) const
{
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::rawText() const { return load(m_path).serialize(); }

void IniFile::writeRawText(const std::string& text) const { save(m_path, IniDocument::parse(text)); }

void IniFile::eraseSection(const std::string& section) const
{
    IniDocument doc = load(m_path);
    if (doc.eraseSection(section))
        save(m_path, doc);
}

bool IniDocument::eraseSection(const std::string& section)
{
    const int s = findSection(section);
    if (s < 0)
        return false;
    std::vector<Line> kept;
    for (auto& line : lines)
        if (line.section != s)
            kept.push_back(std::move(line));
    const bool changed = kept.size() != lines.size();
    lines = std::move(kept);
    return changed;
}

void IniFile::deleteKey(const std::string& section, const std::string& key) const
{
    IniDocument doc = load(m_path);
    if (doc.deleteKey(section, key))
        save(m_path, doc);
}

bool IniDocument::deleteKey(const std::string& section, const std::string& key)
{
    const int s = findSection(section);
    if (s < 0)
        return false;
    const std::string wanted = trimBlanks(key);
    std::vector<Line> kept;
    for (auto& line : lines)
        if (!(line.section == s && !line.isHeader && !line.key.empty() && equalsNoCase(line.key, wanted)))
            kept.push_back(std::move(line));
    const bool changed = kept.size() != lines.size();
    lines = std::move(kept);
    return changed;
}

} // namespace sheaf
