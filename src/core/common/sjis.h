#pragma once
// Lossless code page 932 (Shift-JIS) codec.
//
// Core keeps text as the bytes that are on disk. Windows and the command line
// see it as Unicode through this codec, which guarantees that decoding any
// byte string and encoding the result gives the identical bytes back:
//  - codes that round-trip through the CP932 table decode to their character;
//  - the duplicate codes (NEC row 13, the NEC-selected IBM rows, the IBM rows)
//    decode to their character followed by a variation selector U+FE00 + k,
//    k counting the duplicates of that character, so they display as the
//    character and still encode back to their own bytes;
//  - every other byte from 0x80 up decodes to U+F780 + (byte - 0x80).
#include <cstddef>
#include <string>
#include <string_view>

namespace sheaf::sjis {

// True when b starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
inline bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::u16string toUtf16(std::string_view bytes);
std::string toUtf8(std::string_view bytes);

// Characters that have no Shift-JIS form become '?'; *unmappable (when given)
// receives how many did.
std::string fromUtf16(std::u16string_view text, std::size_t* unmappable = nullptr);
std::string fromUtf8(std::string_view text, std::size_t* unmappable = nullptr);

// Number of Shift-JIS bytes the text takes.
std::size_t byteLength(std::u16string_view text);

// Shift-JIS bytes of a UTF-8 literal from the source code.
inline std::string sj(std::string_view utf8) { return fromUtf8(utf8); }

} // namespace sheaf::sjis
