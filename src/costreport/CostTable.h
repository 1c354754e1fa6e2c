#pragma once

// The summary as the window, the exports and the printed report show it: a
// row per group with its figures, the share of the whole, the year-earlier
// figures and the change, a totals row, and with a second grouping a column
// of gross totals per second group (site x month: the months as columns).
// Also the chart's bars and lines drawn from the same figures.

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "costreport/CostQuery.h"

namespace zomi::dbaccess {
class Query;
}

namespace zomi::costreport {

enum class CellKind { Text, Count, Amount, Percent };

struct CostColumn {
    QString title;
    CellKind kind = CellKind::Text;
    // The second group whose gross totals the column holds (pivot columns only).
    std::optional<GroupValue> second;
};

struct CostTableRow {
    GroupValue first;
    int rank = 0;  // the place of the name in the server's (Hungarian) order
    // One per column: the name as QString, counts as qint64, amounts and
    // percentages as double; a null QVariant is an empty cell.
    std::vector<QVariant> cells;
};

struct CostTable {
    std::vector<CostColumn> columns;
    std::vector<CostTableRow> rows;
    std::vector<QVariant> totals;  // "Összesen" and the sums
    int countColumn = -1;
    int grossColumn = -1;
    int earlierGrossColumn = -1;  // -1 when there is no year-earlier period
    int firstPivotColumn = -1;    // -1 without a second grouping
    int pivotColumns = 0;
    // Under the table: undated work orders left out, or why it is empty.
    QString note;
};

CostTable BuildCostTable(const CostResult& result, const CostParams& params);

// A cell as the window shows it: amounts in the given amount pattern,
// percentages with one decimal and "%", counts in digit groups.
QString CellText(const QVariant& value, CellKind kind, const QString& amountPattern);

// The table's rows and the totals row as a dataset, for the xlsx and CSV
// writers of the export: amounts as floating fields in the amount pattern,
// counts as integers, texts as texts.
void PresentTable(const CostTable& table, const QString& amountPattern, dbaccess::Query& target);

struct ChartBar {
    QString label;
    GroupValue first;
    bool rest = false;          // the groups beyond the largest, added up
    std::vector<double> parts;  // gross per stack, or one value
    double earlier = 0;         // the year-earlier gross
};

struct ChartData {
    bool monthLine = false;  // months as a line, last year's beside it
    bool hasEarlier = false;
    std::vector<QString> stackNames;  // empty: one bar per group
    std::vector<std::optional<GroupValue>> stackValues;
    std::vector<ChartBar> bars;
};

// Bars for the largest groups (by gross) in the table's order, the rest
// added up in one bar "Egyéb"; stacked by the largest second groups likewise.
ChartData BuildChartData(const CostTable& table, const CostParams& params, int maxBars,
                         int maxStacks);

}  // namespace zomi::costreport
