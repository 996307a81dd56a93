// SPDX-License-Identifier: MIT
// Writing the program's text to standard output and standard error, where
// a write that fails (a full disk, a closed descriptor) is a failure of
// the command, as GNU programs treat it.
#pragma once

#include <QString>

#include <cstdio>

namespace sayvane {

// Writes and flushes the text; false when any of it could not be written.
bool writeText(std::FILE *stream, const QString &text);

// The status to end with after writing `text` to standard output: the
// intended one, or 1 with a line on standard error where the text could
// not be written; `done`, when given, ends that line and says what was
// done all the same.
int statusAfterWriting(const QString &text, int intended, const QString &done = {});

} // namespace sayvane
