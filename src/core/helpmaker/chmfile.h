#pragma once
// Reading a compiled help file: its objects, its system record (default
// topic, contents and index file names) and the site maps of its contents
// and index.
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

namespace sheaf::help {

class ChmFile {
public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // False when the file cannot be opened as a compiled help file.
    bool open(const std::string& path);
    bool isOpen() const { return m_chm != nullptr; }
    // The bytes of an object ("/html/P0000001.htm"), nullopt when absent.
    std::optional<std::string> read(const std::string& objectPath) const;
    bool contains(const std::string& objectPath) const;

    // From the system record; "/"-rooted, empty when not recorded.
    std::string defaultTopic() const { return m_defaultTopic; }
    std::string contentsFile() const { return m_contents; }
    std::string indexFile() const { return m_index; }

private:
    ::chmFile* m_chm = nullptr;
    std::string m_defaultTopic;
    std::string m_contents;
    std::string m_index;
};

// One entry of a site map: its name, its page and its nesting depth (0 = top).
struct SitemapEntry {
    std::string name;
    std::string local;
    int depth = 0;
};
// Entries of a contents or index file, in order.
std::vector<SitemapEntry> parseSitemap(const std::string& text);

} // namespace sheaf::help
