#pragma once

// Reads a data backup's script (as WriteDataScript writes it) and checks it
// whole before anything of it runs: only "TRUNCATE table;" and "INSERT
// IGNORE INTO table (columns) VALUES (…),(…);" of plain values (NULL,
// numbers, quoted texts, X'…' hexadecimal), each table's statements closed
// by an empty line. A file holding anything else (another database's name,
// USE, CREATE, DROP, routines, comments, SET) is not a data backup, and a
// file that stops inside a table's statements was cut short.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace zomi {

// The file is not a whole data backup. The message says what it seems to be.
class DataScriptError : public std::runtime_error {
  public:
    explicit DataScriptError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

struct DataStatement {
    enum class Kind { Truncate, Insert };
    Kind kind = Kind::Truncate;
    int table = 0;        // index into DataScriptContents::tables
    qsizetype begin = 0;  // the statement's bytes in the script, without ";"
    qsizetype end = 0;
    int line = 0;  // the line it begins on, from 1
};

struct DataScriptContents {
    QStringList tables;  // in the order of the file, as the server names them
    QList<DataStatement> statements;
    qint64 rows = 0;
};

// Throws DataScriptError naming the line where the file stops being a data
// backup.
DataScriptContents ReadDataScript(const QByteArray& script);

}  // namespace zomi
