#include "costreport/CostTable.h"

#include <QLocale>
#include <algorithm>
#include <map>
#include <memory>
#include <numeric>

#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "dbaccess/Dataset.h"

namespace zomi::costreport {

namespace {

struct Sums {
    qint64 count = 0;
    double net = 0;
    double gross = 0;
    qint64 earlierCount = 0;
    double earlierGross = 0;
    qint64 overdue = 0;
    std::map<GroupValue, double> pivot;

    void add(const CostGroup& g) {
        count += g.count;
        net += g.net;
        gross += g.gross;
        earlierCount += g.earlierCount;
        earlierGross += g.earlierGross;
        overdue += g.overdue;
        if (g.count > 0) pivot[g.second] += g.gross;
    }
};

QVariant ratio(double part, double whole) {
    if (whole == 0) return QVariant();
    return part / whole * 100.0;
}

QVariant change(double now, double before) {
    if (before == 0) return QVariant();
    return (now - before) / before * 100.0;
}

struct SecondGroup {
    GroupValue value;
    QString name;
    int rank = 0;
};

// The second groups that have work orders, in the server's order of their names.
std::vector<SecondGroup> secondGroups(const CostResult& result) {
    std::map<GroupValue, SecondGroup> seen;
    for (const CostGroup& g : result.groups)
        if (g.count > 0 && !seen.count(g.second))
            seen[g.second] = SecondGroup{g.second, g.secondName, g.secondRank};
    std::vector<SecondGroup> out;
    for (auto& entry : seen) out.push_back(entry.second);
    std::sort(out.begin(), out.end(),
              [](const SecondGroup& a, const SecondGroup& b) { return a.rank < b.rank; });
    return out;
}

std::vector<QVariant> figureCells(const Sums& s, double totalGross, bool earlier, bool overdue) {
    std::vector<QVariant> cells{s.count, s.net, s.gross, ratio(s.gross, totalGross)};
    if (earlier) {
        cells.push_back(s.earlierCount);
        cells.push_back(s.earlierGross);
        cells.push_back(change(s.gross, s.earlierGross));
    }
    if (overdue) cells.push_back(s.overdue);
    return cells;
}

}  // namespace

CostTable BuildCostTable(const CostResult& result, const CostParams& params) {
    CostTable table;
    const bool pivot = params.second != Grouping::None && params.second != params.first;
    const bool overdue = params.first == Grouping::Contractor;
    table.columns.push_back({GroupingCaption(params.first), CellKind::Text, std::nullopt});

    std::vector<SecondGroup> seconds;
    if (pivot) {
        seconds = secondGroups(result);
        table.firstPivotColumn = static_cast<int>(table.columns.size());
        for (const SecondGroup& s : seconds)
            table.columns.push_back({s.name, CellKind::Amount, s.value});
        table.pivotColumns = static_cast<int>(seconds.size());
    }
    table.countColumn = static_cast<int>(table.columns.size());
    table.columns.push_back({QStringLiteral("Munkalap (db)"), CellKind::Count, std::nullopt});
    table.columns.push_back({QStringLiteral("Nettó"), CellKind::Amount, std::nullopt});
    table.grossColumn = static_cast<int>(table.columns.size());
    table.columns.push_back({QStringLiteral("Bruttó"), CellKind::Amount, std::nullopt});
    table.columns.push_back({QStringLiteral("Arány"), CellKind::Percent, std::nullopt});
    if (result.hasEarlier) {
        table.columns.push_back(
            {QStringLiteral("Egy évvel korábban (db)"), CellKind::Count, std::nullopt});
        table.earlierGrossColumn = static_cast<int>(table.columns.size());
        table.columns.push_back(
            {QStringLiteral("Egy évvel korábban bruttó"), CellKind::Amount, std::nullopt});
        table.columns.push_back({QStringLiteral("Változás"), CellKind::Percent, std::nullopt});
    }
    if (overdue)
        table.columns.push_back(
            {QStringLiteral("Lejárt határidejű nyitott (db)"), CellKind::Count, std::nullopt});

    // Rows in the order the server gave (by the first group's name).
    std::vector<GroupValue> order;
    std::map<GroupValue, Sums> sums;
    std::map<GroupValue, QString> names;
    std::map<GroupValue, int> ranks;
    Sums total;
    for (const CostGroup& g : result.groups) {
        if (!sums.count(g.first)) {
            order.push_back(g.first);
            names[g.first] = g.firstName;
            ranks[g.first] = g.firstRank;
        }
        sums[g.first].add(g);
        total.add(g);
    }
    for (const GroupValue& value : order) {
        const Sums& s = sums[value];
        CostTableRow row{value, ranks[value], {names[value]}};
        for (const SecondGroup& second : seconds) {
            const auto it = s.pivot.find(second.value);
            row.cells.push_back(it == s.pivot.end() ? QVariant() : QVariant(it->second));
        }
        const auto figures = figureCells(s, total.gross, result.hasEarlier, overdue);
        row.cells.insert(row.cells.end(), figures.begin(), figures.end());
        table.rows.push_back(std::move(row));
    }
    table.totals.push_back(QStringLiteral("Összesen"));
    for (const SecondGroup& second : seconds) table.totals.push_back(total.pivot[second.value]);
    const auto figures = figureCells(total, total.gross, result.hasEarlier, overdue);
    table.totals.insert(table.totals.end(), figures.begin(), figures.end());

    QStringList notes;
    if (table.rows.empty())
        notes << QStringLiteral("A megadott időszakban nincs a feltételeknek megfelelő munkalap.");
    if (result.undated > 0)
        notes << QStringLiteral("%1 munkalapnak nincs dátuma, ezek nem szerepelnek a kimutatásban.")
                     .arg(result.undated);
    table.note = notes.join(QLatin1Char(' '));
    return table;
}

QString CellText(const QVariant& value, CellKind kind, const QString& amountPattern) {
    if (value.isNull()) return QString();
    switch (kind) {
        case CellKind::Text:
            return value.toString();
        case CellKind::Count:
            return FormatAmount(static_cast<double>(value.toLongLong()),
                                QStringLiteral("### ### ### ##0"));
        case CellKind::Amount:
            return FormatAmount(value.toDouble(), amountPattern);
        case CellKind::Percent:
            return FormatAmount(value.toDouble(), QStringLiteral("0.0")) + QStringLiteral(" %");
    }
    return QString();
}

void PresentTable(const CostTable& table, const QString& amountPattern, dbaccess::Query& target) {
    std::vector<dbaccess::Field> fields;
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const CostColumn& column = table.columns[c];
        dbaccess::Field f;
        f.name = QStringLiteral("oszlop%1").arg(c + 1);
        f.label = column.title;
        switch (column.kind) {
            case CellKind::Text:
                f.kind = dbaccess::FieldKind::Text;
                f.size = 50;
                break;
            case CellKind::Count:
                f.kind = dbaccess::FieldKind::LargeInt;
                break;
            case CellKind::Amount:
                f.kind = dbaccess::FieldKind::Float;
                f.displayFormat = amountPattern;
                break;
            case CellKind::Percent:
                f.kind = dbaccess::FieldKind::Float;
                f.displayFormat = QStringLiteral("0.0");
                break;
        }
        fields.push_back(f);
    }
    // The cells as the server would send them, in one block the rows point into.
    std::vector<const std::vector<QVariant>*> all;
    for (const CostTableRow& row : table.rows) all.push_back(&row.cells);
    all.push_back(&table.totals);
    const size_t columns = fields.size();
    auto block = std::make_shared<dbaccess::PackedRows>(columns);
    for (const auto* row : all) {
        std::vector<std::optional<QByteArray>> cells(columns);
        for (size_t c = 0; c < columns; ++c) {
            const QVariant v = c < row->size() ? (*row)[c] : QVariant();
            if (v.isNull()) continue;
            if (table.columns[c].kind == CellKind::Text)
                cells[c] = ToCp1250(v.toString());
            else if (table.columns[c].kind == CellKind::Count)
                cells[c] = QByteArray::number(v.toLongLong());
            else
                cells[c] = QByteArray::number(v.toDouble(), 'g', 17);
        }
        block->add(cells);
    }
    const std::vector<dbaccess::RowRef> rows = block->rows();
    target.present(fields, rows, {block}, rows.empty() ? -1 : 0);
}

