// SPDX-License-Identifier: MIT
// A data file opened for reading as it is at the moment of opening: only a
// regular file is accepted, decided on the opened file itself, and reading
// never goes past the size the file had then.
#pragma once

#include <QString>

#include <cstddef>
#include <optional>

#include <functional>

class QFile;

// The portable way to open and read files, through Qt alone; POSIX systems
// use their own calls unless SAYVANE_PORTABLE_FILES asks for it (to test it).
#if defined(Q_OS_UNIX) && !defined(SAYVANE_PORTABLE_FILES)
#define SAYVANE_POSIX_FILES 1
#endif

namespace sayvane {

// What a read does instead of reading: fail with an I/O error, read fewer
// bytes than it could, or be interrupted by a signal before it reads. The
// faults a disk or a network file system can bring, on demand, so that the
// readers built on this file can be shown to bear each.
enum class ReadFault { None, Error, Short, Interrupted };
// Asked before every read of the file for that read's fault; empty: every
// read reads. Each file asks its own, on the thread that reads it.
using ReadFaults = std::function<ReadFault()>;

class RegularFile
{
public:
    explicit RegularFile(ReadFaults faults = {})
        : m_faults(std::move(faults))
    {
    }
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    // How far reading goes: the size the file had when it was opened, or
    // its end, for a file that reports no size (those of /proc) and is
    // read whole.
    enum class Extent { SizeWhenOpened, ToTheEnd };

    // Opens without waiting: a FIFO, a device, a socket or a folder is
    // refused with the reason "not a regular file", even when it was swapped
    // in for a regular file an instant before. Returns the reason on failure.
    std::optional<QString> open(const QString &path, Extent extent = Extent::SizeWhenOpened);
    // Up to `capacity` bytes, fewer at the end of the snapshot; 0 at its end
    // or where the file now ends. -1 on a read error; errorString() says why.
    long long read(char *buffer, std::size_t capacity);
    void close();

    // The size the file had when it was opened (see Extent), or -1 for a
    // file read to its end.
    long long sizeWhenOpened() const { return m_size; }
    // Opens `length` bytes of an open file from `offset` as a file of their
    // own: the same file, even if its name now leads elsewhere, with reads
    // of its own that leave the whole file's alone, so that parts can be
    // read on threads of their own. Returns the reason on failure.
    std::optional<QString> openPart(const RegularFile &whole, long long offset, long long length);

    QString errorString() const { return m_error; }

private:
    // The fault of the next read: an error is reported as the system would
    // report it, a short read asks for less, and an interrupted read is
    // asked again, as a read interrupted by a signal is.
    ReadFault nextFault() const { return m_faults ? m_faults() : ReadFault::None; }
#ifdef SAYVANE_POSIX_FILES
    long readSome(char *buffer, std::size_t wanted);
#endif

    ReadFaults m_faults;
    long long m_remaining = 0; // bytes of the snapshot not yet read
    long long m_size = -1;
    long long m_offset = -1; // where a part reads next; -1 for a whole file
#ifdef SAYVANE_POSIX_FILES
    int m_descriptor = -1;
#else
    QFile *m_file = nullptr;
    QString m_path; // for a part, opened again by its name
#endif
    QString m_error;
};

QString notARegularFileReason();

} // namespace sayvane
