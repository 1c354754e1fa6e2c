#include "costreport/CostQuery.h"

#include <QLocale>

#include "common/Codepage.h"

namespace zomi::costreport {

namespace {

struct GroupingInfo {
    const char* name;     // in the settings file
    QString caption;      // in the window
    const char* column;   // of zomi, or nullptr for the month
    const char* table;    // master data holding the name
    const char* nameCol;  // its name column
};

const GroupingInfo& info(Grouping grouping) {
    static const GroupingInfo infos[] = {
        {"nincs", QStringLiteral("(nincs)"), nullptr, nullptr, nullptr},
        {"ktgh", QStringLiteral("Költséghely"), "ktgh", "ktgh", "cim"},
        {"vallalkozo", QStringLiteral("Vállalkozó"), "vallalkozo", "vallalkozo", "vallalkozo_nev"},
        {"honap", QStringLiteral("Hónap"), nullptr, nullptr, nullptr},
        {"statusz", QStringLiteral("Státusz"), "statusz", "statusz", "statusz_nev"},
        {"alairas", QStringLiteral("Aláíró"), "alairas", "alairas", "alairas_nev"},
    };
    return infos[static_cast<int>(grouping)];
}

QString sqlDate(const QDate& date) {
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

// The group's value of a work order; a month of the year-earlier period
// counts as the same month of the period itself.
QString groupExpression(Grouping grouping, bool earlier) {
    if (grouping == Grouping::None) return QStringLiteral("NULL");
    if (grouping == Grouping::Month)
        return earlier ? QStringLiteral("EXTRACT(YEAR_MONTH FROM z.datum + INTERVAL 1 YEAR)")
                       : QStringLiteral("EXTRACT(YEAR_MONTH FROM z.datum)");
    return QStringLiteral("z.") + QLatin1String(info(grouping).column);
}

QString periodCondition(const Period& period) {
    QStringList parts{QStringLiteral("z.datum IS NOT NULL")};
    if (period.from.isValid()) parts << QStringLiteral("z.datum >= ") + sqlDate(period.from);
    if (period.to.isValid()) parts << QStringLiteral("z.datum <= ") + sqlDate(period.to);
    return parts.join(QStringLiteral(" AND "));
}

QString filterCondition(const CostParams& params) {
    QString sql;
    if (params.statusFilter != kAll)
        sql += QStringLiteral(" AND z.statusz = ") + QString::number(params.statusFilter);
    if (params.contractorFilter != kAll)
        sql += QStringLiteral(" AND z.vallalkozo = ") + QString::number(params.contractorFilter);
    return sql;
}

const QString kNet =
    QStringLiteral("IFNULL(z.munkadij3, 0) + IFNULL(z.kiszdij3, 0) + IFNULL(z.anyag3, 0)");

// The register paints an open work order (new, in progress, or already
// marked overdue) whose deadline has passed as overdue.
const QString kOverdue = QStringLiteral("z.statusz IN (1, 2, 4) AND z.hatar_datum < CURDATE()");

// No index is used to group: walking an index in group order reads the
// rows in random order, many times slower than one pass over the table or
// over the date range.
const QString kNoGroupIndex = QStringLiteral(" USE INDEX FOR GROUP BY ()");

QString partSql(const CostParams& params, const Period& period, bool earlier) {
    const QString figures =
        earlier ? QStringLiteral("0, 0, 0, COUNT(*), SUM(%1), SUM(IFNULL(z.ossz, 0)), 0").arg(kNet)
                : QStringLiteral(
                      "COUNT(*) AS db, SUM(%1) AS netto, SUM(IFNULL(z.ossz, 0)) AS "
                      "brutto, 0 AS db_e, 0 AS netto_e, 0 AS brutto_e, "
                      "SUM(IF(%2, 1, 0)) AS lejart")
                      .arg(kNet, kOverdue);
    return QStringLiteral("SELECT %1 AS g1, %2 AS g2, %3 FROM zomi z%4 WHERE %5%6 GROUP BY 1, 2")
        .arg(groupExpression(params.first, earlier), groupExpression(params.second, earlier),
             figures, kNoGroupIndex, periodCondition(period), filterCondition(params));
}

// A period of at most a year and the year before it in one pass: each work
// order counts for the period it falls in.
QString onePassSql(const CostParams& params, const Period& period, const Period& earlier) {
    const QString now = QStringLiteral("(z.datum >= ") + sqlDate(period.from) + QLatin1Char(')');
    const auto key = [&](Grouping g) {
        if (g != Grouping::Month) return groupExpression(g, false);
        return QStringLiteral("IF(%1, %2, %3)")
            .arg(now, groupExpression(g, false), groupExpression(g, true));
    };
    return QStringLiteral(
               "SELECT %1 AS g1, %2 AS g2, SUM(%3) AS db, SUM(IF(%3, %4, 0)) AS netto, "
               "SUM(IF(%3, IFNULL(z.ossz, 0), 0)) AS brutto, SUM(NOT %3) AS db_e, "
               "SUM(IF(%3, 0, %4)) AS netto_e, SUM(IF(%3, 0, IFNULL(z.ossz, 0))) AS brutto_e, "
               "SUM(IF(%3 AND %5, 1, 0)) AS lejart FROM zomi z%6 WHERE ((%7) OR (%8))%9 "
               "GROUP BY 1, 2")
        .arg(key(params.first), key(params.second), now, kNet, kOverdue, kNoGroupIndex,
             periodCondition(period), periodCondition(earlier), filterCondition(params));
}

// The name column and its found flag of a grouping, joined as alias n.
struct NameJoin {
    QString join;
    QString name = QStringLiteral("NULL");
    QString found = QStringLiteral("1");
};

NameJoin nameJoin(Grouping grouping, const QString& alias, const QString& group) {
    NameJoin j;
    const GroupingInfo& i = info(grouping);
    if (!i.table) return j;
    const QString key = alias + QLatin1Char('.') + QLatin1String(i.table);
    j.join = QStringLiteral(" LEFT JOIN %1 %2 ON %3 = s.%4")
                 .arg(QLatin1String(i.table), alias, key, group);
    j.name = alias + QLatin1Char('.') + QLatin1String(i.nameCol);
    j.found = QStringLiteral("(%1 IS NOT NULL)").arg(key);
    return j;
}

qint64 toInt(const dbaccess::RowRef& row, int column) {
    if (!row.cell(column)) return 0;
    return QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column))).toLongLong();
}

