#include "workfile/WorkOrderHistory.h"

#include <QDate>
#include <QHash>
#include <QMap>
#include <QTime>
#include <algorithm>
#include <cmath>

#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "dbaccess/Connection.h"

namespace zomi {

namespace {

using dbaccess::Connection;
using dbaccess::RowRef;

QByteArray cell(const RowRef& row, int column) {
    if (!row.cell(column)) return {};
    return QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column)));
}
bool isNull(const RowRef& row, int column) { return row.cell(column) == nullptr; }

const QHash<QString, QString>& captions() {
    static const QHash<QString, QString> map = {
        {QStringLiteral("zomi"), QStringLiteral("Kód")},
        {QStringLiteral("datum"), QStringLiteral("Dátum")},
        {QStringLiteral("ido"), QStringLiteral("Idő")},
        {QStringLiteral("sorszam"), QStringLiteral("Sorszám")},
        {QStringLiteral("vallalkozo"), QStringLiteral("Vállalkozó")},
        {QStringLiteral("ktgh"), QStringLiteral("Költséghely")},
        {QStringLiteral("kiad_datum"), QStringLiteral("Kiadás dátum")},
        {QStringLiteral("hatar_datum"), QStringLiteral("Határidő")},
        {QStringLiteral("alairas"), QStringLiteral("Aláírás")},
        {QStringLiteral("statusz"), QStringLiteral("Státusz")},
        {QStringLiteral("munka"), QStringLiteral("Munka")},
        {QStringLiteral("munkadij1"), QStringLiteral("Munkadíj (nettó)")},
        {QStringLiteral("munkadij2"), QStringLiteral("Óra")},
        {QStringLiteral("munkadij3"), QStringLiteral("Munkadíj nettó")},
        {QStringLiteral("munkadij4"), QStringLiteral("Munkadíj bruttó")},
        {QStringLiteral("kiszdij1"), QStringLiteral("Kiszállási díj (nettó)")},
        {QStringLiteral("kiszdij2"), QStringLiteral("Alkalom")},
        {QStringLiteral("kiszdij3"), QStringLiteral("Kiszállási díj nettó")},
        {QStringLiteral("kiszdij4"), QStringLiteral("Kiszállási díj bruttó")},
        {QStringLiteral("anyag3"), QStringLiteral("Felh.anyag (nettó)")},
        {QStringLiteral("anyag4"), QStringLiteral("Felh.anyag bruttó")},
        {QStringLiteral("ossz"), QStringLiteral("Vállalkozási díj (bruttó)")},
        {QStringLiteral("afas"), QStringLiteral("ÁFÁ-s?")}};
    return map;
}

// The master-data table and name column behind a key column.
struct NameSource {
    const char* table;
    const char* name;
};
const QHash<QString, NameSource>& nameSources() {
    static const QHash<QString, NameSource> map = {
        {QStringLiteral("vallalkozo"), {"vallalkozo", "vallalkozo_nev"}},
        {QStringLiteral("ktgh"), {"ktgh", "cim"}},
        {QStringLiteral("alairas"), {"alairas", "alairas_nev"}},
        {QStringLiteral("statusz"), {"statusz", "statusz_nev"}}};
    return map;
}

bool isAmount(const QString& column) {
    return column.startsWith(QLatin1String("munkadij")) ||
           column.startsWith(QLatin1String("kiszdij")) ||
           column.startsWith(QLatin1String("anyag")) || column == QLatin1String("ossz");
}

QString numberText(const QString& column, const QString& stored) {
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok) return stored;
    // Hours and occasions keep their fraction; whole amounts show grouped.
    const bool count = column == QLatin1String("munkadij2") || column == QLatin1String("kiszdij2");
    if (!count && std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return FormatAmount(value, QStringLiteral("### ### ##0"));
    return GeneralNumberText(value);
}

QString dateText(const QString& stored) {
    const QDate date = QDate::fromString(stored, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? date.toString(QStringLiteral("yyyy.MM.dd")) : stored;
}

QString timeText(const QString& stored) {
    const QTime time = QTime::fromString(stored, QStringLiteral("HH:mm:ss"));
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : stored;
}

// Turns the stored text of a value into what the editor shows; key columns
// name their master-data row, looked up once per key.
class ValueFormatter {
  public:
    explicit ValueFormatter(Connection& connection) : connection_(connection) {}

    QString text(const QString& column, const RowRef& row, int at) {
        if (isNull(row, at)) return {};
        const QString stored = FromCp1250(cell(row, at));
        if (nameSources().contains(column)) return nameOf(column, stored);
        if (isAmount(column)) return numberText(column, stored);
        if (column.endsWith(QLatin1String("datum"))) return dateText(stored);
        if (column == QLatin1String("ido")) return timeText(stored);
        if (column == QLatin1String("afas"))
            return stored == QLatin1String("I") ? QStringLiteral("igen") : QStringLiteral("nem");
        return stored;
    }

  private:
    QString nameOf(const QString& column, const QString& key) {
        const QString cacheKey = column + QLatin1Char(':') + key;
        if (const auto found = names_.constFind(cacheKey); found != names_.constEnd())
            return *found;
        bool numeric = false;
        const qlonglong id = key.toLongLong(&numeric);
        QString name = key;
        if (numeric) {
            const NameSource source = nameSources().value(column);
            const auto rows =
                connection_.query(QStringLiteral("SELECT %1 FROM %2 WHERE %2 = %3")
                                      .arg(QLatin1String(source.name), QLatin1String(source.table))
                                      .arg(id));
            name = rows->rowCount() == 0 ? key + QStringLiteral(" (törölve)")
                                         : FromCp1250(cell(rows->row(0), 0));
        }
        names_.insert(cacheKey, name);
        return name;
    }

    Connection& connection_;
    QHash<QString, QString> names_;
};

QString whoOf(const QString& user, const QString& host, const QString& account) {
    if (user.isEmpty()) return QStringLiteral("más program: ") + account;
    return host.isEmpty() ? user : user + QStringLiteral(" (") + host + QLatin1Char(')');
}

}  // namespace

