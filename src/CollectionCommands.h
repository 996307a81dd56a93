// SPDX-License-Identifier: MIT
// The commands that work on a collection at the terminal, without a
// display: each says what it did on standard output, or why it could not
// on standard error, and returns the program's exit status.
#pragma once

#include "CommandLine.h"

namespace sayvane {

int importFortunesCommand(const CommandLine &command);
int addQuotationCommand(const CommandLine &command);
int checkCollectionCommand(const CommandLine &command);
int drawQuotationCommand(const CommandLine &command);
int searchQuotationsCommand(const CommandLine &command);

} // namespace sayvane
