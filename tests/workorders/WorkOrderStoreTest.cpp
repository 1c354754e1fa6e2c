#include <gtest/gtest.h>

#include <QDate>
#include <atomic>
#include <chrono>
#include <thread>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DbError.h"
#include "support/TestDatabase.h"
#include "workorders/WorkOrderStore.h"

namespace zomi {
namespace {

using test::TestDatabase;

class WorkOrderStoreTest : public ::testing::Test {
  protected:
    WorkOrderStoreTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        SetMainConnection(c.get());
        ExecSql(
            QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev) VALUES (1, 'V');"));
        ExecSql(QStringLiteral("INSERT INTO ktgh (ktgh, cim) VALUES (1, 'K');"));
        ExecSql(QStringLiteral("INSERT INTO alairas (alairas, alairas_nev) VALUES (1, 'A');"));
    }
    ~WorkOrderStoreTest() override { SetMainConnection(nullptr); }

    int insert(const QString& values) {
        ExecSql(
            QStringLiteral("INSERT INTO zomi (datum, ido, sorszam, vallalkozo, ktgh, kiad_datum, "
                           "hatar_datum, alairas, munka, statusz, afas) VALUES (") +
            values + QStringLiteral(");"));
        return QueryInt(QStringLiteral("SELECT MAX(zomi) FROM zomi;"), -1);
    }
    static void fillRequired(dbaccess::Table& row) {
        for (const char* column : {"vallalkozo", "ktgh", "alairas"})
            row.setValue(QString::fromLatin1(column), 1);
    }
    QString column(int key, const QString& name) {
        return QueryText(QStringLiteral("SELECT IFNULL(%1, 'NULL') FROM zomi WHERE zomi = %2;")
                             .arg(name)
                             .arg(key),
                         QStringLiteral("<no row>"));
    }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
};

TEST_F(WorkOrderStoreTest, NewWorkOrdersAreNumberedFromOneInTheServersYear) {
    const int year = ServerDate().date().year();
    // Last year's numbers do not count, however high.
    insert(QStringLiteral("'%1-06-01', '10:00', 41, 1, 1, '%1-06-01', '%1-06-08', 1, 'x', 5, 'I'")
               .arg(year - 1));
    EXPECT_EQ(NextSerialNumber(year), 1);
    EXPECT_EQ(NextSerialNumber(year - 1), 42);
    {
        // A database of the Windows clients has no year column.
        TestDatabase stock(TestDatabase::Content::Schema);
        auto session = stock.connect();
        session->exec(QStringLiteral("ALTER TABLE zomi DROP INDEX ev_sorszam, DROP COLUMN ev"));
        session->exec(
            QStringLiteral(
                "INSERT INTO zomi (datum, sorszam) VALUES ('%1-06-01', 7), ('%2-01-02', 9)")
                .arg(year - 1)
                .arg(year));
        SetMainConnection(session.get());
        EXPECT_EQ(NextSerialNumber(year - 1), 8);
        EXPECT_EQ(NextSerialNumber(year), 10);
        // A number still free is kept, even below the highest; a taken one
        // gives way to the next after the highest.
        EXPECT_EQ(FreeSerialNumber(year, 3), 3);
        EXPECT_EQ(FreeSerialNumber(year, 9), 10);
        EXPECT_EQ(FreeSerialNumber(year - 1, 7), 8);
        SetMainConnection(c.get());
    }
    EXPECT_EQ(FreeSerialNumber(year - 1, 41), 42);
    EXPECT_EQ(FreeSerialNumber(year - 1, 40), 40);
    EXPECT_EQ(FreeSerialNumber(year, 1), 1);

    WorkOrderStore store(c.get());
    ASSERT_TRUE(store.open(-1));
    dbaccess::Table& row = store.row();
    EXPECT_EQ(row.value(QStringLiteral("sorszam")).toInt(), 1);
    EXPECT_EQ(row.value(QStringLiteral("statusz")).toInt(), 1);
    for (const char* date : {"datum", "kiad_datum", "hatar_datum"})
        EXPECT_EQ(row.value(QString::fromLatin1(date)).toDate(), QDate::currentDate()) << date;
    EXPECT_FALSE(row.isNull(QStringLiteral("ido")));
    fillRequired(row);
    EXPECT_EQ(store.store().outcome, WorkOrderStore::Outcome::Stored);
    const int key = store.finish(true);
    EXPECT_EQ(column(key, QStringLiteral("sorszam")), QStringLiteral("1"));
    EXPECT_EQ(NextSerialNumber(year), 2);
}

TEST_F(WorkOrderStoreTest, RequiredColumnsAreCheckedInTheirOrder) {
    const QStringList order{"datum",      "ido",         "vallalkozo", "ktgh",
                            "kiad_datum", "hatar_datum", "alairas"};
    QStringList columns;
    for (const RequiredColumn& required : RequiredColumns()) columns << required.column;
    EXPECT_EQ(columns, order);
    EXPECT_EQ(RequiredColumns().last().message, QStringLiteral("Aláíró megadása kötelező"));

    // Each row lacks one column and every one after it: only the order decides.
    const char* const values[] = {
        "NULL, NULL, %1, NULL, NULL, NULL, NULL, NULL",
        "'2026-01-05', NULL, %1, NULL, NULL, NULL, NULL, NULL",
        "'2026-01-05', '08:00', %1, NULL, NULL, NULL, NULL, NULL",
        "'2026-01-05', '08:00', %1, 1, NULL, NULL, NULL, NULL",
        "'2026-01-05', '08:00', %1, 1, 1, NULL, NULL, NULL",
        "'2026-01-05', '08:00', %1, 1, 1, '2026-01-05', NULL, NULL",
        "'2026-01-05', '08:00', %1, 1, 1, '2026-01-05', '2026-01-09', NULL"};
    for (int i = 0; i < 7; ++i) {
        WorkOrderStore store(c.get());
        ASSERT_TRUE(store.open(
            insert(QString::fromLatin1(values[i]).arg(i + 1) + QStringLiteral(", 'x', 1, 'N'"))));
        const RequiredColumn* missing = store.firstMissingColumn();
        ASSERT_NE(missing, nullptr) << i;
        EXPECT_EQ(missing->column, order.at(i));
        store.finish(false);
    }
    WorkOrderStore complete(c.get());
    ASSERT_TRUE(complete.open(insert(QStringLiteral(
        "'2026-01-05', '08:00', 9, 1, 1, '2026-01-05', '2026-01-09', 1, 'x', 1, 'N'"))));
    EXPECT_EQ(complete.firstMissingColumn(), nullptr);
}

TEST_F(WorkOrderStoreTest, NumberTakenMeanwhileIsReplacedByTheNextFreeOne) {
    WorkOrderStore here(c.get());
    WorkOrderStore there(c.get());
    ASSERT_TRUE(here.open(-1));
    ASSERT_TRUE(there.open(-1));
    fillRequired(here.row());
    fillRequired(there.row());
    const QString taken = there.numberText();
    EXPECT_EQ(here.store().outcome, WorkOrderStore::Outcome::Stored);

    const WorkOrderStore::StoreResult result = there.store();
    EXPECT_EQ(result.outcome, WorkOrderStore::Outcome::Renumbered);
    EXPECT_EQ(result.takenNumber, taken);
    EXPECT_EQ(result.storedNumber, there.numberText());
    EXPECT_NE(result.storedNumber, taken);
    EXPECT_EQ(column(there.finish(true), QStringLiteral("sorszam")), QStringLiteral("2"));
}

TEST_F(WorkOrderStoreTest, NewWorkOrdersOfAYearAreStoredOneWorkstationAtATime) {
    if (TestDatabase::onCluster())
        GTEST_SKIP() << "the year's lock is each node's own: on a cluster the unique key and the "
                        "retry keep numbers apart, as the load tool checks";
    WorkOrderStore here(c.get());
    ASSERT_TRUE(here.open(-1));
    fillRequired(here.row());
    const QString year = QString::number(here.row().value(QStringLiteral("datum")).toDate().year());
    const QString lock =
        QStringLiteral("CONCAT('zomi-sorszam-', MD5(DATABASE()), '-', %1)").arg(year);
    // Another workstation is storing a new work order of the same year: it
    // holds the year's lock and takes the number this editor shows.
    auto there = db.connect();
    ASSERT_EQ(there->scalar(QStringLiteral("SELECT GET_LOCK(%1, 0)").arg(lock)).text,
              QStringLiteral("1"));
    std::atomic<bool> thereStored{false};
    QString thereRefused;
    std::thread storing([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        try {
            there->exec(QStringLiteral(
                "INSERT INTO zomi (datum, ido, sorszam, vallalkozo, ktgh, kiad_datum, "
                "hatar_datum, alairas, statusz) VALUES (CURDATE(), '10:00', 1, 1, 1, CURDATE(), "
                "CURDATE(), 1, 1)"));
        } catch (const dbaccess::DbError& error) {
            thereRefused = error.message();
        }
        thereStored = true;
        there->scalar(QStringLiteral("SELECT RELEASE_LOCK(%1)").arg(lock));
    });
    const WorkOrderStore::StoreResult result = here.store();
    const bool waited = thereStored;
    storing.join();
    EXPECT_TRUE(waited);
    EXPECT_EQ(thereRefused.toStdString(), "");
    EXPECT_EQ(result.outcome, WorkOrderStore::Outcome::Renumbered);
    EXPECT_EQ(column(here.finish(true), QStringLiteral("sorszam")), QStringLiteral("2"));
    // The lock went with the store.
    EXPECT_EQ(there->scalar(QStringLiteral("SELECT IS_FREE_LOCK(%1)").arg(lock)).text,
              QStringLiteral("1"));
}

TEST_F(WorkOrderStoreTest, ConflictsWithAnotherWorkstationAreToldApart) {
    const QString values = QStringLiteral(
        "'2026-07-01', '10:00', %1, 1, 1, '2026-07-01', '2026-07-09', 1, 'eredeti', 1, 'I'");
    const int changed = insert(values.arg(2));
    const int untouched = insert(values.arg(3));
    auto otherWorkstation = db.connect();

    // A row deleted meanwhile counts as deleted whether or not anything was typed.
    int deleted = -1;
    for (bool typed : {false, true}) {
        deleted = insert(values.arg(typed ? 4 : 1));
        WorkOrderStore store(c.get());
        ASSERT_TRUE(store.open(deleted));
        if (typed) store.row().setValue(QStringLiteral("munka"), QStringLiteral("itt"));
        otherWorkstation->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = %1").arg(deleted));
        EXPECT_EQ(store.store().outcome, WorkOrderStore::Outcome::DeletedMeanwhile) << typed;
        EXPECT_EQ(store.finish(false), -1);
    }

    WorkOrderStore store(c.get());
    ASSERT_TRUE(store.open(changed));
    otherWorkstation->exec(
        QStringLiteral("UPDATE zomi SET munka = 'ott' WHERE zomi = %1").arg(changed));
    store.row().setValue(QStringLiteral("munka"), QStringLiteral("itt"));
    EXPECT_EQ(store.store().outcome, WorkOrderStore::Outcome::ChangedMeanwhile);
    EXPECT_EQ(column(changed, QStringLiteral("munka")), QStringLiteral("ott"));
    store.finish(false);

    WorkOrderStore plain(c.get());
    ASSERT_TRUE(plain.open(untouched));
    plain.row().setValue(QStringLiteral("munka"), QStringLiteral("itt"));
    EXPECT_EQ(plain.store().outcome, WorkOrderStore::Outcome::Stored);
    EXPECT_EQ(plain.finish(true), untouched);
    EXPECT_EQ(column(untouched, QStringLiteral("munka")), QStringLiteral("itt"));

    WorkOrderStore gone(c.get());
    EXPECT_FALSE(gone.open(deleted));
}

// Makes the server refuse the next saves of work orders as a whole, with the
// error a deadlock or a cluster's certification conflict gives: a counter in
// a table outside transactions survives the refused statement's undo.
void refuseNextSaves(dbaccess::Connection& c, int count) {
    c.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS elutasit (n INT NOT NULL) ENGINE=MEMORY"));
    c.exec(QStringLiteral("DELETE FROM elutasit"));
    c.exec(QStringLiteral("INSERT INTO elutasit VALUES (%1)").arg(count));
    for (const char* event : {"INSERT", "UPDATE"}) {
        c.exec(QStringLiteral("DROP TRIGGER IF EXISTS elutasit_%1").arg(QLatin1String(event)));
        c.exec(QStringLiteral("CREATE TRIGGER elutasit_%1 BEFORE %1 ON zomi FOR EACH ROW BEGIN "
                              "IF (SELECT n FROM elutasit) > 0 THEN UPDATE elutasit SET n = n - 1; "
                              "SIGNAL SQLSTATE '40001' SET MYSQL_ERRNO = 1213, MESSAGE_TEXT = "
                              "'Deadlock found when trying to get lock'; END IF; END")
                   .arg(QLatin1String(event)));
    }
}

TEST_F(WorkOrderStoreTest, ASaveRefusedAsAWholeRunsAgainAndIsStoredOnce) {
    const QString values = QStringLiteral(
        "'2026-07-01', '10:00', %1, 1, 1, '2026-07-01', '2026-07-09', 1, 'eredeti', 1, 'I'");
    const int key = insert(values.arg(1));
    auto otherWorkstation = db.connect();

    refuseNextSaves(*c, 2);
    WorkOrderStore edit(c.get());
    ASSERT_TRUE(edit.open(key));
    edit.row().setValue(QStringLiteral("munka"), QStringLiteral("javítva"));
    EXPECT_EQ(edit.store().outcome, WorkOrderStore::Outcome::Stored);
    edit.finish(true);
    EXPECT_EQ(column(key, QStringLiteral("munka")), QStringLiteral("javítva"));

    // Refused, then found changed by another workstation: the lost-update
    // guard holds through the retries.
    WorkOrderStore late(c.get());
    ASSERT_TRUE(late.open(key));
    late.row().setValue(QStringLiteral("munka"), QStringLiteral("itt"));
    otherWorkstation->exec(
        QStringLiteral("UPDATE zomi SET munka = 'ott' WHERE zomi = %1").arg(key));
    refuseNextSaves(*c, 1);
    EXPECT_EQ(late.store().outcome, WorkOrderStore::Outcome::ChangedMeanwhile);
    late.finish(false);
    refuseNextSaves(*c, 0);
    EXPECT_EQ(column(key, QStringLiteral("munka")), QStringLiteral("ott"));

    // A new work order refused twice is stored once, numbered again, the
    // number another workstation took meanwhile not reused.
    WorkOrderStore added(c.get());
    ASSERT_TRUE(added.open(-1));
    fillRequired(added.row());
    added.row().setValue(QStringLiteral("datum"), QDate(2026, 7, 2));
    added.row().setValue(QStringLiteral("sorszam"), 2);
    insert(values.arg(2));
    refuseNextSaves(*c, 2);
    const WorkOrderStore::StoreResult result = added.store();
    EXPECT_EQ(result.outcome, WorkOrderStore::Outcome::Renumbered);
    const int stored = added.finish(true);
    EXPECT_EQ(column(stored, QStringLiteral("sorszam")), QStringLiteral("3"));
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT COUNT(*) FROM zomi;"), -1), 3);

    // Refused every time: told, with nothing stored.
    refuseNextSaves(*c, 100);
    WorkOrderStore never(c.get());
    ASSERT_TRUE(never.open(key));
    never.row().setValue(QStringLiteral("munka"), QStringLiteral("soha"));
    try {
        never.store();
        ADD_FAILURE() << "a save refused every time was reported stored";
    } catch (const dbaccess::DbError& e) {
        EXPECT_EQ(e.code(), 1213u);
    }
    never.finish(false);
    EXPECT_EQ(column(key, QStringLiteral("munka")), QStringLiteral("ott"));
}

TEST_F(WorkOrderStoreTest, ContractorRatesAndComputedFeesFollowTheWorkedExample) {
    ExecSql(
        QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev, oradij, kiszdij, afas) "
                       "VALUES (2, 'Áfás', 127, 254, 'I'), (3, 'Díjtalan', 0, NULL, 'I');"));
    WorkOrderStore store(c.get());
    ASSERT_TRUE(store.open(-1));
    dbaccess::Table& row = store.row();
    store.takeContractor(3, 1.27);
    EXPECT_TRUE(row.isNull(QStringLiteral("munkadij1")));
    EXPECT_TRUE(row.isNull(QStringLiteral("kiszdij1")));

    store.takeContractor(2, 1.27);
    EXPECT_EQ(row.value(QStringLiteral("vallalkozo")).toInt(), 2);
    EXPECT_EQ(row.value(QStringLiteral("afas")).toString(), QStringLiteral("I"));
    EXPECT_NEAR(row.value(QStringLiteral("munkadij1")).toDouble(), 100, 1e-9);
    EXPECT_NEAR(row.value(QStringLiteral("kiszdij1")).toDouble(), 200, 1e-9);
    row.setValue(QStringLiteral("munkadij2"), 3);
    row.setValue(QStringLiteral("kiszdij2"), 2);
    store.computeNetLabourFee();
    store.computeNetCallOutFee();
    store.computeGrossAndTotal(1.27);
    const std::pair<const char*, double> expected[] = {{"munkadij3", 300}, {"kiszdij3", 400},
                                                       {"munkadij4", 381}, {"kiszdij4", 508},
                                                       {"anyag4", 0},      {"ossz", 889}};
    for (const auto& [column, value] : expected)
        EXPECT_NEAR(row.value(QString::fromLatin1(column)).toDouble(), value, 1e-9) << column;
    store.finish(false);
}

}  // namespace
}  // namespace zomi
