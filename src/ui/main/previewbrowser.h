#pragma once
// The preview tab: shows the item's HTML page, which is Shift-JIS, decoded
// with the tool set's own codec (links to other pages decode the same way).
#include <QTextBrowser>

namespace sheaf::ui {

class PreviewBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit PreviewBrowser(QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;
};

} // namespace sheaf::ui
