#include "app/Application.h"

#include <QLibraryInfo>
#include <cstdio>

#include "common/ProgramVersion.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zomi"));
    setApplicationVersion(QLatin1String(kProgramVersion));
    setOrganizationName(QStringLiteral("Tarvelo"));
    // Lets the desktop match the windows with the menu entry and its icon.
    setDesktopFileName(QStringLiteral("zomi"));
    // Qt's translation of its own texts ("Yes", "Look in", the print
    // preview's tips): installed with Qt, or shipped beside the program.
    const QString name = QStringLiteral("qtbase_hu");
    if (qtTranslation_.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtTranslation_.load(name, applicationDirPath() + QStringLiteral("/translations"))) {
        installTranslator(&qtTranslation_);
    } else {
        // The program works all the same, its standard dialogs in English.
        std::fprintf(stderr, "Zomi: qtbase_hu.qm not found; Qt's dialogs stay in English\n");
    }
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
