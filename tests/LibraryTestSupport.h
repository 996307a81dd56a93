// SPDX-License-Identifier: MIT
// What the tests of the quote library and the fuzz target read its results
// through: names as text, and a section looked up by a name given as text.
#pragma once

#include "NameArray.h"
#include "SectionDisplay.h"
#include "Windows1252.h"

#include <QStringList>

namespace sayvane::test {

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
