// SPDX-License-Identifier: MIT
// Writes the two files of a collection so that they appear together or
// not at all: each is written beside its target and renamed into place
// only once both are complete.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace sayvane::fortunes {

// Writes authors.txt and subjects.txt into the folder, making the folder
// if it is missing. An existing file is replaced only when `replace` is
// set. On any failure (an existing file, a folder that cannot be made or
// written, a full disk, a signal that ends the program) the folder is left
// as it was, and the reason is returned.
std::optional<QString> writeCollection(const QString &folder, const QByteArray &authors, const QByteArray &subjects,
                                       bool replace);

} // namespace sayvane::fortunes
