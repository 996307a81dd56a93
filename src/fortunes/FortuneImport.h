// SPDX-License-Identifier: MIT
// Imports fortune files into a collection: every entry one quotation line,
// under its author in authors.txt and under its file's name in
// subjects.txt, written UTF-8 with LF line ends.
#pragma once

#include "DataFileReader.h"
#include "FortuneSources.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace sayvane::fortunes {

// The author heading of the entries without an attribution.
inline constexpr const char16_t *kUnattributed = u"Unattributed";

struct ImportReport
{
    qsizetype quotations = 0;
    qsizetype authors = 0;
    qsizetype subjects = 0;
    qsizetype unattributed = 0;   // quotations under kUnattributed
    qsizetype emptyEntries = 0;   // skipped: nothing but white space
    qsizetype duplicates = 0;     // written once: the same line again under one author
    qsizetype tooLong = 0;        // skipped: a line longer than the reader takes
    qsizetype sourceBytes = 0;    // what was read
    QList<PassedOver> passedOver; // files of the sources not imported
    // Why nothing was written: a source that could not be read, a folder
    // that could not be written, a file that exists without `replace`.
    std::optional<QString> failure;
};

// The two files' contents for the entries of these sources.
struct CollectionText
{
    QByteArray authors;
    QByteArray subjects;
};
CollectionText collectionOf(const QList<SourceFile> &files, ImportReport &report,
                            std::size_t maxLineBytes = kMaxLineBytes);

ImportReport importFortunes(const QString &folder, const QStringList &sources, bool replace);

// What the command prints after an import that succeeded.
QString reportText(const ImportReport &report, const QString &folder);

} // namespace sayvane::fortunes
