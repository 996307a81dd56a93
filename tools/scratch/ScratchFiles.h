// SPDX-License-Identifier: MIT
// Files to try the program on, shared by the tests and the benchmark: a
// program folder with its own Data/, sparse files, and hostile files in
// place of a data file.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sayvane::scratch {

// A temporary program folder whose Data/ holds whatever the test writes.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(QStringLiteral("Data")); }
    // One inside `parent` instead of the system's temporary folder.
    explicit ProgramFolder(const QString &parent)
        : m_dir((QDir().mkpath(parent), parent + QStringLiteral("/folder-XXXXXX")))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("Data"));
    }

    QString path() const { return m_dir.path(); }
    // The folder that holds the two data files.
    QString collection() const { return m_dir.path() + QStringLiteral("/Data"); }
    QString dataFile(const QString &name) const { return collection() + QStringLiteral("/") + name; }
    QString authors() const { return dataFile(QStringLiteral("authors.txt")); }
    QString subjects() const { return dataFile(QStringLiteral("subjects.txt")); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dataFile(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    void writeBoth(const QByteArray &authors, const QByteArray &subjects) const
    {
        write(QStringLiteral("authors.txt"), authors);
        write(QStringLiteral("subjects.txt"), subjects);
    }

private:
    QTemporaryDir m_dir;
};

// Writes the pieces at their offsets; the gaps stay holes of the file.
inline void writeSparse(const QString &path, const QList<std::pair<qint64, QByteArray>> &pieces, qint64 size = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    for (const auto &[offset, bytes] : pieces) {
        if (!file.seek(offset) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
    if (size > 0 && !file.resize(size))
        qFatal("cannot grow %s", qPrintable(path));
}

// Puts something no one should read in place of a data file, removing
// what stood there:
//   "folder", "fifo" (no writer ever comes), "socket", "dangling" (a link
//   to nothing), "device" (a link to /dev/zero), "endless" (a link to
//   /dev/urandom), "sparse terabyte" (holes without a line end), "missing"
//   (nothing at all), and "link" (a link to a regular file beside it that
//   holds the heading "Linked").
// A socket stays bound while this object lives.
class HostileFile
{
public:
    HostileFile(const QString &path, const QString &kind)
    {
        QFile::remove(path);
        const QByteArray native = QFile::encodeName(path);
        bool made = true;
        if (kind == "folder")
            made = QDir().mkdir(path);
        else if (kind == "fifo")
            made = mkfifo(native.constData(), 0600) == 0;
        else if (kind == "socket")
            made = bindSocket(native);
        else if (kind == "dangling")
            made = QFile::link(path + QStringLiteral(".nowhere"), path);
        else if (kind == "device")
            made = QFile::link(QStringLiteral("/dev/zero"), path);
        else if (kind == "endless")
            made = QFile::link(QStringLiteral("/dev/urandom"), path);
        else if (kind == "sparse terabyte")
            writeSparse(path, {}, qint64(1) << 40);
        else if (kind == "link") {
            const QString target = path + QStringLiteral(".target");
            QFile file(target);
            made = file.open(QIODevice::WriteOnly) && file.write("##Linked\r\n") == 10 && QFile::link(target, path);
        } else if (kind != "missing")
            qFatal("no hostile file of the kind %s", qPrintable(kind));
        if (!made)
            qFatal("cannot make a %s at %s", qPrintable(kind), qPrintable(path));
    }
    ~HostileFile()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    HostileFile(const HostileFile &) = delete;
    HostileFile &operator=(const HostileFile &) = delete;

private:
    bool bindSocket(const QByteArray &native)
    {
        m_socket = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, native.constData(), sizeof(address.sun_path));
        return m_socket >= 0 && bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    }

    int m_socket = -1;
};

} // namespace sayvane::scratch
