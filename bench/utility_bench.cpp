// The maintenance utility on a 100,000-item project: listing, both checks,
// renumbering with the page files on disk, and moving unused files away.
#include "projectgen.h"

#include "common/fsutil.h"
#include "project/shffile.h"
#include "utility/itemlisting.h"
#include "utility/maintenance.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

using namespace sheaf;

namespace {

constexpr std::size_t kItems = 100000;

struct UtilityProject {
    bench::ScratchFolder dir;
    std::string path = bench::generateProject(dir.path(), "huge", kItems, true, 64);
};

UtilityProject& project()
{
    static UtilityProject p;
    return p;
}

void BM_Listing(benchmark::State& state)
{
    const ItemList items = utility::readProject(project().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(listItems(items));
    state.counters["peak_MiB"] = bench::peakRssMiB();
}

void BM_DuplicateChecks(benchmark::State& state)
{
    const ItemList items = utility::readProject(project().path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(duplicateFileNames(items));
        benchmark::DoNotOptimize(duplicateSerials(items));
    }
}

void BM_Renumber(benchmark::State& state)
{
    bool flip = false;
    for (auto _ : state) {
        utility::renumber(project().path, flip ? "VA" : "VB", 1);
        flip = !flip;
    }
    state.counters["peak_MiB"] = bench::peakRssMiB();
}

void BM_RemoveUnneeded(benchmark::State& state)
{
    const std::string folder = project().dir.path() + "/huge";
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 100; ++i)
            std::ofstream(fs::toNative(folder + "/unused" + std::to_string(i) + ".txt")) << "x";
        std::filesystem::remove_all(fs::toNative(utility::backupFolderFor(project().path)));
        state.ResumeTiming();
        const auto r = utility::moveUnneededFiles(project().path, folder);
        if (r.moved.size() != 100)
            state.SkipWithError("wrong files moved");
    }
}

} // namespace

BENCHMARK(BM_Listing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DuplicateChecks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Renumber)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_RemoveUnneeded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_MAIN();
