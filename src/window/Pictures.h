// SPDX-License-Identifier: MIT
// The program's pictures: the window icon and the banner, in the resources
// compiled into the program, each also at twice the pixels.
#pragma once

#include <QPixmap>
#include <QString>

namespace sayvane {

// Begins reading every picture of the resources on a thread of its own, so
// that the window finds them read when it asks; the first reading of the
// banner loads the JPEG image plugin, which takes longer than building
// half the window. Call once the application exists: Qt finds its plugin
// through it.
void readPicturesAhead();

// A picture of the resources, its @2x file where the screen has twice the
// pixels or more, with the device pixel ratio of the file read.
QPixmap programPicture(const QString &path, qreal devicePixelRatio);

} // namespace sayvane
