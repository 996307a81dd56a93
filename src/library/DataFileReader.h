// Sequential reader of one data file: whole lines, or blocks of whole lines.
#pragma once

#include <QFile>
#include <QString>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace sayvane {

// A data file that could not be opened or read, with the system's reason.
struct ReadFailure
{
    QString path;
    QString reason;
};

// A line ends at CR LF or at a CR not followed by LF; a LF on its own is an
// ordinary character. A terminator at the very end of the file does not
// start a further, empty line. The file is read in blocks of a fixed size,
// so memory grows with the longest line, never with the size of the file.
class DataFileReader
{
public:
    static constexpr std::size_t kDefaultBlockSize = 256 * 1024;

    explicit DataFileReader(std::size_t blockSize = kDefaultBlockSize);
    ~DataFileReader();
    DataFileReader(const DataFileReader &) = delete;
    DataFileReader &operator=(const DataFileReader &) = delete;

    // False when the file cannot be opened; errorString() then says why.
    bool open(const QString &path);
    // True when no byte is left to read, or when reading has failed.
    bool atEnd();
    // The next line without its terminator. The view stays valid until the
    // next call on this reader. Only call it while atEnd() is false.
    std::string_view readLine();
    // The rest of the current block of whole lines (each with its
    // terminator, except a last line at the end of the file), or an empty
    // view at the end. Lets a caller scan many lines at once.
    std::string_view readLines();
    void close();

    // True once a read has failed; the lines before the failure were read.
    bool failed() const { return m_failed; }
    QString errorString() const { return m_error; }

private:
    bool fetchLines();
    bool fill();
    std::size_t endOfWholeLines() const;

    std::size_t m_blockSize;
    QFile m_file;
    std::vector<char> m_buffer;
    std::size_t m_filled = 0;   // bytes of m_buffer holding file data
    std::size_t m_linesEnd = 0; // end of the whole lines handed out in this block
    std::size_t m_position = 0; // next unread byte within the whole lines
    std::size_t m_scanned = 0;  // bytes already known to hold no usable CR
    bool m_endOfFile = false;
    bool m_failed = false;
    QString m_error;
};

// Reads the file from its first line, handing each block of whole lines
// to visit(lines) until visit returns false or the file ends, and closes it
// again. Returns the failure when the file could not be opened or read.
template <typename Visit>
std::optional<ReadFailure> forEachBlock(const QString &path, std::size_t blockSize, Visit visit)
{
    DataFileReader reader(blockSize);
    if (!reader.open(path))
        return ReadFailure{path, reader.errorString()};
    while (!reader.atEnd()) {
        if (!visit(reader.readLines()))
            return std::nullopt;
    }
    if (reader.failed())
        return ReadFailure{path, reader.errorString()};
    return std::nullopt;
}

} // namespace sayvane
