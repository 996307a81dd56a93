// SPDX-License-Identifier: MIT
#include "ProgramStart.h"

#include "DataFiles.h"
#include "HeadingLoader.h"
#include "Pictures.h"
#include "frmMain.h"

#include <QAccessible>

#include <future>
#include <system_error>

#ifdef SAYVANE_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace sayvane {

std::thread startFontConfiguration()
{
    const auto loadConfiguration = [] {
#ifdef SAYVANE_HAS_FONTCONFIG
        // Loads the configuration once for the whole process; the font
        // database's own call later finds it loaded. Safe on any thread.
        FcInit();
#endif
    };
    try {
        return std::thread(loadConfiguration);
    } catch (const std::system_error &) {
        // No thread to be had (a limit on processes): the same work, now.
        loadConfiguration();
        return std::thread();
    }
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
    // No data file is opened before both have passed the existence test,
    // which the window makes first; where either is missing, the names
    // are never loaded.
    const auto loadNames = [collectionFolder] { return loadCollectionNames(collectionFolder); };
    std::future<CollectionNames> names;
    if (dataFileExists(authorsFilePath(collectionFolder)) && dataFileExists(subjectsFilePath(collectionFolder))) {
        try {
            names = std::async(std::launch::async, loadNames);
        } catch (const std::system_error &) {
            // No thread to be had: the names are loaded on this thread
            // when the window asks for them.
            names = std::async(std::launch::deferred, loadNames);
        }
    } else {
        names = std::async(std::launch::deferred, loadNames);
    }
    readPicturesAhead();
    auto window = std::make_unique<frmMain>(collectionFolder, std::move(messageBoxes));
    if (!window->Form_Load(std::move(names)))
        return nullptr;
    return window;
}

} // namespace sayvane
