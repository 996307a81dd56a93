// SPDX-License-Identifier: MIT
// Adds one quotation to a collection: the last line of its author's
// section in authors.txt and of its subject's in subjects.txt, each file
// kept in its own form, both written through the collection writer.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace sayvane::keeping {

struct AddRequest
{
    QString text;
    std::optional<QString> author;  // none: authors.txt stays as it is
    std::optional<QString> subject; // none: subjects.txt stays as it is
};

// Why the request cannot be added, before anything is read: a text or a
// name that is empty once trimmed of spaces, or that holds a line end (CR,
// LF, U+2028, U+2029). Nothing when it can.
std::optional<QString> refusalOf(const AddRequest &request);

// Where a quotation went.
struct AddedLine
{
    QString file;        // "authors.txt"
    QString name;        // the heading it stands under
    qint64 line = 0;     // its line number, the first line being 1
    bool newHeading = false;
};

struct AddResult
{
    QList<AddedLine> added;
    std::optional<QString> failure; // "PATH: reason"; nothing was written
};

// Adds the quotation of a request that refusalOf() lets pass. In a file,
// it becomes the last line of the first section of the name together with
// the sections of that name directly after it, or, where no heading has
// the name, the line under a new heading at the end. A missing file is
// made new (UTF-8, LF); so is the other one of a folder that has neither,
// empty, so that the window can open it.
AddResult addQuotation(const QString &folder, const AddRequest &request);

// What the command prints: `Added to authors.txt under "Seneca" (line
// 1,204) and to subjects.txt under "Time" (line 88)`.
QString addedText(const AddResult &result);

} // namespace sayvane::keeping
