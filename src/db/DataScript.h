#pragma once

// The data-only script of a whole database that the data backup writes: for
// every base table "TRUNCATE table;", then INSERT IGNORE statements of at
// most 100 rows (the first one 99), then an empty line; lines end in CR LF.
//
// Values are written as the session holds them, byte for byte: text quoted
// and escaped, numbers, dates and times as the server wrote them, binary
// values in hexadecimal. The session is latin2 and carries the code-page-1250
// bytes of the application's texts, so the file is code page 1250 and a
// restore on the same kind of session gives back exactly the bytes saved.

#include <QByteArray>
#include <QString>
#include <functional>

#include "db/DbRoutines.h"
#include "dbaccess/Connection.h"

class QIODevice;

namespace zomi {

// Writes the script of the connection's database into the file, replacing
// it only once the script is complete. All tables are read in one
// consistent snapshot, so other workstations may go on working meanwhile.
// Progress: the maximum is the number of tables, the position the table
// being written (from 0), 0 at the end. The user interface processes its
// pending messages as the script grows, so the caller's window must refuse
// what would use the connection meanwhile. Throws DbError or FileError,
// naming the table it was writing.
void WriteDataScript(dbaccess::Connection& connection, const Progress& progress,
                     const QString& fileName);
// The same into an open device; fileName names it in messages.
void WriteDataScript(dbaccess::Connection& connection, const Progress& progress, QIODevice& out,
                     const QString& fileName);

// The same, telling done the share of the rows written so far, from 0 to 1,
// by the server's estimate of each table's rows.
void WriteDataScriptShare(dbaccess::Connection& connection, const std::function<void(double)>& done,
                          QIODevice& out, const QString& fileName);

// The INSERT statements of one table, as WriteDataScript writes them; empty
// text for an empty table.
QString TableInsertScript(dbaccess::Connection& connection, const QString& tableName);

}  // namespace zomi
