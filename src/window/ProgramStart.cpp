// SPDX-License-Identifier: MIT
#include "ProgramStart.h"

#include "DataFiles.h"
#include "HeadingLoader.h"
#include "Pictures.h"
#include "ProgramSetup.h"
#include "frmMain.h"

#include <QAccessible>
#include <QApplication>

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#ifdef SAYVANE_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace sayvane {
namespace {

// A value worked out on a thread of its own from the moment it is made, or,
// where no thread can be had (a limit on processes), on the taking thread
// when it is taken. Taking waits for the thread; so does going away untaken.
template <typename Value> class WorkAside
{
public:
    explicit WorkAside(std::function<Value()> work)
        : m_work(std::move(work))
    {
        try {
            m_thread = std::thread([this] { workHere(); });
        } catch (const std::system_error &) {
        }
    }
    ~WorkAside()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    WorkAside(const WorkAside &) = delete;
    WorkAside &operator=(const WorkAside &) = delete;

    Value take()
    {
        if (m_thread.joinable())
            m_thread.join();
        else
            workHere();
        if (m_failure)
            std::rethrow_exception(m_failure);
        return std::move(*m_value);
    }

private:
    // An exception (out of memory, say) reaches the taker, as it would
    // have had the work been done on its thread.
    void workHere()
    {
        try {
            m_value.emplace(m_work());
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

    std::function<Value()> m_work;
    std::optional<Value> m_value;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

// The part of the font system's start that needs no display: reading its
// configuration and its cache of the installed fonts, which takes about as
// long as connecting to the display. Loaded once for the whole process;
// the font database's own call later finds it loaded. Where the font system
// is not fontconfig, nothing.
bool loadFontConfiguration()
{
#ifdef SAYVANE_HAS_FONTCONFIG
    return FcInit();
#else
    return true;
#endif
}

} // namespace

std::unique_ptr<frmMain> openMainWindow(const QString &collectionFolder,
                                        std::unique_ptr<MessageBoxesAndExit> messageBoxes, CollectionOrigin origin)
{
    // Qt's screen-reader bridge connects to the session bus when first
    // asked, which a control's first text does. Without a session bus,
    // libdbus starts a helper process to find one, and a process forked
    // while other threads hold locks can hang before it runs the helper,
    // and the window with it. So the bridge starts here, before the threads
    // below.
    QAccessible::isActive();
    const CollectionFiles files = findCollectionFiles(collectionFolder, origin);
    // Where either file is missing, neither is opened: the names are never
    // loaded and the window says what is missing. Each file has a thread of
    // its own, so that on two cores the two scans take the time of one.
    const auto namesOf = [&files](const QString &path) {
        return [&files, path] { return files.bothThere() ? loadHeadingNames(path) : LoadedNames(); };
    };
    WorkAside<LoadedNames> authors(namesOf(files.authors));
    WorkAside<LoadedNames> subjects(namesOf(files.subjects));
    WorkAside<ProgramPictures> pictures(&ProgramPictures::readAll);
    auto window = std::make_unique<frmMain>(std::move(messageBoxes));
    window->showPictures(pictures.take());
    if (!window->Form_Load(files, CollectionNames{authors.take(), subjects.take()}))
        return nullptr;
    return window;
}

int runProgram(char *programName, const std::function<QString()> &collectionFolder,
               const std::function<void(QWidget &)> &beforeShow, CollectionOrigin origin)
{
    WorkAside<bool> fontConfiguration(&loadFontConfiguration);
    // Qt sees only the program's name: the words of the command line are
    // the program's own, and a folder named like one of Qt's options stays
    // a folder.
    int applicationArgc = 1;
    char *applicationArgv[] = {programName, nullptr};
    QApplication application(applicationArgc, applicationArgv);
    fontConfiguration.take();
    setUpProgram();
    const std::unique_ptr<frmMain> window =
        openMainWindow(collectionFolder(), std::make_unique<MessageBoxesAndExit>(), origin);
    if (!window)
        return kExitStartFailed;
    if (beforeShow)
        beforeShow(*window);
    window->showCentred();
    return application.exec();
}

} // namespace sayvane
