// The page search on 10,000 pages of about 2 KB (20 MB) beside grep -lF on
// the same files, and the replacement of a text found in 1% of the pages
// beside its floor: reading every page once and rewriting the changed ones.
#include "projectgen.h"

#include "common/fsutil.h"
#include "common/sjis.h"
#include "project/createtree.h"
#include "project/outline.h"
#include "project/shffile.h"
#include "search/searchpages.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace sheaf;

namespace {

constexpr std::size_t kPages = 10000;

struct SearchProject {
    bench::ScratchFolder dir;
    std::string path;
    ItemList items;
    Outline outline;
    std::vector<std::string> files;
    SearchProject()
    {
        path = bench::generateProject(dir.path(), "big", kPages, true);
        CReadSHFFile(items, path).ReadFile(true);
        CCreateTree(outline).Execute(items);
        for (std::size_t i = 0; i < items.size(); ++i) {
            files.push_back(fs::toNative(items[i]->sFileName));
            // One page in a hundred holds the text that the replacement looks for.
            if (i % 100 == 0)
                std::ofstream(files.back(), std::ios::app | std::ios::binary) << "MARKER-ONE\r\n";
        }
    }
};

SearchProject& project()
{
    static SearchProject p;
    return p;
}

const std::string kAbsent = "zq-not-in-any-page";
const std::string kFolded = "HREF=\"P0009";   // in a few pages, found only without regard to case
const std::string kEverywhere = sjis::sj("見出し"); // in every page

void searchPages(benchmark::State& state, const std::string& text, bool matchCase)
{
    SearchProject& p = project();
    std::size_t found = 0;
    for (auto _ : state)
        found = search::SearchPages(p.outline, 0, p.outline.size() - 1, text, matchCase).found.size();
    state.counters["found"] = static_cast<double>(found);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 20 * 1024 * 1024);
}

void grepPages(benchmark::State& state, const std::string& text, bool ignoreCase)
{
    SearchProject& p = project();
    std::vector<char*> argv{const_cast<char*>("grep"), const_cast<char*>(ignoreCase ? "-liF" : "-lF"),
                            const_cast<char*>("--"), const_cast<char*>(text.c_str())};
    for (auto& f : p.files)
        argv.push_back(f.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "grep", &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("grep could not be started");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 20 * 1024 * 1024);
}

void BM_SearchAbsent(benchmark::State& s) { searchPages(s, kAbsent, true); }
void BM_GrepAbsent(benchmark::State& s) { grepPages(s, kAbsent, false); }
void BM_SearchFoldedAscii(benchmark::State& s) { searchPages(s, kFolded, false); }
void BM_GrepFoldedAscii(benchmark::State& s) { grepPages(s, kFolded, true); }
void BM_SearchEverywhere(benchmark::State& s) { searchPages(s, kEverywhere, true); }
void BM_GrepEverywhere(benchmark::State& s) { grepPages(s, kEverywhere, false); }

void BM_ReplaceOnePercent(benchmark::State& state)
{
    SearchProject& p = project();
    bool forward = true;
    std::size_t rewritten = 0;
    for (auto _ : state) {
        // Back and forth, so that every run finds the text in the same pages.
        const auto r = search::ReplacePages(p.outline, 0, p.outline.size() - 1, forward ? "MARKER-ONE" : "MARKER-TWO",
                                            forward ? "MARKER-TWO" : "MARKER-ONE", true);
        rewritten = r.rewritten.size();
        forward = !forward;
    }
    state.counters["rewritten"] = static_cast<double>(rewritten);
}

// The floor of the replacement: every page read once, the changed ones replaced atomically.
void BM_ReplaceFloor(benchmark::State& state)
{
    SearchProject& p = project();
    for (auto _ : state) {
        for (std::size_t i = 0; i < p.items.size(); ++i) {
            const auto text = fs::tryReadFile(p.items[i]->sFileName);
            if (i % 100 == 0 && text)
                fs::writeFileAtomic(p.items[i]->sFileName, *text, "floor");
        }
    }
}

} // namespace

BENCHMARK(BM_SearchAbsent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepAbsent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchFoldedAscii)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepFoldedAscii)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchEverywhere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepEverywhere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceOnePercent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
