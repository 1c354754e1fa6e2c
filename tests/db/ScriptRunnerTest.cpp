#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <string>
#include <vector>

#include "common/Codepage.h"
#include "common/Text.h"
#include "db/ScriptRunner.h"
#include "support/StatementLog.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using test::StatementLog;
using test::TableDigests;
using test::TestDatabase;

class ScriptRunnerTest : public ::testing::Test {
  protected:
    ScriptRunnerTest() : db(TestDatabase::Content::Empty), c(db.connect()) {}

    QString text(const QString& sql) { return c->scalar(sql).text; }

    TestDatabase db;
    std::unique_ptr<Connection> c;
};

TEST_F(ScriptRunnerTest, RunsEveryStatementIncludingAnUnterminatedLastAndDropsTheRowsOfQueries) {
    const ScriptResult result = RunScript(
        *c, QStringLiteral("CREATE TABLE t (n INT, s TEXT);\n"
                           "SET @a := 1; SELECT @a;\n"
                           "SHOW TABLES;\n"
                           "INSERT INTO t VALUES (@a, 'first;\n  kept as typed ;  \nlast')\n"));
    EXPECT_TRUE(result.completed()) << result.errorMessage.toStdString();
    EXPECT_EQ(result.statements, 5);
    EXPECT_EQ(
        text(QStringLiteral("SELECT HEX(s) FROM t WHERE n = 1")),
        QString::fromLatin1(QByteArray("first;\n  kept as typed ;  \nlast").toHex().toUpper()));
}

TEST_F(ScriptRunnerTest, RoutinesBetweenCapitalDelimitersAreSentWhole) {
    const ScriptResult result =
        RunScript(*c, QStringLiteral("CREATE TABLE t (n INT);\n"
                                     "DELIMITER ;;\n"
                                     "CREATE PROCEDURE p()\nBEGIN\n  INSERT INTO t VALUES (1);\n"
                                     "  INSERT INTO t VALUES (2);\nEND ;;\n"
                                     "DELIMITER ;\n"
                                     "CALL p();"));
    EXPECT_TRUE(result.completed()) << result.errorMessage.toStdString();
    EXPECT_EQ(text(QStringLiteral("SELECT SUM(n) FROM t")), QStringLiteral("3"));
}

TEST_F(ScriptRunnerTest, StopsAtTheFirstRefusedStatementWithItsLineAndTheServersMessage) {
    QList<int> positions;
    ScriptControl control;
    control.progress.setPosition = [&](int line) { positions << line; };
    const ScriptResult result =
        RunScript(*c,
                  QStringLiteral("CREATE TABLE t (n INT);\n\n"
                                 "-- the bad one\nINSERT INTO\n  nincs VALUES (1);\n"
                                 "INSERT INTO t VALUES (1);"),
                  control);
    EXPECT_EQ(result.outcome, ScriptResult::Outcome::Failed);
    EXPECT_EQ(result.line, 4);
    EXPECT_EQ(result.statements, 1);
    EXPECT_EQ(result.errorCode, 1146u);
    EXPECT_TRUE(result.errorMessage.contains(QStringLiteral("nincs")))
        << result.errorMessage.toStdString();
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM t")), QStringLiteral("0"));
    EXPECT_EQ(positions, (QList<int>{0, 1}));
}

TEST_F(ScriptRunnerTest, AStopRequestEndsTheRunBeforeTheNextStatement) {
    int asked = 0;
    ScriptControl control;
    control.stopRequested = [&] { return ++asked > 2; };
    const ScriptResult result = RunScript(
        *c,
        QStringLiteral(
            "CREATE TABLE t (n INT);\nINSERT INTO t VALUES (1);\nINSERT INTO t VALUES (2);"),
        control);
    EXPECT_EQ(result.outcome, ScriptResult::Outcome::Stopped);
    EXPECT_EQ(result.statements, 2);
    EXPECT_EQ(result.line, 3);
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM t")), QStringLiteral("1"));
}

