#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <map>

#include "common/Codepage.h"
#include "costreport/CostQuery.h"
#include "costreport/CostTable.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "output/DelimitedExport.h"
#include "output/XlsxExport.h"
#include "support/TestDatabase.h"

namespace zomi::costreport {
namespace {

using test::TestDatabase;

std::vector<dbaccess::RowRef> rowsOf(const dbaccess::ResultSet& result) {
    std::vector<dbaccess::RowRef> rows;
    for (int r = 0; r < result.rowCount(); ++r) rows.push_back(result.row(r));
    return rows;
}

// Figures of one group as an independent statement adds them up.
struct Expected {
    qint64 count = 0;
    double net = 0;
    double gross = 0;
};
using Key = std::pair<QString, QString>;  // first and second group, "NULL" for NULL

class CostQueryTest : public ::testing::Test {
  protected:
    CostQueryTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        SetMainConnection(c.get());
        ExecSql(
            QStringLiteral("INSERT INTO ktgh (ktgh, cim) VALUES (1, 'Fő út 1.'), "
                           "(2, 'Ős „Ház” – ‰ tér');"));
        ExecSql(
            QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev) VALUES "
                           "(1, 'Ács Kft.'), (2, 'Bíró Bt.');"));
        ExecSql(QStringLiteral("INSERT INTO alairas (alairas, alairas_nev) VALUES (1, 'Kiss');"));
        // Contractor 9 and site 7 were deleted; NULL amounts count as 0; the
        // range below crosses the end of 2025 and a year earlier that of 2024.
        insert("'2025-12-05'", 1, 1, 1, "100", "NULL", "5", "130", "1", "'2000-01-01'");
        insert("'2025-12-20'", 2, 2, 1, "NULL", "NULL", "NULL", "NULL", "2", "'2000-01-01'");
        insert("'2026-01-03'", 2, 9, NULL_KEY, "10", "20", "30", "76.2", "3", "NULL");
        insert("'2026-01-31'", 7, NULL_KEY, 1, "1.5", "2.25", "0", "4.7", "4", "'2000-01-01'");
        insert("'2026-02-01'", 1, 1, 1, "999", "0", "0", "999", "1", "NULL");  // outside
        insert("'2024-12-31'", 1, 1, 1, "40", "0", "0", "50", "5", "NULL");    // a year earlier
        insert("'2025-01-15'", 2, 9, 1, "7", "NULL", "1", "10", "6", "NULL");
        insert("NULL", 1, 1, 1, "5", "5", "5", "19", "1", "NULL");
        insert("NULL", 2, 2, 1, "5", "5", "5", "19", "1", "NULL");
    }
    ~CostQueryTest() override { SetMainConnection(nullptr); }

    static constexpr int NULL_KEY = -100;
    static QString key(int k) {
        return k == NULL_KEY ? QStringLiteral("NULL") : QString::number(k);
    }

    void insert(const char* datum, int ktgh, int vallalkozo, int alairas, const char* munka,
                const char* kisz, const char* anyag, const char* ossz, const char* statusz,
                const char* hatar) {
        ExecSql(QStringLiteral("INSERT INTO zomi (datum, ktgh, vallalkozo, alairas, munkadij3, "
                               "kiszdij3, anyag3, ossz, statusz, hatar_datum) VALUES "
                               "(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10);")
                    .arg(QLatin1String(datum), key(ktgh), key(vallalkozo), key(alairas),
                         QLatin1String(munka), QLatin1String(kisz), QLatin1String(anyag),
                         QLatin1String(ossz), QLatin1String(statusz), QLatin1String(hatar)));
    }

    CostParams params(Grouping first, Grouping second = Grouping::None) const {
        CostParams p;
        p.period = {QDate(2025, 12, 1), QDate(2026, 1, 31)};
        p.first = first;
        p.second = second;
        return p;
    }

    CostResult run(const CostParams& p) {
        const auto result = c->query(CostSql(p));
        return ReadCostResult(rowsOf(*result), p);
    }

    // The same figures from a GROUP BY written apart from the program's.
    std::map<Key, Expected> independent(const QString& firstExpr, const QString& secondExpr,
                                        const QString& from, const QString& to) {
        std::map<Key, Expected> out;
        const auto rows =
            c->query(QStringLiteral("SELECT IFNULL(%1, 'NULL'), IFNULL(%2, 'NULL'), COUNT(zomi), "
                                    "SUM(COALESCE(munkadij3, 0) + COALESCE(kiszdij3, 0) + "
                                    "COALESCE(anyag3, 0)), COALESCE(SUM(ossz), 0) FROM zomi "
                                    "WHERE datum BETWEEN '%3' AND '%4' GROUP BY 1, 2;")
                         .arg(firstExpr, secondExpr, from, to));
        for (int r = 0; r < rows->rowCount(); ++r) {
            const auto cell = [&](int col) { return QString::fromLatin1(rows->row(r).cell(col)); };
            out[{cell(0), cell(1)}] = {cell(2).toLongLong(), cell(3).toDouble(),
                                       cell(4).toDouble()};
        }
        return out;
    }

    static QString text(const GroupValue& v) {
        return v.isNull ? QStringLiteral("NULL") : QString::number(v.value);
    }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
};

