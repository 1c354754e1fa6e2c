// Zomi: the work-order register of a maintenance office.
//
//   zomi [--data-dir DIR]                 run; DIR holds Zomi.ini (also ZOMI_DATA_DIR)
//   zomi --write-profile DIR PROFILE      store a connection profile in DIR/Zomi.ini
//                                         ("database;host;port;user;password;name") and end

#include "app/Main.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "app/Application.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/WheelAsArrowKeys.h"
#include "ui/Boxes.h"

namespace {

int writeProfile(const QStringList& args) {
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zomi --write-profile DIR PROFILE\n");
        return 2;
    }
    QDir().mkpath(args.at(0));
    zomi::SettleDataDir(args.at(0));
    try {
        const int n = zomi::StoreProfileOnce(args.at(1));
        std::printf("profile stored as ConStr%d in %s\n", n,
                    qPrintable(QDir(args.at(0)).filePath("Zomi.ini")));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Writing a profile needs no display: it may run on a server or in a script.
    if (argc > 1 && qstrcmp(argv[1], "--write-profile") == 0) {
        QCoreApplication core(argc, argv);
        return writeProfile(core.arguments().mid(2));
    }
    zomi::Application app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption dataDir(QStringLiteral("data-dir"), QStringLiteral("Folder of Zomi.ini."),
                               QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.process(app);

    const QString programName =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
    zomi::SingleInstance instance(programName);
    if (!instance.claim()) return 0;

    QString dir = parser.value(dataDir);
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
