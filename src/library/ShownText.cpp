// SPDX-License-Identifier: MIT
#include "ShownText.h"

#include <algorithm>
#include <cstdint>
#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace sayvane {
namespace {

// A text of this many characters (64 MiB) or more is given huge pages.
constexpr qsizetype kHugeText = qsizetype(32) << 20;

// A large text is written once from its start to its end, each of its
// pages touched for the first time; on Linux it asks for huge pages, so
// that filling it costs one page fault for every 2 MiB instead of one for
// every 4 KiB, which on a result of hundreds of megabytes is most of a
// search's time. Smaller texts fill faster in small pages. Only advice:
// where the system has none to give, nothing changes.
void adviseHugePages([[maybe_unused]] void *data, [[maybe_unused]] std::size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace

ShownText::ShownText(qsizetype limit)
    : m_limit(limit)
{
}

void ShownText::show(std::string_view line, std::optional<LineEncoding> onlyIn)
{
    if (m_cut != ShownCut::None)
        return;
    // A line reads as at most one unit a byte; room for that lets the line
    // be checked and decoded in one pass. Only near the limit must the
    // exact length be known first.
    const qsizetype size = m_text.size();
    const qsizetype most = size + qsizetype(line.size()) + 4;
    if (most > m_limit) {
        const LineReading reading = readingOf(line);
        if (onlyIn && reading.encoding != *onlyIn)
            return;
        show(line, reading);
        return;
    }
    if (!makeRoom(most))
        return;
    m_text.resize(most);
    char16_t *const text = reinterpret_cast<char16_t *>(m_text.data());
    char16_t *out = text + size;
    out[0] = u'\r';
    out[1] = u'\n';
    const DecodedLine decoded = decodeLineOfAnyEncoding(line, out + 2);
    if (onlyIn && decoded.encoding != *onlyIn) {
        m_text.resize(size);
        return;
    }
    decoded.end[0] = u'\r';
    decoded.end[1] = u'\n';
    m_text.resize(decoded.end + 2 - text);
}

// Doubling keeps appending linear; the room never grows past the limit.
bool ShownText::makeRoom(qsizetype size)
{
    try {
        if (size <= m_text.capacity())
            return true;
        const qsizetype capacity = std::min(std::max(size, 2 * m_text.capacity()), m_limit);
        if (capacity < kHugeText) {
            m_text.reserve(capacity);
            return true;
        }
        // A text this large takes room for the whole limit at once where
        // the system grants it: pages are only given as they are first
        // written, so the room costs address space, not memory, and the
        // text is never copied again however far it grows. Else it doubles.
        QString grown;
        try {
            grown.reserve(m_limit);
        } catch (const std::bad_alloc &) {
            grown.reserve(capacity);
        }
        // Advised before it is first touched: growing the old string in
        // place would keep its small pages.
        adviseHugePages(grown.data(), std::size_t(grown.capacity()) * sizeof(char16_t));
        grown.append(m_text);
        m_text = std::move(grown);
        return true;
    } catch (const std::bad_alloc &) {
        m_cut = ShownCut::OutOfMemory;
        return false;
    }
}

void ShownText::show(std::string_view line, LineReading reading)
{
    if (m_cut != ShownCut::None)
        return;
    const qsizetype size = m_text.size();
    const qsizetype grown = size + reading.length + 4;
    if (grown > m_limit) {
        m_cut = ShownCut::AtLimit;
        return;
    }
    if (!makeRoom(grown))
        return;
    m_text.resize(grown);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data()) + size;
    out[0] = u'\r';
    out[1] = u'\n';
    out = decodeLine(line, reading.encoding, out + 2);
    out[0] = u'\r';
    out[1] = u'\n';
}

QString ShownText::take()
{
    // Gives back the address space a large text did not fill; shrinking
    // leaves the text where it is.
    if (m_text.capacity() >= kHugeText)
        m_text.squeeze();
    return std::move(m_text);
}

} // namespace sayvane
