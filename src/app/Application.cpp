#include "app/Application.h"

#include "common/ProgramVersion.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zomi"));
    setApplicationVersion(QLatin1String(kProgramVersion));
    setOrganizationName(QStringLiteral("Tarvelo"));
    // Lets the desktop match the windows with the menu entry and its icon.
    setDesktopFileName(QStringLiteral("zomi"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(error, activeWindow());
        return false;
    }
}

}  // namespace zomi
