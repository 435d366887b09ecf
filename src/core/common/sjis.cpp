#include "common/sjis.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace sheaf::sjis {
namespace {

constexpr char32_t kRawBase = 0xF780;      // undecodable byte b -> kRawBase + (b - 0x80)
constexpr char32_t kSelectorBase = 0xFE00; // variation selectors mark duplicate codes
constexpr char32_t kNone = 0;

struct Tables {
    // Decoding: single bytes, then pairs indexed by (lead << 8 | trail).
    std::array<char32_t, 256> single{};
    std::vector<char32_t> pair = std::vector<char32_t>(65536, kNone);
    std::vector<uint8_t> pairSelector = std::vector<uint8_t>(65536, 0); // 0 = none, k+1 = U+FE00+k
    // Encoding of BMP characters: 0 = none; values < 0x100 are single bytes.
    std::vector<uint16_t> encode = std::vector<uint16_t>(65536, 0);
    // Encoding of a character followed by U+FE00 + k: key (ch << 8 | k).
    std::unordered_map<uint32_t, uint16_t> duplicates;
};

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv: CP932 is not available");
    }
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts one unit; answers the output bytes, empty when refused.
    std::string convert(const std::string& in)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(16, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0)
            return {};
        if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1))
            return {};
        out.resize(out.size() - dstLeft);
        return out;
    }

private:
    iconv_t m_cd;
};

char32_t fromUtf32Le(const std::string& s)
{
    if (s.size() != 4)
        return kNone;
    return static_cast<char32_t>(static_cast<unsigned char>(s[0]) | static_cast<unsigned char>(s[1]) << 8 |
                                 static_cast<unsigned char>(s[2]) << 16 |
                                 static_cast<unsigned char>(s[3]) << 24);
}

std::string toUtf32Le(char32_t c)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    return s;
}

bool isTrailByte(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

std::unique_ptr<Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    Iconv dec("UTF-32LE", "CP932");
    Iconv enc("CP932", "UTF-32LE");

    auto roundTrips = [&](const std::string& bytes, char32_t c) {
        return c != kNone && c < 0x10000 && enc.convert(toUtf32Le(c)) == bytes;
    };

    for (unsigned b = 0; b < 256; ++b) {
        const std::string bytes(1, static_cast<char>(b));
        const char32_t c = isLeadByte(static_cast<unsigned char>(b)) ? kNone : fromUtf32Le(dec.convert(bytes));
        if (b < 0x80 || (roundTrips(bytes, c) && !(c >= kRawBase && c < kRawBase + 0x80))) {
            t->single[b] = b < 0x80 ? b : c;
            t->encode[t->single[b]] = static_cast<uint16_t>(b);
        } else {
            t->single[b] = kRawBase + (b - 0x80);
        }
    }
    for (unsigned b = 0x80; b < 256; ++b)
        t->encode[kRawBase + (b - 0x80)] = static_cast<uint16_t>(b);

    // Duplicates are numbered per character in byte order.
    std::unordered_map<char32_t, uint8_t> duplicateCount;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrailByte(trail))
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const char32_t c = fromUtf32Le(dec.convert(bytes));
            if (c == kNone || c >= 0x10000 || (c >= kRawBase && c < kRawBase + 0x80) ||
                (c >= kSelectorBase && c < kSelectorBase + 16))
                continue;
            const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
            if (roundTrips(bytes, c)) {
                t->pair[code] = c;
                t->encode[c] = code;
            } else {
                const uint8_t k = duplicateCount[c]++;
                t->pair[code] = c;
                t->pairSelector[code] = static_cast<uint8_t>(k + 1);
                t->duplicates[static_cast<uint32_t>(c) << 8 | k] = code;
            }
        }
    }
    // What input methods type: characters the code page encodes although its
    // bytes decode to another character (U+301C WAVE DASH -> 81 60, which
    // decodes to U+FF5E). They are taken when encoding only, so stored bytes
    // still decode and encode back to themselves.
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (t->encode[c] != 0 || (c >= 0xD800 && c < 0xE000) || (c >= kRawBase && c < kRawBase + 0x80) ||
            (c >= kSelectorBase && c < kSelectorBase + 16))
            continue;
        const std::string bytes = enc.convert(toUtf32Le(c));
        if (bytes.size() == 1)
            t->encode[c] = static_cast<uint8_t>(bytes[0]);
        else if (bytes.size() == 2)
            t->encode[c] = static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 | static_cast<uint8_t>(bytes[1]));
    }
    return t;
}

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = buildTables();
    return *t;
}

