#include "db/DbRoutines.h"

#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Text.h"
#include "common/Utf8.h"

namespace zomi {

using dbaccess::Connection;
using dbaccess::Dataset;
using dbaccess::DbError;
using dbaccess::FieldKind;
using dbaccess::ScalarValue;

namespace {

Connection* g_main = nullptr;

ScalarValue scalar(const QString& sql) {
    Connection* connection = MainConnection();
    if (!connection->isOpen()) connection->open();
    return connection->scalar(sql);
}

int number(const QString& text, int from, int count) {
    bool ok = false;
    const int value = text.mid(from, count).toInt(&ok);
    return ok ? value : 0;
}

QByteArray encodeLine(const QString& line, bool utf8) {
    const QByteArray bytes = ToCp1250(line);
    return utf8 ? ToUtf8(bytes) : bytes;
}

}  // namespace

void SetMainConnection(Connection* connection) { g_main = connection; }

Connection* MainConnection() {
    if (!g_main) throw DbError(DbError::kState, QStringLiteral("Nincs adatbázis-kapcsolat."));
    return g_main;
}

void ExecSql(const QString& sql) {
    if (IsBlankText(sql)) return;
    MainConnection()->exec(LineBreaksFromEscapes(sql));
}

void UpdateOverdueStatuses() {
    // A store: both moves in one transaction, run again when refused.
    MainConnection()->store(QStringLiteral("CALL sp_setstatusz()"));
}

int QueryInt(const QString& sql, int defaultValue) {
    const ScalarValue v = scalar(sql);
    if (!v.hasRow) return defaultValue;
    if (v.isNull) return 0;
    bool ok = false;
    const int value = v.text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QString QueryText(const QString& sql, const QString& defaultText) {
    const ScalarValue v = scalar(sql);
    if (!v.hasRow) return defaultText;
    return v.isNull ? QString() : v.text;
}

double QueryFloat(const QString& sql, double defaultValue) {
    const ScalarValue v = scalar(sql);
    if (!v.hasRow || v.isNull) return defaultValue;
    bool ok = false;
    // QString::toDouble reads the C locale's "." whatever the user's settings.
    const double value = v.text.trimmed().toDouble(&ok);
    return ok ? value : defaultValue;
}

QDateTime DateTimeFromText(const QString& value) {
    QString text = value;
    QDate date;
    if (text.size() > 9) {
        const int year = number(text, 0, 4);
        const int month = number(text, 5, 2);
        const int day = number(text, 8, 2);
        if (year > 0 && month > 0 && day > 0) date = QDate(year, month, day);
        text = text.mid(11, 8);
    }
    QTime time(0, 0);
    bool hasTime = false;
    if (text.size() > 7) {
        int hour = number(text, 0, 2);
        int minute = number(text, 3, 2);
        int second = number(text, 6, 2);
        if (hour >= 24) hour = 0;
        if (minute >= 60) minute = 0;
        if (second >= 60) second = 0;
        time = QTime(hour, minute, second);
        hasTime = true;
    }
    if (!date.isValid() && !hasTime) return QDateTime();
    // A time alone counts from day zero, as the date-time value 0 does.
    if (!date.isValid()) date = QDate(1899, 12, 30);
    return QDateTime(date, time, Qt::UTC);
}

QDateTime QueryDate(const QString& sql, const QDateTime& defaultValue) {
    const ScalarValue v = scalar(sql);
    if (!v.hasRow) return defaultValue;
    if (v.isNull) return QDateTime();
    return DateTimeFromText(v.text);
}

QDateTime ServerDate() { return QueryDate(QStringLiteral("SELECT CURDATE();"), QDateTime()); }

void FillFromQuery(QStringList& list, const QString& sql) {
    Connection* connection = MainConnection();
    if (!connection->isOpen()) connection->open();
    const dbaccess::ResultSetPtr result = connection->query(sql);
    if (!result || result->fields().empty()) return;
    for (int i = 0; i < result->rowCount(); ++i) {
        const dbaccess::RowRef row = result->row(i);
        list << (row.cell(0) ? FromCp1250(row.cell(0), static_cast<qsizetype>(row.length(0)))
                             : QString());
    }
}

QString ServerMd5(const QString& text) {
    return QueryText(QStringLiteral("SELECT MD5(") + SqlQuote(text) + QStringLiteral(");"),
                     QString());
}

QString RecordCounterText(const Dataset& dataset) {
    return QString::number(dataset.recordCount()) + QStringLiteral(": ") +
           QString::number(dataset.recNo());
}

void DataSetToLines(Dataset& dataset, QList<QByteArray>& lines, bool withHeader,
                    const QString& excludedFields, QChar separator, bool utf8, bool rowNumbers) {
    const QString excluded = QLatin1Char(';') + excludedFields + QLatin1Char(';');
    std::vector<int> columns;
    for (int i = 0; i < dataset.fieldCount(); ++i)
        if (!excluded.contains(QLatin1Char(';') + dataset.field(i).name + QLatin1Char(';')))
            columns.push_back(i);

    if (withHeader) {
        QString header;
        for (int i : columns) header += dataset.field(i).name + separator;
        lines << encodeLine(header, utf8);
    }
    dataset.first();
    for (int row = 0; row < dataset.recordCount(); ++row) {
        QString line;
        if (rowNumbers) line += QString::number(row + 1) + separator;
        for (int i : columns) {
            QString value = dataset.asText(row, i);
            value.replace(QLatin1Char(';'), QLatin1Char(','));
            line += value + separator;
        }
        lines << encodeLine(line, utf8);
    }
    dataset.last();
}

void SetAmountFormats(Dataset& query, bool compact) {
    for (int i = 0; i < query.fieldCount(); ++i) {
        dbaccess::Field& f = query.field(i);
        if (f.kind != FieldKind::Float) continue;
        QString format;
        switch (std::abs(f.tag)) {
            case 0:
                format = Beall.Format;
                break;
            case 1:
                format = Beall.Format2;
                break;
            case 2:
                format = QStringLiteral("### ### ##0.000");
                break;
            default:
                continue;
        }
        if (compact) format.remove(QLatin1Char(' '));
        f.displayFormat = format;
    }
}

}  // namespace zomi
