// SPDX-License-Identifier: MIT
// Every quote line of a data file that contains a phrase.
#pragma once

#include "ShownText.h"

namespace sayvane {

// The shortest phrase worth searching for, in characters (a surrogate pair
// is one character), counted after trimming spaces.
constexpr qsizetype kMinimumPhraseLength = 3;

// What the user is told when the phrase is shorter.
QString phraseTooShortMessage();

// The typed text trimmed of spaces, or nothing when it is too short.
std::optional<QStringView> searchPhrase(QStringView typedText);

// Reads the whole file afresh and shows, in file order, every quote line
// (heading lines are never searched) that contains the phrase exactly,
// case-sensitive. A line with several occurrences is shown once.
ShownQuotes searchQuotes(const QString &path, QStringView phrase, const ReadSettings &settings = {},
                          qsizetype shownTextLimit = kShownTextLimit);

} // namespace sayvane
