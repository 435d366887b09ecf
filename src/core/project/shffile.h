#pragma once
// The binary project file. Current layout (".shf3"): records from offset 300,
// three tag bytes and three extra strings per record. Legacy layout (".shf",
// read only): records from offset 160, the tags packed into one byte.
#include "project/filedata.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sheaf {

class Outline;

inline constexpr std::size_t kHeaderSize = 300;
inline constexpr std::size_t kLegacyHeaderSize = 160;
inline constexpr std::size_t kHeaderFixedBytes = 56;
// Room for the three mark texts before the first record.
inline constexpr std::size_t kMarkTextBudget = kHeaderSize - kHeaderFixedBytes;

struct ProjectMark {
    std::int32_t serial = 0;
    std::string text;
};

struct PROJECTHEADER {
    std::int32_t nLeft = 0;
    std::int32_t nTop = 0;
    std::int32_t nWidth = 0;
    std::int32_t nHeight = 0;
    std::int32_t nTreeWidth = 0;
    std::int32_t nNextSerial = 0;
    std::int32_t nItemCount = 0;
    std::array<ProjectMark, 3> marks;
};

// Default hints of the three mark buttons, which are also the stored texts of unset marks.
const std::string& defaultMarkText(int mark); // mark 0..2

// The reader chooses the layout from the file name: current exactly when the
// extension, lower-cased, is ".shf3".
bool isCurrentLayoutPath(const std::string& path);

// Capacity preset for nItemCount records (none from 10000 on).
std::size_t presetCapacity(std::int32_t itemCount);

class CReadSHFFile {
public:
    // The main program and the help maker report an unreadable file with one
    // text, the maintenance utility with another.
    enum class Flavor { Main, Utility };

    CReadSHFFile(ItemList& items, std::string path, Flavor flavor = Flavor::Main);

    // Empties the item list and appends one record per item read. Answers true
    // when the whole file was read. On failure the records read so far stay in
    // the list, errorMessage() holds the text to show, and headerComplete()
    // tells whether the header fields may be applied.
    bool ReadFile(bool currentLayout);
    // The same on bytes already in memory.
    bool ReadData(std::string_view data, bool currentLayout);

    bool headerComplete() const { return m_headerComplete; }
    const std::string& errorMessage() const { return m_error; }
    const PROJECTHEADER& header() const { return m_header; }

    std::int32_t nLeft() const { return m_header.nLeft; }
    std::int32_t nTop() const { return m_header.nTop; }
    std::int32_t nWidth() const { return m_header.nWidth; }
    std::int32_t nHeight() const { return m_header.nHeight; }
    std::int32_t nTreeWidth() const { return m_header.nTreeWidth; }
    std::int32_t nNextSerial() const { return m_header.nNextSerial; }
    std::int32_t markSerial(int mark) const { return m_header.marks[mark].serial; }
    const std::string& markText(int mark) const { return m_header.marks[mark].text; }

private:
    ItemList& m_items;
    std::string m_path;
    Flavor m_flavor;
    PROJECTHEADER m_header;
    bool m_headerComplete = false;
    std::string m_error;
};

class CWriteSHF3File {
public:
    // A path ending in another extension (".shf") is written beside it as ".shf3".
    explicit CWriteSHF3File(const std::string& path);
    const std::string& path() const { return m_path; }

    // Writes the header and one record per node of the outline in pre-order,
    // with the node's depth as its level. Mark texts are shortened so that the
    // header ends before the first record. Throws SheafError on failure, with
    // the previous file left intact.
    void WriteFile(const PROJECTHEADER& header, const Outline& outline) const;

private:
    std::string m_path;
};

// Rewrites an existing project from an item list while keeping its first 300
// bytes (the help maker and the maintenance utility): records in list order
// with their stored levels. nextSerial, when given, is written at offset 24;
// toShf3 makes a legacy path be written as ".shf3" and the legacy file removed
// once the new one is in place. Answers the path written; throws SheafError.
std::string rewriteKeepingHeader(const std::string& path, const ItemList& items,
                                 std::optional<std::int32_t> nextSerial = std::nullopt, bool toShf3 = false);

// True when the file's first three bytes, lower-cased, are "shf". message
// receives the text to show when the file cannot be opened.
bool gCheckSHFFile(const std::string& path, std::string* message = nullptr);

// Bytes of one record in the current layout (for tests and the benchmark).
std::string encodeRecord(const FILEDATA& item, std::int32_t level);

} // namespace sheaf
