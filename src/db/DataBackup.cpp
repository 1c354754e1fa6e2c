#include "db/DataBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "common/Text.h"
#include "db/DataScript.h"
#include "db/WorkFileSchema.h"
#include "db/ZipFile.h"
#include "dbaccess/SessionPin.h"

namespace zomi {

using dbaccess::Connection;
using dbaccess::DbError;

namespace {

// The client library's codes of a session that ended.
constexpr unsigned kServerGone = 2006;
constexpr unsigned kServerLost = 2013;

// The share of the bar the script takes in a ".zip" backup; packing the rest.
constexpr int kScriptShareOfArchive = 80;

// One bar from 0 to 100 over the whole backup, never going back.
class BackupBar {
  public:
    // The first position comes once the snapshot is taken: a caller may
    // treat it as the start of the backup.
    explicit BackupBar(const Progress& progress) : progress_(progress) {
        if (progress_.setMaximum) progress_.setMaximum(100);
    }
    void show(int percent) {
        if (percent < shown_ || !progress_.setPosition) return;
        shown_ = percent;
        progress_.setPosition(percent);
    }
    // A share of the part of the bar from..to.
    void showShare(double share, int from, int to) {
        show(from + static_cast<int>(share * (to - from)));
    }

  private:
    Progress progress_;
    int shown_ = -1;
};

void writeSqlBackup(Connection& connection, BackupBar& bar, const QString& fileName) {
    // A temporary file renamed into place: a failed backup never destroys
    // the previous good one.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    WriteDataScriptShare(
        connection, [&](double share) { bar.showShare(share, 0, 100); }, file, fileName);
    if (!file.commit())
        throw FileError(QStringLiteral("Hiba a(z) %1 fájl lezárásakor: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
}

// The script of an archive is written first to a hidden file beside it, so
// that a failure leaves no ".sql" behind that could pass for a backup.
void writeZipBackup(Connection& connection, BackupBar& bar, const QString& archive) {
    const QFileInfo info(archive);
    const QString entry = info.completeBaseName() + QStringLiteral(".sql");
    const QString keptScript = info.dir().filePath(entry);
    QTemporaryFile script(
        info.dir().filePath(QLatin1Char('.') + entry + QStringLiteral(".XXXXXX")));
    if (!script.open())
        throw FileError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                            .arg(keptScript, WriteFailureReason(keptScript, script.errorString())));
    WriteDataScriptShare(
        connection, [&](double share) { bar.showShare(share, 0, kScriptShareOfArchive); }, script,
        keptScript);
    if (!script.flush())
        throw FileError(QStringLiteral("A(z) %1 fájl nem írható: %2")
                            .arg(keptScript, WriteFailureReason(keptScript, script.errorString())));
    script.close();

    try {
        ZipOneFile(archive, script.fileName(), entry, [&](int percent) {
            bar.showShare(percent / 100.0, kScriptShareOfArchive, 100);
            QCoreApplication::processEvents();
        });
    } catch (const ZipError& e) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(script.fileName()).toStdString(),
                                QFile::encodeName(keptScript).toStdString(), error);
        if (error)
            throw FileError(e.message() +
                            QStringLiteral("\r\nA mentés a(z) %1 fájlba sem került: %2")
                                .arg(keptScript, QString::fromLocal8Bit(error.message().c_str())));
        script.setAutoRemove(false);
        throw ArchiveError(e.message(), keptScript);
    }
}

QString quotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + quoted + QLatin1Char('`');
}

