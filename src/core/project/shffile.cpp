#include "project/shffile.h"

#include "common/error.h"
#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "project/outline.h"

#include <algorithm>
#include <cstring>

using sheaf::sjis::sj;

namespace sheaf {
namespace {

// Bounds-checked little-endian reader over the file's bytes.
class ByteReader {
public:
    explicit ByteReader(std::string_view data) : m_data(data) {}

    size_t position() const { return m_pos; }
    size_t remaining() const { return m_data.size() - m_pos; }
    bool seek(size_t pos)
    {
        if (pos > m_data.size())
            return false;
        m_pos = pos;
        return true;
    }
    bool byte(std::uint8_t& out)
    {
        if (remaining() < 1)
            return false;
        out = static_cast<std::uint8_t>(m_data[m_pos++]);
        return true;
    }
    bool int32(std::int32_t& out)
    {
        if (remaining() < 4)
            return false;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(m_data[m_pos + i])) << (8 * i);
        m_pos += 4;
        out = static_cast<std::int32_t>(v);
        return true;
    }
    // A length that is negative or runs past the data marks a damaged file.
    bool string(std::string& out)
    {
        std::int32_t n = 0;
        if (!int32(n) || n < 0 || static_cast<size_t>(n) > remaining())
            return false;
        out.assign(m_data.substr(m_pos, static_cast<size_t>(n)));
        m_pos += static_cast<size_t>(n);
        return true;
    }

private:
    std::string_view m_data;
    size_t m_pos = 0;
};

void putInt32(std::string& out, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putString(std::string& out, std::string_view s)
{
    putInt32(out, static_cast<std::int32_t>(s.size()));
    out.append(s);
}

// Smallest record of each layout: the flag bytes, level, serial and empty strings.
constexpr size_t kMinRecordCurrent = 5 + 8 + 5 * 4;
constexpr size_t kMinRecordLegacy = 3 + 8 + 2 * 4;

// Shortens the mark texts so that the three fit into the header together:
// short texts keep their length and the longer ones share what is left.
std::array<std::string, 3> fittedMarkTexts(const PROJECTHEADER& header)
{
    std::array<std::string, 3> texts;
    std::array<size_t, 3> order{0, 1, 2};
    for (size_t i = 0; i < 3; ++i)
        texts[i] = header.marks[i].text;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return texts[a].size() < texts[b].size(); });
    size_t budget = kMarkTextBudget;
    for (size_t k = 0; k < 3; ++k) {
        std::string& t = texts[order[k]];
        const size_t share = budget / (3 - k);
        if (t.size() > share)
            t = std::string(cutBytes(t, share));
        budget -= t.size();
    }
    return texts;
}

std::string encodeHeader(const PROJECTHEADER& header, std::int32_t itemCount)
{
    std::string out = "SHF3";
    putInt32(out, header.nLeft);
    putInt32(out, header.nTop);
    putInt32(out, header.nWidth);
    putInt32(out, header.nHeight);
    putInt32(out, header.nTreeWidth);
    putInt32(out, header.nNextSerial);
    putInt32(out, itemCount);
    const auto texts = fittedMarkTexts(header);
    for (size_t i = 0; i < 3; ++i) {
        putInt32(out, header.marks[i].serial > 0 ? header.marks[i].serial : 0);
        putString(out, texts[i]);
    }
    out.resize(kHeaderSize, '\0');
    return out;
}

} // namespace

const std::string& defaultMarkText(int mark)
{
    static const std::array<std::string, 3> texts{sj("マーク１にジャンプ"), sj("マーク２にジャンプ"),
                                                  sj("マーク３にジャンプ")};
    return texts.at(static_cast<size_t>(mark));
}

bool isCurrentLayoutPath(const std::string& path) { return extensionLower(path) == ".shf3"; }

size_t presetCapacity(std::int32_t itemCount)
{
    if (itemCount < 0 || itemCount >= 10000)
        return 0;
    return static_cast<size_t>(((itemCount + 16) / 16 + 1) * 16);
}

CReadSHFFile::CReadSHFFile(ItemList& items, std::string path, Flavor flavor)
    : m_items(items), m_path(std::move(path)), m_flavor(flavor)
{
}

namespace {
std::string readFailure(CReadSHFFile::Flavor flavor)
{
    return flavor == CReadSHFFile::Flavor::Main ? sj("指定の SHF ファイルをオープンできませんでした")
                                                : "ReadFile: " + sj("指定の SHF3 ファイルをオープンできませんでした");
}
} // namespace

bool CReadSHFFile::ReadFile(bool currentLayout)
{
    std::string reason;
    const auto data = fs::tryReadFile(m_path, &reason);
    if (!data) {
        m_items.clear();
        m_headerComplete = false;
        m_error = fs::failureText(readFailure(m_flavor), m_path, reason);
        return false;
    }
    return ReadData(*data, currentLayout);
}

