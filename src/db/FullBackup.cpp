#include "db/FullBackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#include "common/Codepage.h"
#include "common/FileRights.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "dbaccess/TlsPolicy.h"

namespace zomi {

namespace {

// Where the system-wide file names the dump tool.
const QString kSystemDumpSection = QStringLiteral("Mentes");

// Option-file values in double quotes, with the escapes its reader knows.
QByteArray optionValue(const QString& text) {
    QByteArray out = "\"";
    for (const char c : ToCp1250(text)) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + '"';
}

std::unique_ptr<QTemporaryFile> reserveFile(const QString& templateName) {
    auto file = std::make_unique<QTemporaryFile>(templateName);
    if (!file->open())
        throw FileError(QStringLiteral("A(z) %1 mappában nem hozható létre fájl: %2")
                            .arg(QFileInfo(templateName).absolutePath(), file->errorString()));
    return file;
}

QString toolError(QProcess& process) {
    return QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
}

// The tool encrypts whenever the server offers it, as the program's own
// sessions do; the installation's requirement binds it as well.
QByteArray tlsOptions() {
    const dbaccess::TlsPolicy policy = dbaccess::InstallationTlsPolicy();
    if (!policy.required) return QByteArray();
    QByteArray out = "ssl\nssl-verify-server-cert\n";
    if (!policy.caFile.isEmpty()) out += "ssl-ca=" + optionValue(policy.caFile) + '\n';
    return out;
}

}  // namespace

QString DefaultDumpTool() {
    for (const QString& name : {QStringLiteral("mariadb-dump"), QStringLiteral("mysqldump")}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) return found;
    }
    return QString();
}

QString FindDumpTool(const QString& configured) {
    const QString tool = configured.trimmed();
    if (tool.isEmpty()) return DefaultDumpTool();
    if (tool.contains(QLatin1Char('/')) || tool.contains(QLatin1Char('\\'))) return tool;
    const QString found = QStandardPaths::findExecutable(tool);
    return found.isEmpty() ? tool : found;
}

QString DumpToolRefusal(const QString& tool) {
    QStringList paths{QFileInfo(tool).absoluteFilePath()};
    const QString target = QFileInfo(tool).canonicalFilePath();
    if (!target.isEmpty() && target != paths.first()) paths << target;
    for (const QString& path : paths) {
        const QString problem = ChangeableByOthers(path);
        if (!problem.isEmpty())
            return QStringLiteral(
                       "A(z) „%1” mentőprogramot a Zomi nem indítja el, mert megkapná "
                       "az adatbázis jelszavát. %2")
                .arg(QDir::toNativeSeparators(tool), problem);
    }
    return QString();
}

QString ConfiguredDumpTool() {
    const QString own = OwnSettingsPath();
    const QString system = dbaccess::SystemConfigPath();
    const struct {
        QString file;
        QString section;
    } sources[] = {{own, QString::fromLatin1(kMysqlDump.section)}, {system, kSystemDumpSection}};
    for (const auto& source : sources) {
        if (!QFileInfo::exists(source.file)) continue;
        const QString path = IniReadString(source.file, source.section,
                                           QString::fromLatin1(kMysqlDump.key), QString())
                                 .trimmed();
        if (path.isEmpty()) continue;
        if (const QString problem = ChangeableByOthers(source.file); !problem.isEmpty())
            throw FileError(
                QStringLiteral("A teljes mentés programjának helyét a Zomi nem veszi át a(z) „%1” "
                               "fájlból. %2")
                    .arg(QDir::toNativeSeparators(source.file), problem));
        return path;
    }
    return QString();
}

void StoreDumpTool(const QString& path) {
    const QString own = OwnSettingsPath();
    const QString folder = QFileInfo(own).absolutePath();
    if (!QFileInfo::exists(folder) && PrivateFolder(folder).isEmpty())
        throw SettingsError(
            QStringLiteral("cannot make the folder \"%1\"").arg(folder).toStdString());
    if (const QString problem = ChangeableByOthers(own); !problem.isEmpty())
        throw FileError(problem);
    IniWriteString(own, QString::fromLatin1(kMysqlDump.section),
                   QString::fromLatin1(kMysqlDump.key), path);
}

QByteArray DumpOptionText(const ConnectionProfile& profile) {
    return "[client]\n"
           "user=" +
           optionValue(profile.felhasznalo) +
           "\n"
           "password=" +
           optionValue(profile.jelszo) +
           "\n"
           "host=" +
           optionValue(profile.kiszolgalo) +
           "\n"
           "port=" +
           QByteArray::number(profile.port.value_or(0)) + "\n" + tlsOptions();
}

QStringList DumpArguments(const QString& optionFile, const QString& database,
                          const QString& resultFile) {
    // "--" ends the options, so that no database name is taken for one.
    return {QStringLiteral("--defaults-extra-file=") + optionFile,
            QStringLiteral("-c"),
            QStringLiteral("-C"),
            QStringLiteral("--force"),
            QStringLiteral("--routines"),
            QStringLiteral("--single-transaction"),
            QStringLiteral("--result-file=") + resultFile,
            QStringLiteral("--databases"),
            QStringLiteral("--"),
            database};
}

