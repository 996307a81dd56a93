// SPDX-License-Identifier: MIT
// A data file opened for reading as it is at the moment of opening: only a
// regular file is accepted, decided on the opened file itself, and reading
// never goes past the size the file had then.
#pragma once

#include <QString>

#include <cstddef>
#include <optional>

class QFile;

namespace sayvane {

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
#ifdef Q_OS_UNIX
    int m_descriptor = -1;
#else
    QFile *m_file = nullptr;
#endif
    QString m_error;
};

QString notARegularFileReason();

} // namespace sayvane
