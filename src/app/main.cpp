#include <QApplication>

#include "commandline.h"
#include "pelmar.h"

int main(int argc, char** argv) {
    if (const std::optional<int> status = pelmar::answerCommandLine(argc, argv))
        return *status;
    std::optional<pelmar::DisplayGuard> noDisplay(std::in_place);
    QApplication app(argc, argv);
    noDisplay.reset();
    // The application name is the class of the windows (WM_CLASS), which the desktop
    // entry's StartupWMClass names; the desktop file name ties them to it on Wayland.
    QApplication::setApplicationName(QStringLiteral("PelmarEntry"));
    QApplication::setApplicationVersion(QStringLiteral(PELMAR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(PELMAR_APP_ID));
    return pelmar::run();
}
