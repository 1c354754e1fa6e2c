#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "common/Codepage.h"
#include "common/IniFile.h"
#include "dbaccess/Connection.h"
#include "support/LaxServer.h"
#include "support/SlowLine.h"
#include "support/TestDatabase.h"

namespace zomi::dbaccess {
namespace {

using test::LaxServer;
using test::TestDatabase;

const QString kPangram = QStringLiteral("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");

QString scalarText(Connection& c, const QString& sql) { return c.scalar(sql).text; }

void killFrom(const TestDatabase& db, unsigned long threadId) {
    auto killer = db.connect();
    test::KillSession(*killer, threadId);
}

TEST(Connection, WorkingSessionSpeaksLatin2WithHungarianCollationAndCompression) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@character_set_connection")), "latin2");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@character_set_results")), "latin2");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
    const ResultSetPtr status = c->query(QStringLiteral("SHOW SESSION STATUS LIKE 'Compression'"));
    ASSERT_TRUE(status && status->rowCount() == 1);
    EXPECT_STREQ(status->row(0).cell(1), "ON");
}

TEST(Connection, TestConnectionKeepsTheServerDefaults) {
    TestDatabase db(TestDatabase::Content::Empty);
    ConnectionParams p = db.params();
    p.setUpSession = false;
    Connection c;
    c.setParams(p);
    c.open();
    EXPECT_NE(scalarText(c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
}

TEST(Connection, KilledIdleSessionIsReplacedWithTheSameSetUpBeforeTheNextStatement) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral(
        "CREATE TABLE t (s VARCHAR(100)) CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
    QSignalSpy reconnected(c.get(), &Connection::reconnected);
    const unsigned long before = c->threadId();
    killFrom(db, before);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    // The statement did not reach the dead session, so it runs on the new one.
    c->exec(QStringLiteral("INSERT INTO t VALUES ('") + kPangram + QStringLiteral("')"));
    EXPECT_EQ(reconnected.count(), 1);
    EXPECT_NE(c->threadId(), before);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@character_set_client")), "latin2");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT s FROM t")), kPangram);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM t")), "1");
}

TEST(Connection, StatementWhoseAnswerWasLostIsReportedAndNeverRepeated) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE log (x INT) ENGINE=Aria"));
    const unsigned long victim = c->threadId();
    std::thread killer([&db, victim] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        killFrom(db, victim);
    });
    bool failed = false;
    try {
        c->exec(QStringLiteral("INSERT INTO log SELECT SLEEP(2)"));
    } catch (const DbError& e) {
        failed = true;
        EXPECT_EQ(e.code(), 2013u) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("vagy tárolódott, vagy nem"))) << e.what();
    }
    killer.join();
    EXPECT_TRUE(failed);
    // A repeated statement would have had time to complete and insert its row.
    std::this_thread::sleep_for(std::chrono::milliseconds(2200));
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM log")), "0");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
}

TEST(Connection, AReadWhoseAnswerWasLostIsAskedAgainOnANewSession) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    const unsigned long victim = c->threadId();
    std::thread killer([&db, victim] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        killFrom(db, victim);
    });
    EXPECT_EQ(scalarText(*c, QStringLiteral("/* kérdés */ SELECT SLEEP(1) + 7")), "7");
    killer.join();
    EXPECT_NE(c->threadId(), victim);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
}

// A workstation left open overnight meets the server's idle time-out.
TEST(Connection, ASessionTheServerEndedWhileIdleIsReplacedBeforeTheNextStatement) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE t (s VARCHAR(60))"));
    c->exec(QStringLiteral("SET SESSION wait_timeout = 2"));
    const unsigned long before = c->threadId();
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    c->store(QStringLiteral("INSERT INTO t VALUES ('") + kPangram + QStringLiteral("')"));
    EXPECT_NE(c->threadId(), before);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT s FROM t")), kPangram);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
}

TEST(Connection, AServerOutOfReachIsToldInHungarianAndTriedAgainNextTime) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    ConnectionParams params = c->params();
    const unsigned port = params.port;
    const unsigned long victim = c->threadId();
    params.port = 1;  // nothing listens there: as a server being restarted
    c->setParams(params);
    killFrom(db, victim);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    try {
        c->exec(QStringLiteral("SELECT 1"));
        FAIL() << "no server, yet the statement ran";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("A kiszolgáló most nem érhető el")))
            << e.what();
    }
    params.port = port;
    c->setParams(params);
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT 2")), "2");
}

