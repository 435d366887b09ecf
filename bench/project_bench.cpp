// Writing, reading and building the outline of a 100,000-item project.
#include "projectgen.h"

#include "project/createtree.h"
#include "project/outline.h"
#include "project/shffile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace sheaf;

namespace {

constexpr std::size_t kItems = 100000;

const std::string& benchFolder()
{
    static const bench::ScratchFolder folder;
    return folder.path();
}

PROJECTHEADER header()
{
    PROJECTHEADER h;
    for (int k = 0; k < 3; ++k)
        h.marks[static_cast<std::size_t>(k)].text = defaultMarkText(k);
    return h;
}

void reportMemory(benchmark::State& state) { state.counters["peak_rss_MiB"] = bench::peakRssMiB(); }

void BM_WriteProject(benchmark::State& state)
{
    ItemList items = bench::generateItems(kItems, benchFolder() + "/big");
    Outline outline;
    CCreateTree(outline).Execute(items);
    const std::string path = benchFolder() + "/big.shf3";
    for (auto _ : state)
        CWriteSHF3File(path).WriteFile(header(), outline);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kItems));
    reportMemory(state);
}
BENCHMARK(BM_WriteProject)->Unit(benchmark::kMillisecond);

void BM_ReadProject(benchmark::State& state)
{
    const std::string path = benchFolder() + "/big.shf3";
    for (auto _ : state) {
        ItemList items;
        CReadSHFFile reader(items, path);
        if (!reader.ReadFile(true) || items.size() != kItems)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kItems));
    reportMemory(state);
}
BENCHMARK(BM_ReadProject)->Unit(benchmark::kMillisecond);

void BM_BuildOutline(benchmark::State& state)
{
    ItemList items = bench::generateItems(kItems, "/pages");
    for (auto _ : state) {
        Outline outline;
        CCreateTree(outline).Execute(items);
        benchmark::DoNotOptimize(outline.nodeAt(kItems - 1));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kItems));
    reportMemory(state);
}
BENCHMARK(BM_BuildOutline)->Unit(benchmark::kMillisecond);

// The common tree edits on a large outline: each is one structural change plus
// the index look-up that follows it.
void BM_MoveAndLookUp(benchmark::State& state)
{
    ItemList items = bench::generateItems(kItems, "/pages");
    Outline outline;
    CCreateTree(outline).Execute(items);
    OutlineNode* node = outline.nodeAt(kItems / 2);
    bool down = true;
    for (auto _ : state) {
        if (!(down ? outline.moveDown(node) : outline.moveUp(node)))
            down = !down;
        benchmark::DoNotOptimize(outline.indexOf(node));
    }
    reportMemory(state);
}
BENCHMARK(BM_MoveAndLookUp)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
