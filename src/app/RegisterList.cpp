#include "app/RegisterList.h"

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