TEST_F(ScriptRunnerTest, TheSessionIsTheProgramsAfterAScriptChangedIt) {
    const QString before = text(
        QStringLiteral("SELECT CONCAT_WS('|', @@character_set_client, @@character_set_results, "
                       "@@collation_connection, "
                       "@@sql_mode, @@time_zone, @@autocommit, @@foreign_key_checks, DATABASE())"));
    TestDatabase other(TestDatabase::Content::Empty);
    c->exec(QStringLiteral("CREATE TABLE t (s VARCHAR(20)) CHARACTER SET latin2"));
    const ScriptResult result = RunScript(
        *c,
        QStringLiteral("SET NAMES utf8;\n"
                       "INSERT INTO t VALUES ('árvíztűrő');\n"
                       "SET sql_mode = 'NO_BACKSLASH_ESCAPES,ANSI_QUOTES', time_zone = '+05:00', "
                       "autocommit = 0, foreign_key_checks = 0;\n"
                       "LOCK TABLES t WRITE;\n"
                       "USE `%1`;\n"
                       "SELECT nincs FROM nincs;")
            .arg(other.name()));
    ASSERT_EQ(result.outcome, ScriptResult::Outcome::Failed);
    EXPECT_EQ(result.statements, 5);
    EXPECT_EQ(text(QStringLiteral(
                  "SELECT CONCAT_WS('|', @@character_set_client, @@character_set_results, "
                  "@@collation_connection, "
                  "@@sql_mode, @@time_zone, @@autocommit, @@foreign_key_checks, DATABASE())")),
              before);
    // Written in the script's UTF-8 session, read and written again in the program's.
    EXPECT_EQ(text(QStringLiteral("SELECT s FROM t")), QStringLiteral("árvíztűrő"));
}

TEST_F(ScriptRunnerTest, MessagesOfAUtf8SessionAreReadAsUtf8) {
    const ScriptResult result =
        RunScript(*c, QStringLiteral("SET NAMES utf8mb4;\nSELECT * FROM `árvíz`;"));
    ASSERT_EQ(result.outcome, ScriptResult::Outcome::Failed);
    EXPECT_TRUE(result.errorMessage.contains(QStringLiteral("árvíz")))
        << result.errorMessage.toStdString();
}

TEST_F(ScriptRunnerTest, ARunThatLosesItsSessionStopsInsteadOfGoingOnInAFreshOne) {
    auto killer = db.connect();
    ScriptControl control;
    bool killed = false;
    control.progress.setPosition = [&](int line) {
        if (line == 1 && !killed) {
            test::KillSession(*killer, c->threadId());
            killed = true;
        }
    };
    const ScriptResult result =
        RunScript(*c,
                  QStringLiteral("CREATE TABLE t (n INT);\nSET @x := 5;\n"
                                 "INSERT INTO t VALUES (@x);\nINSERT INTO t VALUES (2);"),
                  control);
    EXPECT_EQ(result.outcome, ScriptResult::Outcome::Failed);
    EXPECT_EQ(text(QStringLiteral("SELECT COUNT(*) FROM t")), QStringLiteral("0"));
}

TEST_F(ScriptRunnerTest, AFullDumpWithRoutinesRestoresIntoAnEmptyDatabase) {
    TestDatabase source(TestDatabase::Content::Demo);
    const dbaccess::ConnectionParams p = source.params();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("teljes.sql"));
    QProcess dump;
    dump.setStandardOutputFile(file);
    dump.start(
        QStringLiteral("mariadb-dump"),
        {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
         QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
         QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password, QStringLiteral("-c"),
         QStringLiteral("--routines"), QStringLiteral("--triggers"), source.name()});
    ASSERT_TRUE(dump.waitForFinished(60000) && dump.exitCode() == 0)
        << dump.readAllStandardError().toStdString();

    const ScriptResult result = RunScriptFile(*c, file);
    ASSERT_TRUE(result.completed()) << result.line << ": " << result.errorMessage.toStdString();
    auto from = source.connect();
    EXPECT_EQ(TableDigests(*c).toStdString(), TableDigests(*from).toStdString());
    EXPECT_EQ(
        text(QStringLiteral("SELECT COUNT(*) FROM vw_zomi")),
        QString::number(from->scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text.toInt()));
    EXPECT_EQ(text(QStringLiteral("SELECT fn_sorszamstr(7, 2024)")), QStringLiteral("2024/00007"));
    c->exec(QStringLiteral("CALL sp_setstatusz()"));
}

// What reached the server from one session between the runner's reading of
// the session and its putting it back, less its own asking for the SQL mode.
using Statements = std::vector<std::string>;

Statements scriptStatements(const QList<QByteArray>& logged) {
    Statements statements;
    bool inScript = false;
    for (const QByteArray& statement : logged) {
        if (statement.startsWith("SELECT @@SESSION.character_set_client, ")) {
            inScript = true;
            statements.clear();
        } else if (statement == "UNLOCK TABLES") {
            inScript = false;
        } else if (inScript && statement != "SELECT @@SESSION.sql_mode") {
            statements.push_back(statement.trimmed().toStdString());
        }
    }
    return statements;
}

