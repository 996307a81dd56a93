// SPDX-License-Identifier: MIT
// Shared helpers of the tests of the quote library: a program folder with
// its own Data/, files written line by line, and running a check as a user
// whom file permissions bind.
#pragma once

#include "LibraryTestSupport.h"
#include "NameArray.h"
#include "Windows1252.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace sayvane::test {

// A temporary program folder whose Data/ holds whatever the test writes.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(QStringLiteral("Data")); }

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
