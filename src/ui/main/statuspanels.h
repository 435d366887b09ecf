#pragma once
// The three owner-drawn panels of the main status bar: page file and serial,
// caret position, item position.
#include <QWidget>

namespace sheaf::ui {

class StatusPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
public:
    StatusPanel(QWidget* parent, bool centred);
    void setText(const QString& text);
    QString text() const { return m_text; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_text;
    bool m_centred;
};

// path shortened with "..." in place of whole folders so that it fits into
// width pixels of the given font: C:\doc\...\P0000001.txt
QString shortenPathToWidth(const QString& path, const QFontMetrics& metrics, int width);

} // namespace sheaf::ui
