#include "common/paths.h"

#include "common/sjis.h"
#include "common/text.h"

#include <vector>

namespace sheaf {

size_t lastSeparator(std::string_view path)
{
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (sjis::isLeadByte(b) && i + 1 < path.size())
            ++i;
        else if (isSeparator(path[i]))
            last = i;
    }
    return last;
}

std::string fileNamePart(std::string_view path)
{
    const size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folderPart(std::string_view path)
{
    size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    if (sep == 0)
        return std::string(1, path[0]);
    return std::string(path.substr(0, sep));
}

namespace {
// Position of the extension's dot within path, npos when the name has none.
size_t extensionDot(std::string_view path)
{
    const size_t sep = lastSeparator(path);
    const size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart)
        return std::string_view::npos;
    return dot;
}
} // namespace

std::string BaseName(std::string_view path)
{
    std::string name = fileNamePart(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

std::string extensionOf(std::string_view path)
{
    const size_t dot = extensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string extensionLower(std::string_view path) { return asciiLower(extensionOf(path)); }

std::string changeExtension(std::string_view path, std::string_view ext)
{
    const size_t dot = extensionDot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot)) + std::string(ext);
}

std::string joinPath(std::string_view folder, std::string_view name)
{
    while (folder.size() > 1 && isSeparator(folder.back()))
        folder.remove_suffix(1);
    if (folder == "/")
        return "/" + std::string(name);
    return std::string(folder) + kPathSeparator + std::string(name);
}

std::string HtmlFileName(std::string_view folder, std::string_view pagePath)
{
    return joinPath(folder, changeExtension(fileNamePart(pagePath), ".htm"));
}

std::string shortenFolder(std::string_view path)
{
    if (path.size() <= 2)
        return std::string(path);
    // Components are separated by path separators and blanks, as a comma text
    // would be split; a run of blanks separates once.
    std::vector<std::string> parts;
    std::string current;
    bool inBlank = false;
    for (size_t i = 0; i < path.size() && parts.size() < 2; ++i) {
        const char c = path[i];
        const auto b = static_cast<unsigned char>(c);
        if (sjis::isLeadByte(b) && i + 1 < path.size()) {
            current.push_back(c);
            current.push_back(path[++i]);
            inBlank = false;
        } else if (isSeparator(c)) {
            parts.push_back(current);
            current.clear();
            inBlank = false;
        } else if (b <= 0x20) {
            if (!inBlank && !current.empty()) {
                parts.push_back(current);
                current.clear();
            }
            inBlank = true;
        } else {
            current.push_back(c);
            inBlank = false;
        }
    }
    if (parts.size() < 2 && !current.empty())
        parts.push_back(current);
    if (parts.size() == 1)
        return parts[0];
    // The separator between the two parts is the one the path uses.
    const char sep = path.find('\\') != std::string_view::npos && path.find('/') == std::string_view::npos ? '\\' : '/';
    return parts[0] + sep + parts[1];
}

} // namespace sheaf
