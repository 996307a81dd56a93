// Starts the program: the main window loads the collection and shows itself.
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sayvane"));
    sayvane::applyProgramStyle();
    sayvane::frmMain window(QApplication::applicationDirPath());
    if (!window.Form_Load())
        return 0;
    window.showCentred();
    return application.exec();
}