FullBackup::FullBackup(QObject* parent) : QObject(parent) {}

FullBackup::~FullBackup() {
    if (process_) {
        stopped_ = true;
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(5000);
    }
    cleanUp();
}

bool FullBackup::isRunning() const { return process_ != nullptr; }

QString FullBackup::optionFile() const {
#ifdef Q_OS_UNIX
    return QStringLiteral("/dev/stdin");
#else
    return options_ ? options_->fileName() : QString();
#endif
}

QString FullBackup::partialFile() const { return partial_ ? partial_->fileName() : QString(); }

qint64 FullBackup::processId() const { return process_ ? process_->processId() : 0; }

void FullBackup::start(const QString& tool, const ConnectionProfile& profile,
                       const QString& resultFile) {
    if (process_) throw FileError(QStringLiteral("A teljes mentés már fut."));
    tool_ = FindDumpTool(tool);
    if (tool_.isEmpty())
        throw FileError(QStringLiteral(
            "A mentőprogram (mariadb-dump vagy mysqldump) nem található; adja meg a helyét."));
    if (const QString refusal = DumpToolRefusal(tool_); !refusal.isEmpty())
        throw FileError(refusal);
    const QByteArray options = DumpOptionText(profile);
    resultFile_ = QFileInfo(resultFile).absoluteFilePath();
    stopped_ = false;
    try {
#ifndef Q_OS_UNIX
        // The option file is created readable by this user only, and the
        // password is written into nothing else.
        options_ = reserveFile(QDir::temp().filePath(QStringLiteral("zomi-mentes-XXXXXX.cnf")));
        options_->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (options_->write(options) != options.size() || !options_->flush())
            throw FileError(QStringLiteral("A(z) %1 fájl nem írható: %2")
                                .arg(options_->fileName(), options_->errorString()));
        options_->close();
#endif
        // The tool writes beside the chosen file; an earlier backup under
        // that name is replaced only by a complete one.
        const QFileInfo result(resultFile_);
        partial_ = reserveFile(result.dir().filePath(QLatin1Char('.') + result.fileName() +
                                                     QStringLiteral(".XXXXXX")));
        partial_->close();
    } catch (...) {
        cleanUp();
        throw;
    }

    process_ = new QProcess(this);
#ifndef Q_OS_UNIX
    process_->setStandardInputFile(QProcess::nullDevice());
#endif
    process_->setStandardOutputFile(QProcess::nullDevice());
    connect(process_, &QProcess::started, this, &FullBackup::started);
    connect(process_, &QProcess::finished, this, &FullBackup::toolFinished);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) toolFailedToStart();
    });
    process_->start(tool_, DumpArguments(optionFile(), profile.adatbazis, partial_->fileName()));
#ifdef Q_OS_UNIX
    // The tool reads its options from the pipe of its standard input: the
    // password is written into no file at all.
    process_->write(options);
    process_->closeWriteChannel();
#endif
}

void FullBackup::stop() {
    if (!process_) return;
    stopped_ = true;
    process_->kill();
}

void FullBackup::toolFailedToStart() {
    report(false,
           QStringLiteral("A(z) %1 program nem indítható: %2").arg(tool_, process_->errorString()));
}

void FullBackup::toolFinished(int exitCode, QProcess::ExitStatus status) {
    const QString errors = toolError(*process_);
    if (stopped_) {
        report(false, QStringLiteral("A teljes mentés megszakadt."));
        return;
    }
    if (status != QProcess::NormalExit) {
        report(false, QStringLiteral("A(z) %1 program váratlanul leállt.\n%2").arg(tool_, errors));
        return;
    }
    if (exitCode != 0) {
        report(false, QStringLiteral(
                          "A teljes mentés nem sikerült (a(z) %1 program kilépési kódja: %2).\n%3")
                          .arg(tool_)
                          .arg(exitCode)
                          .arg(errors));
        return;
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partial_->fileName()).toStdString(),
                            QFile::encodeName(resultFile_).toStdString(), error);
    if (error) {
        report(false, QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                          .arg(resultFile_, QString::fromLocal8Bit(error.message().c_str())));
        return;
    }
    partial_->setAutoRemove(false);
    QString message = QStringLiteral("A teljes mentés elkészült: %1 (%2 bájt).")
                          .arg(QDir::toNativeSeparators(resultFile_),
                               QLocale(QLocale::Hungarian).toString(QFileInfo(resultFile_).size()));
    // Warnings of a successful run are worth reading too.
    if (!errors.isEmpty()) message += QStringLiteral("\n\n") + errors;
    report(true, message);
}

void FullBackup::report(bool succeeded, const QString& message) {
    process_->deleteLater();
    process_ = nullptr;
    cleanUp();
    emit finished(succeeded, message);
}

void FullBackup::cleanUp() {
    // Removing the files: the option file always, a partial result unless it
    // became the backup.
    options_.reset();
    partial_.reset();
}

}  // namespace zomi
