// SPDX-License-Identifier: MIT
#include "ProgramStart.h"

#include "HeadingLoader.h"
#include "Pictures.h"
#include "frmMain.h"

#include <QAccessible>

#include <future>

#ifdef SAYVANE_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace sayvane {

std::thread startFontConfiguration()
{
    return std::thread([] {
#ifdef SAYVANE_HAS_FONTCONFIG
        // Loads the configuration once for the whole process; the font
        // database's own call later finds it loaded. Safe on any thread.
        FcInit();
#endif
    });
}

std::unique_ptr<frmMain> openMainWindow(const QString &collectionFolder,
                                        std::unique_ptr<MessageBoxesAndExit> messageBoxes)
{
    // Qt's screen-reader bridge connects to the session bus when first
    // asked, which a control's first text does. Without a session bus,
    // libdbus starts a helper process to find one, and a process forked
    // while other threads hold locks can hang before it runs the helper,
    // and the window with it. So the bridge starts here, before the threads
    // below.
    QAccessible::isActive();
    std::future<CollectionNames> names =
        std::async(std::launch::async, [collectionFolder] { return loadCollectionNames(collectionFolder); });
    readPicturesAhead();
    auto window = std::make_unique<frmMain>(collectionFolder, std::move(messageBoxes));
    if (!window->Form_Load(std::move(names)))
        return nullptr;
    return window;
}

} // namespace sayvane
