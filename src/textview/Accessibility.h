// SPDX-License-Identifier: MIT
// What a screen reader learns of the read-only text view: a read-only,
// multi-line text with a caret and a selection. Every answer is bounded:
// no request walks or returns more than a stretch of the text around its
// offset, however long the text.
#pragma once

#include "ScreenReaderLimit.h"

#include <QtGlobal>

class QAccessibleInterface;
class QObject;
class QString;

namespace sayvane {

// The one conversion of a text position to an offset of the accessibility
// interfaces, which are ints: a text longer than that is read as far as
// they reach.
int accessibleOffset(qsizetype position);

QAccessibleInterface *readOnlyTextViewAccessibleFactory(const QString &className, QObject *object);

} // namespace sayvane
