#include "html/batch.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/t2h.h"
#include "project/outline.h"
#include "project/project.h"

namespace sheaf::html {

std::string batchFailureMessage(std::size_t lastConverted, const std::string& pagePath)
{
    return std::to_string(lastConverted) + " : " + fileNamePart(pagePath) +
           sjis::sj(" まで処理したところでエラーが発生しました");
}

BatchResult convertAll(const Outline& outline, const ProjectPaths& paths, const BatchHandler& handler)
{
    BatchResult result;
    if (!fs::exists(paths.htmlIniPath) && !(handler.continueWithoutSettings && handler.continueWithoutSettings())) {
        result.cancelled = true;
        return result;
    }
    clsT2H converter(paths.htmlIniPath);
    result.settingsWarning = converter.settingsWarning();
    if (handler.start)
        handler.start(outline.size());

    std::size_t lastConverted = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FILEDATA& item = *outline.nodeAt(i)->data;
        if (!fs::isFile(item.sFileName)) {
            ++result.missing;
            if (!handler.ignoreMissingPage || !handler.ignoreMissingPage(fileNamePart(item.sFileName))) {
                result.aborted = true;
                break;
            }
            continue;
        }
        if (item.bTag1) {
            ++result.skippedTag1;
            continue;
        }
        try {
            converter.ConvertFile(item.sFileName, HtmlFileName(paths.htmlFolder, item.sFileName));
        } catch (const std::exception& e) {
            converter.ClearPageStores();
            result.failure = batchFailureMessage(lastConverted, item.sFileName);
            result.failureDetail = e.what();
            break;
        }
        converter.ClearPageStores();
        lastConverted = i;
        ++result.converted;
        if (handler.step)
            handler.step();
    }
    return result;
}

std::optional<std::string> makePageLink(const Outline& outline, const std::string& text)
{
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FILEDATA& item = *outline.nodeAt(i)->data;
        if (equalsNoCase(item.sTitle, text))
            return "<a href=\"" + changeExtension(fileNamePart(item.sFileName), ".htm") + "\">" + text + "</a>";
    }
    return std::nullopt;
}

} // namespace sheaf::html
