#pragma once
// The project's conversion settings (the project path with ".ini").
#include <string>
#include <vector>

namespace sheaf::html {

struct HtmlSettings {
    std::vector<std::string> headerLines;
    std::vector<std::string> keywords;
    std::vector<std::string> searchStrings;
    std::vector<std::string> replaceStrings;
    int firstLineSize = 3;
    int headerLineSize = 4;
    int keywordLineSize = 4;
    std::string quoteImageFile;
};

// The two head lines used when the Header section has no keys.
const std::vector<std::string>& defaultHeaderLines();

// A missing file reads as empty: default head lines, levels 3, 4, 4.
HtmlSettings ReadSettings(const std::string& iniPath);

} // namespace sheaf::html
