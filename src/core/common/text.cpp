#include "common/text.h"

#include "common/sjis.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace sheaf {

std::string_view TrimExView(std::string_view s, bool keepMarkBytes)
{
    // Bytes up to 0x20 are blanks, except the converter's mark bytes while
    // they stand for masked tags.
    const auto blank = [keepMarkBytes](unsigned char b) {
        if (b > 0x20)
            return false;
        return !keepMarkBytes || !(b == 0x01 || b == 0x02 || b == 0x07 || b == 0x08 || b == 0x15 || b == 0x16 || b == 0x17);
    };
    const auto fullWidthSpace = [&](size_t i) {
        return static_cast<unsigned char>(s[i]) == 0x81 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x40;
    };
    size_t begin = 0;
    while (begin < s.size()) {
        if (blank(static_cast<unsigned char>(s[begin])))
            ++begin;
        else if (fullWidthSpace(begin))
            begin += 2;
        else
            break;
    }
    // The end is found walking characters from the front: 81 40 is a
    // full-width space only where it starts a character ("ａ@" is 82 81 40).
    size_t end = begin;
    for (size_t i = begin; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (sjis::isLeadByte(b) && i + 1 < s.size()) {
            if (!fullWidthSpace(i))
                end = i + 2;
            i += 2;
        } else {
            if (!blank(b))
                end = i + 1;
            ++i;
        }
    }
    return s.substr(begin, end - begin);
}

std::string TrimEx(std::string_view s, bool keepMarkBytes) { return std::string(TrimExView(s, keepMarkBytes)); }

std::string_view cutBytes(std::string_view s, size_t n)
{
    if (s.size() <= n)
        return s;
    size_t i = 0;
    while (i < n) {
        const size_t width = sjis::isLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
        if (i + width > n)
            break;
        i += width;
    }
    return s.substr(0, i);
}

std::string titleFromFirstLine(std::string_view firstLine)
{
    std::string s = TrimEx(firstLine);
    if (s.size() > 80)
        s = std::string(cutBytes(s, 80)) + "...";
    if (s.empty())
        s = "(untitled)";
    return s;
}

std::string asciiLower(std::string_view s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (sjis::isLeadByte(b) && i + 1 < out.size())
            ++i;
        else if (b >= 'A' && b <= 'Z')
            out[i] = static_cast<char>(b + 32);
    }
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && findNoCase(a, b) == 0;
}

namespace {
inline unsigned char lowerByte(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + 32 : b; }
} // namespace

size_t findNoCase(std::string_view hay, std::string_view needle, size_t from)
{
    if (needle.empty())
        return from <= hay.size() ? from : std::string_view::npos;
    const size_t n = needle.size();
    // Compare the needle as a character sequence: a lead byte in the needle
    // pairs with the next byte, which must match exactly.
    for (size_t i = from; i + n <= hay.size();) {
        size_t k = 0;
        while (k < n) {
            const auto h = static_cast<unsigned char>(hay[i + k]);
            const auto c = static_cast<unsigned char>(needle[k]);
            if (sjis::isLeadByte(h) && k + 1 < n) {
                if (h != c || hay[i + k + 1] != needle[k + 1])
                    break;
                k += 2;
            } else if (lowerByte(h) == lowerByte(c)) {
                ++k;
            } else {
                break;
            }
        }
        if (k == n)
            return i;
        i += (sjis::isLeadByte(static_cast<unsigned char>(hay[i])) && i + 1 < hay.size()) ? 2 : 1;
    }
    return std::string_view::npos;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(s);
    std::string out;
    size_t pos = 0;
    for (;;) {
        const size_t hit = s.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(s, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
    }
    if (pos == 0)
        return std::string(s);
    out.append(s, pos);
    return out;
}

namespace {
// "1234567.50" -> "1,234,567.50"; digits holds no sign.
std::string groupThousands(const std::string& digits)
{
    const size_t dot = digits.find('.');
    const size_t intLen = dot == std::string::npos ? digits.size() : dot;
    std::string grouped;
    for (size_t i = 0; i < intLen; ++i) {
        if (i > 0 && (intLen - i) % 3 == 0)
            grouped.push_back(',');
        grouped.push_back(digits[i]);
    }
    if (dot != std::string::npos)
        grouped += digits.substr(dot);
    return grouped;
}
} // namespace

std::string formatNumber(double value, int decimals, std::string_view prefix)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : decimals, std::fabs(value));
    std::string grouped = groupThousands(buf);
    if (value < 0 && grouped.find_first_not_of("0.,") != std::string::npos)
        grouped.insert(grouped.begin(), '-');
    return std::string(prefix) + grouped;
}

std::string formatNumber(std::int64_t value)
{
    const auto magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return (value < 0 ? "-" : "") + groupThousands(std::to_string(magnitude));
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    // One allocation for the list: growing it by doubling would hold the old
    // and the new list at once, which for a large page costs more than the text.
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
            ++breaks;
    lines.reserve(breaks + 1);
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

} // namespace sheaf
