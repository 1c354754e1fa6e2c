// The restore of a data backup against the real server: what is not a whole
// data backup of the target's tables is refused before anything runs, and a
// failure at any point of the run leaves every table as it was.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "db/DataBackup.h"
#include "db/DataScript.h"
#include "support/LaxServer.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using dbaccess::ConnectionParams;
using test::LaxServer;
using test::TableDigests;
using test::TestDatabase;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Everything of a database a restore could touch: every table's rows, and the
// views, routines and tables it has.
QString Everything(Connection& c) {
    const dbaccess::ResultSetPtr objects = c.query(QStringLiteral(
        "SELECT CONCAT_WS(':', 'table', TABLE_NAME, TABLE_TYPE) FROM information_schema.TABLES "
        "WHERE TABLE_SCHEMA = DATABASE() UNION ALL "
        "SELECT CONCAT_WS(':', 'view', TABLE_NAME, MD5(VIEW_DEFINITION)) FROM "
        "information_schema.VIEWS WHERE TABLE_SCHEMA = DATABASE() UNION ALL "
        "SELECT CONCAT_WS(':', 'routine', ROUTINE_NAME, MD5(ROUTINE_DEFINITION)) FROM "
        "information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() ORDER BY 1"));
    QString text = TableDigests(c);
    for (int i = 0; objects && i < objects->rowCount(); ++i)
        text += QLatin1Char(' ') + QString::fromLatin1(objects->row(i).cell(0));
    return text;
}

// Rows the target holds that the backup does not, and rows changed.
void changeRows(Connection& c) {
    c.exec(QStringLiteral("INSERT INTO alairas (alairas_nev) VALUES ('csak a célban')"));
    c.exec(
        QStringLiteral("UPDATE zomi SET munka = 'a célban átírva' WHERE zomi = (SELECT MIN(zomi) "
                       "FROM (SELECT zomi FROM zomi) z)"));
    c.exec(QStringLiteral("DELETE FROM statusz WHERE statusz = 6"));
}

class DataRestoreTest : public ::testing::Test {
  protected:
    DataRestoreTest()
        : source(TestDatabase::Content::Demo),
          target(TestDatabase::Content::Demo),
          from(source.connect()),
          to(target.connect()) {
        from->execEncoded(
            "INSERT INTO vallalkozo (vallalkozo_nev, cim) VALUES ('\x8A\xE1rka ''T\xFBr\xF5''', "
            "'a\\\\b\\r\\nc')");
        changeRows(*to);
        backup = dir.filePath(QStringLiteral("mentes.sql"));
        WriteDataScript(*from, Progress{}, backup);
    }

    // The restore must not run: refused, and the target as it was.
    void expectRefused(const QString& file, const QString& words) {
        const QString before = Everything(*to);
        try {
            RestoreDataBackup(*to, file);
            ADD_FAILURE() << "restored " << readAll(file).left(200).toStdString();
        } catch (const DataScriptError& e) {
            EXPECT_TRUE(e.message().contains(words))
                << e.message().toStdString() << "\n(expected: " << words.toStdString() << ")";
        }
        EXPECT_EQ(Everything(*to), before);
    }

    // The restore ran and failed: nothing of it stayed.
    void expectFailedWithNothingChanged(const RestoreResult& result, const QString& before) {
        EXPECT_EQ(result.script.outcome, ScriptResult::Outcome::Failed);
        EXPECT_FALSE(result.uncertain);
        EXPECT_EQ(TableDigests(*target.connect()), before);
    }

    QTemporaryDir dir;
    TestDatabase source;
    TestDatabase target;
    std::unique_ptr<Connection> from;
    std::unique_ptr<Connection> to;
    QString backup;
};

QString fullBackupOf(const TestDatabase& db, const QString& file) {
    const ConnectionParams p = db.params();
    QProcess dump;
    dump.start(QStringLiteral("mariadb-dump"),
               {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
                QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
                QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password,
                QStringLiteral("-c"), QStringLiteral("--routines"), QStringLiteral("--databases"),
                p.database, QStringLiteral("--result-file=") + file});
    dump.waitForFinished(120000);
    return QString::fromLocal8Bit(dump.readAllStandardError());
}

TEST_F(DataRestoreTest, AFullBackupIsRefusedSayingHowItIsRestoredAndNoDatabaseChanges) {
    // The full backup of the source names the source's database in its USE
    // line: run, it would replace the source's tables, views and routines.
    const QString full = dir.filePath(QStringLiteral("teljes.sql"));
    ASSERT_EQ(fullBackupOf(source, full), QString());
    ASSERT_TRUE(readAll(full).contains("USE `" + source.name().toLatin1() + "`"));
    from->exec(QStringLiteral("INSERT INTO alairas (alairas_nev) VALUES ('a mentés után')"));
    const QString sourceBefore = Everything(*from);
    expectRefused(full, QStringLiteral("teljes mentés"));
    expectRefused(full, QStringLiteral("mariadb"));
    EXPECT_EQ(Everything(*from), sourceBefore);
}

