#pragma once
// The help viewer: a window that shows a compiled help file, with its
// contents, its index (type to find) and its pages, back and forward.
#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

#include <memory>
#include <string>

class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace sheaf::help {
class ChmFile;
}

namespace sheaf::ui {

// Pages, style sheets and images come out of the compiled file; pages are
// Shift-JIS and decoded with the tool set's codec.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    ChmBrowser(QWidget* parent, const help::ChmFile& chm);
    QVariant loadResource(int type, const QUrl& name) override;

private:
    const help::ChmFile& m_chm;
};

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Throws SheafError when the file cannot be opened as a help file.
    HelpViewer(QWidget* parent, const std::string& chmPath);
    ~HelpViewer() override;

    // Shows the topic ("html/P0000131.htm"); an empty topic shows the default one.
    void showTopic(const QString& topic);
    QString currentTopic() const;
    QTreeWidget* contents() const { return m_contents; }
    QListWidget* index() const { return m_index; }
    QLineEdit* indexSearch() const { return m_indexSearch; }
    ChmBrowser* browser() const { return m_browser; }

private:
    void fillContents();
    void fillIndex();
    void findInIndex(const QString& text);

    std::unique_ptr<help::ChmFile> m_chm;
    QTreeWidget* m_contents = nullptr;
    QListWidget* m_index = nullptr;
    QLineEdit* m_indexSearch = nullptr;
    ChmBrowser* m_browser = nullptr;
};

// Every window's help object: bound to one help file, it opens the viewer
// at a topic. A missing or unreadable file gives a message, never a crash.
class CHtmlHelp {
public:
    void HelpFile(const std::string& path);
    const std::string& helpFile() const { return m_path; }
    void ShowTopic(QWidget* owner, const QString& topic);
    HelpViewer* viewer() const { return m_viewer; }

private:
    std::string m_path;
    QPointer<HelpViewer> m_viewer;
};

} // namespace sheaf::ui