// The session as the restore needs it, and as it was again afterwards:
// pinned (a new session would run the rest outside the transaction),
// no foreign-key checks or cascades while tables are half loaded, and a
// saved key of 0 kept as 0.
class RestoreSession {
  public:
    // Read while a session that ended during the question may still be
    // replaced: nothing has run yet.
    explicit RestoreSession(Connection& connection)
        : connection_(connection),
          saved_(connection.query(
              QStringLiteral("SELECT @@SESSION.sql_mode, @@SESSION.foreign_key_checks"))),
          pin_(connection) {
        mode_ = QString::fromLatin1(saved_->row(0).cell(0));
        keyChecks_ = QString::fromLatin1(saved_->row(0).cell(1));
        connection.exec(
            QStringLiteral("SET SESSION foreign_key_checks = 0, sql_mode = "
                           "CONCAT(@@SESSION.sql_mode, ',NO_AUTO_VALUE_ON_ZERO')"));
        // The restored work orders are not new changes for their history.
        connection.exec(QStringLiteral("SET %1 = 1").arg(kHistoryOffVariable));
    }
    ~RestoreSession() {
        try {
            connection_.exec(QStringLiteral("SET SESSION foreign_key_checks = %1, sql_mode = %2")
                                 .arg(keyChecks_, SqlQuote(mode_)));
            connection_.exec(QStringLiteral("SET %1 = NULL").arg(kHistoryOffVariable));
        } catch (const DbError&) {
            // The session is gone; its settings went with it.
        }
    }
    RestoreSession(const RestoreSession&) = delete;
    RestoreSession& operator=(const RestoreSession&) = delete;

  private:
    Connection& connection_;
    dbaccess::ResultSetPtr saved_;
    dbaccess::SessionPin pin_;
    QString mode_;
    QString keyChecks_;
};

// The first warning of the last statement that is not a duplicate the
// backup's INSERT IGNORE skips on purpose: a value the server would store
// changed.
QString changedValueWarning(Connection& connection) {
    // Asked without a table, so that the warnings stay for SHOW WARNINGS.
    if (connection.scalar(QStringLiteral("SELECT @@warning_count")).text == QLatin1String("0"))
        return QString();
    const dbaccess::ResultSetPtr warnings = connection.query(QStringLiteral("SHOW WARNINGS"));
    for (int i = 0; warnings && i < warnings->rowCount(); ++i) {
        const dbaccess::RowRef row = warnings->row(i);
        if (row.cell(1) && QByteArray(row.cell(1)) == "1062") continue;  // ER_DUP_ENTRY
        return row.cell(2) ? FromCp1250(QByteArray(row.cell(2))) : QStringLiteral("?");
    }
    return QString();
}

void runStatement(Connection& connection, const PreparedRestore& restore,
                  const DataStatement& statement) {
    if (statement.kind == DataStatement::Kind::Truncate) {
        // TRUNCATE would commit what came before it.
        connection.exec(QStringLiteral("DELETE FROM ") +
                        quotedName(restore.contents.tables.at(statement.table)));
        return;
    }
    connection.execEncoded(QByteArray::fromRawData(restore.script.constData() + statement.begin,
                                                   statement.end - statement.begin));
    const QString changed = changedValueWarning(connection);
    if (!changed.isEmpty())
        throw DbError(DbError::kStoredChanged,
                      QStringLiteral("a kiszolgáló megváltoztatta volna egy mentett értéket: %1")
                          .arg(changed));
}

void rollBack(Connection& connection) {
    try {
        connection.exec(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // A lost session's transaction is undone by the server.
    }
}

ScriptResult runInOneTransaction(Connection& connection, const PreparedRestore& restore,
                                 const ScriptControl& control, bool& uncertain) {
    const Progress& progress = control.progress;
    if (progress.setMaximum) progress.setMaximum(100);
    if (progress.setPosition) progress.setPosition(0);
    const double size = std::max<double>(1, static_cast<double>(restore.script.size()));
    ScriptResult result;
    int line = 0;
    bool committing = false;
    try {
        connection.exec(QStringLiteral("START TRANSACTION"));
        for (const DataStatement& statement : restore.contents.statements) {
            line = statement.line;
            if (control.stopRequested && control.stopRequested()) {
                rollBack(connection);
                result.outcome = ScriptResult::Outcome::Stopped;
                result.line = line;
                return result;
            }
            runStatement(connection, restore, statement);
            ++result.statements;
            // 99 at most until the commit has made it whole.
            if (progress.setPosition)
                progress.setPosition(std::min(
                    99, static_cast<int>(static_cast<double>(statement.end) * 100 / size)));
        }
        committing = true;
        connection.exec(QStringLiteral("COMMIT"));
    } catch (const DbError& e) {
        // A commit whose answer was lost may have been made.
        uncertain = committing && (e.code() == kServerGone || e.code() == kServerLost);
        rollBack(connection);
        result.outcome = ScriptResult::Outcome::Failed;
        result.line = line;
        result.errorCode = e.code();
        result.errorMessage = e.message();
        result.statements = 0;
        return result;
    }
    if (progress.setPosition) progress.setPosition(100);
    return result;
}

}  // namespace

