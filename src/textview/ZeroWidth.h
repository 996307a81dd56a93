// SPDX-License-Identifier: MIT
// Characters that take no width, made cheap to lay out.
#pragma once

#include <QString>

namespace sayvane {

// A soft hyphen takes no width and offers a line break, and a row of many
// such breaks that never fills costs time growing with the square of its
// length. Laid out as a word joiner, which offers none, it looks the same:
// nothing. The length of the text stays as it was.
inline QString &joinSoftHyphens(QString &text)
{
    return text.replace(QChar(0x00AD), QChar(0x2060));
}

} // namespace sayvane
