#pragma once

// What the register shows of the work-order list: its columns with their
// titles and widths, the fields searched, and the colour of each status class.

#include <QColor>
#include <QString>
#include <QStringList>

#include "dbaccess/LiveList.h"

namespace zomi::dbaccess {
class Connection;
class Dataset;
}  // namespace zomi::dbaccess

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
// The first screenful of a year tab, or of all years, in the register's own
// order by the number, read from the index on (ev, sorszam) instead of
// sorting the year: ev is the year of datum, and sorszamstr orders as the
// year and then the serial for serials of 0 to 99999. Empty for any other
// condition or order.
QString RegisterFirstScreenfulSql(const QString& condition, const QString& sortField);
// The same for the register on the connection's database, empty where the
// work orders have no ev column (the Windows clients' databases); asked once
// per server and database.
dbaccess::LiveList::FirstScreenfulSql RegisterFirstScreenful(dbaccess::Connection* connection);
// The year tabs: the years of the work orders' dates except the server's
// current year, then that year, newest first.
QString YearTabsSql();
// The background of a row of the status class (szin); invalid for none.
QColor StatusClassColour(int szin);

}  // namespace zomi
