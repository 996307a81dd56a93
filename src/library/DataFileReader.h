// SPDX-License-Identifier: MIT
// Sequential reader of one data file: whole lines, or blocks of whole lines.
#pragma once

#include "LineTerminator.h"
#include "RegularFile.h"

#include <QString>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace sayvane {

// A data file that could not be opened or read, with the reason.
struct ReadFailure
{
    QString path;
    QString reason;
};

// The longest line of a data file, in bytes without its line end: what a
// reader must hold at once. The importer writes no longer line.
inline constexpr std::size_t kMaxLineBytes = std::size_t(256) << 20;

struct ReadSettings
{
    // Bytes asked of the system at a time.
    std::size_t blockSize = std::size_t(1) << 20;
    // The longest line the reader holds, in bytes. A longer line is a read
    // failure, so that a file without line ends (a sparse file of a
    // terabyte, say) costs a bounded amount of memory and time.
    std::size_t maxLineBytes = kMaxLineBytes;
    // What reads do instead of reading (see RegularFile); none by default.
    ReadFaults faults = {};
    // Whether the next block is read on a thread of its own while the
    // caller looks at the lines of this one, so that on two cores the
    // system's copy of the file costs no time of the caller's. For a
    // caller that reads the whole file and does little with each line.
    bool readAhead = false;
};

// The first line end of the file decides how all its lines end (see
// LineEnds): a LF first gives LF line ends, a CR first the classic ones. A
// UTF-8 byte-order mark at the very start is no part of the first line. A
// terminator at the very end of the file does not start a further, empty
// line. Each open decides afresh. The file is read in blocks of a fixed size
// and only as far as it reached when it was opened, so a file that grows
// meanwhile does not prolong the reading; memory grows with the longest
// line, up to the limit of the settings.
class DataFileReader
{
public:
    explicit DataFileReader(ReadSettings settings = {});
    ~DataFileReader();
    DataFileReader(const DataFileReader &) = delete;
    DataFileReader &operator=(const DataFileReader &) = delete;

    // False when the file cannot be opened; errorString() then says why.
    bool open(const QString &path);
    // Reads `length` bytes of an open file from `offset`, a line start, as
    // a file of their own with the whole file's line ends; the part at
    // offset 0 settles the byte-order mark and the line ends itself, as a
    // whole file does. False when the part cannot be opened.
    bool openPart(const RegularFile &whole, long long offset, long long length, LineEnds ends);
    // True when no line is left to read, or when reading has failed.
    bool atEnd();
    // The next line without its terminator. The view stays valid until the
    // next call on this reader. Only call it while atEnd() is false.
    std::string_view readLine();
    // The rest of the current block of whole lines (each with its
    // terminator, except a last line at the end of the file), or an empty
    // view at the end. Lets a caller scan many lines at once, splitting
    // them with the terminator of lineEnds().
    std::string_view readLines();
    // How the lines of the file end; known once a line has been read.
    LineEnds lineEnds() const { return m_lineEnds.value_or(LineEnds::Classic); }
    // False while no line end has been met (a file of one line has none).
    bool lineEndsKnown() const { return m_lineEnds.has_value(); }
    // True when the file began with a byte-order mark, known once a line
    // has been read.
    bool hadByteOrderMark() const { return m_byteOrderMark; }
    void close();

    // True once a read has failed; the lines before the failure were read.
    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }

private:
    bool fetchLines();
    bool settleByteOrderMark();
    void decideLineEnds();
    bool fill();
    bool grow(std::size_t capacity);
    std::size_t endOfWholeLines() const;
    bool fail(const QString &reason);
    void startReadingAhead();
    bool takeWhatWasReadAhead();
    bool tookRead(long long count);

    class ReadAhead;

    ReadSettings m_settings;
    RegularFile m_file;
    bool m_open = false;
    struct Free
    {
        void operator()(char *data) const { std::free(data); }
    };
    std::unique_ptr<char, Free> m_buffer; // grown by realloc, which can move large blocks without copying
    std::size_t m_capacity = 0;
    std::size_t m_filled = 0;   // bytes of m_buffer holding file data
    std::size_t m_linesEnd = 0; // end of the whole lines handed out in this block
    std::size_t m_position = 0; // next unread byte within the whole lines
    std::size_t m_scanned = 0;  // bytes already known to hold no usable line end
    bool m_byteOrderMarkSettled = false;
    bool m_byteOrderMark = false;
    std::optional<LineEnds> m_lineEnds; // decided at the first line end
    bool m_endOfFile = false;
    bool m_failed = false;
    QString m_error;
    std::unique_ptr<ReadAhead> m_readAhead; // made at the first block read ahead
};

QString lineTooLongReason(std::size_t maxLineBytes);

// Hands each block of whole lines of an open reader to visit(lines,
// terminator) until visit returns false or the lines end; returns the
// failure, naming the path, when reading failed.
template <typename Visit>
std::optional<ReadFailure> forEachBlockOf(DataFileReader &reader, const QString &path, Visit visit)
{
    while (!reader.atEnd()) {
        const std::string_view lines = reader.readLines();
        if (!withTerminator(reader.lineEnds(), [&](auto terminator) { return visit(lines, terminator); }))
            return std::nullopt;
    }
    if (reader.failed())
        return ReadFailure{path, reader.errorString()};
    return std::nullopt;
}

// Reads the file from its first line, handing each block of whole lines
// to visit(lines, terminator) until visit returns false or the file ends,
// and closes it again; the terminator is a LineTerminator of the file's
// line ends, so visit is best a generic lambda. Returns the failure when
// the file could not be opened or read.
template <typename Visit>
std::optional<ReadFailure> forEachBlock(const QString &path, const ReadSettings &settings, Visit visit)
{
    DataFileReader reader(settings);
    if (!reader.open(path))
        return ReadFailure{path, reader.errorString()};
    return forEachBlockOf(reader, path, visit);
}

} // namespace sayvane
