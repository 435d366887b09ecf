#include "helpmaker/chmfile.h"

#include "common/fsutil.h"
#include "common/text.h"

#include <chm_lib.h>

#include <cstdint>

namespace sheaf::help {
namespace {

std::string rooted(std::string name)
{
    if (!name.empty() && name.front() != '/')
        name.insert(name.begin(), '/');
    return name;
}

std::uint16_t u16At(const std::string& s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// The value of name="..." or value="..." in a tag, from its position on.
std::string attribute(const std::string& tag, const std::string& key)
{
    const std::string lower = asciiLower(tag);
    const std::size_t at = lower.find(key + "=\"");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 2;
    const std::size_t end = tag.find('"', start);
    return tag.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

ChmFile::~ChmFile()
{
    if (m_chm)
        chm_close(m_chm);
}

bool ChmFile::open(const std::string& path)
{
    if (m_chm)
        chm_close(m_chm);
    m_chm = fs::isFile(path) ? chm_open(fs::toNative(path).c_str()) : nullptr;
    if (!m_chm)
        return false;
    // The system record: a version, then (code, length, data) entries.
    if (const auto system = read("/#SYSTEM")) {
        std::size_t at = 4;
        while (at + 4 <= system->size()) {
            const std::uint16_t code = u16At(*system, at);
            const std::uint16_t length = u16At(*system, at + 2);
            if (at + 4 + length > system->size())
                break;
            std::string data = system->substr(at + 4, length);
            if (const std::size_t nul = data.find('\0'); nul != std::string::npos)
                data.resize(nul);
            if (code == 0)
                m_contents = rooted(data);
            else if (code == 1)
                m_index = rooted(data);
            else if (code == 2)
                m_defaultTopic = rooted(data);
            at += 4 + length;
        }
    }
    return true;
}

std::optional<std::string> ChmFile::read(const std::string& objectPath) const
{
    if (!m_chm)
        return std::nullopt;
    chmUnitInfo info {};
    if (chm_resolve_object(m_chm, rooted(objectPath).c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    std::string data(static_cast<std::size_t>(info.length), '\0');
    const LONGINT64 got = chm_retrieve_object(m_chm, &info, reinterpret_cast<unsigned char*>(data.data()), 0,
                                              static_cast<LONGINT64>(info.length));
    if (got < 0)
        return std::nullopt;
    data.resize(static_cast<std::size_t>(got));
    return data;
}

bool ChmFile::contains(const std::string& objectPath) const
{
    chmUnitInfo info {};
    return m_chm && chm_resolve_object(m_chm, rooted(objectPath).c_str(), &info) == CHM_RESOLVE_SUCCESS;
}

std::vector<SitemapEntry> parseSitemap(const std::string& text)
{
    std::vector<SitemapEntry> entries;
    int depth = -1; // the outermost <UL> holds depth 0
    SitemapEntry current;
    bool inObject = false;
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        const std::size_t end = text.find('>', at);
        if (end == std::string::npos)
            break;
        const std::string tag = text.substr(at, end - at + 1);
        const std::string lower = asciiLower(tag);
        if (lower.rfind("<ul", 0) == 0) {
            ++depth;
        } else if (lower.rfind("</ul", 0) == 0) {
            --depth;
        } else if (lower.rfind("<object", 0) == 0 && lower.find("text/sitemap") != std::string::npos) {
            inObject = true;
            current = SitemapEntry{};
            current.depth = depth < 0 ? 0 : depth;
        } else if (inObject && lower.rfind("<param", 0) == 0) {
            const std::string name = asciiLower(attribute(tag, "name"));
            if (name == "name" && current.name.empty())
                current.name = attribute(tag, "value");
            else if (name == "local" && current.local.empty())
                current.local = attribute(tag, "value");
        } else if (inObject && lower.rfind("</object", 0) == 0) {
            inObject = false;
            entries.push_back(current);
        }
        at = end + 1;
    }
    return entries;
}

} // namespace sheaf::help