TEST(Connection, OnlyStatementsThatChangeNothingCountAsReads) {
    for (const char* read :
         {"SELECT 1", " \n\tselect * from t", "-- x\n# y\n/* z */SELECT 1", "SHOW TABLES",
          "describe t", "EXPLAIN SELECT 1", "SELECT 'pinto' AS x"})
        EXPECT_TRUE(IsReadOnlyStatement(read)) << read;
    for (const char* write :
         {"INSERT INTO t SELECT 1", "SELECT 1 INTO @a", "select * into outfile 'f' from t",
          "/*!40000 ALTER TABLE t */", "CALL sp_setstatusz()", "UPDATE t SET a=1", "SELECTED", "",
          "-- only a comment"})
        EXPECT_FALSE(IsReadOnlyStatement(write)) << write;
}

TEST(Connection, StoresCodePage1250BytesAndRefusesWhatItCannotHold) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE t (s VARCHAR(50)) CHARACTER SET latin2"));
    // The bytes the other clients store; latin2 itself would have no "–" or "€".
    const QString text = QStringLiteral("Kiss – Nagy „idézet” 5 €");
    c->exec(QStringLiteral("INSERT INTO t VALUES ('") + text + QStringLiteral("')"));
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT HEX(s) FROM t")),
              "4B6973732096204E61677920846964E97A65749420352080");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT s FROM t")), text);
    c->exec(QStringLiteral("DELETE FROM t"));
    for (const QString& bad :
         {QStringLiteral("Жук"), QString::fromUtf8("smile \xF0\x9F\x98\x80")}) {
        try {
            c->exec(QStringLiteral("INSERT INTO t VALUES ('") + bad + QStringLiteral("')"));
            ADD_FAILURE() << "accepted " << bad.toStdString();
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::kEncoding);
            EXPECT_TRUE(e.message().contains(QStringLiteral("nem tárolható"))) << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("U+"))) << e.what();
        }
    }
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM t")), "0");
}

// A server that is not ours may be set up without strict mode and with
// backslashes as plain characters; the session puts both right.
TEST(Connection, SessionsAreStrictWithBackslashEscapesWhateverTheServerSays) {
    TestDatabase db(TestDatabase::Content::Empty, LaxServer::params());
    auto admin = db.connect();
    admin->exec(QStringLiteral("SET GLOBAL sql_mode = 'NO_BACKSLASH_ESCAPES'"));
    struct Restore {
        Connection& c;
        ~Restore() { c.exec(QStringLiteral("SET GLOBAL sql_mode = ''")); }
    } restore{*admin};

    auto c = db.connect();
    const QString mode = scalarText(*c, QStringLiteral("SELECT @@SESSION.sql_mode"));
    EXPECT_FALSE(mode.contains(QStringLiteral("NO_BACKSLASH_ESCAPES"))) << mode.toStdString();
    EXPECT_TRUE(mode.contains(QStringLiteral("STRICT_TRANS_TABLES"))) << mode.toStdString();
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT 'a\\\\b'")), QStringLiteral("a\\b"));

    // Cut short without strict mode; refused with it, nothing stored.
    c->exec(QStringLiteral("CREATE TABLE t (s VARCHAR(5), n INT) ENGINE=MyISAM"));
    for (const char* insert :
         {"INSERT INTO t VALUES ('hatbetu', 1)", "INSERT INTO t VALUES ('a', 'x')"}) {
        EXPECT_THROW(c->exec(QString::fromLatin1(insert)), DbError) << insert;
    }
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM t")), "0");
}

