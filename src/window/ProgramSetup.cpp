// SPDX-License-Identifier: MIT
#include "ProgramSetup.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include <map>

namespace sayvane {
namespace {

const QString kStyleName = QStringLiteral("Fusion");

} // namespace

void setUpProgram()
{
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setStyle(createProgramStyle());
    QApplication::setPalette(QApplication::style()->standardPalette());
}

QStyle *createProgramStyle()
{
    return QStyleFactory::create(kStyleName);
}

QFont programFont(const char *family, int pixelSize, bool bold)
{
    static const std::map<QString, QString> substitutes{
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")},
    };
    const QString requested = QString::fromLatin1(family);
    const auto substitute = substitutes.find(requested);
    QFont font;
    font.setFamilies(substitute == substitutes.end() ? QStringList{requested}
                                                     : QStringList{requested, substitute->second});
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace sayvane
