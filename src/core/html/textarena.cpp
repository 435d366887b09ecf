#include "html/textarena.h"

#include <algorithm>
#include <cstring>

namespace sheaf::html {

char* TextArena::take(std::size_t n)
{
    if (n > m_left) {
        // Chunks grow with the arena: a page that changes a few lines takes
        // a small one, a large page large ones.
        const std::size_t size = std::max(n, std::clamp<std::size_t>(m_held, kFirstChunk, kLargestChunk));
        m_held += size;
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_free = m_chunks.back().get();
        m_left = size;
    }
    char* p = m_free;
    m_free += n;
    m_left -= n;
    return p;
}

std::string_view TextArena::keep(std::string_view text)
{
    if (text.empty())
        return {};
    char* at = take(text.size());
    std::memcpy(at, text.data(), text.size());
    return {at, text.size()};
}

void TextArena::clear()
{
    m_chunks.clear();
    m_free = nullptr;
    m_left = 0;
    m_held = 0;
}

} // namespace sheaf::html
