// SPDX-License-Identifier: MIT
// A map that, given a limit, drops its oldest entry to make room.
#pragma once

#include <cstddef>
#include <deque>
#include <unordered_map>

namespace sayvane {

template <typename Key, typename Value> class OldestFirstCache
{
public:
    const Value *find(const Key &key) const
    {
        const auto found = m_values.find(key);
        return found == m_values.end() ? nullptr : &found->second;
    }
    const Value &at(const Key &key) const { return m_values.at(key); }

    // Keeps at most `limit` entries, the new one included. References to
    // the entries that stay remain valid.
    const Value &insert(const Key &key, Value value, std::size_t limit)
    {
        if (m_values.size() >= limit && !m_order.empty()) {
            m_values.erase(m_order.front());
            m_order.pop_front();
        }
        m_order.push_back(key);
        return m_values.emplace(key, std::move(value)).first->second;
    }

    void clear()
    {
        m_values.clear();
        m_order.clear();
    }

private:
    std::unordered_map<Key, Value> m_values;
    std::deque<Key> m_order;
};

} // namespace sayvane
