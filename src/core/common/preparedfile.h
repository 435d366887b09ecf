#pragma once
// Output that can be made again (the HTML pages), put in place in two steps
// so that files can be prepared in parallel and committed in order.
#include <functional>
#include <string>
#include <string_view>

namespace sheaf::fs {

// The data on its way: in a temporary file beside the target, or (where the
// system has them) in an unnamed file of the target's folder that gets a
// name only when it is put in place, so that nothing is left if the program
// dies first. Neither means the target already holds the data.
class PreparedFile {
public:
    PreparedFile() = default;
    PreparedFile(std::string target, std::string temporary, int descriptor, bool replacesFile);
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&& other) noexcept;
    ~PreparedFile(); // an unnamed file not put in place vanishes
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;

    bool unchanged() const { return m_temporary.empty() && m_descriptor < 0; }

private:
    friend void commitReplacement(PreparedFile&, std::string_view, const std::string&);
    friend void discardReplacement(PreparedFile&);
    void release();

    std::string m_target;    // native path
    std::string m_temporary; // native path of the temporary file, or empty
    int m_descriptor = -1;   // the unnamed file, or -1
    bool m_replacesFile = false; // the target was a regular file when the data was prepared
};

// The data is produced piece by piece (through a buffer), so that a large
// output is never held whole. While it matches the target's bytes nothing is
// written; once it differs, it goes to a temporary file beside the target (no
// sync). A target that already holds exactly the data is left as it is, its
// time included. An exception of produce removes the temporary file and goes
// on to the caller; a failed write throws SheafError(failureText(...)).
// A caller that has just listed the folder may tell that the target is not
// there, which spares the look at it (should it appear meanwhile, it is
// still replaced whole).
using ChunkWriter = std::function<void(std::string_view)>;
enum class Target { MayExist, Missing };
PreparedFile prepareReplacementStreamed(std::string_view path, const std::string& failureMessage,
                                        const std::function<void(const ChunkWriter&)>& produce,
                                        Target target = Target::MayExist);
// Puts the data in place (nothing for an unchanged one); afterwards the
// prepared file is empty.
void commitReplacement(PreparedFile& file, std::string_view path, const std::string& failureMessage);
// Removes the temporary file.
void discardReplacement(PreparedFile& file);

} // namespace sheaf::fs
