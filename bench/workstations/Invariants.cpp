#include "Invariants.h"

#include <QMap>
#include <cmath>

#include "common/Codepage.h"
#include "dbaccess/Connection.h"

namespace zomi::load {

namespace {

// What a table holds now of a row the changes touch.
struct RowNow {
    QString token;  // the fee of a work order, the telephone of a contractor
    QString deadline;
    QString total;
    QString job;
    int year = 0;
    int serial = 0;
};

QString cellText(const dbaccess::RowRef& row, int i) {
    return row.cell(i) ? FromCp1250(row.cell(i), static_cast<qsizetype>(row.length(i))) : QString();
}

bool isNull(const dbaccess::RowRef& row, int i) { return row.cell(i) == nullptr; }

QHash<int, RowNow> readOrders(dbaccess::Connection& c) {
    QHash<int, RowNow> rows;
    const dbaccess::ResultSetPtr r = c.query(QStringLiteral(
        "SELECT zomi, munkadij1, hatar_datum, ossz, munka, YEAR(datum), sorszam FROM zomi"));
    for (int i = 0; r && i < r->rowCount(); ++i) {
        const dbaccess::RowRef row = r->row(i);
        rows.insert(cellText(row, 0).toInt(),
                    {NumberTokenOfText(cellText(row, 1), isNull(row, 1)), cellText(row, 2),
                     NumberTokenOfText(cellText(row, 3), isNull(row, 3)), cellText(row, 4),
                     cellText(row, 5).toInt(), cellText(row, 6).toInt()});
    }
    return rows;
}

QHash<int, RowNow> readContractors(dbaccess::Connection& c) {
    QHash<int, RowNow> rows;
    const dbaccess::ResultSetPtr r =
        c.query(QStringLiteral("SELECT vallalkozo, telefon FROM vallalkozo"));
    for (int i = 0; r && i < r->rowCount(); ++i) {
        const dbaccess::RowRef row = r->row(i);
        RowNow now;
        now.token = cellText(row, 1);
        rows.insert(cellText(row, 0).toInt(), now);
    }
    return rows;
}

bool refused(Outcome o) { return o == Outcome::Conflict || o == Outcome::Deleted; }

// The acknowledged changes of one row must form one chain from the value it
// started with to the value it holds: each read the value the one before it
// wrote. Two acknowledged changes that read the same value mean one silently
// overwrote the other; an acknowledged change outside the chain is lost; a
// refused change inside it was stored after all.
void checkChain(const QString& what, int key, const QString& initial,
                const std::vector<const SaveRecord*>& saves, const RowNow* now,
                QStringList& broken) {
    QString state = initial;
    QSet<const SaveRecord*> used;
    QSet<QString> states{initial};
    const SaveRecord* last = nullptr;
    QSet<QString> readValues;
    for (const SaveRecord* s : saves) readValues.insert(s->before);
    for (;;) {
        std::vector<const SaveRecord*> acknowledged;
        std::vector<const SaveRecord*> unknown;
        for (const SaveRecord* s : saves) {
            if (used.contains(s) || s->before != state) continue;
            if (s->outcome == Outcome::Acknowledged) acknowledged.push_back(s);
            if (s->outcome == Outcome::Unknown) unknown.push_back(s);
        }
        if (acknowledged.size() > 1)
            broken << QStringLiteral(
                          "silent overwrite: %1 %2 was saved %3 times over the same "
                          "reading (%4), the later saves never told of the conflict")
                          .arg(what)
                          .arg(key)
                          .arg(acknowledged.size())
                          .arg(state);
        const SaveRecord* next = acknowledged.empty() ? nullptr : acknowledged.front();
        // A save whose end was not reported is in the chain when the row
        // went on from its value.
        for (const SaveRecord* s : unknown)
            if (!next && (readValues.contains(s->after) || (now && now->token == s->after)))
                next = s;
        if (!next) break;
        used.insert(next);
        state = next->after;
        states.insert(state);
        last = next;
    }
    for (const SaveRecord* s : saves) {
        if (s->outcome == Outcome::Acknowledged && !used.contains(s))
            broken << QStringLiteral(
                          "acknowledged save lost: %1 %2 was saved with %3 (over %4), "
                          "which the row never held afterwards")
                          .arg(what)
                          .arg(key)
                          .arg(s->after, s->before);
        if (refused(s->outcome) && (states.contains(s->after) || readValues.contains(s->after) ||
                                    (now && now->token == s->after)))
            broken << QStringLiteral(
                          "a save reported as a conflict was stored: %1 %2 holds or "
                          "held %3")
                          .arg(what)
                          .arg(key)
                          .arg(s->after);
    }
    if (!now) return;
    if (now->token != state)
        broken << QStringLiteral(
                      "acknowledged save lost: %1 %2 holds %3 where its last "
                      "acknowledged save left %4")
                      .arg(what)
                      .arg(key)
                      .arg(now->token, state);
    else if (last && what == QLatin1String("work order") &&
             (now->deadline != last->deadline || now->total != last->total))
        broken << QStringLiteral(
                      "work order %1 holds deadline %2 and total %3 where its last "
                      "save sent %4 and %5")
                      .arg(key)
                      .arg(now->deadline, now->total, last->deadline, last->total);
}

void checkSerialNumbers(dbaccess::Connection& c, QStringList& broken) {
    const dbaccess::ResultSetPtr r = c.query(QStringLiteral(
        "SELECT YEAR(datum), sorszam, COUNT(*) FROM zomi WHERE datum IS NOT NULL "
        "AND sorszam IS NOT NULL GROUP BY YEAR(datum), sorszam HAVING COUNT(*) > 1"));
    for (int i = 0; r && i < r->rowCount(); ++i) {
        const dbaccess::RowRef row = r->row(i);
        broken << QStringLiteral("duplicate serial number: %1 work orders of %2 have number %3")
                      .arg(cellText(row, 2), cellText(row, 0), cellText(row, 1));
    }
}

void checkTotals(dbaccess::Connection& c, QStringList& broken) {
    const dbaccess::ScalarValue view = c.scalar(
        QStringLiteral("SELECT CONCAT(SUM(db), ' ', COALESCE(SUM(ossz), 0)) FROM vw_ossz"));
    const dbaccess::ScalarValue rows =
        c.scalar(QStringLiteral("SELECT CONCAT(COUNT(*), ' ', COALESCE(SUM(ossz), 0)) FROM zomi"));
    const QStringList v = view.text.split(QLatin1Char(' '));
    const QStringList t = rows.text.split(QLatin1Char(' '));
    const double a = v.value(1).toDouble();
    const double b = t.value(1).toDouble();
    if (v.value(0) != t.value(0) || std::fabs(a - b) > 1e-6 * std::max(1.0, std::fabs(b)))
        broken << QStringLiteral("vw_ossz totals %1 (count, sum) differ from the rows' %2")
                      .arg(view.text, rows.text);
}

void checkInserts(const Journal& journal, const QHash<int, RowNow>& orders,
                  const QSet<int>& deleted, QStringList& broken) {
    QHash<QString, QList<int>> keysOfJob;
    for (auto it = orders.begin(); it != orders.end(); ++it)
        if (it->job.startsWith(QStringLiteral("Terheléses próba "))) keysOfJob[it->job] << it.key();
    for (const InsertRecord& insert : journal.inserts) {
        const QList<int> keys = keysOfJob.value(insert.job);
        if (keys.size() > 1)
            broken << QStringLiteral("new work order stored %1 times: \"%2\"")
                          .arg(keys.size())
                          .arg(insert.job);
        if (insert.outcome != Outcome::Acknowledged) continue;
        if (keys.isEmpty()) {
            if (!deleted.contains(insert.key))
                broken << QStringLiteral("acknowledged new work order missing: \"%1\" (key %2)")
                              .arg(insert.job)
                              .arg(insert.key);
            continue;
        }
        const RowNow& row = orders[keys.front()];
        if (keys.front() != insert.key || row.year != insert.year || row.serial != insert.serial)
            broken << QStringLiteral(
                          "new work order \"%1\" is %2 %3/%4 where the workstation was "
                          "told %5 %6/%7")
                          .arg(insert.job)
                          .arg(keys.front())
                          .arg(row.year)
                          .arg(row.serial)
                          .arg(insert.key)
                          .arg(insert.year)
                          .arg(insert.serial);
    }
}

}  // namespace

StartState ReadStartState(dbaccess::Connection& connection) {
    StartState state;
    const QHash<int, RowNow> orders = readOrders(connection);
    for (auto it = orders.begin(); it != orders.end(); ++it)
        state.orderFees.insert(it.key(), it->token);
    const QHash<int, RowNow> contractors = readContractors(connection);
    for (auto it = contractors.begin(); it != contractors.end(); ++it)
        state.contractorPhones.insert(it.key(), it->token);
    return state;
}

QStringList CheckInvariants(dbaccess::Connection& connection, const StartState& start,
                            const Journal& journal) {
    QStringList broken;
    const QHash<int, RowNow> orders = readOrders(connection);
    const QHash<int, RowNow> contractors = readContractors(connection);
    checkSerialNumbers(connection, broken);
    checkTotals(connection, broken);

    QSet<int> deleted;
    for (const DeleteRecord& d : journal.deletes) {
        deleted.insert(d.key);
        if (d.outcome == Outcome::Acknowledged && orders.contains(d.key))
            broken << QStringLiteral("acknowledged delete not done: work order %1").arg(d.key);
    }
    checkInserts(journal, orders, deleted, broken);

    // Every work order there was, or that a workstation was told it stored,
    // is there unless a workstation deleted it.
    QHash<int, QString> initialFees = start.orderFees;
    QHash<QString, int> keyOfJob;
    for (auto it = orders.begin(); it != orders.end(); ++it) keyOfJob.insert(it->job, it.key());
    for (const InsertRecord& insert : journal.inserts) {
        if (insert.outcome == Outcome::Acknowledged)
            initialFees.insert(insert.key, insert.fee);
        else if (keyOfJob.contains(insert.job))
            initialFees.insert(keyOfJob.value(insert.job), insert.fee);
    }
    for (auto it = orders.begin(); it != orders.end(); ++it)
        if (!initialFees.contains(it.key())) initialFees.insert(it.key(), it->token);
    QList<int> missing;
    for (auto it = initialFees.begin(); it != initialFees.end(); ++it)
        if (!orders.contains(it.key()) && !deleted.contains(it.key())) missing << it.key();
    std::sort(missing.begin(), missing.end());
    for (int key : missing) broken << QStringLiteral("work order %1 missing").arg(key);

    QMap<std::pair<QString, int>, std::vector<const SaveRecord*>> savesOfRow;
    for (const SaveRecord& s : journal.saves) savesOfRow[{s.table, s.key}].push_back(&s);
    for (auto it = savesOfRow.begin(); it != savesOfRow.end(); ++it) {
        const auto& [table, key] = it.key();
        const bool order = table == QLatin1String("zomi");
        const QHash<int, RowNow>& now = order ? orders : contractors;
        const QString initial = order ? initialFees.value(key) : start.contractorPhones.value(key);
        const auto row = now.constFind(key);
        checkChain(order ? QStringLiteral("work order") : QStringLiteral("contractor"), key,
                   initial, it.value(), row != now.constEnd() ? &row.value() : nullptr, broken);
    }
    return broken;
}

}  // namespace zomi::load
