// SPDX-License-Identifier: MIT
// What the tests of the quote library and the fuzz target read its results
// through: names as text, a section looked up by a name given as text, and
// files written and read whole.
#pragma once

#include "NameArray.h"
#include "SectionDisplay.h"
#include "Windows1252.h"

#include <QFile>
#include <QStringList>

namespace sayvane::test {

// A file of these bytes, or the end of the test.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A file's bytes, or "<none>" where there is no file to read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// The block sizes every reading test runs at: single bytes, sizes that
// split CR LF and lines at every offset, a page, and the reader's own.
inline const std::size_t kBlockSizes[] = {1, 2, 3, 7, 4096, ReadSettings().blockSize};

// Every name of the array, as text.
inline QStringList namesOf(const NameArray &names)
{
    QStringList texts;
    texts.reserve(names.size());
    for (qsizetype position = 0; position < names.size(); ++position)
        texts.append(names.text(position));
    return texts;
}

// The quotes of the section that a name given as text heads, asked for
// with the name's UTF-8 bytes, as a heading in a UTF-8 file would hold it.
inline ShownQuotes sectionQuotesOf(const QString &path, QStringView name, const ReadSettings &settings = {})
{
    const QByteArray utf8 = name.toUtf8();
    return sectionQuotes(path, std::string_view(utf8.constData(), std::size_t(utf8.size())), settings);
}

} // namespace sayvane::test