// The same script through the stock command-line client, which every
// script and dump written for these servers is made for.
Statements clientStatements(const TestDatabase& db, const StatementLog& log,
                            const QByteArray& script) {
    const dbaccess::ConnectionParams p = db.params();
    const QString marker = QStringLiteral("SET @cut = '%1'").arg(QUuid::createUuid().toString());
    QProcess client;
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
                  QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
                  QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password,
                  QStringLiteral("--batch"), QStringLiteral("--force"),
                  QStringLiteral("--init-command=") + marker, p.database});
    client.write(script);
    client.closeWriteChannel();
    if (!client.waitForFinished(30000)) return {};
    auto finder = db.connect();
    const unsigned long thread =
        finder
            ->scalar(QStringLiteral("SELECT thread_id FROM mysql.general_log WHERE argument = %1")
                         .arg(SqlQuote(marker)))
            .text.toULong();
    Statements statements;
    for (const QByteArray& statement : log.statementsOf(thread))
        if (statement != marker.toUtf8()) statements.push_back(statement.trimmed().toStdString());
    return statements;
}

struct ClientCut {
    const char* name;
    const char* script;
    Statements statements;
};

TEST_F(ScriptRunnerTest, StatementsReachTheServerAsTheStockClientSendsThem) {
    if (TestDatabase::onCluster()) GTEST_SKIP() << "the general log it reads is one node's";
    StatementLog serverLog(TestDatabase::serverParams());
    if (!serverLog.available()) GTEST_SKIP() << "the server's general log cannot be switched on";
    const ClientCut cuts[] = {
        {"a dash banner", "------------\nselect 1;\n", {"select 1"}},
        {"dashes without a blank before a statement",
         "--comment\nselect 2;--c\nselect 3;",
         {"select 2", "select 3"}},
        {"NO_BACKSLASH_ESCAPES set by the script",
         "SET SESSION sql_mode='NO_BACKSLASH_ESCAPES';\nSELECT 'C:\\temp\\';\nSELECT 2;",
         {"SET SESSION sql_mode='NO_BACKSLASH_ESCAPES'", "SELECT 'C:\\temp\\'", "SELECT 2"}},
        {"a dumped routine created under NO_BACKSLASH_ESCAPES",
         "/*!50003 SET @saved_sql_mode = @@sql_mode */ ;\n"
         "/*!50003 SET sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES' */ ;\n"
         "DELIMITER ;;\n"
         "CREATE FUNCTION f() RETURNS VARCHAR(10) RETURN 'a\\';;\n"
         "DELIMITER ;\n"
         "/*!50003 SET sql_mode = @saved_sql_mode */ ;\n"
         "SELECT 'it\\'s;', f();",
         {"/*!50003 SET @saved_sql_mode = @@sql_mode */",
          "/*!50003 SET sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES' */",
          "CREATE FUNCTION f() RETURNS VARCHAR(10) RETURN 'a\\'",
          "/*!50003 SET sql_mode = @saved_sql_mode */", "SELECT 'it\\'s;', f()"}},
        {"ANSI_QUOTES",
         "SET sql_mode = 'ANSI_QUOTES';\nSELECT 'x\\';' AS \"a\\\";\nSELECT 2;",
         {"SET sql_mode = 'ANSI_QUOTES'", "SELECT 'x\\';' AS \"a\\\"", "SELECT 2"}},
    };
    const QString modeBefore = text(QStringLiteral("SELECT @@SESSION.sql_mode"));
    for (const ClientCut& cut : cuts) {
        SCOPED_TRACE(cut.name);
        c->exec(QStringLiteral("DROP FUNCTION IF EXISTS f"));
        const ScriptResult result = RunScript(*c, QString::fromUtf8(cut.script));
        EXPECT_TRUE(result.completed()) << result.errorMessage.toStdString();
        EXPECT_EQ(scriptStatements(serverLog.statementsOf(c->threadId())), cut.statements);
        EXPECT_EQ(text(QStringLiteral("SELECT @@SESSION.sql_mode")), modeBefore);
        c->exec(QStringLiteral("DROP FUNCTION IF EXISTS f"));
        EXPECT_EQ(clientStatements(db, serverLog, cut.script), cut.statements);
    }
}

TEST(ScriptTextTest, FilesAreReadAsUtf8WhenTheyAreElseAsCodePage1250) {
    EXPECT_EQ(DecodeScriptText(QByteArray("\xEF\xBB\xBFSELECT '\xC3\xA1rv\xC3\xADz';")),
              QStringLiteral("SELECT 'árvíz';"));
    EXPECT_EQ(DecodeScriptText(ToCp1250(QStringLiteral("SELECT 'tűrő Šárka';"))),
              QStringLiteral("SELECT 'tűrő Šárka';"));
}

}  // namespace
}  // namespace zomi
