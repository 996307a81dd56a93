// SPDX-License-Identifier: MIT
// The program's pictures: the window icon and the banner, in the resources
// compiled into the program, each also at twice the pixels.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

#include <map>

namespace sayvane {

// Every picture of the resources, read. The first reading of the banner
// loads the JPEG image plugin, which takes longer than building half the
// window, so a start reads them on a thread of its own (needs the
// application to exist: Qt finds its plugin through it).
class ProgramPictures
{
public:
    static ProgramPictures readAll();

    // A picture, its @2x file where the screen has twice the pixels or
    // more, with the device pixel ratio of the file read; null for a path
    // the resources do not hold.
    QPixmap picture(const QString &path, qreal devicePixelRatio) const;

private:
    std::map<QString, QImage> m_byPath;
};

} // namespace sayvane