TEST_F(CostQueryTest, FiguresEqualAnIndependentGroupByForEveryGrouping) {
    const std::vector<std::tuple<Grouping, Grouping, QString, QString>> cases = {
        {Grouping::Site, Grouping::None, QStringLiteral("ktgh"), QStringLiteral("NULL")},
        {Grouping::Contractor, Grouping::None, QStringLiteral("vallalkozo"),
         QStringLiteral("NULL")},
        {Grouping::Month, Grouping::None, QStringLiteral("DATE_FORMAT(datum, '%Y%m')"),
         QStringLiteral("NULL")},
        {Grouping::Status, Grouping::None, QStringLiteral("statusz"), QStringLiteral("NULL")},
        {Grouping::Signatory, Grouping::None, QStringLiteral("alairas"), QStringLiteral("NULL")},
        {Grouping::Site, Grouping::Month, QStringLiteral("ktgh"),
         QStringLiteral("DATE_FORMAT(datum, '%Y%m')")},
    };
    for (const auto& [first, second, firstExpr, secondExpr] : cases) {
        SCOPED_TRACE(GroupingCaption(first).toStdString() + " x " +
                     GroupingCaption(second).toStdString());
        const CostResult result = run(params(first, second));
        const auto now = independent(firstExpr, secondExpr, QStringLiteral("2025-12-01"),
                                     QStringLiteral("2026-01-31"));
        // A month of a year earlier is compared with the same month now.
        const QString shift = QStringLiteral("DATE_FORMAT(datum + INTERVAL 1 YEAR, '%Y%m')");
        const auto before = independent(first == Grouping::Month ? shift : firstExpr,
                                        second == Grouping::Month ? shift : secondExpr,
                                        QStringLiteral("2024-12-01"), QStringLiteral("2025-01-31"));
        EXPECT_TRUE(result.hasEarlier);
        EXPECT_EQ(result.undated, 2);
        std::map<Key, Expected> gotNow, gotBefore;
        for (const CostGroup& g : result.groups) {
            const Key k{text(g.first), text(g.second)};
            if (g.count > 0) gotNow[k] = {g.count, g.net, g.gross};
            if (g.earlierCount > 0) gotBefore[k] = {g.earlierCount, g.earlierNet, g.earlierGross};
        }
        for (const auto* pair : {&now, &before}) {
            const auto& got = pair == &now ? gotNow : gotBefore;
            ASSERT_EQ(got.size(), pair->size());
            for (const auto& [k, e] : *pair) {
                ASSERT_TRUE(got.count(k)) << k.first.toStdString() << "/" << k.second.toStdString();
                EXPECT_EQ(got.at(k).count, e.count);
                EXPECT_DOUBLE_EQ(got.at(k).net, e.net);
                EXPECT_DOUBLE_EQ(got.at(k).gross, e.gross);
            }
        }
    }
}

