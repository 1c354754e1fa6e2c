#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include "common/Codepage.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "db/FullBackup.h"
#include "support/LaxServer.h"
#include "support/SharedFolder.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using test::TableDigests;
using test::TestDatabase;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The processes whose command line holds the bytes.
QStringList processesHolding(const QByteArray& secret) {
    QStringList found;
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        const QByteArray cmdline = readAll(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.contains(secret))
            found << pid + QLatin1Char(' ') + QString::fromLocal8Bit(cmdline);
    }
    return found;
}

// The files under the folder (not below) that hold the bytes.
QStringList filesHolding(const QString& folder, const QByteArray& secret) {
    QStringList found;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (file.isReadable() && readAll(file.filePath()).contains(secret))
            found << file.filePath();
    return found;
}

QStringList ourTemporaryFiles() {
    return QDir::temp().entryList({QStringLiteral("zomi-mentes-*")}, QDir::Files | QDir::Hidden);
}

class FullBackupTest : public ::testing::Test {
  protected:
    FullBackupTest() : FullBackupTest(TestDatabase::serverParams()) {}
    explicit FullBackupTest(const dbaccess::ConnectionParams& server)
        : db(TestDatabase::Content::Demo, server), c(db.connect()) {
        const dbaccess::ConnectionParams p = db.params();
        profile.adatbazis = p.database;
        profile.kiszolgalo = p.host;
        profile.port = static_cast<int>(p.port);
        profile.felhasznalo = p.user;
        profile.jelszo = p.password;
    }

    // Runs the backup to its end; false when it did not end in time.
    bool run(FullBackup& backup, const QString& tool, const QString& file) {
        QSignalSpy finished(&backup, &FullBackup::finished);
        backup.start(tool, profile, file);
        if (!finished.wait(120000)) return false;
        succeeded = finished.at(0).at(0).toBool();
        message = finished.at(0).at(1).toString();
        return true;
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    TestDatabase db;
    std::unique_ptr<Connection> c;
    ConnectionProfile profile;
    QTemporaryDir dir;
    bool succeeded = false;
    QString message;
};

TEST_F(FullBackupTest, TheStockClientRestoresTheTablesAndBothRoutinesFromIt) {
    const QString digests = TableDigests(*c);
    FullBackup backup;
    ASSERT_TRUE(run(backup, QString(), path(QStringLiteral("teljes.sql"))));
    ASSERT_TRUE(succeeded) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("teljes.sql")) &&
                message.contains(QStringLiteral("bájt")))
        << message.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("teljes.sql")});

    // The dump names its database: it comes back under the same name.
    c->exec(QStringLiteral("DROP DATABASE `%1`").arg(db.name()));
    const dbaccess::ConnectionParams p = db.params();
    QProcess client;
    client.setStandardInputFile(path(QStringLiteral("teljes.sql")));
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
                  QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
                  QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password});
    ASSERT_TRUE(client.waitForFinished(120000) && client.exitCode() == 0)
        << client.readAllStandardError().toStdString();
    auto restored = db.connect();
    EXPECT_EQ(TableDigests(*restored).toStdString(), digests.toStdString());
    EXPECT_EQ(restored->scalar(QStringLiteral("SELECT fn_sorszamstr(7, 2024)")).text,
              QStringLiteral("2024/00007"));
    restored->exec(QStringLiteral("CALL sp_setstatusz()"));
}

