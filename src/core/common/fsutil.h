#pragma once
// File system access with Shift-JIS paths. The file system itself names files
// in UTF-8, so every call converts the path at this one boundary.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <functional>
#include <unordered_set>
#include <vector>

namespace sheaf::fs {

// UTF-8 path for the operating system.
std::string toNative(std::string_view sjisPath);
// Shift-JIS path from an operating-system path; throws SheafError when the
// path holds a character that Shift-JIS cannot hold.
std::string fromNative(std::string_view nativePath);

// Largest file the readers take: project records, pages and settings all
// hold byte counts as 32-bit integers.
inline constexpr std::int64_t kMaxReadBytes = 0x7FFFFFFF;

enum class FileKind { Missing, Regular, Directory, Fifo, Device, Socket, Other };
// What the path names, symbolic links followed.
FileKind fileKind(std::string_view path, std::int64_t* size = nullptr);
// "ディレクトリです", "名前付きパイプ (FIFO) です", ... for a kind that is no regular file.
std::string fileKindText(FileKind kind);
// The system's reason for errno, in Japanese where one is common.
std::string reasonText(int err);
// message, the path and the reason on separate lines.
std::string failureText(const std::string& message, std::string_view path, const std::string& reason);

bool exists(std::string_view path);
bool isFile(std::string_view path);
bool isDirectory(std::string_view path);
// Size in bytes; 0 for a file that is missing or cannot be opened.
std::int64_t fileSize(std::string_view path);
// Last-write time as "YYYY/MM/DD hh:mm:ss" in local time; nullopt when missing.
std::optional<std::string> lastWriteText(std::string_view path);

// Files are read only when they are regular files of at most maxBytes; a
// FIFO or device never blocks the reader (it is opened without waiting).
// Whole file; throws SheafError(failureText(message, path, reason)) when it
// cannot be read.
std::string readFile(std::string_view path, const std::string& failureMessage,
                     std::int64_t maxBytes = kMaxReadBytes);
// Whole file, nullopt when it cannot be read; *reason (when given) says why.
std::optional<std::string> tryReadFile(std::string_view path, std::string* reason = nullptr,
                                       std::int64_t maxBytes = kMaxReadBytes);
// A file whose kind and size one look has just told: read without looking
// again (it may have grown or shrunk since; it is read to its end).
std::string readKnownFile(std::string_view path, std::int64_t size, const std::string& failureMessage);
// At most the first n bytes, nullopt when the file cannot be read.
std::optional<std::string> readPrefix(std::string_view path, std::size_t n, std::string* reason = nullptr);

// Replaces the file without ever leaving a half-written one: the data goes to
// a temporary file in the same folder, is flushed to disk and renamed over the
// target, and the folder is synced. A target without write permission, or one
// that is not a regular file, is refused; a symbolic link is followed, so the
// file it points at is replaced and the link stays. On failure the previous
// file is intact and SheafError(failureText(failureMessage, path, reason)) is
// thrown. Files that can be made again (the HTML pages) may skip the syncs:
// they are still never seen half written.
void writeFileAtomic(std::string_view path, std::string_view data, const std::string& failureMessage,
                     bool sync = true);

// The names (as the system spells them) of the entries of folder; nullopt
// when it cannot be listed.
std::optional<std::unordered_set<std::string>> nativeNamesIn(std::string_view folder);

// Temporary files of the atomic writes are named ".sheaf~XXXXXX~" + the
// target's name; a crash in the middle of a write may leave one behind.
bool isTemporaryName(std::string_view fileName);
// Removes the temporary files in folder; answers how many went.
std::size_t removeTemporaries(std::string_view folder);

// Creates a new file that must not exist yet; false when it exists or cannot be made.
bool createNewFile(std::string_view path, std::string_view data);

// Creates the folder and its missing parents; false when that fails.
bool makeDirectories(std::string_view path);
bool removeFile(std::string_view path);

// Makes a write past the process's file size limit fail with EFBIG, reported
// like any other failed write, instead of killing the program. Every program
// calls it first thing.
void ignoreFileSizeLimitSignal();
bool removeEmptyDirectory(std::string_view path);

} // namespace sheaf::fs
