// One instance per user: a second start ends at once and brings the first
// one to the front.

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "common/Settings.h"
#include "support/TestDatabase.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using test::TestDatabase;

namespace {

QString userSuffix() {
    const QByteArray user = qgetenv("USER").isEmpty() ? qgetenv("USERNAME") : qgetenv("USER");
    return QString::fromLocal8Bit(user).remove(QLatin1Char('/'));
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        // The lock and the local server live in the temporary folder: this
        // test's own, so that a Zomi the developer runs does not take part.
        QVERIFY(lockDir_.isValid());
        qputenv("TMPDIR", QFile::encodeName(lockDir_.path()));
    }
    void cleanup() { qunsetenv("TMPDIR"); }

    void secondClaimAsksTheFirstToComeToTheFront() {
        QWidget window;
        window.showMinimized();
        const QString name = QStringLiteral("ZOMI-TEST");
        SingleInstance first(name);
        // As the program connects the register window.
        QObject::connect(&first, &SingleInstance::activationRequested, &window,
                         [&window] { BringToFront(&window); });
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        QVERIFY(first.claim());

        SingleInstance second(name);
        QVERIFY(!second.claim());
        QTRY_COMPARE(asked.count(), 1);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        // Another name is another program: it runs beside the first.
        SingleInstance other(QStringLiteral("OTHER"));
        QVERIFY(other.claim());
    }

    void secondStartOfTheProgramEndsAtOnce() {
        TestDatabase db;
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        const dbaccess::ConnectionParams p = db.params();
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                              QStringList{p.database, p.host, QString::number(p.port), p.user,
                                          p.password, QStringLiteral("Egyetlen")}
                                  .join(QLatin1Char(';')));
        const QString program = QStringLiteral(ZOMI_PROGRAM);
        QVERIFY2(QFileInfo::exists(program), qPrintable(program));
        const QStringList arguments{QStringLiteral("--data-dir"), dir.path()};

        QProcess first;
        first.start(program, arguments);
        QVERIFY(first.waitForStarted());
        // Until the first one listens, a second start would simply win the race.
        const QString server =
            QDir(lockDir_.path()).filePath(QStringLiteral("ZOMI-") + userSuffix());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(server + QStringLiteral(".lock")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(server), 10000);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.start(program, arguments);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        if (!first.waitForFinished(5000)) first.kill();
    }

  private:
    QTemporaryDir lockDir_;
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
