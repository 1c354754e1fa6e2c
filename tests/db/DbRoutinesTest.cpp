#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QLocale>

#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using dbaccess::Query;
using test::TestDatabase;

class DbRoutinesTest : public ::testing::Test {
  protected:
    explicit DbRoutinesTest(TestDatabase::Content content = TestDatabase::Content::Empty)
        : db(content), c(db.connect()) {
        SetMainConnection(c.get());
    }
    ~DbRoutinesTest() override { SetMainConnection(nullptr); }

    TestDatabase db;
    std::unique_ptr<Connection> c;
};

int statementsSent(Connection& c) {
    return QByteArray(
               c.query(QStringLiteral("SHOW SESSION STATUS LIKE 'Questions'"))->row(0).cell(1))
        .toInt();
}

TEST_F(DbRoutinesTest, ExecSqlSendsNothingForBlankTextAndTurnsEscapedLineBreaksIntoRealOnes) {
    const int before = statementsSent(*c);
    ExecSql(QString());
    ExecSql(QStringLiteral("  \t\r\n "));
    EXPECT_EQ(statementsSent(*c) - before, 1);  // only the counter query itself

    ExecSql(QStringLiteral("CREATE TABLE t (s TEXT)"));
    // Outside a literal the sequence becomes a line break, which the server skips as blank.
    ExecSql(QStringLiteral("INSERT INTO t VALUES ('a')\\r\\n"));
    ExecSql(QStringLiteral("INSERT INTO t VALUES ('x\\R\\ny')"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT HEX(s) FROM t WHERE s LIKE 'x%'"), QString()),
              QStringLiteral("780D0A79"));
}

TEST_F(DbRoutinesTest, ScalarQueriesTellNoRowFromNullFromGarbage) {
    ExecSql(QStringLiteral("CREATE TABLE z (sorszam INT, datum DATE, nev VARCHAR(20))"));
    ExecSql(QStringLiteral("INSERT INTO z VALUES (NULL, NULL, NULL), (7, '2025-03-04', 'x')"));
    // The highest serial of an empty year is one NULL row: 0, not the default.
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM z WHERE YEAR(datum) = 1999;"), -1),
              0);
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT sorszam FROM z WHERE sorszam = 99"), -1), -1);
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT ' 42 '"), -1), 42);
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT 'abc'"), -1), 0);
    EXPECT_EQ(QueryInt(QStringLiteral("SELECT 1.5"), -1), 0);

    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT nev FROM z WHERE sorszam = 99"), QStringLiteral("nincs")),
        QStringLiteral("nincs"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT nev FROM z WHERE sorszam IS NULL"),
                        QStringLiteral("nincs")),
              QString());

    EXPECT_EQ(QueryFloat(QStringLiteral("SELECT NULL"), 3.5), 3.5);
    EXPECT_EQ(QueryFloat(QStringLiteral("SELECT 'x'"), 3.5), 3.5);
    EXPECT_EQ(QueryFloat(QStringLiteral("SELECT 1 FROM z WHERE 1 = 0"), 3.5), 3.5);

    EXPECT_EQ(
        QueryDate(QStringLiteral("SELECT datum FROM z WHERE sorszam = 7"), QDateTime()).date(),
        QDate(2025, 3, 4));
    EXPECT_FALSE(QueryDate(QStringLiteral("SELECT datum FROM z WHERE sorszam IS NULL"),
                           QDateTime::currentDateTime())
                     .isValid());
    const QDateTime fallback(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    EXPECT_EQ(QueryDate(QStringLiteral("SELECT datum FROM z WHERE sorszam = 99"), fallback),
              fallback);
}

TEST_F(DbRoutinesTest, QueryFloatReadsTheServersPointUnderHungarianSettings) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    EXPECT_DOUBLE_EQ(QueryFloat(QStringLiteral("SELECT 2.5"), 0), 2.5);
    EXPECT_DOUBLE_EQ(QueryFloat(QStringLiteral("SELECT 1.27e0"), 0), 1.27);
    QLocale::setDefault(previous);
}

