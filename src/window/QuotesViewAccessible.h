// SPDX-License-Identifier: MIT
// What a screen reader learns of the quotations area: a read-only,
// multi-line text whose whole text and selection it can read.
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace sayvane {

QAccessibleInterface *quotesViewAccessibleFactory(const QString &className, QObject *object);

} // namespace sayvane
