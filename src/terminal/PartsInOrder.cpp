// SPDX-License-Identifier: MIT
#include "PartsInOrder.h"

#include "LargePages.h"

#include <algorithm>
#include <cstring>

namespace sayvane::terminal {

static_assert(kLargePage % PartsInOrder::kMostKept == 0, "slots fill their pages");

PartsInOrder::PartsInOrder(std::function<bool(std::string_view)> output)
    : m_output(std::move(output))
{
}

PartsInOrder::~PartsInOrder()
{
    for (void *page : m_pages)
        freeLarge(page);
}

bool PartsInOrder::stopped()
{
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

char *PartsInOrder::takeSlot()
{
    const std::lock_guard lock(m_mutex);
    if (m_freeSlots.empty()) {
        char *const page = static_cast<char *>(allocateLarge(kLargePage));
        m_pages.push_back(page);
        // Taken from the start of the page first.
        for (std::size_t at = kLargePage; at > 0; at -= kMostKept)
            m_freeSlots.push_back(page + at - kMostKept);
    }
    char *const slot = m_freeSlots.back();
    m_freeSlots.pop_back();
    return slot;
}

void PartsInOrder::giveBack(char *slot)
{
    const std::lock_guard lock(m_mutex);
    m_freeSlots.push_back(slot);
}

PartsInOrder::Part::Part(PartsInOrder &parts, std::size_t index)
    : m_parts(parts)
    , m_index(index)
{
}

PartsInOrder::Part::~Part()
{
    giveSlotBack();
}

void PartsInOrder::Part::giveSlotBack()
{
    if (m_slot)
        m_parts.giveBack(m_slot);
    m_slot = nullptr;
    m_kept = 0;
}

// Whether the parts before are all written: this part may write straight
// on rather than keep what it finds.
bool PartsInOrder::Part::hasTurn() const
{
    return m_parts.m_turn.load(std::memory_order_acquire) == m_index;
}

bool PartsInOrder::Part::write(std::string_view lines)
{
    return m_writing ? writeOut(lines) : keep(lines);
}

bool PartsInOrder::Part::writePrelude(std::string_view lines)
{
    if (m_writing)
        return writePreludeOut(lines);
    m_prelude += lines;
    return (m_prelude.size() < kMostKept && !hasTurn()) || takeTurn();
}

// Keeps the lines while the slot has room for them and the parts before
// are not yet written; else waits for the turn and writes them after what
// was kept.
bool PartsInOrder::Part::keep(std::string_view lines)
{
    if (hasTurn() || m_prelude.size() + m_kept + lines.size() > kMostKept)
        return takeTurn() && writeOut(lines);
    if (!m_slot)
        m_slot = m_parts.takeSlot();
    std::memcpy(m_slot + m_kept, lines.data(), lines.size());
    m_kept += lines.size();
    return true;
}

// Waits until the parts before are written, then writes what was kept.
// False when the output is gone, or a part before has stopped.
bool PartsInOrder::Part::takeTurn()
{
    {
        std::unique_lock lock(m_parts.m_mutex);
        m_parts.m_turnChanged.wait(lock, [this] { return m_parts.m_turn == m_index || m_parts.m_stopped; });
        if (m_parts.m_stopped)
            return false;
        m_heading = m_parts.m_heading;
    }
    m_writing = true;
    const bool written = writePreludeOut(m_prelude) && writeOut(std::string_view(m_slot, m_kept));
    m_prelude.clear();
    giveSlotBack();
    return written;
}

bool PartsInOrder::Part::writeOut(std::string_view text)
{
    if (text.empty() || m_parts.m_output(text))
        return true;
    const std::lock_guard lock(m_parts.m_mutex);
    m_parts.m_stopped = true;
    m_parts.m_turnChanged.notify_all();
    return false;
}

// The prelude's lines, each under the heading of the parts before, where
// they had one.
bool PartsInOrder::Part::writePreludeOut(std::string_view lines)
{
    if (!m_heading)
        return writeOut(lines);
    std::string text;
    text.reserve(lines.size() + std::size_t(std::count(lines.begin(), lines.end(), '\n')) * m_heading->size());
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n') + 1; // every line ends with one
        text += *m_heading;
        text += lines.substr(0, end);
        lines.remove_prefix(end);
    }
    return writeOut(text);
}

void PartsInOrder::Part::finish(const std::optional<std::string> &lastHeading, bool stop)
{
    if (!m_writing && !takeTurn())
        return;
    const std::lock_guard lock(m_parts.m_mutex);
    if (lastHeading)
        m_parts.m_heading = lastHeading;
    m_parts.m_stopped = m_parts.m_stopped || stop;
    m_parts.m_turn.fetch_add(1, std::memory_order_release);
    m_parts.m_turnChanged.notify_all();
}

} // namespace sayvane::terminal
