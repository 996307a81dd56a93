#include "DataFileReader.h"

#include <algorithm>
#include <cstring>

namespace sayvane {
namespace {

const char *lastCarriageReturn(const char *begin, std::size_t length)
{
    return static_cast<const char *>(memrchr(begin, '\r', length));
}

} // namespace

DataFileReader::DataFileReader(std::size_t blockSize)
    : m_blockSize(std::max<std::size_t>(blockSize, 1))
{
}

DataFileReader::~DataFileReader()
{
    close();
}

bool DataFileReader::open(const QString &path)
{
    close();
    m_file.setFileName(path);
    // Unbuffered: the reader keeps its own block buffer.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    m_buffer.resize(m_blockSize);
    return true;
}

void DataFileReader::close()
{
    m_file.close();
    m_buffer = {};
    m_filled = m_linesEnd = m_position = m_scanned = 0;
    m_endOfFile = false;
    m_failed = false;
    m_error.clear();
}

bool DataFileReader::atEnd()
{
    return m_position == m_linesEnd && !fetchLines();
}

std::string_view DataFileReader::readLine()
{
    if (atEnd())
        return {};
    const char *begin = m_buffer.data() + m_position;
    const std::size_t available = m_linesEnd - m_position;
    const char *cr = static_cast<const char *>(std::memchr(begin, '\r', available));
    if (!cr) {
        // Only the last line of the file comes without a terminator.
        m_position = m_linesEnd;
        return {begin, available};
    }
    const std::size_t length = std::size_t(cr - begin);
    m_position += length + 1;
    // A block of whole lines never ends between a CR and its LF.
    if (m_position < m_linesEnd && m_buffer[m_position] == '\n')
        ++m_position;
    return {begin, length};
}

std::string_view DataFileReader::readLines()
{
    if (atEnd())
        return {};
    std::string_view lines(m_buffer.data() + m_position, m_linesEnd - m_position);
    m_position = m_linesEnd;
    return lines;
}

// Where the whole lines in the buffer end: just past the terminator of the
// last CR whose following byte is already known, or 0 when there is none.
std::size_t DataFileReader::endOfWholeLines() const
{
    if (m_filled < 2 || m_scanned >= m_filled - 1)
        return 0;
    const char *cr = lastCarriageReturn(m_buffer.data() + m_scanned, m_filled - 1 - m_scanned);
    if (!cr)
        return 0;
    std::size_t end = std::size_t(cr - m_buffer.data()) + 1;
    if (m_buffer[end] == '\n')
        ++end;
    return end;
}

// Moves the unread rest to the front and reads until a block of whole lines
// is in the buffer. False at the end of the file or after a failed read.
bool DataFileReader::fetchLines()
{
    if (!m_file.isOpen() || m_failed)
        return false;
    const std::size_t rest = m_filled - m_linesEnd;
    if (m_linesEnd > 0 && rest > 0)
        std::memmove(m_buffer.data(), m_buffer.data() + m_linesEnd, rest);
    m_scanned = m_scanned > m_linesEnd ? m_scanned - m_linesEnd : 0;
    m_filled = rest;
    m_linesEnd = m_position = 0;

    for (;;) {
        std::size_t end = endOfWholeLines();
        if (end == 0 && m_endOfFile)
            end = m_filled;
        if (end > 0) {
            m_linesEnd = end;
            m_scanned = end;
            return true;
        }
        if (m_endOfFile)
            return false;
        m_scanned = m_filled > 0 ? m_filled - 1 : 0;
        if (!fill())
            return false;
    }
}

// Reads one more block behind the data in the buffer, growing the buffer
// only when a single line has outgrown it.
bool DataFileReader::fill()
{
    if (m_buffer.size() - m_filled < m_blockSize)
        m_buffer.resize(std::max(m_buffer.size() * 2, m_filled + m_blockSize));
    const qint64 count = m_file.read(m_buffer.data() + m_filled, qint64(m_blockSize));
    if (count < 0) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    if (count == 0)
        m_endOfFile = true;
    m_filled += std::size_t(count);
    return true;
}

} // namespace sayvane
