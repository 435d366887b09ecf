#pragma once
// Text that lives as long as its arena: copies go into chunks that never
// move, so a view of them stays valid until the arena is cleared or dies.
// Many small texts cost their bytes only, without a heap block each.
#include <memory>
#include <string_view>
#include <vector>

namespace sheaf::html {

class TextArena {
public:
    std::string_view keep(std::string_view text);
    void clear();

private:
    // Room for n bytes, uninitialised.
    char* take(std::size_t n);

    static constexpr std::size_t kFirstChunk = 1024;
    static constexpr std::size_t kLargestChunk = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    char* m_free = nullptr;
    std::size_t m_left = 0;
    std::size_t m_held = 0; // bytes in all chunks
};

} // namespace sheaf::html
