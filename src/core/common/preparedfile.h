#pragma once
// Output that can be made again (the HTML pages), put in place in two steps
// so that files can be prepared in parallel and committed in order.
#include <functional>
#include <string>
#include <string_view>

namespace sheaf::fs {

struct PreparedFile {
    std::string temporary; // native path; empty when the target already holds the data
    std::string target;    // native path
    bool replacesFile = false; // the target was a regular file when the data was prepared
    bool unchanged() const { return temporary.empty(); }
};

// The data is produced piece by piece (through a buffer), so that a large
// output is never held whole. While it matches the target's bytes nothing is
// written; once it differs, it goes to a temporary file beside the target (no
// sync). A target that already holds exactly the data is left as it is, its
// time included. An exception of produce removes the temporary file and goes
// on to the caller; a failed write throws SheafError(failureText(...)).
using ChunkWriter = std::function<void(std::string_view)>;
PreparedFile prepareReplacementStreamed(std::string_view path, const std::string& failureMessage,
                                        const std::function<void(const ChunkWriter&)>& produce);
// Renames the temporary file over the target (nothing for an unchanged one).
void commitReplacement(const PreparedFile& file, std::string_view path, const std::string& failureMessage);
// Removes the temporary file.
void discardReplacement(const PreparedFile& file);

} // namespace sheaf::fs
