// SPDX-License-Identifier: MIT
#include "DataFileReader.h"

#include "ByteSearch.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

namespace sayvane {

// The thread that reads the next block of a file into a buffer of its own
// while the caller looks at the lines of the last one. One read is asked
// for at a time, and taken before the file is touched again.
class DataFileReader::ReadAhead
{
public:
    // Null where no thread can be had (a limit on processes).
    static std::unique_ptr<ReadAhead> make(RegularFile &file)
    {
        auto readAhead = std::unique_ptr<ReadAhead>(new ReadAhead(file));
        try {
            readAhead->m_thread = std::thread([ahead = readAhead.get()] { ahead->serve(); });
        } catch (const std::system_error &) {
            return nullptr;
        }
        return readAhead;
    }
    ~ReadAhead()
    {
        if (!m_thread.joinable())
            return;
        {
            const std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The buffer the next block goes into, with room for `size` bytes;
    // null where memory ran out.
    char *buffer(std::size_t size)
    {
        if (size > m_capacity) {
            char *grown = static_cast<char *>(std::realloc(m_buffer.get(), size));
            if (!grown)
                return nullptr;
            m_buffer.release();
            m_buffer.reset(grown);
            m_capacity = size;
        }
        return m_buffer.get();
    }
    bool pending() const { return m_pending; }
    void ask(std::size_t at, std::size_t size)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_at = at;
            m_size = size;
            m_pending = m_asked = true;
        }
        m_changed.notify_all();
    }
    // Waits for the read asked for; its count, as RegularFile::read gives it.
    long long take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_asked; });
        m_pending = false;
        return m_count;
    }
    // Hands over the buffer read into, and takes the caller's in its place.
    void swapBuffers(std::unique_ptr<char, Free> &buffer, std::size_t &capacity)
    {
        std::swap(buffer, m_buffer);
        std::swap(capacity, m_capacity);
    }

private:
    explicit ReadAhead(RegularFile &file)
        : m_file(file)
    {
    }
    void serve()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_asked || m_ending; });
            if (m_ending)
                return;
            lock.unlock();
            const long long count = m_file.read(m_buffer.get() + m_at, m_size);
            lock.lock();
            m_count = count;
            m_asked = false;
            m_changed.notify_all();
        }
    }

    RegularFile &m_file;
    std::unique_ptr<char, Free> m_buffer;
    std::size_t m_capacity = 0;
    bool m_pending = false; // asked for and not yet taken: the caller's own
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_asked = false; // the thread is to read, or reads
    bool m_ending = false;
    std::size_t m_at = 0;
    std::size_t m_size = 0;
    long long m_count = 0;
    std::thread m_thread;
};

QString lineTooLongReason(std::size_t maxLineBytes)
{
    return QStringLiteral("a line is too long (more than %1 bytes)").arg(maxLineBytes);
}

DataFileReader::DataFileReader(ReadSettings settings)
    : m_settings(std::move(settings))
    , m_file(m_settings.faults)
{
    // No block may be longer than the longest line, so that only the first
    // line of a block of whole lines can have grown past the limit.
    m_settings.blockSize =
        std::clamp<std::size_t>(m_settings.blockSize, 1, std::max<std::size_t>(m_settings.maxLineBytes, 1));
}

DataFileReader::~DataFileReader() = default;

bool DataFileReader::open(const QString &path)
{
    close();
    if (const std::optional<QString> reason = m_file.open(path))
        return fail(*reason);
    m_open = true;
    return m_capacity >= m_settings.blockSize || grow(m_settings.blockSize);
}

bool DataFileReader::openPart(const RegularFile &whole, long long offset, long long length, LineEnds ends)
{
    close();
    if (const std::optional<QString> reason = m_file.openPart(whole, offset, length))
        return fail(*reason);
    m_open = true;
    if (offset > 0) {
        m_byteOrderMarkSettled = true;
        m_lineEnds = ends;
    }
    return m_capacity >= m_settings.blockSize || grow(m_settings.blockSize);
}

