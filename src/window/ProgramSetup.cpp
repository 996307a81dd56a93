// SPDX-License-Identifier: MIT
#include "ProgramSetup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>

#include <map>

namespace sayvane {
namespace {

const QString kStyleName = QStringLiteral("Fusion");

// The family to draw with: the requested one where it is installed,
// otherwise its nearest on a desktop without it. A font whose first family
// is missing makes the font system sort every installed font by likeness
// for each size and weight it is first drawn in, which takes longer than
// drawing the whole first frame; naming only an installed family spares it.
QString installedFamily(const QString &requested)
{
    static const std::map<QString, QString> nearest{
        {QString::fromLatin1(kMsSansSerif), QStringLiteral("Liberation Sans")},
        {QString::fromLatin1(kArial), QStringLiteral("Liberation Sans")},
        {QString::fromLatin1(kVerdana), QStringLiteral("DejaVu Sans")},
    };
    const auto substitute = nearest.find(requested);
    if (substitute == nearest.end() || QFontDatabase::families().contains(requested, Qt::CaseInsensitive))
        return requested;
    return substitute->second;
}

} // namespace

void setUpProgram()
{
    // Every number the program shows, and all else that depends on the
    // locale, is English (United States) whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setStyle(createProgramStyle());
    QApplication::setPalette(QApplication::style()->standardPalette());
    // Also the font every text box lays out its first empty text in, before
    // it takes its own: one the window draws in anyway.
    QApplication::setFont(programFont(kDefaultFontFamily, kDefaultFontPixelSize));
}

QStyle *createProgramStyle()
{
    return QStyleFactory::create(kStyleName);
}

QFont programFont(const char *family, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({installedFamily(QString::fromLatin1(family))});
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace sayvane