bool CReadSHFFile::ReadData(std::string_view data, bool currentLayout)
{
    const std::string failure = readFailure(m_flavor);
    m_headerComplete = false;
    m_error.clear();

    ByteReader in(data);
    PROJECTHEADER h;
    bool ok = in.seek(4) && in.int32(h.nLeft) && in.int32(h.nTop) && in.int32(h.nWidth) && in.int32(h.nHeight) &&
              in.int32(h.nTreeWidth) && in.int32(h.nNextSerial) && in.int32(h.nItemCount);
    for (auto& mark : h.marks)
        ok = ok && in.int32(mark.serial) && in.string(mark.text);
    if (!ok || h.nItemCount < 0) {
        m_items.clear();
        m_error = fs::failureText(failure, m_path, sj("ヘッダーが壊れているか、途中で切れています"));
        return false;
    }
    m_header = h;
    m_headerComplete = true;

    m_items.clear();
    const size_t recordsStart = currentLayout ? kHeaderSize : kLegacyHeaderSize;
    if (!in.seek(recordsStart)) {
        m_error = fs::failureText(failure, m_path, sj("ヘッダーが途中で切れています"));
        return false;
    }
    // Reserve only what the bytes left can hold, so a damaged count cannot
    // make a huge allocation; the records themselves are checked as they are read.
    const size_t minRecord = currentLayout ? kMinRecordCurrent : kMinRecordLegacy;
    if (static_cast<size_t>(h.nItemCount) <= in.remaining() / minRecord)
        m_items.reserve(presetCapacity(h.nItemCount));
    for (std::int32_t i = 0; i < h.nItemCount; ++i) {
        auto item = std::make_unique<FILEDATA>();
        std::uint8_t discard = 0;
        bool rec = in.byte(discard);
        item->bValid = 1;
        if (currentLayout) {
            rec = rec && in.byte(item->bTag1) && in.byte(item->bTag2) && in.byte(item->bTag3);
        } else {
            std::uint8_t tags = 0;
            rec = rec && in.byte(tags);
            item->bTag1 = tags & 1;
            item->bTag2 = (tags >> 1) & 1;
            item->bTag3 = (tags >> 2) & 1;
        }
        rec = rec && in.byte(item->bHScroll) && in.int32(item->nLevel) && in.int32(item->nSerial);
        if (currentLayout)
            rec = rec && in.string(item->sKeyword1) && in.string(item->sKeyword2) && in.string(item->sReserved);
        rec = rec && in.string(item->sFileName) && in.string(item->sTitle);
        if (!rec) {
            m_error = fs::failureText(failure, m_path,
                                      sj("項目が壊れているか、途中で切れています（") + std::to_string(i) + " / " +
                                          std::to_string(h.nItemCount) + sj(" 項目まで読み込みました）"));
            return false;
        }
        m_items.push_back(std::move(item));
    }
    return true;
}

std::string encodeRecord(const FILEDATA& item, std::int32_t level)
{
    std::string out;
    out.reserve(33 + item.sKeyword1.size() + item.sKeyword2.size() + item.sReserved.size() + item.sFileName.size() +
                item.sTitle.size());
    out.push_back(static_cast<char>(item.bValid));
    out.push_back(static_cast<char>(item.bTag1));
    out.push_back(static_cast<char>(item.bTag2));
    out.push_back(static_cast<char>(item.bTag3));
    out.push_back(static_cast<char>(item.bHScroll));
    putInt32(out, level);
    putInt32(out, item.nSerial);
    putString(out, item.sKeyword1);
    putString(out, item.sKeyword2);
    putString(out, item.sReserved);
    putString(out, item.sFileName);
    putString(out, item.sTitle);
    return out;
}

CWriteSHF3File::CWriteSHF3File(const std::string& path) : m_path(changeExtension(path, ".shf3")) {}

void CWriteSHF3File::WriteFile(const PROJECTHEADER& header, const Outline& outline) const
{
    std::string out = encodeHeader(header, static_cast<std::int32_t>(outline.size()));
    for (size_t i = 0; i < outline.size(); ++i) {
        const OutlineNode* node = outline.nodeAt(i);
        out += encodeRecord(*node->data, outline.depth(node));
    }
    fs::writeFileAtomic(m_path, out, sj("SHF3 ファイルを作成できませんでした"));
}

std::string rewriteKeepingHeader(const std::string& path, const ItemList& items, std::optional<std::int32_t> nextSerial,
                                 bool toShf3)
{
    std::string reason;
    const auto old = fs::readPrefix(path, kHeaderSize, &reason);
    if (!old)
        throw SheafError(fs::failureText(sj("SHF3 ファイルをオープンできませんでした"), path, reason));
    std::string out = old->substr(0, kHeaderSize);
    out.resize(kHeaderSize, '\0');
    if (nextSerial) {
        std::string v;
        putInt32(v, *nextSerial);
        out.replace(24, 4, v);
    }
    for (const auto& item : items)
        out += encodeRecord(*item, item->nLevel);
    const std::string target = toShf3 ? changeExtension(path, ".shf3") : path;
    fs::writeFileAtomic(target, out, sj("SHF3 ファイルを作成できませんでした"));
    if (target != path)
        fs::removeFile(path);
    return target;
}

bool gCheckSHFFile(const std::string& path, std::string* message)
{
    std::string reason;
    const auto data = fs::readPrefix(path, 3, &reason);
    if (!data) {
        if (message)
            *message = fs::failureText(sj("SHF ファイルをオープンできませんでした"), path, reason);
        return false;
    }
    return data->size() == 3 && asciiLower(*data) == "shf";
}

} // namespace sheaf
