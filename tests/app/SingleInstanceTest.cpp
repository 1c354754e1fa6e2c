// Two starts of the real program: the second ends at once and the first
// keeps running.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Startup.h"
#include "common/Settings.h"
#include "support/TestDatabase.h"

using namespace zomi;
using test::TestDatabase;

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void secondStartEndsAtOnce() {
        TestDatabase db;
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        const dbaccess::ConnectionParams p = db.params();
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                              QStringList{p.database, p.host, QString::number(p.port), p.user, p.password,
                                          QStringLiteral("Egyetlen")}
                                  .join(QLatin1Char(';')));
        const QString program = QStringLiteral(ZOMI_PROGRAM);
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));

        QProcess first;
        first.start(program, {QStringLiteral("--data-dir"), dir.path()});
        QVERIFY(first.waitForStarted());
        // Until the first one has its lock, a second start would simply win the race.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath(QStringLiteral("Zomi.ini"))), 5000);
        QTest::qWait(1500);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.start(program, {QStringLiteral("--data-dir"), dir.path()});
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QTest::qWait(300);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        if (!first.waitForFinished(5000)) first.kill();
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
