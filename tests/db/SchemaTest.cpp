// The structure the application relies on, checked on a fresh database.

#include <gtest/gtest.h>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::DbError;
using test::TestDatabase;

class SchemaTest : public ::testing::Test {
  protected:
    explicit SchemaTest(TestDatabase::Content content = TestDatabase::Content::Schema)
        : db(content), c(db.connect()) {
        SetMainConnection(c.get());
    }
    ~SchemaTest() override { SetMainConnection(nullptr); }

    QString text(const QString& sql) { return QueryText(sql, QStringLiteral("<nincs>")); }
    int number(const QString& sql) { return QueryInt(sql, -999); }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
};

class DemoTest : public SchemaTest {
  protected:
    DemoTest() : SchemaTest(TestDatabase::Content::Demo) {}
};

TEST_F(SchemaTest, SerialNumberIsUniqueWithinTheYearOfItsDate) {
    EXPECT_EQ(number(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = 2026;")), 0);
    ExecSql(QStringLiteral("INSERT INTO zomi (datum, sorszam) VALUES ('2026-01-05', 1)"));
    try {
        ExecSql(QStringLiteral("INSERT INTO zomi (datum, sorszam) VALUES ('2026-11-30', 1)"));
        FAIL() << "duplicate serial accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 1062u);
        EXPECT_TRUE(e.message().contains(QStringLiteral("ev_sorszam"))) << e.what();
    }
    ExecSql(QStringLiteral("INSERT INTO zomi (datum, sorszam) VALUES ('2025-11-30', 1)"));
    ExecSql(QStringLiteral("INSERT INTO zomi (datum, sorszam) VALUES (NULL, 1), (NULL, 1)"));
    // Moving a work order into a year where its number is taken is refused too.
    EXPECT_THROW(
        ExecSql(QStringLiteral("UPDATE zomi SET datum = '2026-02-01' WHERE YEAR(datum) = 2025")),
        DbError);
    EXPECT_EQ(number(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = 2026;")), 1);
}

TEST_F(SchemaTest, DerivedColumnsStayOutOfTheEditableTable) {
    dbaccess::Table zomi(c.get());
    zomi.setTableName(QStringLiteral("zomi"));
    zomi.open();
    EXPECT_EQ(zomi.fieldIndex(QStringLiteral("ev")), -1);
    EXPECT_EQ(zomi.fieldIndex(QStringLiteral("sorszamstr")), -1);
    zomi.append();
    zomi.setValue(QStringLiteral("datum"), QDate(2026, 3, 1));
    zomi.setValue(QStringLiteral("sorszam"), 42);
    zomi.post();
    EXPECT_EQ(zomi.value(QStringLiteral("statusz")).toInt(), 1);  // a new work order is "recorded"
    zomi.edit();
    zomi.setValue(QStringLiteral("munka"), QStringLiteral("Csőtörés javítása"));
    zomi.post();
    EXPECT_EQ(text(QStringLiteral("SELECT sorszamstr FROM vw_zomi")), QStringLiteral("2026/00042"));
}

TEST_F(SchemaTest, DisplayNumberIsTheSameInTheListAndFromTheFunction) {
    ExecSql(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam) VALUES ('2026-01-01', 7), ('2026-01-02', 123456), "
        "(NULL, 3), ('2027-05-05', NULL), ('2026-01-03', -4), ('2026-01-04', 0)"));
    EXPECT_EQ(
        number(QStringLiteral(
            "SELECT COUNT(*) FROM vw_zomi v JOIN zomi z USING (zomi) WHERE NOT (v.sorszamstr <=> "
            "fn_sorszamstr(z.sorszam, YEAR(z.datum)))")),
        0);
    EXPECT_EQ(text(QStringLiteral("SELECT fn_sorszamstr(7, 2026);")), QStringLiteral("2026/00007"));
    EXPECT_LE(text(QStringLiteral("SELECT fn_sorszamstr(2147483647, 2147483647);")).size(), 15);
    // Ordered as text, the numbers run by year, then by serial.
    QStringList order;
    FillFromQuery(
        order,
        QStringLiteral("SELECT sorszamstr FROM vw_zomi WHERE sorszam > 0 ORDER BY sorszamstr"));
    EXPECT_EQ(order, (QStringList{"----/00003", "2026/00007", "2026/123456"}));
}

TEST_F(SchemaTest, WorkOrderWithMissingMasterRowsStillLists) {
    ExecSql(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam, vallalkozo, ktgh, alairas, statusz) "
        "VALUES (CURDATE(), 1, 999, 999, 999, 999), (CURDATE(), 2, -1, -1, NULL, NULL)"));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM vw_zomi")), 2);
    EXPECT_EQ(
        text(QStringLiteral("SELECT CONCAT_WS('|', IFNULL(cim,'-'), IFNULL(vallalkozo_nev,'-'), "
                            "IFNULL(alairas_nev,'-'), IFNULL(statusz_nev,'-'), szin) FROM vw_zomi "
                            "WHERE sorszam = 1")),
        QStringLiteral("-|-|-|-|0"));
    EXPECT_EQ(number(QStringLiteral("SELECT SUM(db) FROM vw_ossz")), 2);
}

