#pragma once
// Converting every page of a project into the HTML folder, and the link
// from a selected text to the page of the same title.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sheaf {
class Outline;
struct ProjectPaths;
} // namespace sheaf

namespace sheaf::html {

// What the run asks of its caller.
struct BatchHandler {
    // The settings file is missing: true goes on with the defaults.
    std::function<bool()> continueWithoutSettings;
    // A page file is missing (file-name part given): true ignores it, false aborts.
    std::function<bool(const std::string& pageName)> ignoreMissingPage;
    // Called once before the first page with the number of nodes, then
    // after each converted page.
    std::function<void(std::size_t total)> start;
    std::function<void()> step;
    // Converter threads; 0: as many as the machine has cores.
    std::size_t threads = 0;
    // Go on after a page that fails (the command line's --keep-going); the
    // window stops at the first failure.
    bool keepGoing = false;
};

struct BatchResult {
    bool cancelled = false;  // the settings question was answered No
    bool aborted = false;    // a missing page was answered Abort
    std::size_t converted = 0;
    std::size_t skippedTag1 = 0;
    std::size_t missing = 0;
    // A failed page ends the run: the message to show and the failure's own text.
    std::optional<std::string> failure;
    std::string failureDetail;
    // With keepGoing: every failing page (its path) with the failure's text.
    std::vector<std::pair<std::string, std::string>> failures;
    std::string settingsWarning;
};

// Every node in tree order: missing pages are asked about, items with tag 1
// are skipped, the others are converted. The settings are read once; pages
// are converted on several threads, each with its own converter, and put in
// place strictly in tree order, so a failing page stops the run with the pages
// before it written and none after it. Questions and steps come in page order
// on the calling thread.
BatchResult convertAll(const Outline& outline, const ProjectPaths& paths, const BatchHandler& handler);

// The batch failure message: "4 : P0000009.txt まで処理したところでエラーが発生しました".
std::string batchFailureMessage(std::size_t lastConverted, const std::string& pagePath);

// <a href="P0000007.htm">text</a> for the first item in tree order whose title
// equals text without regard to case; nullopt when there is none.
std::optional<std::string> makePageLink(const Outline& outline, const std::string& text);

} // namespace sheaf::html
