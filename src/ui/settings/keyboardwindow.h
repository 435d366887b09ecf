#pragma once
// The list of the main window's keyboard shortcuts (a window of its own;
// every request opens another).
#include <QWidget>

#include <string>
#include <vector>

class QPushButton;

namespace sheaf::ui {

class TfrmKeyboard : public QWidget {
    Q_OBJECT
public:
    TfrmKeyboard(QWidget* owner, std::string iniPath);
    ~TfrmKeyboard() override;

    // The rows as drawn: key text and description, empty rows included.
    static const std::vector<std::pair<const char*, const char*>>& rows();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    int lineHeight() const;
    std::string m_iniPath;
    QPushButton* m_ok;
};

} // namespace sheaf::ui
