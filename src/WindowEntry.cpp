// SPDX-License-Identifier: MIT
// The entry of the window module (see WindowModule.h).
#include "DataFiles.h"
#include "DisplayFailure.h"
#include "FileNames.h"
#include "ProgramStart.h"
#include "WindowModule.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int sayvane_run_window(char *programName,
                                                                         const std::optional<QString> *namedFolder)
{
    using namespace sayvane;
    static_assert(std::is_same_v<decltype(&sayvane_run_window), WindowEntry>);
    endOnDisplayFailure();
    return runProgram(
        programName,
        [namedFolder] {
            return *namedFolder ? namedCollectionFolder(**namedFolder)
                                : collectionBesideProgram(programFolder().value_or(QApplication::applicationDirPath()));
        },
        {}, *namedFolder ? CollectionOrigin::Named : CollectionOrigin::BesideProgram);
}
