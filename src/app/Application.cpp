#include "app/Application.h"

#include "ui/ErrorDisplay.h"

namespace zomi {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zomi"));
    setApplicationVersion(QStringLiteral("23.0.0.44"));
    setOrganizationName(QStringLiteral("Tarvelo"));
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
