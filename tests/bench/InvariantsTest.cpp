#include <gtest/gtest.h>

#include "Invariants.h"
#include "Journal.h"
#include "support/TestDatabase.h"

namespace zomi::load {
namespace {

using test::TestDatabase;

// The end checks against a database whose rows the test sets, and journals
// as workstations would have written them: each fault a load could cause
// must be named, and a sound run must pass.
class InvariantsTest : public ::testing::Test {
  protected:
    InvariantsTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        c->exec(QStringLiteral(
            "INSERT INTO zomi (zomi, datum, sorszam, munkadij1, hatar_datum, ossz, munka) VALUES "
            "(1, '2026-03-01', 1, 100, '2026-04-01', 127, 'a'), "
            "(2, '2026-03-02', 2, 200, '2026-04-02', 254, 'b')"));
        start = ReadStartState(*c);
    }

    // A change of work order 1 from one fee to another, with the deadline
    // and total it sent.
    static SaveRecord save(const char* before, const char* after, Outcome outcome,
                           const char* deadline = "2026-05-01", const char* total = "300") {
        return {QStringLiteral("zomi"),     1,       QString::fromLatin1(before),
                QString::fromLatin1(after), outcome, QString::fromLatin1(deadline),
                QString::fromLatin1(total)};
    }
    void setRow(const char* fee, const char* deadline = "2026-05-01", const char* total = "300") {
        c->exec(QStringLiteral("UPDATE zomi SET munkadij1 = %1, hatar_datum = '%2', ossz = %3 "
                               "WHERE zomi = 1")
                    .arg(QString::fromLatin1(fee), QString::fromLatin1(deadline),
                         QString::fromLatin1(total)));
    }
    QStringList check() { return CheckInvariants(*c, start, journal); }
    bool names(const QStringList& broken, const char* words) {
        for (const QString& line : broken)
            if (line.contains(QString::fromLatin1(words))) return true;
        return false;
    }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
    StartState start;
    Journal journal;
};

TEST_F(InvariantsTest, AChainOfSavesWithConflictsRefusedHolds) {
    journal.saves = {save("100", "1000", Outcome::Acknowledged),
                     save("100", "1001", Outcome::Conflict),
                     save("1000", "1002", Outcome::Acknowledged, "2026-06-01", "301"),
                     save("1000", "1003", Outcome::Unknown)};
    setRow("1002", "2026-06-01", "301");
    EXPECT_EQ(check(), QStringList());
}

TEST_F(InvariantsTest, LostAndOverwrittenSavesAreNamed) {
    // Two saves over the same reading, both acknowledged: one overwrote the other.
    journal.saves = {save("100", "1000", Outcome::Acknowledged),
                     save("100", "1001", Outcome::Acknowledged)};
    setRow("1001");
    QStringList broken = check();
    EXPECT_TRUE(names(broken, "silent overwrite")) << broken.join('\n').toStdString();

    // An acknowledged save whose value the row does not hold.
    journal.saves = {save("100", "1000", Outcome::Acknowledged)};
    setRow("100");
    broken = check();
    EXPECT_TRUE(names(broken, "acknowledged save lost")) << broken.join('\n').toStdString();

    // A save refused as a conflict that is stored all the same.
    journal.saves = {save("100", "1000", Outcome::Conflict)};
    setRow("1000");
    broken = check();
    EXPECT_TRUE(names(broken, "reported as a conflict was stored"))
        << broken.join('\n').toStdString();

    // The right fee with another deadline than the save sent.
    journal.saves = {save("100", "1000", Outcome::Acknowledged, "2026-05-01")};
    setRow("1000", "2026-05-02");
    broken = check();
    EXPECT_TRUE(names(broken, "holds deadline")) << broken.join('\n').toStdString();
}

TEST_F(InvariantsTest, MissingDuplicatedAndMisnumberedWorkOrdersAreNamed) {
    c->exec(
        QStringLiteral("INSERT INTO zomi (zomi, datum, sorszam, munkadij1, munka) VALUES "
                       "(3, '2026-03-03', 3, 5, 'Terheléses próba 1/0/1'), (4, '2026-03-04', 4, 5, "
                       "'Terheléses próba 1/0/1')"));
    journal.inserts = {{3, QStringLiteral("Terheléses próba 1/0/1"), QStringLiteral("5"),
                        Outcome::Acknowledged, QString(), QString(), 2026, 3},
                       {9, QStringLiteral("Terheléses próba 1/0/2"), QStringLiteral("6"),
                        Outcome::Acknowledged, QString(), QString(), 2026, 9}};
    // Work order 2 is gone though nobody deleted it; the serial is shared
    // once the unique guard is dropped, as a server without it would allow.
    c->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = 2"));
    c->exec(QStringLiteral("ALTER TABLE zomi DROP INDEX ev_sorszam"));
    c->exec(QStringLiteral("UPDATE zomi SET sorszam = 1 WHERE zomi = 4"));
    const QStringList broken = check();
    const std::string all = broken.join('\n').toStdString();
    EXPECT_TRUE(names(broken, "stored 2 times")) << all;
    EXPECT_TRUE(names(broken, "acknowledged new work order missing")) << all;
    EXPECT_TRUE(names(broken, "work order 2 missing")) << all;
    EXPECT_TRUE(names(broken, "duplicate serial number")) << all;
}

}  // namespace
}  // namespace zomi::load
