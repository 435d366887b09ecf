#include "project/history.h"

namespace sheaf {

void clsHistory::Record(std::int32_t index)
{
    if (m_navigating) {
        m_navigating = false;
        return;
    }
    if (m_entries.size() > 1) {
        m_backEnabled = true;
        m_forwardEnabled = false;
    }
    // The log is never cut at the current position: entries after it stay.
    m_entries.push_back(index);
    m_position = m_entries.size() - 1;
}

std::int32_t clsHistory::Back()
{
    if (m_position == 0 || m_entries.empty())
        return -1;
    m_backEnabled = m_position > 1;
    m_forwardEnabled = true;
    m_navigating = true;
    --m_position;
    return m_entries[m_position];
}

std::int32_t clsHistory::Forward()
{
    if (m_position + 1 >= m_entries.size())
        return -1;
    m_backEnabled = true;
    m_forwardEnabled = m_position + 2 < m_entries.size();
    m_navigating = true;
    ++m_position;
    return m_entries[m_position];
}

} // namespace sheaf
