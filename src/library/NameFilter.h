// Narrows a name array to the names that begin with a typed text.
#pragma once

#include <QList>
#include <QStringList>

namespace sayvane {

// The positions, in array order, of the names whose first characters equal
// the filter text (trimmed of spaces) apart from upper and lower case. An
// empty filter keeps every name.
QList<int> FilterNames(const QStringList &names, QStringView filterText);

} // namespace sayvane
