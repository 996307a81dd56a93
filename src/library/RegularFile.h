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

// What a read does instead of reading, for the tests of the readers built
// on it: fail with an I/O error, read fewer bytes than it could, or be
// interrupted by a signal before it reads.
enum class ReadFault { None, Error, Short, Interrupted };
// Asked before every read of every file with the number of the read (from
// 0, counted since it was set); an empty function reads normally.
void setReadFaults(std::function<ReadFault(long long)> faults);

class RegularFile
{
public:
    RegularFile() = default;
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    // Opens without waiting: a FIFO, a device, a socket or a folder is
    // refused with the reason "not a regular file", even when it was swapped
    // in for a regular file an instant before. Returns the reason on failure.
    std::optional<QString> open(const QString &path);
    // Up to `capacity` bytes, fewer at the end of the snapshot; 0 at its end
    // or where the file now ends. -1 on a read error; errorString() says why.
    long long read(char *buffer, std::size_t capacity);
    void close();

    QString errorString() const { return m_error; }

private:
    long long m_remaining = 0; // bytes of the snapshot not yet read
#ifdef SAYVANE_POSIX_FILES
    int m_descriptor = -1;
#else
    QFile *m_file = nullptr;
#endif
    QString m_error;
};

QString notARegularFileReason();

} // namespace sayvane
