// SPDX-License-Identifier: MIT
// File names are bytes. A name that is not valid UTF-8 (a Latin-1 name
// from an old archive) is carried in text with each byte that UTF-8 cannot
// read as a lone surrogate U+DC80 to U+DCFF, so that it reaches the system
// again as the very bytes it was; and a path longer than the system takes
// at once is opened a folder at a time.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace sayvane {

// The name as text, its bytes that are not UTF-8 kept as lone surrogates.
QString fileNameFromBytes(QByteArrayView bytes);
// The bytes of a name made by fileNameFromBytes, or of any other text.
QByteArray fileNameBytes(QStringView name);
// The name for a message: each byte that is not UTF-8 shown as a
// backslash and three octal digits, as `ls -b` shows it.
QString readableFileName(QStringView name);

// The working folder as text, or nothing where the system cannot say it
// (a folder deeper than it can name at once).
std::optional<QString> workingFolder();
// The folder that holds the running program, or nothing.
std::optional<QString> programFolder();

#ifdef Q_OS_UNIX
// Opens the path with these flags, a folder at a time where the whole path
// is longer than the system takes; -1 with errno set on failure.
int openPath(const QString &path, int flags);
// The same for the status of the path, following links as stat does.
int statPath(const QString &path, struct stat *status);
#endif

} // namespace sayvane
