#pragma once

// The data backup of the profile window and its restore.

#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

#include "db/DataScriptReader.h"
#include "db/DbRoutines.h"
#include "db/ScriptRunner.h"
#include "dbaccess/Connection.h"

namespace zomi {

// The script was written, but packing it failed; the script was kept.
class ArchiveError : public std::runtime_error {
  public:
    ArchiveError(const QString& message, const QString& keptScript)
        : std::runtime_error(message.toStdString()), message_(message), keptScript_(keptScript) {}
    const QString& message() const { return message_; }
    const QString& keptScript() const { return keptScript_; }

  private:
    QString message_;
    QString keptScript_;
};

// Whether the chosen name asks for an archive: its extension, in lower case,
// is "zip".
bool IsZipName(const QString& fileName);

// The data script of the connection's database (WriteDataScript) under the
// chosen name, or, for a ".zip" name, packed as the one entry of an archive
// under that name, the entry named like it with ".sql". A backup that fails
// leaves what stood under the chosen name before and nothing beside it, with
// one exception: when only packing fails, the finished script is kept under
// the ".sql" name and ArchiveError names it. Progress: maximum 100, the
// position going from 0 to 100 over the whole backup (for an archive, the
// script first and packing after it), never back. Throws DbError,
// FileError (both naming the table being written) or ArchiveError.
void WriteDataBackup(dbaccess::Connection& connection, const Progress& progress,
                     const QString& chosenFile);

struct TableRows {
    QString table;
    qint64 rows = 0;
};

struct RestoreResult {
    ScriptResult script;
    QList<TableRows> tables;  // the rows of every base table afterwards
    // Set when the rows could not be counted afterwards (the server gone).
    QString countError;
    // The session was lost while the server committed: it either took the
    // whole backup or nothing.
    bool uncertain = false;
};

// A data backup's script: the file itself, or the ".sql" inside a ".zip".
// Throws FileError or ZipError.
QByteArray ReadDataBackup(const QString& fileName);

// A data backup read whole and checked against the database it goes into.
struct PreparedRestore {
    QString fileName;
    QByteArray script;
    DataScriptContents contents;
};

// Reads the file and checks all of it before anything runs: it must be a
// data backup (ReadDataScript), and its tables must be exactly the base
// tables of the connection's database. Throws DataScriptError saying what
// the file seems to be, or why it does not fit (a database without tables
// needs its structure first); FileError or ZipError when it cannot be read.
PreparedRestore PrepareRestore(dbaccess::Connection& connection, const QString& fileName);

// Replaces the rows of every table with the backup's, all or nothing: in one
// transaction on one session, each TRUNCATE run as a DELETE so that nothing
// commits half way; a statement the server refuses, a value it would change
// (a warning other than a skipped duplicate), a lost session or a stopped
// server leaves every table as it was. The bytes of the rows go to the
// server unchanged. Progress: maximum 100, the percent of the script done.
// Then counts the rows of every base table.
RestoreResult RunRestore(dbaccess::Connection& connection, const PreparedRestore& restore,
                         const ScriptControl& control = {});

// Refuses (DataScriptError) a backup whose tables are not exactly the
// database's base tables.
void CheckRestoreTarget(const QStringList& databaseTables, const QStringList& backupTables);

// PrepareRestore, then RunRestore.
RestoreResult RestoreDataBackup(dbaccess::Connection& connection, const QString& fileName,
                                const ScriptControl& control = {});

QList<TableRows> CountTableRows(dbaccess::Connection& connection);

}  // namespace zomi
