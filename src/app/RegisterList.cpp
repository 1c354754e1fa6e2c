#include "app/RegisterList.h"

#include <QRegularExpression>
#include <memory>

#include "dbaccess/Connection.h"
#include "dbaccess/Dataset.h"

namespace zomi {

QStringList RegisterQueryLines() {
    return {QStringLiteral("SELECT * FROM vw_zomi"), QStringLiteral("WHERE zomi>0"),
            QStringLiteral("ORDER BY sorszamstr;")};
}

QStringList TotalsQueryLines() {
    return {QStringLiteral("SELECT * FROM vw_ossz"), QStringLiteral("WHERE statusz > 0"),
            QStringLiteral("ORDER BY 1;")};
}

const QStringList& RegisterColumns() {
    static const QStringList columns{
        QStringLiteral("sorszamstr"),     QStringLiteral("datum"),       QStringLiteral("ido"),
        QStringLiteral("kiad_datum"),     QStringLiteral("hatar_datum"), QStringLiteral("cim"),
        QStringLiteral("vallalkozo_nev"), QStringLiteral("statusz_nev")};
    return columns;
}

const QString& RegisterSearchFields() {
    static const QString fields = QStringLiteral("sorszamstr;cim;vallalkozo_nev;statusz_nev");
    return fields;
}

void LabelRegisterFields(dbaccess::Dataset& list) {
    const std::pair<const char*, const char*> labels[] = {{"sorszamstr", "Sorszám"},
                                                          {"datum", "Dátum"},
                                                          {"ido", "Idő"},
                                                          {"kiad_datum", "Kiadva"},
                                                          {"hatar_datum", "Határidő"},
                                                          {"ktgh", "Költséghely"},
                                                          {"cim", "Cím"},
                                                          {"vallalkozo_nev", "Vállalkozó"},
                                                          {"alairas_nev", "Aláírás"},
                                                          {"statusz_nev", "Státusz"},
                                                          {"zomi", "Kód"}};
    for (const auto& [field, text] : labels) {
        const int i = list.fieldIndex(QString::fromLatin1(field));
        if (i >= 0) list.field(i).label = QString::fromUtf8(text);
    }
}

double RegisterColumnShare(const QString& field) {
    return field == QLatin1String("cim") || field == QLatin1String("vallalkozo_nev") ? 0.2 : 0.1;
}

QString YearCondition(int year) {
    // Day and month 00 are dates of the year too ("2024-00-00"), for YEAR() as well.
    const auto start = [](int y) {
        return QStringLiteral("'%1-00-00'").arg(y, 4, 10, QLatin1Char('0'));
    };
    return QStringLiteral("(datum >= %1 AND datum < %2)").arg(start(year), start(year + 1));
}

QString RegisterFirstScreenfulSql(const QString& condition, const QString& sortField) {
    if (sortField != QLatin1String("sorszamstr")) return QString();
    QString year;
    if (condition != QLatin1String("(1=1)")) {
        static const QRegularExpression yearTab(
            QStringLiteral("^\\(datum >= '(\\d{4})-00-00' AND datum < '(\\d{4})-00-00'\\)$"));
        const QRegularExpressionMatch m = yearTab.match(condition);
        if (!m.hasMatch() || m.captured(2).toInt() != m.captured(1).toInt() + 1) return QString();
        // The year's rows lie together in the index: a range, not a scan.
        year = QStringLiteral(" AND ev = ") + QString::number(m.captured(1).toInt());
    }
    // The screenful's rows by the index, then in the list's own order.
    return QStringLiteral(
               "SELECT v.* FROM (SELECT zomi FROM zomi WHERE %1%2 ORDER BY ev, sorszam LIMIT %3) f "
               "JOIN vw_zomi v ON v.zomi = f.zomi ORDER BY v.sorszamstr;")
        .arg(condition, year)
        .arg(dbaccess::ListFetcher::kFirstBlockRows);
}

dbaccess::LiveList::FirstScreenfulSql RegisterFirstScreenful(dbaccess::Connection* connection) {
    struct Known {
        QString database;
        bool hasYear = false;
    };
    auto known = std::make_shared<Known>();
    return [connection, known](const QString& condition, const QString& sortField) {
        const dbaccess::ConnectionParams& p = connection->params();
        const QString database =
            p.host + QLatin1Char(':') + QString::number(p.port) + QLatin1Char('/') + p.database;
        if (known->database != database) {
            known->hasYear =
                connection
                    ->scalar(QStringLiteral(
                        "SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
                        "DATABASE() AND TABLE_NAME = 'zomi' AND COLUMN_NAME = 'ev';"))
                    .text != QLatin1String("0");
            known->database = database;
        }
        return known->hasYear ? RegisterFirstScreenfulSql(condition, sortField) : QString();
    };
}

QString YearTabsSql() {
    // The years of each distinct date, not of each row: the index on datum
    // hands out its distinct dates without reading the rows, a few
    // thousand over a million work orders (36 ms where YEAR(datum) over
    // every row took 300).
    return QStringLiteral(
        "SELECT DISTINCT y FROM (SELECT YEAR(datum) AS y FROM zomi GROUP BY datum) d WHERE y <> "
        "YEAR(CURDATE()) UNION ALL SELECT YEAR(CURDATE()) ORDER BY 1 DESC;");
}

QColor StatusClassColour(int szin) {
    switch (szin) {
        case 2:
            return QColor(196, 224, 255);
        case 3:
            return QColor(255, 210, 255);
        case 4:
            return QColor(193, 255, 224);
        case 5:
            return QColor(255, 221, 221);
        case 6:
            return QColor(255, 255, 185);
        case 7:
            return QColor(233, 233, 233);
        default:
            return QColor();
    }
}

}  // namespace zomi
