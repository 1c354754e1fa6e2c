// Work orders saved on two nodes of a cluster at the same moment. The
// conflict is forced, not hoped for: a trigger of the test holds the write of
// this node's session (after its row is locked) until the other node's write
// of the same row has been certified, so the cluster refuses this one as a
// whole (error 1213) and Zomi must run it again under the same rules as on
// one server. Run by scripts/cluster-pass; on one server they skip.

#include <gtest/gtest.h>

#include <QDate>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <memory>
#include <thread>

#include "db/DbRoutines.h"
#include "dbaccess/DbError.h"
#include "dbaccess/SessionPin.h"
#include "support/TestDatabase.h"
#include "workorders/WorkOrderStore.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using dbaccess::ConnectionParams;
using dbaccess::DbError;
using test::TestDatabase;

constexpr unsigned kDeadlock = 1213;
constexpr double kHoldSeconds = 3;

unsigned clusterBase() {
    const int port = qEnvironmentVariableIntValue("ZOMI_CLUSTER_PORT");
    return port > 0 ? static_cast<unsigned>(port) : 33500;
}

// A session on one node, once the test's database has reached it.
std::unique_ptr<Connection> connectToNode(const TestDatabase& db, unsigned node) {
    ConnectionParams p = db.params();
    p.port = clusterBase() + node;
    for (int attempt = 1;; ++attempt) {
        auto c = std::make_unique<Connection>();
        c->setParams(p);
        try {
            c->open();
            return c;
        } catch (const DbError& e) {
            if (e.code() != 1049 || attempt == 100) throw;
            QThread::msleep(50);
        }
    }
}

long bruteForceAborts(Connection& node) {
    return node
        .scalar(QStringLiteral("SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_STATUS "
                               "WHERE VARIABLE_NAME = 'WSREP_LOCAL_BF_ABORTS'"))
        .text.toLong();
}

// The other node's statement, sent while this node's write is held.
class OtherNodeWrite {
  public:
    OtherNodeWrite(Connection& there, QString sql)
        : worker_([&there, sql = std::move(sql), this] {
              QThread::msleep(500);
              try {
                  there.exec(sql);
              } catch (const DbError& e) {
                  error_ = e.message();
              }
          }) {}
    ~OtherNodeWrite() { finish(); }
    // The other node's error; empty when its write was stored.
    QString finish() {
        if (worker_.joinable()) worker_.join();
        return error_;
    }

  private:
    QString error_;
    std::thread worker_;
};

class ClusterConflictTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TestDatabase::onCluster())
            GTEST_SKIP() << "needs the three-node cluster of scripts/cluster-pass";
        db = std::make_unique<TestDatabase>(TestDatabase::Content::Schema);
        here = connectToNode(*db, 1);
        there = connectToNode(*db, 2);
        SetMainConnection(here.get());
        ExecSql(
            QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev) VALUES (1, 'V');"));
        ExecSql(QStringLiteral("INSERT INTO ktgh (ktgh, cim) VALUES (1, 'K');"));
        ExecSql(QStringLiteral("INSERT INTO alairas (alairas, alairas_nev) VALUES (1, 'A');"));
        // Held once: the variable is this session's, and not undone with
        // the refused transaction, so the write run again is not held.
        for (const char* event : {"INSERT", "UPDATE"})
            ExecSql(QStringLiteral("CREATE TRIGGER zomi_teszt_%1 AFTER %1 ON zomi FOR EACH ROW "
                                   "BEGIN IF @zomi_teszt_tart > 0 THEN SET @zomi_teszt_mp = "
                                   "@zomi_teszt_tart; SET @zomi_teszt_tart = 0; DO "
                                   "SLEEP(@zomi_teszt_mp); END IF; END")
                        .arg(QLatin1String(event)));
    }
    void TearDown() override { SetMainConnection(nullptr); }

    void holdNextWrite() {
        ExecSql(QStringLiteral("SET @zomi_teszt_tart = %1;").arg(kHoldSeconds));
    }
    int insert(const QString& sorszamAndDates) {
        ExecSql(QStringLiteral("INSERT INTO zomi (sorszam, datum, hatar_datum, ido, vallalkozo, "
                               "ktgh, kiad_datum, alairas, munka, statusz, afas, munkadij1) "
                               "VALUES (%1, '10:00', 1, 1, CURDATE(), 1, 'x', 1, 'I', 100);")
                    .arg(sorszamAndDates));
        return static_cast<int>(here->lastInsertId());
    }
    QString column(Connection& node, int key, const QString& name) {
        return node
            .scalar(QStringLiteral("SELECT IFNULL(%1, 'NULL') FROM zomi WHERE zomi = %2")
                        .arg(name)
                        .arg(key))
            .text;
    }

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Connection> here;
    std::unique_ptr<Connection> there;
};