TEST_F(CostQueryTest, GroupsAreNamedByMasterDataOrByTheirKey) {
    const CostResult sites = run(params(Grouping::Site));
    QStringList names;
    for (const CostGroup& g : sites.groups) names << g.firstName;
    // Hungarian order: "Fő" before "Ős"; the deleted site 7 by its key, last.
    EXPECT_EQ(names, QStringList({QStringLiteral("Fő út 1."), QStringLiteral("Ős „Ház” – ‰ tér"),
                                  QStringLiteral("7 (törölve)")}));
    QStringList contractors;
    for (const CostGroup& g : run(params(Grouping::Contractor)).groups) contractors << g.firstName;
    EXPECT_TRUE(contractors.contains(QStringLiteral("9 (törölve)")));
    EXPECT_TRUE(contractors.contains(QStringLiteral("(nincs megadva)")));
    QStringList months;
    for (const CostGroup& g : run(params(Grouping::Month)).groups) months << g.firstName;
    EXPECT_EQ(months,
              QStringList({QStringLiteral("2025. december"), QStringLiteral("2026. január")}));
}

TEST_F(CostQueryTest, OverdueCountsOpenWorkOrdersPastTheirDeadline) {
    // Statuses 1, 2 (open) and 4 (already marked) past the deadline count;
    // done (3) and undated deadlines do not.
    CostParams p = params(Grouping::Contractor);
    qint64 overdue = 0;
    for (const CostGroup& g : run(p).groups) overdue += g.overdue;
    EXPECT_EQ(overdue, 3);
    const CostTable table = BuildCostTable(run(p), p);
    EXPECT_EQ(table.columns.back().title, QStringLiteral("Lejárt határidejű nyitott (db)"));
    EXPECT_EQ(table.totals.back().toLongLong(), 3);
}

TEST_F(CostQueryTest, TheOrdersBehindAGroupAreExactlyItsWorkOrders) {
    for (const auto& [first, second] :
         std::vector<std::pair<Grouping, Grouping>>{{Grouping::Contractor, Grouping::None},
                                                    {Grouping::Site, Grouping::Month},
                                                    {Grouping::Signatory, Grouping::Status}}) {
        CostParams p = params(first, second);
        p.statusFilter = kAll;
        QSet<QString> seen;
        for (const CostGroup& g : run(p).groups) {
            if (g.count == 0) continue;
            const auto orders = c->query(OrdersSql(p, g.first, g.second));
            EXPECT_EQ(orders->rowCount(), g.count) << g.firstName.toStdString();
            double gross = 0;
            for (int r = 0; r < orders->rowCount(); ++r) {
                const QString zomi = QString::fromLatin1(orders->row(r).cell(0));
                EXPECT_FALSE(seen.contains(zomi)) << "in two groups: " << zomi.toStdString();
                seen.insert(zomi);
                if (orders->row(r).cell(8)) gross += QByteArray(orders->row(r).cell(8)).toDouble();
            }
            EXPECT_DOUBLE_EQ(gross, g.gross);
        }
        EXPECT_EQ(seen.size(), 4);  // every work order of the range, none else
    }
}

