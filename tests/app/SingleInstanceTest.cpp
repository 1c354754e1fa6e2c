// One instance per user: a second start ends at once and brings the first
// one to the front; nothing another account leaves behind keeps Zomi from
// starting.

#include <unistd.h>

#include <QDir>
#include <QLockFile>
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

class SingleInstanceTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        // The lock and the local server live in the user's runtime folder:
        // this test's own, so that a Zomi the developer runs does not take
        // part. The shared temporary folder is another one, as another
        // account sees it.
        runtime_ = std::make_unique<QTemporaryDir>();
        shared_ = std::make_unique<QTemporaryDir>();
        QVERIFY(runtime_->isValid() && shared_->isValid());
        QFile::setPermissions(runtime_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
        qputenv("TMPDIR", QFile::encodeName(shared_->path()));
    }
    void cleanup() {
        qunsetenv("TMPDIR");
        qunsetenv("XDG_RUNTIME_DIR");
        runtime_.reset();
        shared_.reset();
    }

    void secondClaimAsksTheFirstToComeToTheFront() {
        QWidget window;
        window.showMinimized();
        const QString name = QStringLiteral("ZOMI-TEST");
        SingleInstance first(name);
        // As the program connects the register window.
        QObject::connect(&first, &SingleInstance::activationRequested, &window,
                         [&window] { BringToFront(&window); });
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        QCOMPARE(first.claim(), SingleInstance::Claim::Claimed);
        QCOMPARE(QFileInfo(first.lockPath()).absolutePath(), runtime_->path());
        QVERIFY(first.lockPath().contains(QString::number(::getuid())));

        SingleInstance second(name);
        QCOMPARE(second.claim(), SingleInstance::Claim::AskedRunning);
        QTRY_COMPARE(asked.count(), 1);
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QVERIFY(second.heldMessage().contains(QStringLiteral("A Zomi már fut")));
        QVERIFY(second.heldMessage().contains(QString::number(QCoreApplication::applicationPid())));
        // Another name is another program: it runs beside the first.
        SingleInstance other(QStringLiteral("OTHER"));
        QCOMPARE(other.claim(), SingleInstance::Claim::Claimed);
    }

    // What another account can make: a lock of the old name in the shared
    // temporary folder, held by a running process, and with $USER unset.
    void aLockInTheSharedTemporaryFolderIsNotOurs() {
        const QByteArray user = qgetenv("USER");
        QLockFile planted(QDir(shared_->path()).filePath(QStringLiteral("ZOMI-TEST-.lock")));
        QVERIFY(planted.tryLock(0));
        QLockFile plantedForTheUser(
            QDir(shared_->path())
                .filePath(QStringLiteral("ZOMI-TEST-%1.lock").arg(QString::fromLocal8Bit(user))));
        QVERIFY(user.isEmpty() || plantedForTheUser.tryLock(0));
        qunsetenv("USER");
        SingleInstance mine(QStringLiteral("ZOMI-TEST"));
        const SingleInstance::Claim claim = mine.claim();
        if (!user.isEmpty()) qputenv("USER", user);
        QCOMPARE(claim, SingleInstance::Claim::Claimed);
    }

    // Only root can put a file of another account into the user's own
    // folder; it is removed rather than obeyed.
    void aLockOwnedByAnotherAccountIsNeverHonoured() {
        if (::getuid() != 0) QSKIP("only root can make a file of another account");
        const QString name = QStringLiteral("ZOMI-TEST");
        QString lockPath;
        {
            SingleInstance probe(name);
            lockPath = probe.lockPath();
        }
        // A live process in it: this very test.
        auto* foreign = new QLockFile(lockPath);
        QVERIFY(foreign->tryLock(0));
        QVERIFY(::chown(QFile::encodeName(lockPath).constData(), 65534, 65534) == 0);
        SingleInstance mine(name);
        QCOMPARE(mine.claim(), SingleInstance::Claim::Claimed);
        delete foreign;
    }

    void aLockNobodyAnswersForIsSaid() {
        const QString name = QStringLiteral("ZOMI-TEST");
        SingleInstance probe(name);
        QLockFile held(probe.lockPath());
        QVERIFY(held.tryLock(0));
        SingleInstance mine(name);
        QCOMPARE(mine.claim(), SingleInstance::Claim::Unanswered);
        QVERIFY(mine.heldMessage().contains(QDir::toNativeSeparators(probe.lockPath())));
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
        const QString base =
            QDir(runtime_->path()).filePath(QStringLiteral("ZOMI-") + QString::number(::getuid()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(base + QStringLiteral(".lock")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(base + QStringLiteral(".socket")), 10000);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess second;
        second.start(program, arguments);
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(QString::fromUtf8(second.readAllStandardError())
                    .contains(QStringLiteral("A Zomi már fut")));
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        if (!first.waitForFinished(5000)) first.kill();
    }

  private:
    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<QTemporaryDir> shared_;
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
