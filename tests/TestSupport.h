// SPDX-License-Identifier: MIT
// Shared helpers of the tests: the files to try the program on (see
// ScratchFiles.h), files written line by line, the sample sections, and
// running a check as a user whom file permissions bind.
#pragma once

#include "LibraryTestSupport.h"
#include "NameArray.h"
#include "ScratchFiles.h"
#include "Windows1252.h"

#include <QByteArray>
#include <QList>
#include <QFile>
#include <QStringList>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace sayvane::test {

using scratch::HostileFile;
using scratch::ProgramFolder;
using scratch::writeSparse;

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