TEST_F(DataRestoreTest, ArbitrarySqlIsRefusedBeforeAnyOfItRuns) {
    const QByteArray table =
        "TRUNCATE alairas;\r\nINSERT IGNORE INTO alairas (alairas,alairas_nev) "
        "VALUES\r\n(1,'a');\r\n\r\n";
    const QByteArray other = source.name().toLatin1();
    const struct {
        QByteArray script;
        const char* words;
    } cases[] = {
        {table + "DROP TABLE statusz;\r\n\r\n", "DROP TABLE statusz"},
        {"USE `" + other + "`;\r\n" + table, "USE"},
        {table + "TRUNCATE " + other + ".alairas;\r\n\r\n", "másik adatbázis"},
        {"TRUNCATE alairas;\r\nINSERT IGNORE INTO `" + other +
             "`.alairas (alairas) VALUES\r\n(1);\r\n\r\n",
         "másik adatbázis"},
        {"TRUNCATE alairas;\r\nINSERT IGNORE INTO alairas (alairas,alairas_nev) VALUES\r\n"
         "(1,(SELECT GROUP_CONCAT(jelszo) FROM felhasznalo));\r\n\r\n",
         "nem adatmentés"},
        {"TRUNCATE alairas;\r\nINSERT INTO alairas (alairas) VALUES\r\n(1);\r\n\r\n",
         "INSERT IGNORE"},
        {"TRUNCATE alairas;\r\nINSERT IGNORE INTO alairas (alairas) VALUES (1) ON DUPLICATE KEY "
         "UPDATE alairas_nev = 'x';\r\n\r\n",
         "nem adatmentés"},
        {"SET NAMES utf8mb4;\r\n" + table, "SET NAMES"},
        {"/*!40101 SET @x = 1 */;\r\n" + table, "nem adatmentés"},
        {table + "-- megjegyzés\r\nTRUNCATE statusz;\r\n\r\n", "nem adatmentés"},
        {"DELIMITER ;;\r\nCREATE FUNCTION f() RETURNS INT RETURN 1;;\r\n", "nem adatmentés"},
        {"SELECT 1;\r\n", "nem adatmentés"},
        {QByteArray("PK\x03\x04\x14\0\0\0", 8), "nem adatmentés"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.toStdString());
        writeFile(dir.filePath(QStringLiteral("x.sql")), c.script);
        expectRefused(dir.filePath(QStringLiteral("x.sql")), QString::fromUtf8(c.words));
    }
}

TEST_F(DataRestoreTest, TablesThatDoNotMatchTheTargetAreRefused) {
    QByteArray script = readAll(backup);
    // A table the target lacks; a table of the target the file lacks.
    writeFile(dir.filePath(QStringLiteral("tobb.sql")), script + "TRUNCATE nincsilyen;\r\n\r\n");
    expectRefused(dir.filePath(QStringLiteral("tobb.sql")), QStringLiteral("nincsilyen"));
    to->exec(QStringLiteral("CREATE TABLE ujtabla (id INT PRIMARY KEY)"));
    expectRefused(backup, QStringLiteral("ujtabla"));

    // A database without tables needs its structure first.
    TestDatabase empty(TestDatabase::Content::Empty);
    auto bare = empty.connect();
    EXPECT_THROW(
        try { RestoreDataBackup(*bare, backup); } catch (const DataScriptError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("szerkezetét")))
                << e.message().toStdString();
            throw;
        },
        DataScriptError);
    EXPECT_TRUE(bare->baseTables().isEmpty());
}

TEST_F(DataRestoreTest, AFileCutInsideAnyTableIsRefusedAndTheTargetStaysAsItWas) {
    const QByteArray script = readAll(backup);
    const QStringList tables = from->baseTables();
    int cuts = 0;
    for (const QString& table : tables) {
        const qsizetype start = script.indexOf("TRUNCATE " + table.toLatin1() + ";");
        ASSERT_GE(start, 0) << table.toStdString();
        const qsizetype next = script.indexOf("\r\n\r\n", start) + 4;
        // Just after its TRUNCATE, in the middle of its rows, after its last
        // statement without the empty line that closes it.
        for (const qsizetype at : {start + 12 + table.size(), (start + next) / 2, next - 2}) {
            SCOPED_TRACE(table.toStdString() + " cut at " + std::to_string(at));
            writeFile(dir.filePath(QStringLiteral("csonka.sql")), script.left(at));
            expectRefused(dir.filePath(QStringLiteral("csonka.sql")), QStringLiteral("csonka"));
            ++cuts;
        }
        // Cut after the empty line: the tables that follow are missing.
        if (next < script.size()) {
            writeFile(dir.filePath(QStringLiteral("csonka.sql")), script.left(next));
            expectRefused(dir.filePath(QStringLiteral("csonka.sql")), QStringLiteral("csonka"));
        }
    }
    EXPECT_EQ(cuts, 3 * tables.size());
}

