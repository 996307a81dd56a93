// SPDX-License-Identifier: MIT
#include "BenchSupport.h"

#include "ProgramStart.h"
#include "frmMain.h"

#include <cstdio>
#include <cstdlib>

namespace sayvane::bench {

std::unique_ptr<frmMain> openedWindow(const QString &collectionFolder)
{
    std::unique_ptr<frmMain> window = openMainWindow(collectionFolder, std::make_unique<SilentMessageBoxes>());
    if (!window) {
        std::fprintf(stderr, "sayvane-bench: the collection in %s does not load\n", qPrintable(collectionFolder));
        std::exit(1);
    }
    return window;
}

} // namespace sayvane::bench
