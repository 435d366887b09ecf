#include "html/batch.h"

#include "common/fsutil.h"
#include "common/preparedfile.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "html/t2h.h"
#include "project/outline.h"
#include "project/project.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace sheaf::html {

std::string batchFailureMessage(std::size_t lastConverted, const std::string& pagePath)
{
    return std::to_string(lastConverted) + " : " + fileNamePart(pagePath) +
           sjis::sj(" まで処理したところでエラーが発生しました");
}

namespace {

enum class PageKind { Convert, Missing, Tag1 };

struct PageJob {
    PageKind kind;
    const FILEDATA* item;
    std::string htmlPath;
    std::int64_t size = 0;
    fs::Target html = fs::Target::MayExist;
};

// What the converter threads hand to the thread that puts pages in place.
struct Slot {
    enum State { Pending, Ready, Failed } state = Pending;
    fs::PreparedFile file;
    std::string error;
};

} // namespace

BatchResult convertAll(const Outline& outline, const ProjectPaths& paths, const BatchHandler& handler)
{
    BatchResult result;
    if (!fs::exists(paths.htmlIniPath) && !(handler.continueWithoutSettings && handler.continueWithoutSettings())) {
        result.cancelled = true;
        return result;
    }
    const clsT2H converter(paths.htmlIniPath);
    result.settingsWarning = converter.settingsWarning();
    if (handler.start)
        handler.start(outline.size());

    // One look at each page file decides what happens to it.
    std::vector<PageJob> jobs;
    std::vector<std::size_t> work;
    jobs.reserve(outline.size());
    // One listing of the HTML folder spares a look at each HTML file that is not there yet.
    const auto htmlNames = fs::nativeNamesIn(paths.htmlFolder);
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FILEDATA* item = outline.nodeAt(i)->data;
        std::int64_t size = 0;
        const PageKind kind = fs::fileKind(item->sFileName, &size) != fs::FileKind::Regular ? PageKind::Missing
                              : item->bTag1                                                    ? PageKind::Tag1
                                                                                               : PageKind::Convert;
        jobs.push_back({kind, item, kind == PageKind::Convert ? HtmlFileName(paths.htmlFolder, item->sFileName) : "", size});
        if (kind == PageKind::Convert) {
            work.push_back(i);
            if (htmlNames && !htmlNames->contains(fs::toNative(fileNamePart(jobs.back().htmlPath))))
                jobs.back().html = fs::Target::Missing;
        }
    }

    static const std::string cannotWrite = sjis::sj("HTML ファイルを書き込めませんでした");
    std::vector<Slot> slots(jobs.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::condition_variable room;
    std::size_t awaitedSlot = SIZE_MAX;
    // Pages are converted at most kAhead pages ahead of the one being put in
    // place, so that a question on the calling thread holds no more than
    // that many prepared files (open ones among them) waiting.
    constexpr std::size_t kAhead = 64;
    std::size_t next = 0;  // the next of work to convert
    std::size_t placed = 0; // how many of work have been put in place or given up
    bool stop = false;
    const auto convertPages = [&](clsT2H pageConverter) {
        for (;;) {
            std::size_t k = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                room.wait(lock, [&] { return stop || next < placed + kAhead; });
                if (stop || next >= work.size())
                    return;
                k = next++;
            }
            const std::size_t i = work[k];
            Slot done;
            try {
                done.file = fs::prepareReplacementStreamed(
                    jobs[i].htmlPath, cannotWrite,
                    [&](const fs::ChunkWriter& write) { pageConverter.ConvertPageTo(jobs[i].item->sFileName, jobs[i].size, write); },
                    jobs[i].html);
                done.state = Slot::Ready;
            } catch (const std::exception& e) {
                done.state = Slot::Failed;
                done.error = e.what();
            }
            pageConverter.ClearPageStores();
            bool awaited = false;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                slots[i] = std::move(done);
                awaited = awaitedSlot == i;
            }
            if (awaited) // the putting-in-place thread sleeps only on the page it needs next
                ready.notify_one();
        }
    };
    std::size_t threads = handler.threads ? handler.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, std::max<std::size_t>(1, work.size()));
    std::vector<std::thread> pool;
    // However the loop below ends (a question may throw), the threads stop and
    // are joined, and pages converted ahead of the stop are not put in place.
    std::vector<bool> committed(jobs.size(), false);
    struct Stopper {
        std::mutex& mutex;
        std::condition_variable& room;
        bool& stop;
        std::vector<std::thread>& pool;
        std::vector<Slot>& slots;
        std::vector<bool>& committed;
        ~Stopper()
        {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                stop = true;
            }
            room.notify_all();
            for (auto& t : pool)
                t.join();
            for (std::size_t i = 0; i < slots.size(); ++i)
                if (slots[i].state == Slot::Ready && !committed[i])
                    fs::discardReplacement(slots[i].file);
        }
    } stopper{mutex, room, stop, pool, slots, committed};
    for (std::size_t t = 0; t < threads && !work.empty(); ++t)
        pool.emplace_back(convertPages, converter);

    std::size_t lastConverted = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const PageJob& job = jobs[i];
        if (job.kind == PageKind::Missing) {
            ++result.missing;
            if (!handler.ignoreMissingPage || !handler.ignoreMissingPage(fileNamePart(job.item->sFileName))) {
                result.aborted = true;
                break;
            }
            continue;
        }
        if (job.kind == PageKind::Tag1) {
            ++result.skippedTag1;
            continue;
        }
        Slot slot;
        {
            std::unique_lock<std::mutex> lock(mutex);
            awaitedSlot = i;
            ready.wait(lock, [&] { return slots[i].state != Slot::Pending; });
            awaitedSlot = SIZE_MAX;
            slot = std::move(slots[i]);
            ++placed;
        }
        room.notify_one();
        std::string error = slot.error;
        if (slot.state == Slot::Ready) {
            try {
                fs::commitReplacement(slot.file, job.htmlPath, cannotWrite);
                committed[i] = true;
            } catch (const std::exception& e) {
                error = e.what();
            }
        }
        if (!committed[i]) {
            if (handler.keepGoing) {
                result.failures.emplace_back(job.item->sFileName, error);
                continue;
            }
            result.failure = batchFailureMessage(lastConverted, job.item->sFileName);
            result.failureDetail = error;
            break;
        }
        lastConverted = i;
        ++result.converted;
        if (handler.step)
            handler.step();
    }
    return result;
}

std::optional<std::string> makePageLink(const Outline& outline, const std::string& text)
{
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const FILEDATA& item = *outline.nodeAt(i)->data;
        if (equalsNoCase(item.sTitle, text))
            return "<a href=\"" + changeExtension(fileNamePart(item.sFileName), ".htm") + "\">" + text + "</a>";
    }
    return std::nullopt;
}

} // namespace sheaf::html
