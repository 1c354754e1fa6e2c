#pragma once

// The full backup: the server's own dump tool run as a process of its own
// while the window stays usable. The credentials reach the tool as an option
// file read from the pipe of its standard input (elsewhere than on Unix, a
// temporary one only the current user can read), never through its command
// line, and the result counts only when the tool says it succeeded.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

#include "db/ConnectionProfiles.h"

class QTemporaryFile;

namespace zomi {

// The tool to run: the configured path when there is one (a bare name is
// looked up on the PATH), otherwise mariadb-dump, then mysqldump, on the
// PATH; empty when none is found.
QString FindDumpTool(const QString& configured);

// The tool the full backup runs when nothing is configured: mariadb-dump, or
// mysqldump, on the PATH; empty when neither is there.
QString DefaultDumpTool();

// Why the tool must not run, in Hungarian, or empty text: it receives the
// database password, so neither the program nor its folder (nor those of
// the file a link leads to) may be changeable by anyone but root or the user.
QString DumpToolRefusal(const QString& tool);

// The configured path of the dump tool: key "MysqlDump" of section
// "frm_Adatbazis" in the user's own settings file (OwnSettingsPath), else
// key "MysqlDump" of section "Mentes" in the system-wide file
// (SystemConfigPath); empty when neither names one. Never from the settings
// file the users share, which any of them may change. A settings file that
// someone else could change is refused: FileError names it.
QString ConfiguredDumpTool();
// Into the user's own settings file, whose folder is made when missing.
// Throws SettingsError when it cannot be written, FileError when it is one
// others can change.
void StoreDumpTool(const QString& path);

// The [client] group with user, password, host and port, each value quoted
// and escaped as the option-file reader expects.
QByteArray DumpOptionText(const ConnectionProfile& profile);

// The option file comes first, as the tool requires; then complete inserts
// with column names, compression, going on after errors, the database with
// its creation statement, its stored routines, one consistent snapshot, and
// the result file.
QStringList DumpArguments(const QString& optionFile, const QString& database,
                          const QString& resultFile);

class FullBackup : public QObject {
    Q_OBJECT

  public:
    explicit FullBackup(QObject* parent = nullptr);
    // A tool still running is stopped and its traces removed.
    ~FullBackup() override;

    // Starts the tool; finished() follows. Throws FileError when no tool is
    // found or the option file cannot be written.
    void start(const QString& tool, const ConnectionProfile& profile, const QString& resultFile);
    bool isRunning() const;
    // Ends a running tool; finished() reports the backup as failed.
    void stop();

    // While the tool runs: where it reads its options and the file it writes into.
    QString optionFile() const;
    QString partialFile() const;
    qint64 processId() const;

  signals:
    void started();
    // On success the message names the file and its size; otherwise it is
    // the reason, with the tool's own error output.
    void finished(bool succeeded, const QString& message);

  private:
    void toolFinished(int exitCode, QProcess::ExitStatus status);
    void toolFailedToStart();
    void cleanUp();
    void report(bool succeeded, const QString& message);

    QProcess* process_ = nullptr;
    std::unique_ptr<QTemporaryFile> options_;
    std::unique_ptr<QTemporaryFile> partial_;
    QString tool_;
    QString resultFile_;
    bool stopped_ = false;
};

}  // namespace zomi
