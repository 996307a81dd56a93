// SPDX-License-Identifier: MIT
// A display that cannot be reached, at start or lost later, ends the
// program with a message of its own and its own exit status, instead of
// Qt's abort (a core) or a status that says the collection failed.
#pragma once

namespace sayvane {

// Installs the handler of Qt's messages that turns the failures of the
// window system into that ending. Call before the application is made.
void endOnDisplayFailure();

} // namespace sayvane
