#pragma once

// The data backup of the profile window and its restore.

#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

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
// the ".sql" name and ArchiveError names it. While packing, progress runs
// from 0 to 100. Throws DbError, FileError (both naming the table being
// written) or ArchiveError.
void WriteDataBackup(dbaccess::Connection& connection, const Progress& progress,
                     const QString& chosenFile);

struct TableRows {
    QString table;
    qint64 rows = 0;
};

struct RestoreResult {
    ScriptResult script;
    QList<TableRows> tables;  // the rows of every base table afterwards
};

// A data backup's script: the file itself, or the ".sql" inside a ".zip".
// Throws FileError or ZipError.
QByteArray ReadDataBackup(const QString& fileName);

// Runs a data backup's script on the connection statement by statement
// (RunScript, so with progress by line and a stop at the first failure),
// sending its bytes unchanged, then counts the rows of every base table.
RestoreResult RestoreDataBackup(dbaccess::Connection& connection, const QString& fileName,
                                const ScriptControl& control = {});

QList<TableRows> CountTableRows(dbaccess::Connection& connection);

}  // namespace zomi
