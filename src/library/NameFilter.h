// SPDX-License-Identifier: MIT
// Narrows a name array to the names that begin with a typed text.
#pragma once

#include "NameArray.h"

#include <QList>
#include <QStringView>

namespace sayvane {

// The positions, in array order, of the names whose first characters equal
// the filter text (trimmed of spaces) apart from upper and lower case; both
// sides are lowered character by character with Unicode's mapping, which
// folds Latin, Greek and Cyrillic alike. A character is a character of the
// name's text, whichever encoding the name reads in. An empty filter keeps
// every name.
QList<int> filterNames(const NameArray &names, QStringView filterText);

} // namespace sayvane