// Walks the bytes and hands each decoded code point to emit.
template <typename Emit>
void decode(std::string_view bytes, Emit&& emit)
{
    const Tables& t = tables();
    const size_t n = bytes.size();
    for (size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            emit(static_cast<char32_t>(b));
            continue;
        }
        if (isLeadByte(b) && i + 1 < n) {
            const auto code = static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(bytes[i + 1]));
            if (const char32_t c = t.pair[code]; c != kNone) {
                emit(c);
                if (const uint8_t sel = t.pairSelector[code])
                    emit(kSelectorBase + (sel - 1));
                ++i;
                continue;
            }
        }
        emit(t.single[b]);
    }
}

constexpr char32_t kEnd = 0x110000; // end of input; U+0000 is a real character

// Encodes a sequence of code points; next() answers the next code point, or
// kEnd after the last.
template <typename Next>
std::string encode(size_t sizeHint, Next&& next, size_t* unmappable)
{
    const Tables& t = tables();
    std::string out;
    out.reserve(sizeHint);
    size_t bad = 0;
    char32_t pending = next();
    while (pending != kEnd) {
        const char32_t c = pending;
        pending = next();
        if (pending >= kSelectorBase && pending < kSelectorBase + 16 && c < 0x10000) {
            const auto it = t.duplicates.find(static_cast<uint32_t>(c) << 8 | (pending - kSelectorBase));
            if (it != t.duplicates.end()) {
                out.push_back(static_cast<char>(it->second >> 8));
                out.push_back(static_cast<char>(it->second & 0xFF));
                pending = next();
                continue;
            }
        }
        const uint16_t code = c < 0x10000 ? t.encode[c] : 0;
        if (code == 0 && c != 0) {
            out.push_back('?');
            ++bad;
        } else if (code < 0x100) {
            out.push_back(static_cast<char>(code));
        } else {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        }
    }
    if (unmappable)
        *unmappable = bad;
    return out;
}

} // namespace

std::u16string toUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    decode(bytes, [&](char32_t c) { out.push_back(static_cast<char16_t>(c)); });
    return out;
}

namespace {
bool isAscii(std::string_view s)
{
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
} // namespace

std::string toUtf8(std::string_view bytes)
{
    if (isAscii(bytes))
        return std::string(bytes); // paths and markup are mostly ASCII
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    decode(bytes, [&](char32_t c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    });
    return out;
}

std::string fromUtf16(std::u16string_view text, size_t* unmappable)
{
    size_t i = 0;
    auto next = [&]() -> char32_t {
        if (i >= text.size())
            return kEnd;
        char32_t c = text[i++];
        if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
        return c;
    };
    return encode(text.size() * 2, next, unmappable);
}

std::string fromUtf8(std::string_view text, size_t* unmappable)
{
    if (isAscii(text)) {
        if (unmappable)
            *unmappable = 0;
        return std::string(text);
    }
    size_t i = 0;
    auto next = [&]() -> char32_t {
        if (i >= text.size())
            return kEnd;
        const auto b = static_cast<unsigned char>(text[i++]);
        if (b < 0x80)
            return b;
        int extra = 0;
        char32_t c = 0;
        if (b >= 0xC2 && b < 0xE0) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b < 0xF0) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b < 0xF5) {
            extra = 3;
            c = b & 0x07;
        } else {
            return 0xFFFD; // malformed UTF-8: no Shift-JIS form, counted as unmappable
        }
        for (int k = 0; k < extra; ++k) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
                return 0xFFFD;
            c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
        }
        return c;
    };
    return encode(text.size(), next, unmappable);
}

size_t byteLength(std::u16string_view text) { return fromUtf16(text).size(); }

} // namespace sheaf::sjis
