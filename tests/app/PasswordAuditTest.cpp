// The connection password of a working day's start-up, backups, a lost
// server and the close: it stays in the settings file's scrambled profile and
// appears in no command line, message or other file the program writes.

#include <QDirIterator>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "app/Main.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Settings.h"
#include "db/DataBackup.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"

using namespace zomi;
using test::BoxRecorder;
using test::TestDatabase;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where the password's bytes (in either encoding) stand: files under the
// folder but the one allowed, and the command lines of every process.
QStringList placesHolding(const QString& password, const QString& folder,
                          const QString& allowed = QString()) {
    const QList<QByteArray> forms{ToCp1250(password), password.toUtf8()};
    const auto holds = [&](const QByteArray& bytes) {
        for (const QByteArray& form : forms)
            if (bytes.contains(form)) return true;
        return false;
    };
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path != allowed && holds(readAll(path))) found << path;
    }
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        if (holds(readAll(QStringLiteral("/proc/%1/cmdline").arg(pid))))
            found << QStringLiteral("process ") + pid;
    }
    return found;
}

}  // namespace

class PasswordAuditTest : public QObject {
    Q_OBJECT

  private slots:
    void thePasswordStaysInTheScrambledProfile() {
        Beall = TBeall();
        QTemporaryDir temp;
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        TestDatabase db(TestDatabase::Content::Demo);
        auto admin = db.connect();
        const QString user =
            QStringLiteral("zt_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        const QString password = QStringLiteral("Titkos-őrség-") + user.mid(3, 6);
        admin->exec(QStringLiteral("CREATE USER '%1'@'%' IDENTIFIED BY '%2'").arg(user, password));
        admin->exec(QStringLiteral("GRANT ALL ON `%1`.* TO '%2'@'%'").arg(db.name(), user));
        struct DropUser {
            dbaccess::Connection& admin;
            QString user;
            ~DropUser() { admin.exec(QStringLiteral("DROP USER '%1'@'%'").arg(user)); }
        } dropUser{*admin, user};

        QTemporaryDir data;
        SettleDataDir(data.path());
        const dbaccess::ConnectionParams p = db.params();
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                              QStringList{p.database, p.host, QString::number(p.port), user,
                                          password, QStringLiteral("Audit")}
                                  .join(QLatin1Char(';')));
        WriteBoolSetting(kFullScreen, false);
        BoxRecorder boxes;
        QStringList messages;
        {
            Tfrm_Main window;
            QVERIFY(window.startUp());
            window.show();
            QCOMPARE(window.connection().params().password, password);
            WriteDataBackup(window.connection(), {}, data.filePath(QStringLiteral("mentes.zip")));
            QVERIFY(QFile::exists(data.filePath(QStringLiteral("mentes.zip"))));

            // The server out of reach, and a profile it refuses: both told,
            // neither with the password.
            dbaccess::ConnectionParams lost = window.connection().params();
            lost.port = 1;
            window.connection().setParams(lost);
            test::KillSession(*admin, window.connection());
            QTest::qWait(200);
            try {
                window.connection().exec(QStringLiteral("SELECT 1"));
                QFAIL("ran without a server");
            } catch (const dbaccess::DbError& e) {
                messages << e.message();
            }
            dbaccess::ConnectionParams refused = p;
            refused.user = user;
            refused.password = password + QStringLiteral("x");
            dbaccess::Connection wrong;
            wrong.setParams(refused);
            try {
                wrong.open();
                QFAIL("a wrong password was let in");
            } catch (const dbaccess::DbError& e) {
                messages << e.message();
            }
            window.close();
        }
        for (const QString& message : messages + boxes.texts())
            QVERIFY2(!message.contains(password), qPrintable(message));
        const QString settings = data.filePath(QStringLiteral("Zomi.ini"));
        QVERIFY(QFile::exists(settings));
        QVERIFY(!readAll(settings).contains(ToCp1250(password)));
        QCOMPARE(placesHolding(password, data.path(), settings), QStringList());
        QCOMPARE(placesHolding(password, temp.path()), QStringList());
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(PasswordAuditTest)
#include "PasswordAuditTest.moc"