TEST_F(DataRestoreTest, AValueTheServerRefusesOrWouldChangeUndoesTheWholeRestore) {
    const QString before = TableDigests(*to);
    const QByteArray script = readAll(backup);
    // The last table's rows, after every other table has been replaced.
    const qsizetype last = script.lastIndexOf("INSERT IGNORE INTO ");
    ASSERT_GT(last, script.size() / 2);
    const QByteArray head = "INSERT IGNORE INTO zomi (zomi,";
    ASSERT_TRUE(script.mid(last).startsWith(head));
    const qsizetype row = script.indexOf("\r\n(", last) + 3;
    const struct {
        QByteArray script;
        const char* words;
    } cases[] = {
        // A text longer than its column: the server would cut it short.
        {script.left(row) + "'" + QByteArray(300, 'x') + "'," +
             script.mid(script.indexOf(',', row) + 1),
         "megváltoztatta"},
        // A column the table does not have.
        {script.left(last) + "INSERT IGNORE INTO zomi (nincsilyen," +
             script.mid(last + head.size()),
         "nincsilyen"},
    };
    for (const auto& c : cases) {
        writeFile(dir.filePath(QStringLiteral("serult.sql")), c.script);
        const RestoreResult result =
            RestoreDataBackup(*to, dir.filePath(QStringLiteral("serult.sql")));
        EXPECT_TRUE(result.script.errorMessage.contains(QString::fromUtf8(c.words)))
            << result.script.errorMessage.toStdString();
        EXPECT_GT(result.script.line, 1);
        expectFailedWithNothingChanged(result, before);
    }
}

TEST_F(DataRestoreTest, AConnectionKilledHalfWayLeavesTheTargetAsItWas) {
    const QString before = TableDigests(*to);
    auto killer = target.connect();
    ScriptControl control;
    bool killed = false;
    control.progress.setPosition = [&](int percent) {
        if (percent >= 50 && !killed) {
            killed = true;
            test::KillSession(*killer, to->threadId());
        }
    };
    const RestoreResult result = RestoreDataBackup(*to, backup, control);
    ASSERT_TRUE(killed);
    expectFailedWithNothingChanged(result, before);
    // The connection goes on afterwards on a new session, which counted the rows.
    EXPECT_EQ(result.countError, QString());
    EXPECT_EQ(result.tables.size(), to->baseTables().size());
}

TEST(DataRestoreOnARestartedServerTest, AServerStoppedHalfWayLeavesTheTargetAsItWas) {
    TestDatabase source(TestDatabase::Content::Demo);
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("mentes.sql"));
    WriteDataScript(*source.connect(), Progress{}, backup);
    TestDatabase target(TestDatabase::Content::Demo, LaxServer::params());
    auto to = target.connect();
    changeRows(*to);
    const QString before = TableDigests(*to);
    ScriptControl control;
    bool stopped = false;
    control.progress.setPosition = [&](int percent) {
        if (percent >= 50 && !stopped) {
            stopped = true;
            LaxServer::stop();
        }
    };
    const RestoreResult result = RestoreDataBackup(*to, backup, control);
    LaxServer::start();
    ASSERT_TRUE(stopped);
    EXPECT_EQ(result.script.outcome, ScriptResult::Outcome::Failed);
    EXPECT_FALSE(result.countError.isEmpty());  // the server was gone
    EXPECT_EQ(TableDigests(*target.connect()), before);
}

TEST_F(DataRestoreTest, AWholeBackupReplacesEveryTableWithProgressEndingAt100) {
    QList<int> positions;
    int maximum = 0;
    ScriptControl control;
    control.progress.setMaximum = [&](int m) { maximum = m; };
    control.progress.setPosition = [&](int p) { positions << p; };
    to->exec(QStringLiteral("SET SESSION foreign_key_checks = 1"));
    const RestoreResult result = RestoreDataBackup(*to, backup, control);
    ASSERT_TRUE(result.script.completed()) << result.script.errorMessage.toStdString();
    EXPECT_EQ(TableDigests(*to), TableDigests(*from));
    EXPECT_EQ(maximum, 100);
    ASSERT_FALSE(positions.isEmpty());
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.last(), 100);
    // The session is as it was.
    EXPECT_EQ(to->scalar(QStringLiteral("SELECT @@SESSION.foreign_key_checks")).text,
              QStringLiteral("1"));
    EXPECT_FALSE(to->scalar(QStringLiteral("SELECT @@SESSION.sql_mode"))
                     .text.contains(QStringLiteral("NO_AUTO_VALUE_ON_ZERO")));
}

}  // namespace
}  // namespace zomi
