// The converter alone (MB/s of page text), and a whole project converted
// into its html folder next to the I/O floor: reading every page and writing
// the same bytes under its .htm name.
#include "projectgen.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/batch.h"
#include "html/t2h.h"
#include "project/project.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sheaf;

namespace {

constexpr std::size_t kPages = 10000;

struct BenchProject {
    bench::ScratchFolder dir;
    std::string path = bench::generateProject(dir.path(), "big", kPages, true);
};

const BenchProject& project()
{
    static const BenchProject p;
    return p;
}

void BM_ConvertPages(benchmark::State& state)
{
    std::vector<std::vector<std::string>> pages;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < 200; ++i) {
        const std::string text = bench::generatePage(i, 200, 2048);
        bytes += text.size();
        pages.push_back(splitLines(text));
    }
    html::clsT2H converter("/nonexistent/settings.ini");
    std::vector<std::string> result;
    for (auto _ : state) {
        for (const auto& page : pages) {
            converter.ConvertLines(page, result);
            converter.ClearPageStores();
        }
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ConvertPages)->Unit(benchmark::kMillisecond);

void BM_ConvertOneMegabyteLine(benchmark::State& state)
{
    std::string line;
    while (line.size() < (1 << 20))
        line += "<a href=\"P0000001.htm\">link</a> text & <b>bold</b> <images/a.gif> ";
    const std::vector<std::string> page{"T", line};
    html::clsT2H converter("/nonexistent/settings.ini");
    std::vector<std::string> result;
    for (auto _ : state) {
        converter.ConvertLines(page, result);
        converter.ClearPageStores();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_ConvertOneMegabyteLine)->Unit(benchmark::kMillisecond);

// The whole project into its html folder, on 1 or 2 converter threads, as a
// run finds the folder: 0 every page's HTML already there and current (a
// second run without edits), 1 every page's HTML there but different (each
// is replaced), 2 an empty folder (a first run).
void BM_BatchProject(benchmark::State& state)
{
    Project p;
    p.open(project().path);
    html::BatchHandler handler;
    handler.continueWithoutSettings = [] { return true; };
    handler.ignoreMissingPage = [](const std::string&) { return true; };
    handler.threads = static_cast<std::size_t>(state.range(0));
    const auto folderAsFound = [&] {
        for (const auto& e : std::filesystem::directory_iterator(fs::toNative(p.paths.htmlFolder))) {
            if (e.path().extension() != ".htm")
                continue;
            if (state.range(1) == 2)
                std::filesystem::remove(e.path());
            else if (state.range(1) == 1)
                std::ofstream(e.path(), std::ios::binary) << "old";
        }
    };
    html::convertAll(p.outline, p.paths, handler);
    for (auto _ : state) {
        state.PauseTiming();
        folderAsFound();
        ::sync(); // the pause's own writes are not charged to the run
        state.ResumeTiming();
        const auto r = html::convertAll(p.outline, p.paths, handler);
        if (r.converted != kPages)
            state.SkipWithError("conversion failed");
    }
    state.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(kPages), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BatchProject)
    ->ArgNames({"threads", "folder"})
    ->ArgsProduct({{1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floors of the batch, single-threaded: every page read and written
// under its .htm name into a fresh folder (files that do not exist yet, as a
// first conversion finds them), the same with the atomic replace, and written
// over files of other content that are there already (their blocks are freed,
// as a run that changes every page must free them).
enum class Floor { Fresh, Atomic, Overwrite };
void ioFloor(benchmark::State& state, Floor floor)
{
    Project p;
    p.open(project().path);
    std::size_t run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string folder = p.paths.htmlFolder + "/floor" + std::to_string(run++);
        std::filesystem::create_directories(fs::toNative(folder));
        if (floor == Floor::Overwrite)
            for (std::size_t i = 0; i < p.outline.size(); ++i)
                std::ofstream(fs::toNative(HtmlFileName(folder, p.outline.nodeAt(i)->data->sFileName)), std::ios::binary) << "old";
        ::sync();
        state.ResumeTiming();
        for (std::size_t i = 0; i < p.outline.size(); ++i) {
            const std::string& page = p.outline.nodeAt(i)->data->sFileName;
            const std::string text = fs::readFile(page, "read");
            const std::string target = HtmlFileName(folder, page);
            if (floor == Floor::Atomic)
                fs::writeFileAtomic(target, text, "write", false);
            else
                std::ofstream(fs::toNative(target), std::ios::binary) << text;
        }
        state.PauseTiming();
        std::filesystem::remove_all(fs::toNative(folder));
        state.ResumeTiming();
    }
    state.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(kPages), benchmark::Counter::kIsIterationInvariantRate);
}
void BM_IoFloorFreshFolder(benchmark::State& state) { ioFloor(state, Floor::Fresh); }
void BM_IoFloorAtomicReplace(benchmark::State& state) { ioFloor(state, Floor::Atomic); }
void BM_IoFloorOverwrite(benchmark::State& state) { ioFloor(state, Floor::Overwrite); }
BENCHMARK(BM_IoFloorFreshFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IoFloorAtomicReplace)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IoFloorOverwrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak memory of converting one large page (the size in MiB is the first
// argument; the second 1 puts the whole body in one preformatted block), in
// a child process of its own: peak_per_page is the child's peak resident size
// above what it started with, divided by the page's size.
std::string largePage(std::size_t bytes, bool preformatted)
{
    const auto sj = [](const char* s) { return sjis::sj(s); };
    const std::string kinds[] = {
        sj("本文の行です。テキスト"), sj("・項目 <b>太字</b> です"), sj("1. 手順を行う"),
        sj("A & B < C の比較"),       sj("名前\t値"),              sj("<a href=\"P0000001.htm\">リンク</a>"),
    };
    std::string page = sj("大きなページ") + "\r\n" + (preformatted ? "<pre>\r\n" : "");
    for (std::size_t i = 0; page.size() < bytes; ++i)
        page += kinds[i % 6] + " " + std::to_string(i) + "\r\n";
    return page + (preformatted ? "</pre>\r\n" : "");
}

std::size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

void BM_LargePageMemory(benchmark::State& state)
{
    bench::ScratchFolder dir;
    const std::string path = bench::generateProject(dir.path(), "large", 1, false);
    Project p;
    p.open(path);
    std::size_t pageBytes = 0;
    {
        const std::string page = largePage(static_cast<std::size_t>(state.range(0)) << 20, state.range(1) != 0);
        pageBytes = page.size();
        std::ofstream(fs::toNative(p.outline.nodeAt(0)->data->sFileName), std::ios::binary) << page;
    }
    html::BatchHandler handler;
    handler.continueWithoutSettings = [] { return true; };
    double ratio = 0;
    for (auto _ : state) {
        const std::size_t before = residentBytes();
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(html::convertAll(p.outline, p.paths, handler).converted == 1 ? 0 : 1);
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("conversion failed");
        ratio = (static_cast<double>(usage.ru_maxrss) * 1024 - static_cast<double>(before)) / static_cast<double>(pageBytes);
    }
    state.counters["page_MiB"] = static_cast<double>(pageBytes) / (1 << 20);
    state.counters["peak_per_page"] = ratio;
}
BENCHMARK(BM_LargePageMemory)->Args({200, 0})->Args({200, 1})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
