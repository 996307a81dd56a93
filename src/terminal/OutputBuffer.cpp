// SPDX-License-Identifier: MIT
#include "OutputBuffer.h"

#include "LargePages.h"
#include "WholeWrites.h"

#include <algorithm>
#include <cstring>

namespace sayvane::terminal {

OutputBuffer::OutputBuffer(int descriptor)
    : m_descriptor(descriptor)
{
}

OutputBuffer::~OutputBuffer()
{
    if (m_buffer)
        freeLarge(m_buffer);
}

bool OutputBuffer::write(std::string_view text)
{
    if (m_error != 0)
        return false;
    // Text as large as a piece goes out as it is, after what is held.
    if (text.size() >= kPieceBytes)
        return flush() && writeOut(text.data(), text.size());
    makeRoomFor(m_held + text.size());
    // Fills the piece, writes it, and keeps the rest.
    const std::size_t first = std::min(text.size(), kPieceBytes - m_held);
    std::memcpy(m_buffer + m_held, text.data(), first);
    m_held += first;
    if (m_held < kPieceBytes)
        return true;
    if (!flush())
        return false;
    std::memcpy(m_buffer, text.data() + first, text.size() - first);
    m_held = text.size() - first;
    return true;
}

// Room for `size` bytes, up to a whole piece; throws std::bad_alloc where
// there is no memory.
void OutputBuffer::makeRoomFor(std::size_t size)
{
    if (size <= m_capacity || m_capacity == kPieceBytes)
        return;
    const std::size_t capacity = size <= kFirstBytes ? kFirstBytes : kPieceBytes;
    char *const buffer = static_cast<char *>(allocateLarge(capacity));
    if (m_buffer) {
        std::memcpy(buffer, m_buffer, m_held);
        freeLarge(m_buffer);
    }
    m_buffer = buffer;
    m_capacity = capacity;
}

bool OutputBuffer::flush()
{
    if (m_error != 0)
        return false;
    const std::size_t held = m_held;
    m_held = 0;
    return writeOut(m_buffer, held);
}

bool OutputBuffer::writeOut(const char *bytes, std::size_t size)
{
    m_error = writeWhole(m_descriptor, bytes, size);
    return m_error == 0;
}

} // namespace sayvane::terminal