double toDouble(const dbaccess::RowRef& row, int column) {
    if (!row.cell(column)) return 0;
    return QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column))).toDouble();
}

GroupValue toGroup(const dbaccess::RowRef& row, int column) {
    if (!row.cell(column)) return {};
    return GroupValue{false, toInt(row, column)};
}

QString toText(const dbaccess::RowRef& row, int column) {
    if (!row.cell(column)) return QString();
    return FromCp1250(row.cell(column), static_cast<qsizetype>(row.length(column)));
}

QString groupCondition(Grouping grouping, const GroupValue& value) {
    const QString expression = groupExpression(grouping, false);
    if (value.isNull) return QStringLiteral(" AND ") + expression + QStringLiteral(" IS NULL");
    return QStringLiteral(" AND ") + expression + QStringLiteral(" = ") +
           QString::number(value.value);
}

// Read once: a summary by month over all years names some 170,000 groups.
QString hungarianMonthName(int month) {
    static const QStringList names = [] {
        const QLocale hungarian(QLocale::Hungarian);
        QStringList all;
        for (int m = 1; m <= 12; ++m) all << hungarian.standaloneMonthName(m, QLocale::LongFormat);
        return all;
    }();
    return month >= 1 && month <= 12 ? names.at(month - 1) : QString();
}

}  // namespace

