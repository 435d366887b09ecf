#pragma once
// File system access with Shift-JIS paths. The file system itself names files
// in UTF-8, so every call converts the path at this one boundary.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sheaf::fs {

// UTF-8 path for the operating system.
std::string toNative(std::string_view sjisPath);
// Shift-JIS path from an operating-system path; throws SheafError when the
// path holds a character that Shift-JIS cannot hold.
std::string fromNative(std::string_view nativePath);

bool exists(std::string_view path);
bool isFile(std::string_view path);
bool isDirectory(std::string_view path);
// Size in bytes; 0 for a file that is missing or cannot be opened.
std::int64_t fileSize(std::string_view path);
// Last-write time as "YYYY/MM/DD hh:mm:ss" in local time; nullopt when missing.
std::optional<std::string> lastWriteText(std::string_view path);

// Whole file; throws SheafError(message) when it cannot be read.
std::string readFile(std::string_view path, const std::string& failureMessage);
// Whole file, nullopt when it cannot be read.
std::optional<std::string> tryReadFile(std::string_view path);
// At most the first n bytes, nullopt when the file cannot be read.
std::optional<std::string> readPrefix(std::string_view path, std::size_t n);

// Replaces the file without ever leaving a half-written one: the data goes to
// a temporary file in the same folder, is flushed to disk and renamed over the
// target, and the folder is synced. On failure the previous file is intact and
// SheafError(failureMessage) is thrown. Files that can be made again (the
// HTML pages) may skip the syncs: they are still never seen half written.
void writeFileAtomic(std::string_view path, std::string_view data, const std::string& failureMessage,
                     bool sync = true);

// Creates a new file that must not exist yet; false when it exists or cannot be made.
bool createNewFile(std::string_view path, std::string_view data);

// Creates the folder and its missing parents; false when that fails.
bool makeDirectories(std::string_view path);
bool removeFile(std::string_view path);

} // namespace sheaf::fs
