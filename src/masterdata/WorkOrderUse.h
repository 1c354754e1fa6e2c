#pragma once

// Work orders name their contractor, site, signatory and status by key, and
// no foreign key holds the two together: a deleted master row leaves its work
// orders naming nobody. Before such a row goes, the user is told how many work
// orders name it and what they will show afterwards.

#include <QString>

namespace zomi {

// How many work orders name the row with the key of the master-data table;
// 0 for a table that work orders do not refer to. Throws DbError.
int WorkOrdersUsing(const QString& table, int key);

// The question before deleting a row: for a row of the table that work orders
// use, their number and what shows in their place afterwards; for any other
// row the usual "Valóban töröljem a sort?".
QString DeleteQuestion(const QString& table, int workOrders);

}  // namespace zomi