QString HistoryEvent::actionText() const {
    switch (action) {
        case 'U':
            return QStringLiteral("Létrehozás");
        case 'T':
            return QStringLiteral("Törlés");
        default:
            return QStringLiteral("Módosítás");
    }
}

QString HistoryEvent::whoText() const { return whoOf(user, host, account); }

QString HistoryColumnCaption(const QString& column) { return captions().value(column, column); }

QList<HistoryEvent> ReadHistory(Connection& connection, int workOrder) {
    const auto rows = connection.query(
        QStringLiteral("SELECT mikor, kapcsolat, muvelet, oszlop, regi, uj, felhasznalo, gep, fiok "
                       "FROM zomi_elozmeny WHERE zomi = %1 ORDER BY elozmeny DESC")
            .arg(workOrder));
    ValueFormatter values(connection);
    QList<HistoryEvent> events;
    QByteArray lastWhen, lastSession, lastAction;
    for (int r = 0; r < rows->rowCount(); ++r) {
        const RowRef row = rows->row(r);
        // One statement's rows share its time, its session and its action.
        if (events.isEmpty() || cell(row, 0) != lastWhen || cell(row, 1) != lastSession ||
            cell(row, 2) != lastAction) {
            lastWhen = cell(row, 0);
            lastSession = cell(row, 1);
            lastAction = cell(row, 2);
            HistoryEvent event;
            event.workOrder = workOrder;
            event.when = QDateTime::fromString(QString::fromLatin1(lastWhen.left(19)),
                                               QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            event.action = lastAction.isEmpty() ? 'M' : lastAction.at(0);
            event.user = FromCp1250(cell(row, 6));
            event.host = FromCp1250(cell(row, 7));
            event.account = FromCp1250(cell(row, 8));
            events << event;
        }
        const QString column = QString::fromLatin1(cell(row, 3));
        events.last().changes.prepend(HistoryChange{column, HistoryColumnCaption(column),
                                                    values.text(column, row, 4),
                                                    values.text(column, row, 5)});
    }
    return events;
}

QString NumberFromValues(const QString& sorszam, const QString& datum) {
    const QDate date = QDate::fromString(datum, QStringLiteral("yyyy-MM-dd"));
    if (sorszam.isEmpty() && !date.isValid()) return {};
    const QString year = date.isValid()
                             ? QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'))
                             : QStringLiteral("----");
    bool ok = false;
    const int serial = sorszam.toInt(&ok);
    const QString number = !ok ? QStringLiteral("-----")
                           : serial >= 0 && serial <= 99999
                               ? QStringLiteral("%1").arg(serial, 5, 10, QLatin1Char('0'))
                               : sorszam;
    return year + QLatin1Char('/') + number;
}

QList<DeletedWorkOrder> ReadDeletedWorkOrders(Connection& connection, const QString& numberFilter) {
    QMap<int, DeletedWorkOrder> found;
    const auto deleted = connection.query(QStringLiteral(
        "SELECT h.zomi, MAX(h.mikor), MAX(IF(h.oszlop = 'sorszam', h.regi, NULL)), "
        "MAX(IF(h.oszlop = 'datum', h.regi, NULL)), MAX(h.felhasznalo), MAX(h.gep), MAX(h.fiok) "
        "FROM zomi_elozmeny h LEFT JOIN zomi z ON z.zomi = h.zomi "
        "WHERE z.zomi IS NULL AND h.muvelet = 'T' GROUP BY h.zomi"));
    for (int r = 0; r < deleted->rowCount(); ++r) {
        const RowRef row = deleted->row(r);
        DeletedWorkOrder order;
        order.key = cell(row, 0).toInt();
        order.deleted = QDateTime::fromString(QString::fromLatin1(cell(row, 1).left(19)),
                                              QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        order.number =
            NumberFromValues(QString::fromLatin1(cell(row, 2)), QString::fromLatin1(cell(row, 3)));
        order.who =
            whoOf(FromCp1250(cell(row, 4)), FromCp1250(cell(row, 5)), FromCp1250(cell(row, 6)));
        found.insert(order.key, order);
    }
    const auto files = connection.query(QStringLiteral(
        "SELECT c.zomi, COUNT(*) FROM zomi_csatolmany c LEFT JOIN zomi z ON z.zomi = c.zomi "
        "WHERE z.zomi IS NULL GROUP BY c.zomi"));
    for (int r = 0; r < files->rowCount(); ++r) {
        const int key = cell(files->row(r), 0).toInt();
        DeletedWorkOrder& order = found[key];
        order.key = key;
        order.files = cell(files->row(r), 1).toInt();
    }
    QList<DeletedWorkOrder> list;
    for (const DeletedWorkOrder& order : std::as_const(found))
        if (numberFilter.isEmpty() || order.number.contains(numberFilter.trimmed()) ||
            QString::number(order.key) == numberFilter.trimmed())
            list << order;
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.deleted > b.deleted; });
    return list;
}

}  // namespace zomi
