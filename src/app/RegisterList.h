#pragma once

// What the register shows of the work-order list: its columns with their
// titles and widths, the fields searched, and the colour of each status class.

#include <QColor>
#include <QString>
#include <QStringList>

namespace zomi::dbaccess {
class Dataset;
}

namespace zomi {

// The register's list query as its three lines (SELECT ... FROM, the WHERE
// line the search replaces, the ORDER line) and the totals under it.
QStringList RegisterQueryLines();
QStringList TotalsQueryLines();
// The grid's columns, in order, and the fields the search box looks in.
const QStringList& RegisterColumns();
const QString& RegisterSearchFields();
// Gives the list's fields their titles.
void LabelRegisterFields(dbaccess::Dataset& list);
// The share of the grid's width a column takes.
double RegisterColumnShare(const QString& field);
// The condition of a year tab: the rows whose YEAR(datum) is the year, as a
// range of dates, so that the server can read them from the index on datum.
QString YearCondition(int year);
// The year tabs: the years of the work orders' dates except the server's
// current year, then that year, newest first.
QString YearTabsSql();
// The background of a row of the status class (szin); invalid for none.
QColor StatusClassColour(int szin);

}  // namespace zomi