// A console script may switch strict mode off for the session; a store that
// the server would then carry out changed is undone and refused instead.
TEST(Connection, AStoreTheServerWouldChangeIsUndoneAndRefused) {
    TestDatabase db(TestDatabase::Content::Empty, LaxServer::params());
    auto c = db.connect();
    c->exec(
        QStringLiteral("CREATE TABLE t (id INT AUTO_INCREMENT PRIMARY KEY, s VARCHAR(5), n "
                       "TINYINT) ENGINE=InnoDB"));
    c->exec(QStringLiteral("SET SESSION sql_mode = ''"));
    for (const char* changed :
         {"INSERT INTO t (s) VALUES ('hatbetu')", "INSERT INTO t (n) VALUES (300)",
          "INSERT INTO t (n) VALUES ('x')"}) {
        try {
            c->store(QString::fromLatin1(changed));
            ADD_FAILURE() << "stored: " << changed;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.code() == 1265 || e.code() == 1264 || e.code() == 1366) << e.what();
        }
    }
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM t")), "0");

    // What is stored as sent commits, with the write's own counts.
    c->store(QStringLiteral("INSERT INTO t (s) VALUES ('öt')"));
    EXPECT_GT(c->lastInsertId(), 0u);
    c->store(QStringLiteral("UPDATE t SET n = 1"));
    EXPECT_EQ(c->affectedRows(), 1u);

    // Inside a transaction of the caller's only the refused write is undone.
    c->exec(QStringLiteral("START TRANSACTION"));
    c->store(QStringLiteral("INSERT INTO t (s) VALUES ('első')"));
    EXPECT_THROW(c->store(QStringLiteral("INSERT INTO t (s) VALUES ('második')")), DbError);
    c->exec(QStringLiteral("COMMIT"));
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT GROUP_CONCAT(s ORDER BY id) FROM t")),
              QStringLiteral("öt,első"));
}

// TLS whenever the server offers it, plain otherwise; required by the
// installation, only with a server whose certificate its CA signed.
TEST(Connection, UsesTlsWhenOfferedAndRequiresAVerifiedServerWhenTheInstallationSaysSo) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("zomi.conf"));
    qputenv("ZOMI_SYSTEM_CONFIG", config.toLocal8Bit());
    struct Unset {
        ~Unset() { qunsetenv("ZOMI_SYSTEM_CONFIG"); }
    } unset;
    const auto connectTo = [](const ConnectionParams& p) {
        auto c = std::make_unique<Connection>();
        c->setParams(p);
        c->open();
        return c;
    };
    const ConnectionParams lax = LaxServer::params();
    EXPECT_FALSE(connectTo(lax)->tlsCipher().isEmpty());
    EXPECT_TRUE(connectTo(TestDatabase::serverParams())->tlsCipher().isEmpty());

    IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("Kotelezo"), QStringLiteral("1"));
    IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("CA"), LaxServer::caFile());
    auto secure = connectTo(lax);
    EXPECT_FALSE(secure->tlsCipher().isEmpty());
    EXPECT_EQ(scalarText(*secure, QStringLiteral("SELECT @@collation_connection")),
              "latin2_hungarian_ci");
    EXPECT_THROW(connectTo(TestDatabase::serverParams()), DbError);
    // A certificate nobody the installation trusts vouches for.
    IniWriteString(config, QStringLiteral("TLS"), QStringLiteral("CA"),
                   QStringLiteral("/etc/ssl/certs/ca-certificates.crt"));
    EXPECT_THROW(connectTo(lax), DbError);
}

