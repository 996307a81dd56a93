// SPDX-License-Identifier: MIT
// A data file split into parts that each begin at a line start, read by
// readers of their own on threads of their own, so that the cores of the
// machine share the reading of one large file.
#pragma once

#include "DataFileReader.h"

#include <functional>
#include <optional>
#include <vector>

namespace sayvane {

// How a command splits a large file: parts of about `partBytes`, read on
// up to `threads` threads at once.
struct PartSettings
{
    std::size_t partBytes = std::size_t(8) << 20;
    int threads = 0; // 0: as many as the machine runs at once (see usableCores)
};

// How parts are read: in blocks small enough to stay in the core's cache
// between the system's copy and the command's look at them.
inline const ReadSettings kPartReading{.blockSize = std::size_t(64) << 10};

struct FilePart
{
    long long offset = 0;
    long long length = 0;
};

class PartedFile
{
public:
    // Opens the file and splits it into parts of about `partBytes`, each
    // after the first beginning where a line begins. A file smaller than
    // two parts, or whose first line does not end within what a reader
    // holds, is one part. Returns the reason when the file cannot be
    // opened.
    std::optional<QString> open(const QString &path, std::size_t partBytes, const ReadSettings &settings);

    const std::vector<FilePart> &parts() const { return m_parts; }
    // Opens the reader on one part; false with the reader's reason.
    bool openPart(DataFileReader &reader, std::size_t index) const;

private:
    std::optional<long long> nextLineStart(long long from) const;

    RegularFile m_file;
    LineEnds m_lineEnds = LineEnds::Classic;
    std::vector<FilePart> m_parts;
};

// Calls work(index, reader) once for each part, on the caller's thread and
// up to `threads` - 1 threads more (0: as many as the machine runs at
// once), each taking the lowest part not yet taken, with a reader of its
// own opened on it (or failed to open, saying why); where no thread can be
// had, the caller reads every part. Returns once every call has returned.
void forEachPart(const PartedFile &parted, int threads, const ReadSettings &settings,
                 const std::function<void(std::size_t, DataFileReader &)> &work);
// The same for the parts of several files, as one row: those of the first
// file, then those of the next, with work(file, index, reader); a file's
// last parts and the next file's first are read at once.
void forEachPart(const std::vector<const PartedFile *> &files, int threads, const ReadSettings &settings,
                 const std::function<void(std::size_t, std::size_t, DataFileReader &)> &work);

// How many threads the machine runs at once for this process, up to eight.
int usableCores();

} // namespace sayvane
