// The command line is read before any window system exists, so its mistakes
// are the program's only words to an installation script.

#include <QtTest>

#include "app/CommandLine.h"

using namespace zomi;
using Action = CommandLine::Action;

class CommandLineTest : public QObject {
    Q_OBJECT

  private slots:
    void readsEachForm_data();
    void readsEachForm();
    void takesAProfileWhole();
};

void CommandLineTest::readsEachForm_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("dataDir");
    QTest::addColumn<QString>("error");

    const QString noDir = QStringLiteral("A --data-dir után egy mappa neve következik.");
    QTest::newRow("nothing") << QStringList() << int(Action::Run) << QString() << QString();
    QTest::newRow("folder apart") << QStringList{"--data-dir", "/srv/zomi"} << int(Action::Run)
                                  << "/srv/zomi" << QString();
    QTest::newRow("folder joined")
        << QStringList{"--data-dir=/srv/a b"} << int(Action::Run) << "/srv/a b" << QString();
    QTest::newRow("folder missing")
        << QStringList{"--data-dir"} << int(Action::Fail) << QString() << noDir;
    QTest::newRow("folder empty") << QStringList{"--data-dir="} << int(Action::Fail) << QString()
                                  << noDir;
    // Qt's own options are for the application object, with their values.
    QTest::newRow("qt options") << QStringList{"-platform", "xcb", "-reverse", "--data-dir", "d"}
                                << int(Action::Run) << "d" << QString();
    QTest::newRow("help wins") << QStringList{"--data-dir", "d", "-h"} << int(Action::Help) << "d"
                               << QString();
    QTest::newRow("version") << QStringList{"--version"} << int(Action::Version) << QString()
                             << QString();
    QTest::newRow("unknown") << QStringList{"--dat-dir", "d"} << int(Action::Fail) << QString()
                             << "Ismeretlen kapcsoló: --dat-dir";
    QTest::newRow("profile short")
        << QStringList{"--write-profile", "/d"} << int(Action::Fail) << QString()
        << "A --write-profile után egy mappa és egy tárhely szöveg következik.";
    QTest::newRow("profile long")
        << QStringList{"--write-profile", "/d", "p", "extra"} << int(Action::Fail) << QString()
        << "A --write-profile után egy mappa és egy tárhely szöveg következik.";
}

void CommandLineTest::readsEachForm() {
    QFETCH(QStringList, args);
    QFETCH(int, action);
    QFETCH(QString, dataDir);
    QFETCH(QString, error);
    const CommandLine line = ParseCommandLine(args);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.dataDir, dataDir);
    QCOMPARE(line.error, error);
}

void CommandLineTest::takesAProfileWhole() {
    const CommandLine profile =
        ParseCommandLine({"--write-profile", "/var/lib/zomi", "db;h;3306;u;p;Név"});
    QCOMPARE(int(profile.action), int(Action::WriteProfile));
    QCOMPARE(profile.profileDir, QStringLiteral("/var/lib/zomi"));
    QCOMPARE(profile.profile, QStringLiteral("db;h;3306;u;p;Név"));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