QStringList GroupingCaptions() {
    QStringList captions;
    for (int g = 0; g <= static_cast<int>(Grouping::Signatory); ++g)
        captions << info(static_cast<Grouping>(g)).caption;
    return captions;
}

QString GroupingCaption(Grouping grouping) { return info(grouping).caption; }

QString GroupingName(Grouping grouping) { return QLatin1String(info(grouping).name); }

Grouping GroupingFromName(const QString& name) {
    for (int g = 0; g <= static_cast<int>(Grouping::Signatory); ++g)
        if (name == QLatin1String(info(static_cast<Grouping>(g)).name))
            return static_cast<Grouping>(g);
    return Grouping::None;
}

Period QuickPeriodRange(QuickPeriod choice, const QDate& today, int registerYear) {
    const QDate monthStart(today.year(), today.month(), 1);
    switch (choice) {
        case QuickPeriod::ThisMonth:
            return {monthStart, monthStart.addMonths(1).addDays(-1)};
        case QuickPeriod::LastMonth:
            return {monthStart.addMonths(-1), monthStart.addDays(-1)};
        case QuickPeriod::ThisYear:
            return {QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
        case QuickPeriod::LastYear:
            return {QDate(today.year() - 1, 1, 1), QDate(today.year() - 1, 12, 31)};
        case QuickPeriod::RegisterYear:
            if (registerYear <= 0) return {};
            return {QDate(registerYear, 1, 1), QDate(registerYear, 12, 31)};
    }
    return {};
}

std::optional<Period> YearEarlier(const Period& period) {
    if (!period.from.isValid() || !period.to.isValid()) return std::nullopt;
    return Period{period.from.addYears(-1), period.to.addYears(-1)};
}

QString CheckParams(const CostParams& params) {
    if (params.period.from.isValid() && params.period.to.isValid() &&
        params.period.from > params.period.to)
        return QStringLiteral("A kezdő dátum (%1) későbbi, mint a záró dátum (%2).")
            .arg(params.period.from.toString(QStringLiteral("yyyy.MM.dd.")),
                 params.period.to.toString(QStringLiteral("yyyy.MM.dd.")));
    if (params.first == Grouping::None) return QStringLiteral("Válasszon csoportosítást.");
    return QString();
}

QString CostSql(const CostParams& params) {
    CostParams p = params;
    if (p.second == p.first) p.second = Grouping::None;
    // The groups are ranked by their names afterwards: the server need not
    // sort them by their keys first, which over all years by site and month
    // is a sort of some 170,000 groups.
    const QString unsorted = QStringLiteral(" ORDER BY NULL");
    QString grouped;
    const auto earlier = YearEarlier(p.period);
    if (earlier && earlier->to < p.period.from) {
        grouped = onePassSql(p, p.period, *earlier) + unsorted;
    } else if (earlier) {
        // The two periods overlap: a work order may count in both, so each is
        // grouped alone and their groups added up.
        grouped = QStringLiteral(
                      "SELECT t.g1, t.g2, SUM(t.db) AS db, SUM(t.netto) AS netto, "
                      "SUM(t.brutto) AS brutto, SUM(t.db_e) AS db_e, SUM(t.netto_e) AS "
                      "netto_e, SUM(t.brutto_e) AS brutto_e, SUM(t.lejart) AS lejart "
                      "FROM ((%1%3) UNION ALL (%2%3)) t GROUP BY t.g1, t.g2%3")
                      .arg(partSql(p, p.period, false), partSql(p, *earlier, true), unsorted);
    } else {
        grouped = partSql(p, p.period, false) + unsorted;
    }
    const NameJoin n1 = nameJoin(p.first, QStringLiteral("n1"), QStringLiteral("g1"));
    const NameJoin n2 = nameJoin(p.second, QStringLiteral("n2"), QStringLiteral("g2"));
    const QString named = QStringLiteral(
                              "SELECT s.*, %1 AS nev1, %2 AS van1, %3 AS nev2, %4 AS van2, "
                              "DENSE_RANK() OVER (ORDER BY %1 IS NULL, %1, s.g1) AS rang1, "
                              "DENSE_RANK() OVER (ORDER BY %3 IS NULL, %3, s.g2) AS rang2 "
                              "FROM (%5) s%6%7")
                              .arg(n1.name, n1.found, n2.name, n2.found, grouped, n1.join, n2.join);
    return QStringLiteral(
               "SELECT x.datum_nelkul, c.* FROM (SELECT COUNT(*) AS datum_nelkul FROM zomi z "
               "WHERE z.datum IS NULL%1) x LEFT JOIN (%2) c ON 1 = 1 "
               "ORDER BY c.rang1, c.rang2;")
        .arg(filterCondition(p), named);
}

CostResult ReadCostResult(const std::vector<dbaccess::RowRef>& rows, const CostParams& params) {
    CostResult result;
    result.hasEarlier = YearEarlier(params.period).has_value();
    const Grouping second = params.second == params.first ? Grouping::None : params.second;
    for (const dbaccess::RowRef& row : rows) {
        result.undated = toInt(row, 0);
        if (!row.cell(3)) continue;  // the row that only carries the undated count
        CostGroup g;
        g.first = toGroup(row, 1);
        g.second = toGroup(row, 2);
        g.count = toInt(row, 3);
        g.net = toDouble(row, 4);
        g.gross = toDouble(row, 5);
        g.earlierCount = toInt(row, 6);
        g.earlierNet = toDouble(row, 7);
        g.earlierGross = toDouble(row, 8);
        g.overdue = toInt(row, 9);
        g.firstRank = static_cast<int>(toInt(row, 14));
        g.secondRank = static_cast<int>(toInt(row, 15));
        g.firstName = GroupDisplayName(params.first, g.first, toText(row, 10), toInt(row, 11) != 0);
        if (second != Grouping::None)
            g.secondName = GroupDisplayName(second, g.second, toText(row, 12), toInt(row, 13) != 0);
        result.groups.push_back(g);
    }
    return result;
}

QString GroupDisplayName(Grouping grouping, const GroupValue& value, const QString& name,
                         bool nameFound) {
    if (grouping == Grouping::None) return QString();
    if (value.isNull) return QStringLiteral("(nincs megadva)");
    if (grouping == Grouping::Month) {
        const int year = static_cast<int>(value.value / 100);
        const int month = static_cast<int>(value.value % 100);
        return QStringLiteral("%1. %2").arg(year).arg(hungarianMonthName(month));
    }
    if (!nameFound) return QString::number(value.value) + QStringLiteral(" (törölve)");
    return name;
}

QString OrdersCondition(const CostParams& params, const GroupValue& first,
                        const std::optional<GroupValue>& second) {
    QString sql = periodCondition(params.period) + filterCondition(params) +
                  groupCondition(params.first, first);
    if (second && params.second != Grouping::None && params.second != params.first)
        sql += groupCondition(params.second, *second);
    return sql;
}

QString OrdersSql(const CostParams& params, const GroupValue& first,
                  const std::optional<GroupValue>& second) {
    return QStringLiteral(
               "SELECT z.zomi, z.sorszamstr, z.datum, z.hatar_datum, k.cim, v.vallalkozo_nev, "
               "s.statusz_nev, %1 AS netto, z.ossz FROM zomi z "
               "LEFT JOIN ktgh k ON k.ktgh = z.ktgh "
               "LEFT JOIN vallalkozo v ON v.vallalkozo = z.vallalkozo "
               "LEFT JOIN statusz s ON s.statusz = z.statusz "
               "WHERE %2 ORDER BY z.datum, z.sorszam, z.zomi;")
        .arg(kNet, OrdersCondition(params, first, second));
}

}  // namespace zomi::costreport
