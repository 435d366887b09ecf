#pragma once
// A main window in a fresh settings folder, desktop and data folder, with
// scripted answers to its questions.
#include "common/sjis.h"
#include "main/outlinemodel.h"
#include "main/pageeditor.h"
#include "main/sheafwindow.h"
#include "project/pagefiles.h"
#include "support/scriptedinteraction.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace sheaf::test {

class UiTest : public testing::Test {
protected:
    TempDir home;
    ScriptedInteraction* script = nullptr;
    std::unique_ptr<ui::TfrmSheaf> window;

    void SetUp() override
    {
        ::setenv("SHEAF3_HOME", home.file("settings").c_str(), 1);
        ::setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
        ::setenv("HOME", home.path().c_str(), 1);
        std::filesystem::create_directories(home.file("Desktop"));
        std::filesystem::create_directories(home.file("settings"));
        auto s = std::make_unique<ScriptedInteraction>();
        script = s.get();
        ui::setInteraction(std::move(s));
    }

    void TearDown() override
    {
        if (window)
            window->close();
        window.reset();
        ui::setInteraction(nullptr);
    }

    ui::TfrmSheaf& start(const QStringList& args = {})
    {
        window = std::make_unique<ui::TfrmSheaf>(args);
        window->show();
        QApplication::processEvents();
        return *window;
    }

    template <typename T>
    T* widget(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    ui::PageEditor* textEditor() const { return widget<ui::PageEditor>("FEditorText"); }
    ui::PageEditor* htmlEditor() const { return widget<ui::PageEditor>("FEditorHtml"); }
    QTabWidget* pages() const { return widget<QTabWidget>("PageControl2"); }
    QTreeView* tree() const { return widget<QTreeView>("tvTree"); }
    void trigger(const char* actionName) { window->action(QString::fromLatin1(actionName))->trigger(); }
    OutlineNode* node(std::size_t index) const { return window->project().outline.nodeAt(index); }
    std::string title(std::size_t index) const { return node(index)->data->sTitle; }
    std::string titles() const
    {
        std::string out;
        const Outline& o = window->project().outline;
        for (std::size_t i = 0; i < o.size(); ++i)
            out += (i ? " " : "") + o.nodeAt(i)->data->sTitle + ":" + std::to_string(o.depth(o.nodeAt(i)));
        return out;
    }
};

// Writes a project whose items have the given levels and titles; each page
// file holds its title as first line. Answers the project path.
inline std::string writeProject(const TempDir& dir, const std::string& name, const std::vector<std::pair<int, std::string>>& items)
{
    const std::string path = dir.file(name + ".shf3");
    std::string data = "SHF3";
    auto put = [&](std::int32_t v) { data.append(reinterpret_cast<const char*>(&v), 4); };
    auto str = [&](const std::string& s) {
        put(static_cast<std::int32_t>(s.size()));
        data += s;
    };
    for (std::int32_t v : {100, 100, 870, 460, 180, static_cast<std::int32_t>(items.size() + 2),
                           static_cast<std::int32_t>(items.size())})
        put(v);
    for (int k = 0; k < 3; ++k) {
        put(0);
        str(sjis::sj(k == 0 ? "マーク１にジャンプ" : k == 1 ? "マーク２にジャンプ" : "マーク３にジャンプ"));
    }
    data.resize(300, '\0');
    int serial = 2;
    int n = 1;
    for (const auto& [level, itemTitle] : items) {
        const std::string page = dir.file(name + "/" + pageFileName(n++));
        writeBytes(page, itemTitle + "\r\nbody of " + itemTitle + "\r\n");
        data += std::string("\x01\x00\x00\x00\x00", 5);
        put(level);
        put(serial++);
        str("");
        str("");
        str("");
        str(page);
        str(itemTitle);
    }
    writeBytes(path, data);
    return path;
}

inline QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace sheaf::test
