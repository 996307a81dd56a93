// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <future>
#include <map>
#include <mutex>
#include <system_error>

// The pictures live in a static library, whose resources must be
// registered by hand, once, and outside any namespace, as Qt's macro
// requires.
static void registerPicturesOnce()
{
    static std::once_flag registered;
    std::call_once(registered, [] { Q_INIT_RESOURCE(resources); });
}

namespace sayvane {
namespace {

using PicturesByPath = std::map<QString, QImage>;

std::mutex aheadMutex;
std::shared_future<PicturesByPath> picturesReadAhead; // guarded by aheadMutex

QImage readPictureFile(const QString &path)
{
    // The format is named and not guessed: guessing loads every image
    // plugin there is, to ask each whether it knows the file.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage readPicture(const QString &path)
{
    std::shared_future<PicturesByPath> ahead;
    {
        const std::lock_guard lock(aheadMutex);
        ahead = picturesReadAhead;
    }
    if (ahead.valid()) {
        const PicturesByPath &pictures = ahead.get();
        if (const auto found = pictures.find(path); found != pictures.end())
            return found->second;
    }
    return readPictureFile(path);
}

} // namespace

void readPicturesAhead()
{
    registerPicturesOnce();
    const std::lock_guard lock(aheadMutex);
    try {
        picturesReadAhead = std::async(std::launch::async, [] {
                                PicturesByPath pictures;
                                const QDir folder(QStringLiteral(":/sayvane"));
                                for (const QString &name : folder.entryList(QDir::Files))
                                    pictures.emplace(folder.filePath(name), readPictureFile(folder.filePath(name)));
                                return pictures;
                            }).share();
    } catch (const std::system_error &) {
        // No thread to be had: each picture is read when it is first drawn.
        picturesReadAhead = {};
    }
}

QPixmap programPicture(const QString &path, qreal devicePixelRatio)
{
    registerPicturesOnce();
    const bool twice = devicePixelRatio > 1.5;
    const QFileInfo named(path);
    const QString file =
        twice ? named.path() + u'/' + named.completeBaseName() + QStringLiteral("@2x.") + named.suffix() : path;
    QPixmap picture = QPixmap::fromImage(readPicture(file));
    picture.setDevicePixelRatio(twice ? 2.0 : 1.0);
    return picture;
}

} // namespace sayvane
