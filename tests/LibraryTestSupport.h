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

// The quotes of the section that a name given as text heads. A name that
// Windows-1252 cannot hold heads no section, but the file is still read:
// a CR stands in for it, as no line holds one.
inline ShownQuotes sectionQuotesOf(const QString &path, QStringView name, const ReadSettings &settings = {})
{
    const std::optional<QByteArray> encoded = encodeWindows1252(name);
    return sectionQuotes(path, encoded ? std::string_view(encoded->data(), encoded->size()) : std::string_view("\r"),
                         settings);
}

} // namespace sayvane::test
