#include "reports/outputs.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"

#include <cstdio>

namespace sheaf::reports {

std::vector<std::string> sizeReport(const Outline& outline)
{
    std::vector<const OutlineNode*> tops;
    std::size_t width = 0;
    for (const OutlineNode* n : outline.children(nullptr)) {
        tops.push_back(n);
        width = std::max(width, n->data->sTitle.size());
    }
    width += 4;
    std::vector<std::string> lines;
    std::int64_t total = 0;
    for (const OutlineNode* n : tops) {
        std::int64_t size = 0;
        const std::size_t first = outline.indexOf(n);
        const std::size_t last = outline.lastIndexOfSubtree(n);
        for (std::size_t i = first; i <= last; ++i)
            size += fs::fileSize(outline.nodeAt(i)->data->sFileName);
        total += size;
        std::string title = n->data->sTitle;
        title.resize(width, ' ');
        char column[64];
        std::snprintf(column, sizeof column, "%10s", formatNumber(size).c_str());
        lines.push_back(title + "\t" + column);
    }
    lines.emplace_back(" ");
    lines.push_back(sjis::sj("合計バイト数\t\t") + formatNumber(total));
    return lines;
}

std::string outputPath(const std::string& projectPath, Output kind)
{
    const char* suffix = kind == Output::Titles ? "_Node.txt" : kind == Output::AllPages ? "_All.txt" : "_PathList.txt";
    return joinPath(folderPart(projectPath), BaseName(projectPath) + suffix);
}

std::string sizeReportPath(const std::string& projectPath)
{
    return joinPath(folderPart(projectPath), BaseName(projectPath) + "_Size.txt");
}

std::string outputText(const Outline& outline, Output kind)
{
    std::string out;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const OutlineNode* node = outline.nodeAt(i);
        switch (kind) {
        case Output::Titles:
            out.append(static_cast<std::size_t>(outline.depth(node)), '\t');
            out += node->data->sTitle + "\r\n";
            break;
        case Output::PathList: {
            std::string quoted = "\"";
            for (char c : node->data->sFileName)
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            out += quoted + "\"\r\n";
            break;
        }
        case Output::AllPages: {
            const std::string text = fs::readFile(node->data->sFileName, sjis::sj("ページファイルを読み込めませんでした"));
            for (const auto& line : splitLines(text))
                out += line + "\r\n";
            // One more line that itself holds a line break: two empty lines after every page.
            out += "\r\n\r\n";
            break;
        }
        }
    }
    return out;
}

std::string writeOutput(const std::string& projectPath, const Outline& outline, Output kind)
{
    const std::string path = outputPath(projectPath, kind);
    fs::writeFileAtomic(path, outputText(outline, kind), sjis::sj("ファイルに出力できませんでした"));
    return path;
}

} // namespace sheaf::reports