class PasswordTest : public FullBackupTest {
  protected:
    PasswordTest() {
        user = QStringLiteral("zt_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        // Blanks, quotes, a backslash, a comment sign and an accented letter:
        // everything an option file or a command line could get wrong.
        password = QStringLiteral("sz ó\"ke \\ #jel 'x");
        c->exec(
            QStringLiteral("CREATE USER '%1'@'%' IDENTIFIED BY %2").arg(user, SqlQuote(password)));
        c->exec(QStringLiteral("GRANT ALL ON `%1`.* TO '%2'@'%'").arg(db.name(), user));
        c->exec(QStringLiteral("GRANT SELECT ON mysql.proc TO '%1'@'%'").arg(user));
        profile.felhasznalo = user;
        profile.jelszo = password;
    }
    ~PasswordTest() override {
        try {
            c->exec(QStringLiteral("DROP USER '%1'@'%'").arg(user));
        } catch (...) {
        }
    }
    static QString SqlQuote(QString text) {
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
            .replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }

    QString user;
    QString password;
};

TEST_F(PasswordTest, ThePasswordIsInNoCommandLineAndNoFileWhileTheToolRuns) {
    const QByteArray secret = ToCp1250(QStringLiteral("#jel"));
    FullBackup backup;
    QStringList leaks;
    QObject::connect(&backup, &FullBackup::started, [&] {
        leaks << processesHolding(secret) << processesHolding(QStringLiteral("#jel").toUtf8());
        leaks << filesHolding(QDir::tempPath(), secret) << filesHolding(dir.path(), secret);
        const QByteArray cmdline =
            readAll(QStringLiteral("/proc/%1/cmdline").arg(backup.processId()));
        const QByteArray nul(1, '\0');
        EXPECT_TRUE(cmdline.contains(nul + "--defaults-extra-file=/dev/stdin" + nul + "-c" + nul))
            << cmdline.toStdString();
    });
    ASSERT_TRUE(run(backup, QString(), path(QStringLiteral("teljes.sql"))));
    ASSERT_TRUE(succeeded) << message.toStdString();
    EXPECT_TRUE(leaks.isEmpty()) << leaks.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(ourTemporaryFiles().isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("teljes.sql")});
    EXPECT_FALSE(readAll(path(QStringLiteral("teljes.sql"))).contains(secret));
}

TEST_F(PasswordTest, AWrongPasswordOrToolShowsTheFailureAndKeepsTheEarlierBackup) {
    const QString file = path(QStringLiteral("teljes.sql"));
    {
        QFile earlier(file);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("az előző mentés");
    }
    profile.jelszo = QStringLiteral("rossz");
    FullBackup backup;
    ASSERT_TRUE(run(backup, QString(), file));
    EXPECT_FALSE(succeeded);
    EXPECT_TRUE(message.contains(QStringLiteral("Access denied"))) << message.toStdString();

    ASSERT_TRUE(run(backup, QStringLiteral("/nincs/ilyen/mariadb-dump"), file));
    EXPECT_FALSE(succeeded);
    EXPECT_TRUE(message.contains(QStringLiteral("/nincs/ilyen/mariadb-dump")))
        << message.toStdString();

    EXPECT_EQ(readAll(file), QByteArray("az előző mentés"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("teljes.sql")});
    EXPECT_TRUE(ourTemporaryFiles().isEmpty());
}

class TlsRequiredTest : public FullBackupTest {
  protected:
    TlsRequiredTest() : FullBackupTest(test::LaxServer::params()) {
        qputenv("ZOMI_SYSTEM_CONFIG", QFile::encodeName(config));
        IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("Kotelezo"),
                       QStringLiteral("1"));
    }
    ~TlsRequiredTest() override { qunsetenv("ZOMI_SYSTEM_CONFIG"); }
    const QString config = dir.filePath(QStringLiteral("zomi.conf"));
};

TEST_F(TlsRequiredTest, TheToolTooTrustsOnlyTheInstallationsCertificates) {
    IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("CA"), test::LaxServer::caFile());
    FullBackup trusted;
    ASSERT_TRUE(run(trusted, QString(), path(QStringLiteral("tls.sql"))));
    EXPECT_TRUE(succeeded) << message.toStdString();

    IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("CA"),
                   QStringLiteral("/etc/ssl/certs/ca-certificates.crt"));
    FullBackup untrusted;
    ASSERT_TRUE(run(untrusted, QString(), path(QStringLiteral("tls.sql"))));
    EXPECT_FALSE(succeeded);
    EXPECT_TRUE(message.contains(QStringLiteral("certificate"), Qt::CaseInsensitive) ||
                message.contains(QStringLiteral("TLS")) || message.contains(QStringLiteral("SSL")))
        << message.toStdString();
}

// Which settings may name the dump tool, and which tools may receive the
// password: only what nobody but the user or root can change.
class DumpToolSource : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("own"))));
        qputenv("ZOMI_SYSTEM_CONFIG", QFile::encodeName(system));
        SetSettingsPath(path(QStringLiteral("Zomi.ini")));
    }
    void TearDown() override {
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("ZOMI_SYSTEM_CONFIG");
        SetSettingsPath(QString());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    static void name(const QString& file, const QString& section, const QString& tool) {
        IniWriteString(file, section, QStringLiteral("MysqlDump"), tool);
    }
    QString script(const QString& name) const {
        const QString tool = path(name);
        QFile file(tool);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\ntouch \"$0.ran\"\n");
        file.close();
        test::SetMode(tool, 0700);
        return tool;
    }

    QTemporaryDir dir;
    const QString system = dir.filePath(QStringLiteral("zomi.conf"));
    const QString frm = QStringLiteral("frm_Adatbazis");
};