// Between any two statements the server may end the session; the next one
// runs on a new session with the same set-up, and no write is lost or doubled.
TEST(Connection, AHundredKillsBetweenTheStatementsOfAMixedWorkloadLoseAndDoubleNothing) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    auto admin = db.connect();
    c->exec(QStringLiteral("CREATE TABLE w (n INT PRIMARY KEY, s VARCHAR(60)) ENGINE=InnoDB"));
    c->exec(QStringLiteral("CREATE TABLE counter (hits INT) ENGINE=InnoDB"));
    c->exec(QStringLiteral("INSERT INTO counter VALUES (0)"));
    QSignalSpy reconnected(c.get(), &Connection::reconnected);
    int inserted = 0;
    int updated = 0;
    for (int i = 0; i < 100; ++i) {
        test::KillSession(*admin, *c);  // and waits until it is gone
        switch (i % 4) {
            case 0:
                c->exec(QStringLiteral("INSERT INTO w VALUES (%1, '%2')").arg(i).arg(kPangram));
                ++inserted;
                break;
            case 1:
                c->store(QStringLiteral("UPDATE counter SET hits = hits + 1"));
                ++updated;
                break;
            case 2:
                EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT COUNT(*) FROM w")),
                          QString::number(inserted));
                break;
            default:
                ASSERT_TRUE(c->query(QStringLiteral("SELECT * FROM w")));
        }
        ASSERT_EQ(scalarText(*c, QStringLiteral("SELECT @@collation_connection")),
                  "latin2_hungarian_ci")
            << "after kill " << i;
    }
    EXPECT_EQ(reconnected.count(), 100);
    EXPECT_EQ(scalarText(*admin, QStringLiteral("SELECT COUNT(*) FROM w")), "25");
    EXPECT_EQ(scalarText(*admin, QStringLiteral("SELECT hits FROM counter")), "25");
    EXPECT_EQ(
        scalarText(*admin, QStringLiteral("SELECT COUNT(*) FROM w WHERE s = '%1'").arg(kPangram)),
        "25");
    EXPECT_EQ(inserted + updated, 50);
}

// The line fails before the write's COMMIT reached the server: once the
// server has answered the write, or while the write runs (a server that dies
// under it). The server rolls the write back with the session, and the
// store runs once more on a new one.
TEST(Connection, AWriteWhoseSessionEndedBeforeItsCommitIsStoredOnceOnTheNewSession) {
    TestDatabase db(TestDatabase::Content::Empty);
    test::SlowLine line("127.0.0.1", db.params().port);
    ConnectionParams p = db.params();
    p.port = line.port();
    p.compress = false;  // the line sees the statement's text
    Connection c;
    c.setParams(p);
    c.open();
    c.exec(QStringLiteral("CREATE TABLE counter (hits INT) ENGINE=InnoDB"));
    c.exec(QStringLiteral("INSERT INTO counter VALUES (0)"));
    QSignalSpy reconnected(&c, &Connection::reconnected);
    auto admin = db.connect();
    line.cutAfterAnswerTo("UPDATE counter");
    c.store(QStringLiteral("UPDATE counter SET hits = hits + 1"));
    EXPECT_TRUE(line.cutDone());
    EXPECT_EQ(reconnected.count(), 1);
    EXPECT_EQ(c.affectedRows(), 1u);
    EXPECT_EQ(scalarText(*admin, QStringLiteral("SELECT hits FROM counter")), "1");

    line.cutBeforeAnswerTo("UPDATE counter");
    c.store(QStringLiteral("UPDATE counter SET hits = hits + 1"));
    EXPECT_TRUE(line.cutDone());
    EXPECT_EQ(reconnected.count(), 2);
    EXPECT_EQ(scalarText(*admin, QStringLiteral("SELECT hits FROM counter")), "2");

    // Outside a transaction of its own the write may have been stored: it
    // is reported, never repeated.
    c.exec(QStringLiteral("START TRANSACTION"));
    c.exec(QStringLiteral("SAVEPOINT s"));
    line.cutBeforeAnswerTo("UPDATE counter");
    EXPECT_THROW(c.store(QStringLiteral("UPDATE counter SET hits = hits + 1")), DbError);
    EXPECT_EQ(scalarText(*admin, QStringLiteral("SELECT hits FROM counter")), "2");
}

