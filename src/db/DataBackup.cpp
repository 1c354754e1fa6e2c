#include "db/DataBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#include "db/DataScript.h"
#include "db/ZipFile.h"

namespace zomi {

using dbaccess::Connection;

namespace {

// The script of an archive is written first to a hidden file beside it, so
// that a failure leaves no ".sql" behind that could pass for a backup.
void writeZipBackup(Connection& connection, const Progress& progress, const QString& archive) {
    const QFileInfo info(archive);
    const QString entry = info.completeBaseName() + QStringLiteral(".sql");
    const QString keptScript = info.dir().filePath(entry);
    QTemporaryFile script(
        info.dir().filePath(QLatin1Char('.') + entry + QStringLiteral(".XXXXXX")));
    if (!script.open())
        throw FileError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                            .arg(keptScript, script.errorString()));
    WriteDataScript(connection, progress, script, keptScript);
    if (!script.flush())
        throw FileError(
            QStringLiteral("A(z) %1 fájl nem írható: %2").arg(keptScript, script.errorString()));
    script.close();

    if (progress.setMaximum) progress.setMaximum(100);
    try {
        ZipOneFile(archive, script.fileName(), entry, [&](int percent) {
            if (progress.setPosition) progress.setPosition(percent);
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
    if (progress.setPosition) progress.setPosition(0);
}

}  // namespace

bool IsZipName(const QString& fileName) {
    return QFileInfo(fileName).suffix().toLower() == QLatin1String("zip");
}

void WriteDataBackup(Connection& connection, const Progress& progress, const QString& chosenFile) {
    if (IsZipName(chosenFile)) {
        writeZipBackup(connection, progress, chosenFile);
    } else {
        WriteDataScript(connection, progress, chosenFile);
    }
}

QByteArray ReadDataBackup(const QString& fileName) {
    if (IsZipName(fileName)) return ReadZipEntry(fileName, QStringLiteral(".sql"));
    return ReadScriptFile(fileName);
}

RestoreResult RestoreDataBackup(Connection& connection, const QString& fileName,
                                const ScriptControl& control) {
    const QByteArray script = ReadDataBackup(fileName);
    RestoreResult result;
    // The backup holds the session's own bytes, which go back byte for byte,
    // even where they would also read as UTF-8.
    result.script = RunScript(connection, script, ScriptEncoding::SessionBytes, control);
    result.tables = CountTableRows(connection);
    return result;
}

QList<TableRows> CountTableRows(Connection& connection) {
    QList<TableRows> counts;
    for (const QString& table : connection.baseTables()) {
        QString name = table;
        name.replace(QLatin1Char('`'), QStringLiteral("``"));
        counts << TableRows{table,
                            connection.scalar(QStringLiteral("SELECT COUNT(*) FROM `%1`").arg(name))
                                .text.toLongLong()};
    }
    return counts;
}

}  // namespace zomi
