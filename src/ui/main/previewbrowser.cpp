#include "main/previewbrowser.h"

#include "common/fsutil.h"
#include "common/qtext.h"

#include <QFile>
#include <QTextDocument>

namespace sheaf::ui {

PreviewBrowser::PreviewBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenExternalLinks(true);
}

QVariant PreviewBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::HtmlResource && name.isLocalFile()) {
        QFile file(name.toLocalFile());
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            return qs(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        }
    }
    return QTextBrowser::loadResource(type, name);
}

} // namespace sheaf::ui