TEST_F(CostQueryTest, FiltersAndBadRangesGiveMessagesOrEmptyTables) {
    CostParams p = params(Grouping::Site);
    p.contractorFilter = 2;
    p.statusFilter = 2;
    const CostResult one = run(p);
    ASSERT_EQ(one.groups.size(), 1u);
    EXPECT_EQ(one.groups[0].count, 1);
    EXPECT_EQ(one.undated, 0);  // the undated ones of contractor 2 have status 1

    p = params(Grouping::Site);
    p.period = {QDate(2026, 3, 1), QDate(2026, 2, 1)};
    EXPECT_FALSE(CheckParams(p).isEmpty());

    p.period = {QDate(2019, 1, 1), QDate(2019, 12, 31)};
    const CostTable empty = BuildCostTable(run(p), p);
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_TRUE(empty.note.contains(QStringLiteral("nincs")));
    EXPECT_TRUE(empty.note.contains(QStringLiteral("2 munkalapnak nincs dátuma")));

    p.period = {};  // every date: no year-earlier column
    const CostResult all = run(p);
    EXPECT_FALSE(all.hasEarlier);
    qint64 count = 0;
    for (const CostGroup& g : all.groups) count += g.count;
    EXPECT_EQ(count, 7);
}

TEST(CostPeriodTest, QuickChoicesAndTheYearEarlier) {
    const QDate today(2026, 3, 15);
    EXPECT_EQ(QuickPeriodRange(QuickPeriod::LastMonth, QDate(2026, 1, 10), 0),
              (Period{QDate(2025, 12, 1), QDate(2025, 12, 31)}));
    EXPECT_EQ(QuickPeriodRange(QuickPeriod::ThisMonth, QDate(2024, 2, 10), 0),
              (Period{QDate(2024, 2, 1), QDate(2024, 2, 29)}));
    EXPECT_EQ(QuickPeriodRange(QuickPeriod::LastYear, today, 0),
              (Period{QDate(2025, 1, 1), QDate(2025, 12, 31)}));
    EXPECT_EQ(QuickPeriodRange(QuickPeriod::RegisterYear, today, 2021),
              (Period{QDate(2021, 1, 1), QDate(2021, 12, 31)}));
    EXPECT_TRUE(QuickPeriodRange(QuickPeriod::RegisterYear, today, 0).allDates());
    EXPECT_EQ(YearEarlier({QDate(2024, 2, 1), QDate(2024, 2, 29)}),
              (Period{QDate(2023, 2, 1), QDate(2023, 2, 28)}));
    EXPECT_FALSE(YearEarlier({QDate(2024, 2, 1), QDate()}).has_value());
}

TEST(CostTableTest, PivotColumnsTotalsSharesAndChanges) {
    CostParams p;
    p.period = {QDate(2026, 1, 1), QDate(2026, 12, 31)};
    p.second = Grouping::Month;
    CostResult r;
    r.hasEarlier = true;
    const auto group = [](qint64 first, qint64 month, qint64 count, double gross, double earlier,
                          int rank2) {
        CostGroup g;
        g.first = {false, first};
        g.second = {false, month};
        g.firstName = QStringLiteral("K%1").arg(first);
        g.secondName = QString::number(month);
        g.count = count;
        g.gross = gross;
        g.earlierGross = earlier;
        g.earlierCount = earlier > 0 ? 1 : 0;
        g.secondRank = rank2;
        return g;
    };
    r.groups = {group(1, 202601, 1, 100, 0, 1), group(1, 202602, 2, 300, 200, 2),
                group(2, 202602, 1, 600, 0, 2), group(2, 202603, 0, 0, 50, 3)};
    const CostTable t = BuildCostTable(r, p);
    ASSERT_EQ(t.pivotColumns, 2);  // a month with only last year's work orders has no column
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].cells[t.firstPivotColumn].toDouble(), 100);
    EXPECT_TRUE(t.rows[1].cells[t.firstPivotColumn].isNull());
    EXPECT_EQ(t.rows[1].cells[t.grossColumn].toDouble(), 600);
    EXPECT_EQ(t.totals[t.countColumn].toLongLong(), 4);
    EXPECT_DOUBLE_EQ(t.rows[0].cells[t.grossColumn + 1].toDouble(), 40.0);          // share
    EXPECT_DOUBLE_EQ(t.rows[0].cells[t.earlierGrossColumn + 1].toDouble(), 100.0);  // 400 vs 200
    EXPECT_DOUBLE_EQ(t.rows[1].cells[t.earlierGrossColumn + 1].toDouble(), 1100.0);

    const ChartData chart = BuildChartData(t, p, 1, 1);
    ASSERT_EQ(chart.bars.size(), 2u);  // the larger group, then "Egyéb"
    EXPECT_EQ(chart.bars[0].label, QStringLiteral("K2"));
    EXPECT_TRUE(chart.bars[1].rest);
    EXPECT_EQ(chart.stackNames.back(), QStringLiteral("Egyéb"));
    EXPECT_EQ(chart.stackNames.size(), 2u);  // February, then "Egyéb"
    EXPECT_DOUBLE_EQ(chart.bars[0].parts[0], 600);
    EXPECT_DOUBLE_EQ(chart.bars[1].parts[0] + chart.bars[1].parts[1], 400);
}

