// SPDX-License-Identifier: MIT
// Shared helpers of the tests: a program folder with its own Data/, files
// written line by line, the sample sections, hostile files in place of a
// data file, and running a check as a user whom file permissions bind.
#pragma once

#include "LibraryTestSupport.h"
#include "NameArray.h"
#include "Windows1252.h"

#include <QByteArray>
#include <QList>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sayvane::test {

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

// Joins lines with CR LF and ends the last one with CR LF too.
inline QByteArray crlfLines(std::initializer_list<const char *> lines)
{
    QByteArray bytes;
    for (const char *line : lines)
        bytes.append(line).append("\r\n");
    return bytes;
}

// Eleven lines of every kind: a quote line before any heading, an empty
// line, a heading with a space after its marks, one with spaces before
// them, a repeated name, and a tab before the marks (no heading). Its
// names are "Courage", " Patience", "##Hope" and "Courage".
inline const QByteArray kSampleSections = crlfLines(
    {"A short note before any heading", "##Courage", "Courage quotation one.", "", "## Patience",
     "Patience quotation one.", "  ##Hope", "Hope quotation one.", "##Courage", "Courage quotation two.", "\t##Joy"});

// Quote lines to search: before any heading, indented, under a heading
// that itself holds the word, a heading line with leading spaces (never
// searched), and a tab inside a line.
inline const QByteArray kSearchAuthors = crlfLines({
    "Loose Wisdom before any heading",
    "##Plato",
    "Wisdom begins in wonder.",
    "  Indented wisdom line",
    "##Seneca wisdom",
    "wisdom, wisdom and more wisdom",
    "No match here.",
    "  ##Heading wisdom too",
    "##Twain",
    "Get your facts first.",
    "A tab\tinside",
});

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

// A name array holding these names, each as Windows-1252 bytes.
inline NameArray nameArray(const QStringList &names)
{
    NameArray array;
    for (const QString &name : names) {
        const QByteArray bytes = encodeWindows1252(name).value();
        array.append({bytes.constData(), std::size_t(bytes.size())});
    }
    return array;
}

// A regular file that opens but fails every read: a power attribute of the
// kernel that exists on every Linux system and answers with an I/O error
// where runtime power management is off. Empty when there is none here.
inline QString unreadableRegularFile()
{
    for (const char *candidate : {"/sys/devices/system/cpu/power/autosuspend_delay_ms",
                                  "/sys/devices/system/cpu/cpu0/power/autosuspend_delay_ms",
                                  "/sys/devices/system/node/power/autosuspend_delay_ms"}) {
        QFile file(QString::fromLatin1(candidate));
        if (file.size() > 0 && file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            char byte;
            if (file.read(&byte, 1) < 0)
                return file.fileName();
        }
    }
    return {};
}

// Runs the check as a user whom file permissions bind: root reads every
// file whatever its mode, so as root the check runs in a child process that
// has given up its privileges. Returns the check's result.
inline int runUnprivileged(const std::function<int()> &check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        if (setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(100);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

} // namespace sayvane::test