void CheckRestoreTarget(const QStringList& databaseTables, const QStringList& backupTables) {
    if (databaseTables.isEmpty())
        throw DataScriptError(QStringLiteral(
            "Az adatbázisban nincs egyetlen tábla sem. Az adatmentés csak a táblák sorait hozza "
            "vissza: előbb létre kell hozni az adatbázis szerkezetét (a db/schema.sql "
            "betöltésével, vagy teljes mentés visszaállításával)."));
    for (const QString& table : backupTables)
        if (!databaseTables.contains(table))
            throw DataScriptError(
                QStringLiteral("A mentés a(z) %1 tábla sorait is visszatöltené, de az "
                               "adatbázisban nincs ilyen tábla: a mentés más szerkezetű "
                               "adatbázisé.")
                    .arg(table));
    for (const QString& table : databaseTables)
        if (!backupTables.contains(table))
            throw DataScriptError(
                QStringLiteral("A mentésben nincs benne az adatbázis %1 táblája: a fájl csonka, "
                               "vagy más szerkezetű adatbázis mentése.")
                    .arg(table));
}

bool IsZipName(const QString& fileName) {
    return QFileInfo(fileName).suffix().toLower() == QLatin1String("zip");
}

void WriteDataBackup(Connection& connection, const Progress& progress, const QString& chosenFile) {
    BackupBar bar(progress);
    if (IsZipName(chosenFile)) {
        writeZipBackup(connection, bar, chosenFile);
    } else {
        writeSqlBackup(connection, bar, chosenFile);
    }
    bar.show(100);
}

QByteArray ReadDataBackup(const QString& fileName) {
    if (IsZipName(fileName)) return ReadZipEntry(fileName, QStringLiteral(".sql"));
    return ReadScriptFile(fileName);
}

PreparedRestore PrepareRestore(Connection& connection, const QString& fileName) {
    PreparedRestore restore{fileName, ReadDataBackup(fileName), {}};
    restore.contents = ReadDataScript(restore.script);
    CheckRestoreTarget(DataTables(connection), restore.contents.tables);
    return restore;
}

RestoreResult RunRestore(Connection& connection, const PreparedRestore& restore,
                         const ScriptControl& control) {
    RestoreResult result;
    {
        RestoreSession session(connection);
        result.script = runInOneTransaction(connection, restore, control, result.uncertain);
    }
    try {
        result.tables = CountTableRows(connection);
    } catch (const DbError& e) {
        result.countError = e.message();
    }
    return result;
}

RestoreResult RestoreDataBackup(Connection& connection, const QString& fileName,
                                const ScriptControl& control) {
    return RunRestore(connection, PrepareRestore(connection, fileName), control);
}

QList<TableRows> CountTableRows(Connection& connection) {
    QList<TableRows> counts;
    for (const QString& table : DataTables(connection)) {
        QString name = table;
        name.replace(QLatin1Char('`'), QStringLiteral("``"));
        counts << TableRows{table,
                            connection.scalar(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(name))
                                .text.toLongLong()};
    }
    return counts;
}

}  // namespace zomi
