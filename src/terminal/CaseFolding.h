// SPDX-License-Identifier: MIT
// Upper and lower case as one, as the name filter has them: each character
// lowered with Unicode's mapping of one character, in every script.
#pragma once

#include <QList>
#include <QString>

namespace sayvane::terminal {

// The text with every character lowered.
QString foldedCase(QStringView text);

// Every text whose folded case is that of the phrase's first characters:
// as many of them as keep the number of such texts at most `most` (one at
// least). "The" gives "the", "thE", ..., "THE"; "İ" and "K" (the Kelvin
// sign), which lower to "i" and "k", are among the cases of those letters.
QList<QString> caseVariantsOfStart(QStringView phrase, qsizetype most);

} // namespace sayvane::terminal
