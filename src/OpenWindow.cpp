// SPDX-License-Identifier: MIT
#include "OpenWindow.h"

#include "ExitStatus.h"
#include "FileNames.h"
#include "ProgramNames.h"
#include "StandardOutput.h"
#include "WindowModule.h"

#include <cerrno>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace sayvane {
namespace {

// Loads the module beside the program's real location, through the
// program's folder opened as a descriptor, so that any folder name and any
// depth will do. The module is named by path, not found through the run
// path: a sanitizer's own dlopen is the caller then, and has none. Null,
// with the reason, where it cannot be loaded.
void *loadWindowModule(QString &reason)
{
    const std::optional<QString> folder = programFolder();
    const int descriptor = folder ? openPath(*folder, O_PATH | O_DIRECTORY | O_CLOEXEC) : -1;
    if (descriptor < 0) {
        // Where the program's folder is unknown, the run path ($ORIGIN).
        void *module = ::dlopen(kWindowModuleName, RTLD_NOW | RTLD_LOCAL);
        if (!module)
            reason = QString::fromLocal8Bit(::dlerror());
        return module;
    }
    void *module = nullptr;
    if (::faccessat(descriptor, kWindowModuleName, R_OK, 0) != 0) {
        reason = QStringLiteral("%1/%2: %3")
                     .arg(readableFileName(*folder), QLatin1String(kWindowModuleName),
                          QString::fromLocal8Bit(std::strerror(errno)));
    } else {
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(descriptor) + '/' + kWindowModuleName;
        module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module)
            reason = QString::fromLocal8Bit(::dlerror());
    }
    ::close(descriptor);
    return module;
}

} // namespace

int openWindow(char *programName, const std::optional<QString> &namedFolder)
{
    // Never unloaded: Qt's own ending runs after main returns.
    QString reason;
    void *module = loadWindowModule(reason);
    void *entry = module ? ::dlsym(module, kWindowEntryName) : nullptr;
    if (module && !entry)
        reason = QString::fromLocal8Bit(::dlerror());
    if (!entry) {
        writeText(stderr,
                  QStringLiteral("%1: the window cannot be opened: %2\n").arg(QLatin1String(kCommandName), reason));
        return kExitStartFailed;
    }
    return reinterpret_cast<WindowEntry>(entry)(programName, &namedFolder);
}

} // namespace sayvane