TEST_F(SchemaTest, ColourClassFollowsStatusAndDeadline) {
    const auto szin = [&](int statusz, const QString& deadline) {
        ExecSql(QStringLiteral("DELETE FROM zomi"));
        ExecSql(QStringLiteral("INSERT INTO zomi (datum, sorszam, statusz, hatar_datum) VALUES "
                               "(CURDATE(), 1, %1, %2)")
                    .arg(statusz)
                    .arg(deadline));
        return number(QStringLiteral("SELECT szin FROM vw_zomi"));
    };
    EXPECT_EQ(szin(1, QStringLiteral("CURDATE()")), 2);
    EXPECT_EQ(szin(1, QStringLiteral("CURDATE() - INTERVAL 1 DAY")), 5);  // overdue at once
    EXPECT_EQ(szin(2, QStringLiteral("NULL")), 3);
    EXPECT_EQ(szin(3, QStringLiteral("CURDATE() - INTERVAL 1 DAY")), 4);  // done is never overdue
    EXPECT_EQ(szin(6, QStringLiteral("NULL")), 7);
    EXPECT_EQ(szin(99, QStringLiteral("NULL")), 0);
}

TEST_F(SchemaTest, StatusProcedureMovesOverdueOrdersAndBackAndIsIdempotent) {
    ExecSql(
        QStringLiteral("INSERT INTO zomi (datum, sorszam, statusz, hatar_datum) VALUES "
                       "(CURDATE(), 1, 1, CURDATE() - INTERVAL 3 DAY), (CURDATE(), 2, 2, CURDATE() "
                       "- INTERVAL 1 DAY), "
                       "(CURDATE(), 3, 4, CURDATE() + INTERVAL 5 DAY), (CURDATE(), 4, 3, CURDATE() "
                       "- INTERVAL 9 DAY), "
                       "(CURDATE(), 5, 1, CURDATE())"));
    ExecSql(QStringLiteral("CALL sp_setstatusz();"));
    QStringList after;
    FillFromQuery(after, QStringLiteral("SELECT statusz FROM zomi ORDER BY sorszam"));
    EXPECT_EQ(after, (QStringList{"4", "4", "1", "3", "1"}));
    ExecSql(QStringLiteral("CALL sp_setstatusz();"));
    QStringList again;
    FillFromQuery(again, QStringLiteral("SELECT statusz FROM zomi ORDER BY sorszam"));
    EXPECT_EQ(again, after);
}

TEST_F(SchemaTest, FreshDatabaseHasItsFixedRowsAndKeysStartAtTheServersOffset) {
    EXPECT_EQ(text(QStringLiteral("SELECT vanbelep FROM beallit;")), QStringLiteral("N"));
    EXPECT_EQ(text(QStringLiteral("SELECT verzioelfogadva FROM beallit;")),
              QStringLiteral("23.0.0.44"));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM tulajdonos")), 1);
    EXPECT_FALSE(text(QStringLiteral("SELECT MAX(verzio) FROM verzio;")).isEmpty());
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM vallalkozo WHERE vallalkozo = -1")), 1);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM ktgh WHERE ktgh = -1")), 1);
    EXPECT_FALSE(
        text(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz=1;")).isEmpty());
    // The first key is the server's offset: 1 on one server, the node's own
    // on a cluster, which hands out keys in steps of its size.
    const quint64 first =
        c->scalar(QStringLiteral("SELECT @@auto_increment_offset")).text.toULongLong();
    ExecSql(QStringLiteral("INSERT INTO vallalkozo (vallalkozo_nev) VALUES ('Első Kft.')"));
    EXPECT_EQ(c->lastInsertId(), first);
    ExecSql(QStringLiteral("INSERT INTO ktgh (cim) VALUES ('Fő utca 1.')"));
    EXPECT_EQ(c->lastInsertId(), first);
    // The settings row is one of a kind.
    EXPECT_THROW(ExecSql(QStringLiteral("INSERT INTO beallit (vanbelep) VALUES ('I')")), DbError);
}

TEST_F(SchemaTest, TotalsPerStatusCountEveryOrder) {
    ExecSql(QStringLiteral(
        "INSERT INTO zomi (datum, sorszam, statusz, ossz) VALUES "
        "(CURDATE(), 1, 1, 10.5), (CURDATE(), 2, 1, NULL), (CURDATE(), 3, 2, NULL)"));
    dbaccess::Query q(c.get());
    q.setSql(QStringList{QStringLiteral("SELECT * FROM vw_ossz"),
                         QStringLiteral("WHERE statusz > 0"), QStringLiteral("ORDER BY 1;")});
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.fieldByName(QStringLiteral("db")).kind, dbaccess::FieldKind::LargeInt);
    EXPECT_EQ(q.value(QStringLiteral("db")).toInt(), 2);
    EXPECT_DOUBLE_EQ(q.value(QStringLiteral("ossz")).toDouble(), 10.5);
    q.next();
    EXPECT_TRUE(q.value(QStringLiteral("ossz")).isNull());
}

TEST_F(DemoTest, DemoFeesAddUpAndPasswordsAreLatin2Digests) {
    EXPECT_GT(number(QStringLiteral("SELECT COUNT(*) FROM zomi")), 100);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE ABS(IFNULL(munkadij3,0) - "
                                    "IFNULL(munkadij1,0)*IFNULL(munkadij2,0)) > 1e-6 "
                                    "OR ABS(IFNULL(ossz,0) - IFNULL(munkadij4,0) - "
                                    "IFNULL(kiszdij4,0) - IFNULL(anyag4,0)) > 1e-6")),
              0);
    EXPECT_EQ(
        text(QStringLiteral("SELECT jelszomd5 FROM felhasznalo WHERE felhasznalo = 'vendeg'")),
        ServerMd5(QStringLiteral("tűzoltó")));
    EXPECT_GT(number(QStringLiteral("SELECT COUNT(DISTINCT YEAR(datum)) FROM zomi")), 2);
    EXPECT_GT(number(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE datum IS NULL")), 0);
}

}  // namespace
}  // namespace zomi
