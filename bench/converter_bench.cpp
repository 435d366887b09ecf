// The converter alone (MB/s of page text), and a whole project converted
// into its html folder next to the I/O floor: reading every page and writing
// the same bytes under its .htm name.
#include "projectgen.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/text.h"
#include "html/batch.h"
#include "html/t2h.h"
#include "project/project.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

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

void BM_BatchProject(benchmark::State& state)
{
    Project p;
    p.open(project().path);
    html::BatchHandler handler;
    handler.continueWithoutSettings = [] { return true; };
    handler.ignoreMissingPage = [](const std::string&) { return true; };
    for (auto _ : state) {
        const auto r = html::convertAll(p.outline, p.paths, handler);
        if (r.converted != kPages)
            state.SkipWithError("conversion failed");
    }
    state.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(kPages), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BatchProject)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IoFloor(benchmark::State& state)
{
    Project p;
    p.open(project().path);
    for (auto _ : state) {
        for (std::size_t i = 0; i < p.outline.size(); ++i) {
            const std::string& page = p.outline.nodeAt(i)->data->sFileName;
            const std::string text = fs::readFile(page, "read");
            std::ofstream(fs::toNative(HtmlFileName(p.paths.htmlFolder, page)), std::ios::binary) << text;
        }
    }
    state.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(kPages), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
