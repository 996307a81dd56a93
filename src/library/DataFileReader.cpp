// SPDX-License-Identifier: MIT
#include "DataFileReader.h"

#include "ByteSearch.h"
#include "LineScan.h"

#include <algorithm>
#include <cstring>

namespace sayvane {

QString lineTooLongReason(std::size_t maxLineLength)
{
    return QStringLiteral("a line is too long (more than %1 characters)").arg(maxLineLength);
}

DataFileReader::DataFileReader(ReadSettings settings)
    : m_settings(settings)
{
    // No block may be longer than the longest line, so that only the first
    // line of a block of whole lines can have grown past the limit.
    m_settings.blockSize =
        std::clamp<std::size_t>(m_settings.blockSize, 1, std::max<std::size_t>(m_settings.maxLineLength, 1));
}

bool DataFileReader::open(const QString &path)
{
    close();
    if (const std::optional<QString> reason = m_file.open(path))
        return fail(*reason);
    m_open = true;
    return grow(m_settings.blockSize);
}

void DataFileReader::close()
{
    m_file.close();
    m_open = false;
    m_buffer.reset();
    m_capacity = 0;
    m_filled = m_linesEnd = m_position = m_scanned = 0;
    m_endOfFile = false;
    m_failed = false;
    m_error.clear();
}

bool DataFileReader::fail(const QString &reason)
{
    m_failed = true;
    m_error = reason;
    return false;
}

bool DataFileReader::atEnd()
{
    return m_position == m_linesEnd && !fetchLines();
}

std::string_view DataFileReader::readLine()
{
    if (atEnd())
        return {};
    // A block of whole lines never ends between a CR and its LF.
    const LineSpan span = lineAt(m_buffer.get() + m_position, m_buffer.get() + m_linesEnd);
    m_position = std::size_t(span.next - m_buffer.get());
    return span.line;
}

std::string_view DataFileReader::readLines()
{
    if (atEnd())
        return {};
    std::string_view lines(m_buffer.get() + m_position, m_linesEnd - m_position);
    m_position = m_linesEnd;
    return lines;
}

// Where the whole lines in the buffer end: just past the terminator of the
// last CR whose following byte is already known, or 0 when there is none.
std::size_t DataFileReader::endOfWholeLines() const
{
    if (m_filled < 2 || m_scanned >= m_filled - 1)
        return 0;
    const char *data = m_buffer.get();
    const char *cr = findLastByte(data + m_scanned, data + m_filled - 1, '\r');
    if (!cr)
        return 0;
    std::size_t end = std::size_t(cr - data) + 1;
    if (data[end] == '\n')
        ++end;
    return end;
}

// Moves the unread rest to the front and reads until a block of whole lines
// is in the buffer. False at the end of the file or after a failure.
bool DataFileReader::fetchLines()
{
    if (!m_open || m_failed)
        return false;
    const std::size_t rest = m_filled - m_linesEnd;
    if (m_linesEnd > 0 && rest > 0)
        std::memmove(m_buffer.get(), m_buffer.get() + m_linesEnd, rest);
    m_scanned = m_scanned > m_linesEnd ? m_scanned - m_linesEnd : 0;
    m_filled = rest;
    m_linesEnd = m_position = 0;

    const std::size_t maxLineLength = m_settings.maxLineLength;
    for (;;) {
        std::size_t end = endOfWholeLines();
        if (end == 0 && m_endOfFile)
            end = m_filled;
        if (end > 0) {
            // Only the first line can have begun before the last block
            // read, so only it can be longer than a block.
            const char *firstCr = findByte(m_buffer.get(), m_buffer.get() + end, '\r');
            if (std::size_t((firstCr ? firstCr : m_buffer.get() + end) - m_buffer.get()) > maxLineLength)
                return fail(lineTooLongReason(maxLineLength));
            m_linesEnd = m_scanned = end;
            return true;
        }
        // The buffer holds the start of one line, perhaps followed by a CR
        // whose LF is still to come.
        const bool endsInCr = m_filled > 0 && m_buffer.get()[m_filled - 1] == '\r';
        if (m_filled - (endsInCr ? 1 : 0) > maxLineLength)
            return fail(lineTooLongReason(maxLineLength));
        if (m_endOfFile)
            return false;
        m_scanned = m_filled > 0 ? m_filled - 1 : 0;
        if (!fill())
            return false;
    }
}

bool DataFileReader::grow(std::size_t capacity)
{
    char *grown = static_cast<char *>(std::realloc(m_buffer.get(), capacity));
    if (!grown)
        return fail(QStringLiteral("not enough memory"));
    m_buffer.release();
    m_buffer.reset(grown);
    m_capacity = capacity;
    return true;
}

// Reads one more block behind the data in the buffer. The buffer grows only
// while a single line is longer than it, and never beyond the longest line
// allowed plus one block.
bool DataFileReader::fill()
{
    const std::size_t blockSize = m_settings.blockSize;
    if (m_capacity - m_filled < blockSize) {
        const std::size_t most = m_settings.maxLineLength + 1 + blockSize;
        if (!grow(std::min(most, std::max(m_capacity * 2, m_filled + blockSize))))
            return false;
    }
    const long long count = m_file.read(m_buffer.get() + m_filled, std::min(blockSize, m_capacity - m_filled));
    if (count < 0)
        return fail(m_file.errorString());
    if (count == 0)
        m_endOfFile = true;
    m_filled += std::size_t(count);
    return true;
}

} // namespace sayvane