ChartData BuildChartData(const CostTable& table, const CostParams& params, int maxBars,
                         int maxStacks) {
    ChartData data;
    data.hasEarlier = table.earlierGrossColumn >= 0;
    data.monthLine = params.first == Grouping::Month && table.pivotColumns == 0;
    const auto number = [](const QVariant& v) { return v.isNull() ? 0.0 : v.toDouble(); };

    // The stacks: the largest second groups, then "Egyéb".
    std::vector<int> stackColumns;
    for (int c = 0; c < table.pivotColumns; ++c) stackColumns.push_back(table.firstPivotColumn + c);
    std::stable_sort(stackColumns.begin(), stackColumns.end(), [&](int a, int b) {
        return number(table.totals[a]) > number(table.totals[b]);
    });
    const bool stackRest = static_cast<int>(stackColumns.size()) > maxStacks;
    if (stackRest) stackColumns.resize(static_cast<size_t>(std::max(maxStacks - 1, 1)));
    std::sort(stackColumns.begin(), stackColumns.end());
    for (int c : stackColumns) {
        data.stackNames.push_back(table.columns[c].title);
        data.stackValues.push_back(table.columns[c].second);
    }
    if (stackRest) {
        data.stackNames.push_back(QStringLiteral("Egyéb"));
        data.stackValues.push_back(std::nullopt);
    }

    const auto barOf = [&](const CostTableRow& row) {
        ChartBar bar{row.cells[0].toString(), row.first, false, {}, 0};
        if (table.pivotColumns == 0) {
            bar.parts.push_back(number(row.cells[table.grossColumn]));
        } else {
            double shown = 0;
            for (int c : stackColumns) {
                bar.parts.push_back(number(row.cells[c]));
                shown += bar.parts.back();
            }
            if (stackRest) bar.parts.push_back(number(row.cells[table.grossColumn]) - shown);
        }
        if (data.hasEarlier) bar.earlier = number(row.cells[table.earlierGrossColumn]);
        return bar;
    };

    // The bars: every month on a line, otherwise the largest groups.
    std::vector<int> rows(table.rows.size());
    std::iota(rows.begin(), rows.end(), 0);
    const bool rest = !data.monthLine && static_cast<int>(rows.size()) > maxBars;
    if (rest) {
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
            return number(table.rows[a].cells[table.grossColumn]) >
                   number(table.rows[b].cells[table.grossColumn]);
        });
        rows.resize(static_cast<size_t>(std::max(maxBars - 1, 1)));
        std::sort(rows.begin(), rows.end());
    }
    ChartBar others{QStringLiteral("Egyéb"), GroupValue{}, true, {}, 0};
    for (int r : rows) data.bars.push_back(barOf(table.rows[r]));
    if (rest) {
        others.parts.assign(data.bars.front().parts.size(), 0.0);
        std::vector<bool> shown(table.rows.size(), false);
        for (int r : rows) shown[r] = true;
        for (size_t r = 0; r < table.rows.size(); ++r) {
            if (shown[r]) continue;
            const ChartBar bar = barOf(table.rows[r]);
            for (size_t p = 0; p < bar.parts.size(); ++p) others.parts[p] += bar.parts[p];
            others.earlier += bar.earlier;
        }
        data.bars.push_back(others);
    }
    return data;
}

}  // namespace zomi::costreport