// The cells of the workbook's sheet as [row, col, value] (numbers as numbers).
const char* const kXlsxCells = R"PY(
import json, re, sys, zipfile
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
z = zipfile.ZipFile(sys.argv[1])
shared = []
if 'xl/sharedStrings.xml' in z.namelist():
    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).findall(M + 'si'):
        shared.append(''.join(t.text or '' for t in si.iter(M + 't')))
out = []
for c in ET.fromstring(z.read('xl/worksheets/sheet1.xml')).iter(M + 'c'):
    letters, digits = re.match('([A-Z]+)([0-9]+)', c.get('r')).groups()
    col = 0
    for ch in letters:
        col = col * 26 + ord(ch) - 64
    v = c.find(M + 'v')
    if v is None:
        continue
    value = shared[int(v.text)] if c.get('t') == 's' else float(v.text)
    out.append([int(digits) - 1, col - 1, value])
print(json.dumps(out))
)PY";

TEST_F(CostQueryTest, ExportedWorkbookAndCsvReadBackToTheTablesFigures) {
    const CostParams p = params(Grouping::Site, Grouping::Month);
    const CostTable table = BuildCostTable(run(p), p);
    dbaccess::Query dataset(nullptr);
    PresentTable(table, QStringLiteral("### ### ##0"), dataset);
    ASSERT_EQ(dataset.recordCount(), static_cast<int>(table.rows.size()) + 1);
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("k.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("k.csv"));
    WriteXlsxFile(dataset, AllColumns(dataset), xlsx, {});
    DelimitedOptions options;
    options.columns = AllColumns(dataset);
    WriteDelimitedFile(dataset, options, csv, {}, [] { return true; });

    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(kXlsxCells), xlsx});
    ASSERT_TRUE(python.waitForFinished(30000));
    const QJsonArray cells = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = FromCp1250(file.readAll()).split(QStringLiteral("\r\n"));

    const auto expected = [&](int row, int col) {
        const auto& values =
            row < static_cast<int>(table.rows.size()) ? table.rows[row].cells : table.totals;
        return values[static_cast<size_t>(col)];
    };
    int numbers = 0;
    for (const auto& item : cells) {
        const QJsonArray cell = item.toArray();
        const int row = cell[0].toInt() - 1;  // under the header
        const int col = cell[1].toInt();
        if (row < 0) {
            EXPECT_EQ(cell[2].toString(), table.columns[col].title);
            continue;
        }
        const QVariant want = expected(row, col);
        const QString csvCell = lines[row + 1].split(QLatin1Char(';'))[col];
        if (table.columns[col].kind == CellKind::Text) {
            EXPECT_EQ(cell[2].toString(), want.toString());
            EXPECT_EQ(csvCell, want.toString());
        } else {
            EXPECT_DOUBLE_EQ(cell[2].toDouble(), want.toDouble()) << row << "," << col;
            // The text file carries fifteen significant digits.
            EXPECT_NEAR(QLocale().toDouble(csvCell), want.toDouble(),
                        std::abs(want.toDouble()) * 1e-13)
                << row << "," << col;
            ++numbers;
        }
    }
    EXPECT_GT(numbers, 10);
}

}  // namespace
}  // namespace zomi::costreport