TEST_F(DumpToolSource, TheUsersOwnSettingsThenTheSystemWideFileNeverTheSharedOne) {
    EXPECT_EQ(ConfiguredDumpTool(), QString());
    name(system, QStringLiteral("Mentes"), QStringLiteral("/opt/rendszer-dump"));
    EXPECT_EQ(ConfiguredDumpTool(), QStringLiteral("/opt/rendszer-dump"));
    name(SettingsPath(), frm, QStringLiteral("/opt/sajat-dump"));
    EXPECT_EQ(ConfiguredDumpTool(), QStringLiteral("/opt/sajat-dump"));

    const QString shared = path(QStringLiteral("zomi"));
    if (!test::MakeGroupShared(shared)) GTEST_SKIP() << "no folder of the group users can be made";
    SetSettingsPath(shared + QStringLiteral("/Zomi.ini"));
    name(SettingsPath(), frm, script(QStringLiteral("masoke")));
    EXPECT_EQ(ConfiguredDumpTool(), QStringLiteral("/opt/rendszer-dump"));
    // What the user sets is kept apart, in the user's own file.
    StoreDumpTool(QStringLiteral("/usr/bin/mysqldump"));
    EXPECT_EQ(ConfiguredDumpTool(), QStringLiteral("/usr/bin/mysqldump"));
    EXPECT_EQ(IniReadString(SettingsPath(), frm, QStringLiteral("MysqlDump"), QString()),
              path(QStringLiteral("masoke")));
    EXPECT_EQ(IniReadString(path(QStringLiteral("own/Zomi.Net/Zomi.ini")), frm,
                            QStringLiteral("MysqlDump"), QString()),
              QStringLiteral("/usr/bin/mysqldump"));
}

TEST_F(DumpToolSource, ASettingsFileOthersMayChangeIsRefusedByName) {
    SetSettingsPath(QString());
    const QString own = path(QStringLiteral("own/Zomi.Net/Zomi.ini"));
    ASSERT_EQ(OwnSettingsPath(), own);
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("own/Zomi.Net"))));
    name(own, frm, QStringLiteral("/opt/sajat-dump"));
    test::SetMode(own, 0666);
    try {
        ConfiguredDumpTool();
        FAIL() << "a file anyone may change named the tool";
    } catch (const FileError& refusal) {
        EXPECT_TRUE(refusal.message().contains(QStringLiteral("„%1”").arg(own)))
            << refusal.message().toStdString();
    }
    EXPECT_THROW(StoreDumpTool(QStringLiteral("/opt/masik")), FileError);
    test::SetMode(own, 0644);
    IniDeleteKey(own, frm, QStringLiteral("MysqlDump"));
    name(system, QStringLiteral("Mentes"), QStringLiteral("/opt/rendszer-dump"));
    test::SetMode(system, 0666);
    EXPECT_THROW(ConfiguredDumpTool(), FileError);
}

TEST_F(DumpToolSource, AToolOthersMayChangeIsRefusedAndNotRun) {
    EXPECT_EQ(DumpToolRefusal(script(QStringLiteral("jo-dump"))), QString());
    EXPECT_EQ(DumpToolRefusal(DefaultDumpTool()), QString());

    const QString open = script(QStringLiteral("nyitott-dump"));
    test::SetMode(open, 0777);
    const QString folder = path(QStringLiteral("kozos"));
    ASSERT_TRUE(QDir().mkpath(folder));
    test::SetMode(folder, 01777);
    const QString inOpenFolder = folder + QStringLiteral("/dump");
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("jo-dump")), inOpenFolder));
    // A link of the user's own leading into a folder anyone may write.
    const QString link = path(QStringLiteral("link-dump"));
    ASSERT_TRUE(QFile::link(inOpenFolder, link));

    ConnectionProfile profile;
    profile.adatbazis = QStringLiteral("x");
    for (const QString& tool : {open, inOpenFolder, link}) {
        EXPECT_TRUE(DumpToolRefusal(tool).contains(QStringLiteral("nem indítja el")))
            << tool.toStdString();
        FullBackup backup;
        EXPECT_THROW(backup.start(tool, profile, path(QStringLiteral("teljes.sql"))), FileError);
        EXPECT_FALSE(backup.isRunning());
    }
    EXPECT_FALSE(QFile::exists(open + QStringLiteral(".ran")));
    EXPECT_FALSE(QFile::exists(inOpenFolder + QStringLiteral(".ran")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("teljes.sql"))));
}

}  // namespace
}  // namespace zomi
