#pragma once
// Settings file in the Windows private-profile form: "[Section]" lines and
// "Key=Value" lines, section and key names compared without regard to ASCII
// case, values running to the end of the line, Shift-JIS bytes kept as they are.
// Every call opens the file, reads or writes, and closes it; nothing is cached,
// so a value written by one program is seen by the others at their next read.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheaf {

class IniFile {
public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // One pair of double quotes enclosing the whole value is removed.
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    // def when the key is missing or its value is not an integer.
    std::int32_t readInteger(const std::string& section, const std::string& key, std::int32_t def) const;
    // True for any non-zero integer.
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    // Colours are integers (00BBGGRR, or 800000nn for system colours written negative).
    std::int32_t readColor(const std::string& section, const std::string& key, std::int32_t def) const
    {
        return readInteger(section, key, def);
    }

    bool sectionExists(const std::string& section) const;
    bool valueExists(const std::string& section, const std::string& key) const;
    // Keys of the section in file order (each name once).
    std::vector<std::string> readSection(const std::string& section) const;
    // (key, value) pairs of the section in file order, values read as readString does.
    std::vector<std::pair<std::string, std::string>> readSectionValues(const std::string& section) const;

    // Writes throw SheafError naming the file when it cannot be written.
    void writeString(const std::string& section, const std::string& key, const std::string& value) const;
    void writeInteger(const std::string& section, const std::string& key, std::int32_t value) const;
    void writeBool(const std::string& section, const std::string& key, bool value) const;
    void eraseSection(const std::string& section) const;
    void deleteKey(const std::string& section, const std::string& key) const;

    // The whole file, for changes made in one go on an IniDocument.
    std::string rawText() const;
    void writeRawText(const std::string& text) const;

private:
    std::string m_path;
};

// Parsed form of the file, exposed for the fuzz target and the writer.
struct IniDocument {
    struct Line {
        std::string text;    // the line as read, without its line end
        int section = -1;    // index into sections, -1 before the first header
        bool isHeader = false;
        std::string key;     // trimmed key of a "key=value" line, empty otherwise
        std::string value;   // raw value after '=', trimmed
    };
    std::vector<Line> lines;
    std::vector<std::string> sections; // names as written

    static IniDocument parse(const std::string& data);
    std::string serialize() const;
    int findSection(const std::string& name) const;

    // What IniFile reads and writes, on the document in memory.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    std::vector<std::pair<std::string, std::string>> sectionValues(const std::string& section) const;
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    bool eraseSection(const std::string& section); // true when something went
    bool deleteKey(const std::string& section, const std::string& key);
};

// Value with one pair of enclosing double quotes removed.
std::string unquoteIniValue(const std::string& raw);

} // namespace sheaf
