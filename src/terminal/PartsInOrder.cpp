// SPDX-License-Identifier: MIT
#include "PartsInOrder.h"

#include <algorithm>

namespace sayvane::terminal {
namespace {

// What a part keeps before it waits for its turn: enough to let the parts
// after the one writing go on, little beside the reading.
constexpr std::size_t kMostKept = std::size_t(1) << 20;

} // namespace

PartsInOrder::PartsInOrder(std::function<bool(std::string_view)> output)
    : m_output(std::move(output))
{
}

bool PartsInOrder::stopped()
{
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

PartsInOrder::Kept PartsInOrder::takeBuffer(std::size_t reserved)
{
    const std::lock_guard lock(m_mutex);
    std::vector<Kept> &spares = reserved > kMostKept ? m_spareBuffers : m_sparePreludes;
    if (spares.empty()) {
        Kept buffer;
        buffer.reserve(reserved);
        return buffer;
    }
    Kept buffer = std::move(spares.back());
    spares.pop_back();
    return buffer;
}

void PartsInOrder::giveBack(Kept &buffer)
{
    buffer.clear();
    const std::lock_guard lock(m_mutex);
    (buffer.capacity() > kMostKept ? m_spareBuffers : m_sparePreludes).push_back(std::move(buffer));
}

PartsInOrder::Part::Part(PartsInOrder &parts, std::size_t index)
    : m_parts(parts)
    , m_index(index)
    , m_prelude(parts.takeBuffer(0))
    , m_rest(parts.takeBuffer(kMostKept + kMostKept / 4))
{
}

// Whether the parts before are all written: this part may write straight
// on rather than keep what it finds.
bool PartsInOrder::Part::hasTurn() const
{
    return m_parts.m_turn.load(std::memory_order_acquire) == m_index;
}

PartsInOrder::Part::~Part()
{
    m_parts.giveBack(m_prelude);
    m_parts.giveBack(m_rest);
}

bool PartsInOrder::Part::write(std::string_view line)
{
    return m_writing ? writeOut(line) : keep(m_rest, line);
}

bool PartsInOrder::Part::writePrelude(std::string_view line)
{
    return m_writing ? writePreludeOut(line) : keep(m_prelude, line);
}

bool PartsInOrder::Part::keep(Kept &kept, std::string_view line)
{
    kept += line;
    return (m_prelude.size() + m_rest.size() < kMostKept && !hasTurn()) || takeTurn();
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
    const bool written = writePreludeOut(m_prelude) && writeOut(m_rest);
    m_prelude.clear();
    m_rest.clear();
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
