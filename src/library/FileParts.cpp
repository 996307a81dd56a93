// SPDX-License-Identifier: MIT
#include "FileParts.h"

#include "ByteSearch.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace sayvane {

std::optional<QString> PartedFile::open(const QString &path, std::size_t partBytes, const ReadSettings &settings)
{
    m_parts.clear();
    if (const std::optional<QString> reason = m_file.open(path))
        return reason;
    const long long size = m_file.sizeWhenOpened();
    m_parts.push_back({0, size});
    // Faults are asked for by one reader at a time.
    if (partBytes == 0 || size < 2 * (long long)partBytes || settings.faults)
        return std::nullopt;
    // The first line end decides how every line ends; a reader that fails
    // before it leaves the file whole, to fail again as it is read.
    ReadSettings probe = settings;
    probe.blockSize = kPartReading.blockSize;
    probe.readAhead = false;
    DataFileReader first(probe);
    if (!first.openPart(m_file, 0, size, LineEnds::Classic) || first.atEnd() || !first.lineEndsKnown())
        return std::nullopt;
    m_lineEnds = first.lineEnds();
    for (long long nominal = (long long)partBytes; nominal < size; nominal += (long long)partBytes) {
        const FilePart &last = m_parts.back();
        if (nominal <= last.offset)
            continue;
        const std::optional<long long> start = nextLineStart(nominal);
        if (!start || *start >= size)
            break;
        if (*start <= last.offset)
            continue;
        m_parts.back().length = *start - last.offset;
        m_parts.push_back({*start, size - *start});
    }
    return std::nullopt;
}

// The first line start at or after `from` (above 0), or none where the
// rest cannot be read. Every line end byte ends a line; a classic CR takes
// the LF after it.
std::optional<long long> PartedFile::nextLineStart(long long from) const
{
    const char endByte = m_lineEnds == LineEnds::Lf ? '\n' : '\r';
    const long long size = m_file.sizeWhenOpened();
    RegularFile rest;
    if (rest.openPart(m_file, from - 1, size - from + 1))
        return std::nullopt;
    char buffer[1 << 12];
    long long at = from - 1;
    bool afterCr = false;
    for (;;) {
        const long long count = rest.read(buffer, sizeof buffer);
        if (count <= 0)
            return afterCr ? std::optional<long long>(at) : std::nullopt;
        if (afterCr)
            return at + (buffer[0] == '\n' ? 1 : 0);
        const char *found = findByte(buffer, buffer + count, endByte);
        if (!found) {
            at += count;
            continue;
        }
        at += (found - buffer) + 1;
        if (endByte == '\n')
            return at;
        if (found + 1 < buffer + count)
            return at + (found[1] == '\n' ? 1 : 0);
        afterCr = true; // whether an LF follows is in the next read
    }
}

bool PartedFile::openPart(DataFileReader &reader, std::size_t index) const
{
    const FilePart &part = m_parts[index];
    return reader.openPart(m_file, part.offset, part.length, m_lineEnds);
}

void forEachPart(const std::vector<const PartedFile *> &files, int threads, const ReadSettings &settings,
                 const std::function<void(std::size_t, std::size_t, DataFileReader &)> &work)
{
    std::size_t count = 0;
    for (const PartedFile *parted : files)
        count += parted->parts().size();
    if (threads <= 0)
        threads = usableCores();
    std::atomic<std::size_t> next{0};
    const auto takeParts = [&] {
        DataFileReader reader(settings); // its buffer serves each part in turn
        for (std::size_t taken = next++; taken < count; taken = next++) {
            std::size_t file = 0, index = taken;
            while (index >= files[file]->parts().size())
                index -= files[file++]->parts().size();
            files[file]->openPart(reader, index);
            work(file, index, reader);
        }
    };
    std::vector<std::thread> helpers;
    for (int helper = 1; helper < threads && std::size_t(helper) < count; ++helper) {
        try {
            helpers.emplace_back(takeParts);
        } catch (const std::system_error &) {
            break;
        }
    }
    takeParts();
    for (std::thread &helper : helpers)
        helper.join();
}

void forEachPart(const PartedFile &parted, int threads, const ReadSettings &settings,
                 const std::function<void(std::size_t, DataFileReader &)> &work)
{
    forEachPart({&parted}, threads, settings,
                [&work](std::size_t, std::size_t index, DataFileReader &reader) { work(index, reader); });
}

// At most eight: more cores add little once memory is read as fast as it
// can be, and each part in flight holds its buffers.
int usableCores()
{
    return std::clamp(QThread::idealThreadCount(), 1, 8);
}

} // namespace sayvane