TEST_F(ClusterConflictTest, AnEditRefusedForAnotherNodesChangeEndsWithTheLostUpdateMessage) {
    const int key = insert(QStringLiteral("1, CURDATE(), CURDATE() + INTERVAL 7 DAY"));
    WorkOrderStore store(here.get());
    ASSERT_TRUE(store.open(key));
    store.row().setValue(QStringLiteral("munkadij1"), 200);
    store.row().setValue(QStringLiteral("hatar_datum"), QDate::currentDate().addDays(30));
    const long abortsBefore = bruteForceAborts(*here);
    holdNextWrite();
    OtherNodeWrite other(
        *there, QStringLiteral("UPDATE zomi SET munkadij1 = 999 WHERE zomi = %1").arg(key));
    EXPECT_EQ(store.store().outcome, WorkOrderStore::Outcome::ChangedMeanwhile);
    EXPECT_EQ(other.finish(), QString());
    EXPECT_GT(bruteForceAborts(*here), abortsBefore) << "the conflict did not happen";
    // The other node's change stands on every node; this one overwrote nothing.
    EXPECT_EQ(column(*here, key, QStringLiteral("munkadij1")).toDouble(), 999);
    EXPECT_EQ(column(*there, key, QStringLiteral("munkadij1")).toDouble(), 999);
    store.finish(false);
}

TEST_F(ClusterConflictTest, NewWorkOrdersStoredOnTwoNodesAtOnceGetTwoNumbers) {
    WorkOrderStore store(here.get());
    ASSERT_TRUE(store.open(-1));
    for (const char* column : {"vallalkozo", "ktgh", "alairas"})
        store.row().setValue(QString::fromLatin1(column), 1);
    const QString taken = store.numberText();
    const int number = store.row().value(QStringLiteral("sorszam")).toInt();
    const long abortsBefore = bruteForceAborts(*here);
    holdNextWrite();
    OtherNodeWrite other(*there, QStringLiteral("INSERT INTO zomi (sorszam, datum, ido, munka) "
                                                "VALUES (%1, CURDATE(), '11:00', 'ott')")
                                     .arg(number));
    const WorkOrderStore::StoreResult result = store.store();
    EXPECT_EQ(other.finish(), QString());
    EXPECT_GT(bruteForceAborts(*here), abortsBefore) << "the conflict did not happen";
    EXPECT_EQ(result.outcome, WorkOrderStore::Outcome::Renumbered);
    EXPECT_EQ(result.takenNumber, taken);
    const int key = store.finish(true);
    EXPECT_EQ(column(*there, key, QStringLiteral("sorszam")).toInt(), number + 1);
    EXPECT_EQ(there->scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text, QStringLiteral("2"));
}

TEST_F(ClusterConflictTest, TheOverdueStatusRunRefusedForAnotherNodesChangeRunsAgain) {
    const int key =
        insert(QStringLiteral("1, CURDATE() - INTERVAL 9 DAY, CURDATE() - INTERVAL 2 DAY"));
    const long abortsBefore = bruteForceAborts(*here);
    holdNextWrite();
    OtherNodeWrite other(*there,
                         QStringLiteral("UPDATE zomi SET munka = 'ott' WHERE zomi = %1").arg(key));
    EXPECT_NO_THROW(UpdateOverdueStatuses());
    EXPECT_EQ(other.finish(), QString());
    EXPECT_GT(bruteForceAborts(*here), abortsBefore) << "the conflict did not happen";
    EXPECT_EQ(column(*there, key, QStringLiteral("statusz")), QStringLiteral("4"));
    EXPECT_EQ(column(*there, key, QStringLiteral("munka")), QStringLiteral("ott"));
}