// The server refuses the store's whole transaction to break a deadlock with
// a heavier one: nothing of it stays, and it runs again once the other is
// done, seeing the other's change.
TEST(Connection, AStoreRefusedToBreakADeadlockRunsAgain) {
    if (TestDatabase::onCluster())
        GTEST_SKIP() << "a deadlock needs both sessions on one node; the cluster's own refusal is "
                        "forced by ClusterConflictTest";
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE t (id INT PRIMARY KEY, v INT) ENGINE=InnoDB"));
    c->exec(QStringLiteral("CREATE TABLE heavy (id INT PRIMARY KEY) ENGINE=InnoDB"));
    c->exec(QStringLiteral("INSERT INTO t VALUES (1, 0), (2, 0)"));
    auto other = db.connect();
    const auto deadlocks = [&] {
        return scalarText(*other, QStringLiteral("SELECT VARIABLE_VALUE FROM "
                                                 "information_schema.GLOBAL_STATUS WHERE "
                                                 "VARIABLE_NAME = 'INNODB_DEADLOCKS'"))
            .toLong();
    };
    const long before = deadlocks();
    other->exec(QStringLiteral("START TRANSACTION"));
    // Many rows changed: the server picks the store's transaction to undo.
    other->exec(QStringLiteral("INSERT INTO heavy SELECT seq FROM seq_1_to_200"));
    other->exec(QStringLiteral("UPDATE t SET v = v + 10 WHERE id = 1"));
    QString refused;
    std::thread storing([&] {
        try {
            c->store(QStringLiteral("UPDATE t SET v = v + 1 WHERE id IN (1, 2) ORDER BY id DESC"));
        } catch (const DbError& e) {
            refused = e.message();
        }
    });
    // The store holds row 2 and waits for row 1.
    while (scalarText(*other, QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                                             "WHERE INFO LIKE 'UPDATE t SET v = v + 1%'")) != "1")
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    other->exec(QStringLiteral("UPDATE t SET v = v + 10 WHERE id = 2"));
    other->exec(QStringLiteral("COMMIT"));
    storing.join();
    EXPECT_EQ(refused, QString());
    EXPECT_EQ(deadlocks(), before + 1);
    EXPECT_EQ(scalarText(*other, QStringLiteral("SELECT GROUP_CONCAT(v ORDER BY id) FROM t")),
              "11,11");
}

TEST(Connection, ErrorsCarryTheServerMessage) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    try {
        c->query(QStringLiteral("SELECT * FROM nincs_ilyen"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 1146u);
        EXPECT_TRUE(e.message().contains(QStringLiteral("nincs_ilyen"))) << e.what();
    }
    // The session stays usable after an ordinary error.
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT 1")), "1");

    ConnectionParams wrong = db.params();
    wrong.password = QStringLiteral("rossz");
    Connection refused;
    refused.setParams(wrong);
    try {
        refused.open();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 1045u) << e.what();
        EXPECT_FALSE(refused.isOpen());
    }
}

TEST(Connection, ListsBaseTablesButNotViewsAndDrainsProcedureResults) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE b (x INT)"));
    c->exec(QStringLiteral("CREATE TABLE a (x INT)"));
    c->exec(QStringLiteral("CREATE VIEW v AS SELECT * FROM a"));
    c->exec(QStringLiteral("CREATE PROCEDURE p() BEGIN SELECT 1; SELECT 2; END"));
    QStringList tables = c->baseTables();
    tables.sort();
    EXPECT_EQ(tables, (QStringList{"a", "b"}));
    c->exec(QStringLiteral("CALL p()"));
    const ResultSetPtr first = c->query(QStringLiteral("CALL p()"));
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->row(0).cell(0), "1");
    EXPECT_EQ(scalarText(*c, QStringLiteral("SELECT 3")), "3");
}

TEST(Connection, ReportsInsertIdsAndFoundRows) {
    TestDatabase db(TestDatabase::Content::Empty);
    auto c = db.connect();
    c->exec(QStringLiteral("CREATE TABLE t (id INT AUTO_INCREMENT PRIMARY KEY, x INT)"));
    c->exec(QStringLiteral("INSERT INTO t (x) VALUES (5)"));
    // The server's first key: 1 on one server, the node's offset on a cluster.
    const quint64 id = c->lastInsertId();
    EXPECT_EQ(id, c->scalar(QStringLiteral("SELECT @@auto_increment_offset")).text.toULongLong());
    EXPECT_EQ(c->scalar(QStringLiteral("SELECT id FROM t")).text.toULongLong(), id);
    // Setting the value it already has still counts the row as found.
    c->exec(QStringLiteral("UPDATE t SET x = 5 WHERE id = %1").arg(id));
    EXPECT_EQ(c->affectedRows(), 1u);
    c->exec(QStringLiteral("UPDATE t SET x = 5 WHERE id = %1").arg(id + 1));
    EXPECT_EQ(c->affectedRows(), 0u);
}

}  // namespace
}  // namespace zomi::dbaccess
