// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

// The pictures live in a static library, whose resources must be
// registered by hand, outside any namespace, as Qt's macro requires.
// Registering them again is harmless: Qt keeps each set once.
static void registerPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace sayvane {
namespace {

QImage readPictureFile(const QString &path)
{
    // The format is named and not guessed: guessing loads every image
    // plugin there is, to ask each whether it knows the file.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

ProgramPictures ProgramPictures::readAll()
{
    registerPictures();
    ProgramPictures pictures;
    const QDir folder(QStringLiteral(":/sayvane"));
    for (const QString &name : folder.entryList(QDir::Files))
        pictures.m_byPath.emplace(folder.filePath(name), readPictureFile(folder.filePath(name)));
    return pictures;
}

QPixmap ProgramPictures::picture(const QString &path, qreal devicePixelRatio) const
{
    const bool twice = devicePixelRatio > 1.5;
    const QFileInfo named(path);
    const QString file =
        twice ? named.path() + u'/' + named.completeBaseName() + QStringLiteral("@2x.") + named.suffix() : path;
    const auto found = m_byPath.find(file);
    if (found == m_byPath.end())
        return QPixmap();
    QPixmap picture = QPixmap::fromImage(found->second);
    picture.setDevicePixelRatio(twice ? 2.0 : 1.0);
    return picture;
}

} // namespace sayvane
