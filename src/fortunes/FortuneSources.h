// SPDX-License-Identifier: MIT
// The fortune files that the named sources stand for: a file itself, or
// the files of a folder; each file once, however many names reach it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace sayvane::fortunes {

struct SourceFile
{
    QString path;
    QString subject; // the file's name, read as a line of a data file is
    QByteArray bytes;
};

// A file of a named folder that is not imported, and why.
struct PassedOver
{
    enum class Why { IndexFile, ReachedAgain, NotText, NotRegular };
    QString path;
    Why why;
};

struct Sources
{
    QList<SourceFile> files; // in the order named, a folder's files by name
    QList<PassedOver> passedOver;
    // Set when a named source, or a file of a named folder, could not be
    // read: the import then writes nothing.
    std::optional<QString> failure;
};

// The most bytes one source file may hold.
inline constexpr qsizetype kLargestSource = qsizetype(256) << 20;

// Reads every file the sources name. A folder's files are taken in the
// order of their names, without its subfolders; the ".dat" index files
// beside fortune files and files holding a NUL byte (not text) are passed
// over, and so is a file reached again through a link or another name.
Sources readSources(const QStringList &names);

} // namespace sayvane::fortunes
