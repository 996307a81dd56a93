// SPDX-License-Identifier: MIT
#include "ShownTextAside.h"

#include <new>
#include <system_error>

namespace sayvane {
namespace {

// Large enough that handing over costs nothing beside the lines, small
// enough that a chunk is still in the cache when the writer reads it.
constexpr std::size_t kChunkBytes = std::size_t(256) << 10;
constexpr std::size_t kChunkLines = 8192;
constexpr int kChunks = 4;

} // namespace

ShownTextAside::ShownTextAside(ShownText &shown, Threads threads)
    : m_shown(shown)
{
    if (threads == Threads::One)
        return;
    // Everything the hand-over needs is allocated here, so that it never
    // fails for want of memory halfway; the shown text bears that itself.
    try {
        m_full.reserve(kChunks);
        m_spare.reserve(kChunks);
        for (int i = 0; i < kChunks; ++i) {
            Chunk chunk;
            chunk.bytes.reserve(kChunkBytes);
            chunk.lines.reserve(kChunkLines);
            (i == 0 ? m_filling : m_spare.emplace_back()) = std::move(chunk);
        }
        m_writer = std::thread([this] { writeChunks(); });
    } catch (const std::system_error &) {
    } catch (const std::bad_alloc &) {
    }
}

ShownTextAside::~ShownTextAside()
{
    finish();
}

bool ShownTextAside::offer(std::string_view line, std::optional<LineEncoding> onlyIn)
{
    if (!m_writer.joinable()) {
        m_shown.show(line, onlyIn);
        return m_shown.cut() == ShownCut::None;
    }
    if (m_cut.load(std::memory_order_relaxed))
        return false;
    if (line.size() > kChunkBytes) {
        handOver();
        m_filling.lines.push_back({line.data(), 0, line.size(), onlyIn});
        handOver();
        waitUntilWritten();
        return !m_cut.load(std::memory_order_relaxed);
    }
    if (m_filling.bytes.size() + line.size() > kChunkBytes || m_filling.lines.size() == kChunkLines)
        handOver();
    m_filling.lines.push_back({nullptr, m_filling.bytes.size(), line.size(), onlyIn});
    m_filling.bytes.append(line);
    return true;
}

void ShownTextAside::finish()
{
    if (!m_writer.joinable())
        return;
    handOver();
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
    m_writer.join();
}

// Gives the filled chunk to the writer and takes a written one back.
void ShownTextAside::handOver()
{
    if (m_filling.lines.empty())
        return;
    std::unique_lock lock(m_mutex);
    m_full.push_back(std::move(m_filling));
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_spare.empty(); });
    m_filling = std::move(m_spare.back());
    m_spare.pop_back();
}

void ShownTextAside::waitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_full.empty() && !m_writing; });
}

// The writer's loop. After a cut it still takes each chunk and gives it
// back, so the finder never waits for one in vain.
void ShownTextAside::writeChunks()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_full.empty() || m_finished; });
        if (m_full.empty())
            return;
        Chunk chunk = std::move(m_full.front());
        m_full.erase(m_full.begin());
        m_writing = true;
        // Every change that a waiting finder's condition reads is told.
        m_changed.notify_all();
        lock.unlock();
        for (const Line &line : chunk.lines) {
            const char *bytes = line.outside ? line.outside : chunk.bytes.data() + line.offset;
            m_shown.show(std::string_view(bytes, line.size), line.onlyIn);
        }
        if (m_shown.cut() != ShownCut::None)
            m_cut.store(true, std::memory_order_relaxed);
        chunk.bytes.clear();
        chunk.lines.clear();
        lock.lock();
        m_spare.push_back(std::move(chunk));
        m_writing = false;
        m_changed.notify_all();
    }
}

} // namespace sayvane
