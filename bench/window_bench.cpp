// The main window on a 100,000-item project: opening it, and the tree
// commands a user repeats (next item, moves, add, delete), each with its page
// written and loaded as in real use. Runs offscreen.
#include "projectgen.h"

#include "common/interaction.h"
#include "main/sheafwindow.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>

#include <cstdlib>
#include <filesystem>

using namespace sheaf;

namespace {

constexpr std::size_t kItems = 100000;

struct Fixture {
    bench::ScratchFolder dir;
    std::string project;
    Fixture()
    {
        ::setenv("SHEAF3_HOME", (dir.path() + "/settings").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir.path() + "/data").c_str(), 1);
        project = bench::generateProject(dir.path(), "big", kItems, true, 512);
    }
};

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

// Answers every question with its default button.
class Quiet : public ui::Interaction {
public:
    ui::Button message(QWidget*, ui::MessageKind, const QString&, ui::Buttons, ui::Button d) override { return d; }
    QString openFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return {}; }
    bool setupPrinter(QWidget*, QPrinter&) override { return false; }
    QStringList openFiles(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QFont> chooseFont(QWidget*, const QFont&, bool) override { return std::nullopt; }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    int execDialog(QDialog&) override { return 0; }
};

std::unique_ptr<ui::TfrmSheaf> openWindow()
{
    auto w = std::make_unique<ui::TfrmSheaf>(QStringList{QString::fromStdString(fixture().project)});
    w->show();
    QApplication::processEvents();
    return w;
}

void BM_OpenProject(benchmark::State& state)
{
    fixture();
    for (auto _ : state) {
        auto w = openWindow();
        benchmark::DoNotOptimize(w.get());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["peak_rss_MiB"] = bench::peakRssMiB();
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void runCommand(benchmark::State& state, std::initializer_list<const char*> actions, std::size_t startIndex)
{
    auto w = openWindow();
    w->selectNode(w->project().outline.nodeAt(startIndex));
    for (auto _ : state) {
        for (const char* a : actions)
            w->action(QString::fromLatin1(a))->trigger();
        QApplication::processEvents();
    }
}

void BM_ShowNextItem(benchmark::State& state) { runCommand(state, {"actEditShowDown"}, 0); }
BENCHMARK(BM_ShowNextItem)->Unit(benchmark::kMicrosecond);

void BM_MoveDownAndUp(benchmark::State& state) { runCommand(state, {"actEditDown", "actEditUp"}, kItems / 2); }
BENCHMARK(BM_MoveDownAndUp)->Unit(benchmark::kMicrosecond);

void BM_AddAndDeleteItem(benchmark::State& state) { runCommand(state, {"actEditAdd", "actEditDelete"}, kItems / 2); }
BENCHMARK(BM_AddAndDeleteItem)->Unit(benchmark::kMicrosecond);

void BM_SaveProject(benchmark::State& state) { runCommand(state, {"actFileSaveAll"}, 0); }
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ui::setInteraction(std::make_unique<Quiet>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
