#pragma once
// The log of visited items, by absolute tree index, with back and forward.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sheaf {

class clsHistory {
public:
    // Called when an item is entered (and once at start-up with 0). A visit
    // caused by Back or Forward is not recorded.
    void Record(std::int32_t index);
    // The index to select, or -1 when there is nothing to go to.
    std::int32_t Back();
    std::int32_t Forward();

    // The selection that Back or Forward asked for did not change the item
    // (it was already selected): no visit will follow to clear the flag.
    void navigationDidNotMove() { m_navigating = false; }

    bool backEnabled() const { return m_backEnabled; }
    bool forwardEnabled() const { return m_forwardEnabled; }
    const std::vector<std::int32_t>& entries() const { return m_entries; }
    std::size_t position() const { return m_position; }
    bool navigating() const { return m_navigating; }

private:
    std::vector<std::int32_t> m_entries;
    std::size_t m_position = 0;
    bool m_navigating = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};

} // namespace sheaf
