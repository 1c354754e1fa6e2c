// Zomi: the work-order register of a maintenance office.
//
//   zomi [--data-dir DIR]                 run; DIR holds Zomi.ini (also ZOMI_DATA_DIR)
//   zomi --write-profile DIR PROFILE      store a connection profile in DIR/Zomi.ini
//                                         ("database;host;port;user;password;name") and end
//   zomi --help | --version

#include "app/Main.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/WheelAsArrowKeys.h"
#include "common/Settings.h"
#include "ui/Boxes.h"
#include "ui/Pictures.h"

namespace {

int writeProfile(const zomi::CommandLine& line) {
    QDir().mkpath(line.profileDir);
    zomi::SettleDataDir(line.profileDir);
    if (const QString refusal = zomi::SettingsRefusal(); !refusal.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(refusal));
        return 1;
    }
    try {
        const int n = zomi::StoreProfileOnce(line.profile);
        std::printf(
            "%s\n",
            qPrintable(QStringLiteral("A tárhely a(z) ConStr%1 kulcsra került: %2")
                           .arg(n)
                           .arg(QDir(line.profileDir).filePath(QStringLiteral("Zomi.ini")))));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

// Before any application object exists the arguments are only bytes; they are
// in the locale's encoding, as Qt itself reads them.
QStringList argumentsOf(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    const zomi::CommandLine line = zomi::ParseCommandLine(argumentsOf(argc, argv));
    switch (line.action) {
        case zomi::CommandLine::Action::Help:
            std::fputs(zomi::HelpText().toLocal8Bit().constData(), stdout);
            return 0;
        case zomi::CommandLine::Action::Version:
            std::fputs(zomi::VersionText().toLocal8Bit().constData(), stdout);
            return 0;
        case zomi::CommandLine::Action::Fail:
            std::fprintf(stderr, "%s\n%s", qPrintable(line.error),
                         zomi::HelpText().toLocal8Bit().constData());
            return 2;
        case zomi::CommandLine::Action::WriteProfile: {
            // Writing a profile needs no display: it may run in an installation script.
            QCoreApplication core(argc, argv);
            return writeProfile(line);
        }
        case zomi::CommandLine::Action::Run:
            break;
    }
    zomi::Application app(argc, argv);
    app.setWindowIcon(zomi::ProgramIcon());

    const QString programName =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
    zomi::SingleInstance instance(programName);
    switch (instance.claim()) {
        case zomi::SingleInstance::Claim::Claimed:
            break;
        case zomi::SingleInstance::Claim::AskedRunning:
            // The running one comes to the front; this one ends, as asked.
            std::fprintf(stderr, "%s; az ablaka előtérbe került.\n",
                         qUtf8Printable(instance.heldMessage()));
            return 0;
        case zomi::SingleInstance::Claim::Unanswered:
            zomi::WarningBox(instance.heldMessage() +
                                 QStringLiteral(", de nem válaszol. Zárja be a futó Zomit, vagy "
                                                "várjon, amíg elindul."),
                             nullptr);
            return 1;
    }

    QString dir = line.dataDir;
    if (dir.isEmpty()) dir = qEnvironmentVariable("ZOMI_DATA_DIR");
    zomi::SettleDataDir(dir);
    zomi::SetWorkAreaFromPrimaryScreen();

    zomi::WheelAsArrowKeys wheel;
    app.installEventFilter(&wheel);

    zomi::Tfrm_Main window;
    QObject::connect(&instance, &zomi::SingleInstance::activationRequested, &window,
                     &zomi::Tfrm_Main::bringToFront);
    if (window.startUp()) window.show();
    return app.exec();
}