// A transaction of Zomi's own (one session throughout) whose COMMIT the
// cluster refuses: the user hears it, nothing of it stays, the session goes on.
TEST_F(ClusterConflictTest, ACommitRefusedByCertificationIsReportedAndLeavesNothing) {
    const int key = insert(QStringLiteral("1, CURDATE(), CURDATE()"));
    {
        dbaccess::SessionPin pin(*here);
        here->exec(QStringLiteral("START TRANSACTION"));
        here->exec(QStringLiteral("UPDATE zomi SET munka = 'itt' WHERE zomi = %1").arg(key));
        here->exec(
            QStringLiteral("INSERT INTO zomi (sorszam, datum, munka) VALUES (2, CURDATE(), "
                           "'itt')"));
        there->exec(QStringLiteral("UPDATE zomi SET munka = 'ott' WHERE zomi = %1").arg(key));
        try {
            here->exec(QStringLiteral("COMMIT"));
            ADD_FAILURE() << "the COMMIT was not refused";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), kDeadlock) << e.what();
        }
    }
    EXPECT_EQ(column(*here, key, QStringLiteral("munka")), QStringLiteral("ott"));
    EXPECT_EQ(here->scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text, QStringLiteral("1"));
}

// The node that runs a workstation's session dies while its new work order
// is written: the write had no COMMIT, so the store runs again through the
// proxy on a node that lives, and the work order is stored once.
TEST_F(ClusterConflictTest, ANodeKilledDuringAWriteLeavesTheWorkOrderStoredOnce) {
    ConnectionParams throughProxy = db->params();
    throughProxy.port = clusterBase();
    Connection c;
    c.setParams(throughProxy);
    c.open();
    const unsigned node = c.scalar(QStringLiteral("SELECT @@port")).text.toUInt() - clusterBase();
    SetMainConnection(&c);
    WorkOrderStore store(&c);
    ASSERT_TRUE(store.open(-1));
    for (const char* column : {"vallalkozo", "ktgh", "alairas"})
        store.row().setValue(QString::fromLatin1(column), 1);
    const auto cluster = [](const QStringList& args) {
        QProcess script;
        script.start(TestDatabase::sourceDir() + QStringLiteral("/scripts/dbserver"),
                     QStringList{QStringLiteral("cluster")} + args);
        return script.waitForFinished(180000) && script.exitCode() == 0;
    };
    // The holding trigger was made on node 1; it is everybody's.
    c.exec(QStringLiteral("SET @zomi_teszt_tart = %1").arg(kHoldSeconds));
    std::thread killer([&] {
        QThread::msleep(500);
        cluster({QStringLiteral("kill"), QString::number(node)});
    });
    WorkOrderStore::StoreResult result;
    QString refusal;
    try {
        result = store.store();
    } catch (const DbError& e) {
        // The proxy had no live node for it yet: the user tries again.
        refusal = e.message();
        killer.join();
        QThread::sleep(6);
        result = store.store();
    }
    if (killer.joinable()) killer.join();
    const int key = store.finish(true);
    ASSERT_TRUE(cluster({QStringLiteral("start-node"), QString::number(node)}));
    SetMainConnection(here.get());
    EXPECT_EQ(result.outcome, WorkOrderStore::Outcome::Stored) << refusal.toStdString();
    // Nothing had been committed: the user is never left to guess.
    EXPECT_FALSE(refusal.contains(QStringLiteral("vagy tárolódott, vagy nem")))
        << refusal.toStdString();
    std::printf("the first store %s\n", refusal.isEmpty()
                                            ? "stored the work order"
                                            : qPrintable(refusal.section('\n', 0, 0)));
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE zomi = %1").arg(key)).text,
              QStringLiteral("1"));
    EXPECT_EQ(c.scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text, QStringLiteral("1"));
}

}  // namespace
}  // namespace zomi