TEST(DateTimeFromText, ReadsByPosition) {
    EXPECT_EQ(DateTimeFromText(QStringLiteral("2026-12-09")),
              QDateTime(QDate(2026, 12, 9), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(DateTimeFromText(QStringLiteral("2026-12-09 13:45:07")),
              QDateTime(QDate(2026, 12, 9), QTime(13, 45, 7), Qt::UTC));
    EXPECT_EQ(DateTimeFromText(QStringLiteral("13:45:07")).time(), QTime(13, 45, 7));
    // An impossible hour, minute or second counts as zero.
    EXPECT_EQ(DateTimeFromText(QStringLiteral("2026-12-09 25:61:07")).time(), QTime(0, 0, 7));
    EXPECT_FALSE(DateTimeFromText(QStringLiteral("0000-00-00")).isValid());
    EXPECT_FALSE(DateTimeFromText(QStringLiteral("abc")).isValid());
}

TEST_F(DbRoutinesTest, ServerMd5DigestsTheSessionBytesOfAnAccentedPassword) {
    const QString password = QStringLiteral("Jelszó-őrző ű'\\");
    const QByteArray expected =
        QCryptographicHash::hash(ToCp1250(password), QCryptographicHash::Md5).toHex();
    EXPECT_EQ(ServerMd5(password), QString::fromLatin1(expected));
    EXPECT_EQ(ServerMd5(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
}

// The login computes the digest itself; the digests stored by the server's
// MD5() must keep matching, for every letter and punctuation mark of the code page.
TEST_F(DbRoutinesTest, PasswordDigestIsTheServersMd5OfTheSessionBytes) {
    for (const QString& password :
         {QString(), QStringLiteral("admin"), QStringLiteral("ÁRVÍZTŰRŐ tükörfúrógép"),
          QStringLiteral("árvíztűrő TÜKÖRFÚRÓGÉP äÄß"), QStringLiteral("„idézet” ‚egy’ “két”"),
          QStringLiteral("– — … • € ‰ † ‡ ™ § ° ¤"), QStringLiteral("it's a\\b \"x\" %_;\t")}) {
        EXPECT_EQ(PasswordDigest(password), ServerMd5(password)) << password.toStdString();
    }
}

TEST_F(DbRoutinesTest, FillFromQueryAppendsFirstColumnsInServerOrder) {
    QStringList list{QStringLiteral("marad")};
    FillFromQuery(list, QStringLiteral("SELECT 2027 UNION ALL SELECT NULL UNION ALL SELECT 'Ős'"));
    EXPECT_EQ(list, (QStringList{"marad", "2027", "", "Ős"}));
}

TEST_F(DbRoutinesTest, RecordCounterAndDelimitedLines) {
    ExecSql(QStringLiteral(
        "CREATE TABLE t (id INT, nev VARCHAR(30), osszeg DOUBLE) CHARACTER SET latin2"));
    ExecSql(QStringLiteral("INSERT INTO t VALUES (1, 'a;b', 2.5), (2, NULL, NULL), (3, 'Űr', -1)"));
    Query q(c.get());
    q.setSql(QStringLiteral("SELECT * FROM t ORDER BY id"));
    q.open();
    q.next();
    EXPECT_EQ(RecordCounterText(q), QStringLiteral("3: 2"));

    QList<QByteArray> lines;
    DataSetToLines(q, lines, true, QString(), QLatin1Char('\t'), false, false);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "id\tnev\tosszeg\t");
    EXPECT_EQ(lines[1], "1\ta,b\t2.5\t");
    EXPECT_EQ(lines[2], "2\t\t\t");
    EXPECT_EQ(lines[3], "3\t\xDBr\t-1\t");  // code page 1250
    EXPECT_EQ(q.recNo(), 3);                // left at the end

    lines.clear();
    DataSetToLines(q, lines, false, QStringLiteral("id;osszeg"), QLatin1Char(';'), true, true);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "1;a,b;");
    EXPECT_EQ(lines[2], "3;\xC5\xB0r;");  // UTF-8

    lines.clear();
    DataSetToLines(q, lines, true, QStringLiteral("ID"), QLatin1Char(','), false, false);
    EXPECT_EQ(lines[0], "id,nev,osszeg,");  // exclusion compares the exact letter case
}

TEST_F(DbRoutinesTest, AmountFormatsFollowTheFieldTags) {
    ExecSql(QStringLiteral("CREATE TABLE t (a DOUBLE, b DOUBLE, c DOUBLE, d DOUBLE, n INT)"));
    ExecSql(QStringLiteral(
        "INSERT INTO t VALUES (1234567.891, 1234567.891, 1234567.891, 1234567.891, 1234567)"));
    Beall.Format = QStringLiteral("### ### ##0");
    Beall.Format2 = QStringLiteral("### ### ##0.00");
    for (bool compact : {false, true}) {
        Query q(c.get());
        q.setSql(QStringLiteral("SELECT * FROM t"));
        q.open();
        q.field(1).tag = -1;
        q.field(2).tag = 2;
        q.field(3).tag = 7;
        q.field(4).tag = 0;
        SetAmountFormats(q, compact);
        if (!compact) {
            EXPECT_EQ(q.displayText(0, 0), QStringLiteral("1 234 568"));
            EXPECT_EQ(q.displayText(0, 1), QStringLiteral("1 234 567,89"));
            EXPECT_EQ(q.displayText(0, 2), QStringLiteral("1 234 567,891"));
        } else {
            EXPECT_EQ(q.displayText(0, 0), QStringLiteral("1234568"));
            EXPECT_EQ(q.displayText(0, 2), QStringLiteral("1234567,891"));
        }
        EXPECT_EQ(q.field(3).displayFormat, QString());  // other tags unchanged
        EXPECT_EQ(q.field(4).displayFormat, QString());  // integers untouched
    }
}

}  // namespace
}  // namespace zomi
