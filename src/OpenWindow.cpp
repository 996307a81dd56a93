// SPDX-License-Identifier: MIT
#include "OpenWindow.h"

#include "ExitStatus.h"
#include "ProgramNames.h"
#include "StandardOutput.h"
#include "WindowModule.h"

#include <dlfcn.h>

namespace sayvane {

int openWindow(char *programName, const std::optional<QString> &namedFolder)
{
    // Never unloaded: Qt's own ending runs after main returns.
    void *module = ::dlopen(kWindowModuleName, RTLD_NOW | RTLD_LOCAL);
    void *entry = module ? ::dlsym(module, kWindowEntryName) : nullptr;
    if (!entry) {
        writeText(stderr, QStringLiteral("%1: the window cannot be opened: %2\n")
                              .arg(QLatin1String(kCommandName), QString::fromLocal8Bit(::dlerror())));
        return kExitStartFailed;
    }
    return reinterpret_cast<WindowEntry>(entry)(programName, &namedFolder);
}

} // namespace sayvane
