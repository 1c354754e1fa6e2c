#pragma once

// The one-line database routines every window uses. Unless a routine takes a
// connection or dataset, it works on the main connection. None of them
// catches an error: a failing statement reaches the caller as DbError.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

#include "dbaccess/Connection.h"
#include "dbaccess/Dataset.h"

namespace zomi {

// A file that could not be created, written or closed.
class FileError : public std::runtime_error {
  public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

void SetMainConnection(dbaccess::Connection* connection);
dbaccess::Connection* MainConnection();  // throws DbError when none is set

void ExecSql(const QString& sql);
// Moves overdue work orders to the overdue status and back (sp_setstatusz).
// Every workstation runs it at its start, all on the same rows: a run the
// server refused as a whole (a deadlock, or a cluster node's conflict with
// another node's run) is run again, a few times at most, as every store is.
void UpdateOverdueStatuses();
int QueryInt(const QString& sql, int defaultValue);
QString QueryText(const QString& sql, const QString& defaultText);
double QueryFloat(const QString& sql, double defaultValue);
// An invalid QDateTime stands for "no date" (0).
QDateTime QueryDate(const QString& sql, const QDateTime& defaultValue);
QDateTime ServerDate();
void FillFromQuery(QStringList& list, const QString& sql);
// The server's MD5() of the text. Never for passwords: PasswordDigest
// (common/Text.h) gives the same digest without sending them anywhere.
QString ServerMd5(const QString& text);

// Reads "yyyy-mm-dd hh:nn:ss", its date part or its time part by position.
QDateTime DateTimeFromText(const QString& text);

QString RecordCounterText(const dbaccess::Dataset& dataset);

// Delimited lines of a dataset, in code page 1250 (or UTF-8 when asked).
void DataSetToLines(dbaccess::Dataset& dataset, QList<QByteArray>& lines, bool withHeader,
                    const QString& excludedFields, QChar separator, bool utf8, bool rowNumbers);

// Display formats of the floating fields by the absolute value of their tag.
void SetAmountFormats(dbaccess::Dataset& query, bool compact);

// Receives the progress of a long operation; the window decides how to show it.
struct Progress {
    std::function<void(int)> setMaximum;
    std::function<void(int)> setPosition;
};

}  // namespace zomi