void DataFileReader::close()
{
    if (m_readAhead && m_readAhead->pending())
        m_readAhead->take();
    m_file.close();
    m_open = false;
    // A buffer of the size that reading whole lines in blocks needs (a
    // block behind the rest of the last) is kept for the next file this
    // reader opens; one grown for a long line is given back.
    if (m_capacity > 2 * m_settings.blockSize) {
        m_buffer.reset();
        m_capacity = 0;
    }
    m_filled = m_linesEnd = m_position = m_scanned = 0;
    m_byteOrderMarkSettled = m_byteOrderMark = false;
    m_lineEnds.reset();
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
    const LineSpan span = withTerminator(lineEnds(), [this](auto terminator) {
        return terminator.lineAt(m_buffer.get() + m_position, m_buffer.get() + m_linesEnd);
    });
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

// Where the whole lines in the buffer end: just past the last line end
// that is complete, or 0 when there is none. A classic CR at the end of the
// buffer is not complete until the byte after it is known.
std::size_t DataFileReader::endOfWholeLines() const
{
    const char *data = m_buffer.get();
    if (lineEnds() == LineEnds::Lf) {
        const char *lf = m_scanned < m_filled ? findLastByte(data + m_scanned, data + m_filled, '\n') : nullptr;
        return lf ? std::size_t(lf - data) + 1 : 0;
    }
    if (m_filled < 2 || m_scanned >= m_filled - 1)
        return 0;
    const char *cr = findLastByte(data + m_scanned, data + m_filled - 1, '\r');
    if (!cr)
        return 0;
    std::size_t end = std::size_t(cr - data) + 1;
    if (data[end] == '\n')
        ++end;
    return end;
}

// Drops a UTF-8 byte-order mark from the start of the file. False while
// the bytes read so far may still be the start of one.
bool DataFileReader::settleByteOrderMark()
{
    static constexpr std::string_view kMark = "\xEF\xBB\xBF";
    const std::string_view start(m_buffer.get(), std::min(m_filled, kMark.size()));
    if (!kMark.starts_with(start)) {
        m_byteOrderMarkSettled = true;
    } else if (start.size() == kMark.size()) {
        std::memmove(m_buffer.get(), m_buffer.get() + kMark.size(), m_filled - kMark.size());
        m_filled -= kMark.size();
        m_byteOrderMarkSettled = m_byteOrderMark = true;
    } else if (m_endOfFile) {
        m_byteOrderMarkSettled = true;
    }
    m_scanned = 0;
    return m_byteOrderMarkSettled;
}

// The first CR or LF of the file decides its line ends. Until one comes,
// the buffer holds the start of the first line alone.
void DataFileReader::decideLineEnds()
{
    const char *from = m_buffer.get() + m_scanned;
    const char *end = m_buffer.get() + m_filled;
    const char *cr = findByte(from, end, '\r');
    const char *lf = findByte(from, cr ? cr : end, '\n');
    if (lf)
        m_lineEnds = LineEnds::Lf;
    else if (cr)
        m_lineEnds = LineEnds::Classic;
    else
        m_scanned = m_filled;
}

// Moves the unread rest to the front and reads until a block of whole lines
// is in the buffer. False at the end of the file or after a failure.
bool DataFileReader::fetchLines()
{
    if (!m_open || m_failed)
        return false;
    if (m_readAhead && m_readAhead->pending()) {
        if (!takeWhatWasReadAhead())
            return false;
    } else {
        const std::size_t rest = m_filled - m_linesEnd;
        if (m_linesEnd > 0 && rest > 0)
            std::memmove(m_buffer.get(), m_buffer.get() + m_linesEnd, rest);
        m_scanned = m_scanned > m_linesEnd ? m_scanned - m_linesEnd : 0;
        m_filled = rest;
        m_linesEnd = m_position = 0;
    }

    const std::size_t maxLineBytes = m_settings.maxLineBytes;
    for (;;) {
        std::size_t end = 0;
        if (m_byteOrderMarkSettled || settleByteOrderMark()) {
            if (!m_lineEnds)
                decideLineEnds();
            if (m_lineEnds)
                end = endOfWholeLines();
        }
        if (end == 0 && m_endOfFile)
            end = m_filled;
        if (end > 0) {
            // Only the first line can have begun before the last block
            // read, so only it can be longer than a block.
            const std::size_t firstLength = withTerminator(lineEnds(), [&](auto terminator) {
                return terminator.lineAt(m_buffer.get(), m_buffer.get() + end).line.size();
            });
            if (firstLength > maxLineBytes)
                return fail(lineTooLongReason(maxLineBytes));
            m_linesEnd = m_scanned = end;
            startReadingAhead();
            return true;
        }
        // The buffer holds the start of one line, perhaps followed by a CR
        // whose LF is still to come, or the start of a byte-order mark.
        const bool endsInCr = m_filled > 0 && m_buffer.get()[m_filled - 1] == '\r';
        if (m_byteOrderMarkSettled && m_filled - (endsInCr ? 1 : 0) > maxLineBytes)
            return fail(lineTooLongReason(maxLineBytes));
        if (m_endOfFile)
            return false;
        if (m_lineEnds)
            m_scanned = m_filled > 0 ? m_filled - 1 : 0;
        if (!fill())
            return false;
    }
}

// Asks for the next block to be read behind the unread rest of this one,
// into the other buffer, while the caller reads this one's lines. Only
// once the file's start is settled, and only behind a rest no longer than
// a block, so that the second buffer stays small beside a long line.
void DataFileReader::startReadingAhead()
{
    if (!m_settings.readAhead || m_endOfFile || !m_lineEnds || !m_byteOrderMarkSettled)
        return;
    const std::size_t rest = m_filled - m_linesEnd;
    const std::size_t blockSize = m_settings.blockSize;
    if (rest > blockSize)
        return;
    if (!m_readAhead) {
        m_readAhead = ReadAhead::make(m_file);
        if (!m_readAhead) {
            m_settings.readAhead = false;
            return;
        }
    }
    char *next = m_readAhead->buffer(rest + blockSize);
    if (!next)
        return;
    std::memcpy(next, m_buffer.get() + m_linesEnd, rest);
    m_readAhead->ask(rest, blockSize);
}

// Makes the block read ahead the buffer: the rest of the last block, then
// what was read behind it.
bool DataFileReader::takeWhatWasReadAhead()
{
    const std::size_t rest = m_filled - m_linesEnd;
    const long long count = m_readAhead->take();
    m_readAhead->swapBuffers(m_buffer, m_capacity);
    m_filled = rest;
    m_linesEnd = m_position = m_scanned = 0;
    return tookRead(count);
}

// Takes in what a read behind the data in the buffer gave: its bytes, the
// end of the file, or a failure.
bool DataFileReader::tookRead(long long count)
{
    if (count < 0)
        return fail(m_file.errorString());
    if (count == 0)
        m_endOfFile = true;
    m_filled += std::size_t(count);
    return true;
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
        const std::size_t most = m_settings.maxLineBytes + 1 + blockSize;
        if (!grow(std::min(most, std::max(m_capacity * 2, m_filled + blockSize))))
            return false;
    }
    return tookRead(m_file.read(m_buffer.get() + m_filled, std::min(blockSize, m_capacity - m_filled)));
}

} // namespace sayvane
