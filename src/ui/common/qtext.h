#pragma once
// Shift-JIS bytes of the core to and from the text that widgets show.
#include <QString>

#include <string>

namespace sheaf::ui {

// A UTF-8 literal of the source as text (captions and messages).
inline QString u8(const char* utf8) { return QString::fromUtf8(utf8); }

// Shift-JIS bytes as text (lossless: every byte string comes back unchanged).
QString qs(const std::string& sjis);
// Text as Shift-JIS bytes; characters that Shift-JIS cannot hold become '?'.
std::string sj(const QString& text, std::size_t* unmappable = nullptr);
// A file-system path (UTF-8 on disk) as the core's Shift-JIS path; throws
// SheafError when a character cannot be held.
std::string corePath(const QString& nativePath);
// The core's Shift-JIS path as a path for Qt's file functions.
QString nativePath(const std::string& sjisPath);
// "SHF3 ファイル|*.shf3|すべてのファイル|*.*" in Qt's form "SHF3 ファイル (*.shf3);;…".
QString dialogFilter(const QString& pipeFilter);

} // namespace sheaf::ui
