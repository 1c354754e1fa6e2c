#pragma once

// The figures of the cost summaries: which work orders a summary takes, how
// they are grouped, and the one statement that has the server add them up.
// Nothing here fetches work-order rows; the server returns one row per group.

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "dbaccess/ResultSet.h"

namespace zomi::costreport {

// What a summary groups by; None only as the second grouping.
enum class Grouping { None, Site, Contractor, Month, Status, Signatory };

// The captions of the groupings in the order of the enum, None first.
QStringList GroupingCaptions();
QString GroupingCaption(Grouping grouping);
// The name the settings file keeps, and back (None for an unknown name).
QString GroupingName(Grouping grouping);
Grouping GroupingFromName(const QString& name);

// A date range; an invalid end leaves that side open, two invalid ends take
// every dated work order.
struct Period {
    QDate from;
    QDate to;
    bool allDates() const { return !from.isValid() && !to.isValid(); }
    bool operator==(const Period& other) const { return from == other.from && to == other.to; }
};

enum class QuickPeriod { ThisMonth, LastMonth, ThisYear, LastYear, RegisterYear };

// The range a quick choice stands for, seen from today; the register's year
// tab is given as its year, 0 for "Összes" (every date).
Period QuickPeriodRange(QuickPeriod choice, const QDate& today, int registerYear);

// The same range a year earlier (29 February becomes the 28th); none when a
// side is open, since "a year earlier" of an open range means nothing.
std::optional<Period> YearEarlier(const Period& period);

constexpr int kAll = -1;  // a filter that lets everything through

struct CostParams {
    Period period;
    Grouping first = Grouping::Site;
    Grouping second = Grouping::None;
    int statusFilter = kAll;      // a status key, or kAll
    int contractorFilter = kAll;  // a contractor key, or kAll
};

// The message that refuses the parameters, empty when they can be used.
QString CheckParams(const CostParams& params);

// The value of a group: a key, a month as yyyymm, or NULL (a work order
// without a contractor, site, ...).
struct GroupValue {
    bool isNull = true;
    qint64 value = 0;
    bool operator==(const GroupValue& other) const {
        return isNull == other.isNull && (isNull || value == other.value);
    }
    bool operator<(const GroupValue& other) const {
        if (isNull != other.isNull) return isNull;
        return !isNull && value < other.value;
    }
};

// One row of the server's answer: a group (or a pair of groups) with its
// figures in the period and in the same period a year earlier.
struct CostGroup {
    GroupValue first;
    GroupValue second;  // NULL without a second grouping
    QString firstName;  // the master-data name, NULL-safe; see GroupDisplayName
    QString secondName;
    qint64 count = 0;
    double net = 0;
    double gross = 0;
    qint64 earlierCount = 0;
    double earlierNet = 0;
    double earlierGross = 0;
    // Open work orders among them whose deadline has passed.
    qint64 overdue = 0;
    // Places of the names in the server's (Hungarian) order over the answer.
    int firstRank = 0;
    int secondRank = 0;
};

struct CostResult {
    std::vector<CostGroup> groups;  // in the order of the first group's name
    qint64 undated = 0;             // work orders left out for having no date
    bool hasEarlier = false;        // the year-earlier figures mean something
};

// The one statement whose answer ReadCostResult reads: every grouping's
// figures added up on the server, the year-earlier figures beside them, the
// master-data names joined to the groups, and the count of undated work
// orders, in one row even when no group has a work order.
QString CostSql(const CostParams& params);
// Reads the rows of CostSql's answer (cells as the server sends them).
CostResult ReadCostResult(const std::vector<dbaccess::RowRef>& rows, const CostParams& params);

// The name a group is shown by: its master-data name; a key whose row was
// deleted shows the key; a work order without that key shows
// "(nincs megadva)"; a month shows as "2026. március".
QString GroupDisplayName(Grouping grouping, const GroupValue& value, const QString& name,
                         bool nameFound);

// The condition that picks exactly the work orders behind a group (and a
// second group, when given) of the summary: the period, the filters and the
// group values, on the table zomi aliased z.
QString OrdersCondition(const CostParams& params, const GroupValue& first,
                        const std::optional<GroupValue>& second);
// The list of those work orders for the window that shows them.
QString OrdersSql(const CostParams& params, const GroupValue& first,
                  const std::optional<GroupValue>& second);

}  // namespace zomi::costreport
