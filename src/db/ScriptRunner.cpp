#include "db/ScriptRunner.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>

#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "common/Folders.h"
#include "common/Text.h"
#include "db/SqlScript.h"
#include "dbaccess/ResultSet.h"

namespace zomi {

using dbaccess::Connection;
using dbaccess::DbError;

namespace {

// The session values a script may change and the program relies on. The
// collation comes after the connection character set, which it also sets.
struct SessionVariable {
    const char* name;
    bool numeric;
};
constexpr SessionVariable kSessionVariables[] = {
    {"character_set_client", false},
    {"character_set_results", false},
    {"character_set_connection", false},
    {"collation_connection", false},
    {"sql_mode", false},
    {"time_zone", false},
    {"autocommit", true},
    {"foreign_key_checks", true},
    {"unique_checks", true},
};
constexpr int kVariableCount = static_cast<int>(std::size(kSessionVariables));

// The session's character set decides how statement text goes on the wire.
class SessionEncoding {
  public:
    explicit SessionEncoding(const QString& charset) { set(charset); }

    void set(const QString& charset) {
        const QString name = charset.toLower();
        // A latin2 session carries the code-page-1250 bytes of the
        // application's texts, as every client of these databases sends them.
        if (name == QLatin1String("latin2") || name == QLatin1String("cp1250"))
            kind_ = Kind::Cp1250;
        else if (name.startsWith(QLatin1String("utf8")) || name == QLatin1String("binary"))
            kind_ = Kind::Utf8;
        else if (name == QLatin1String("latin1") || name == QLatin1String("ascii"))
            kind_ = Kind::Latin1;
        else
            kind_ = Kind::Unsupported;
        name_ = name;
    }

    // A statement of the script, as the session expects it.
    QByteArray convert(const QByteArray& statement, ScriptEncoding source) const {
        if (source == ScriptEncoding::SessionBytes) return statement;
        if (source == ScriptEncoding::Utf8 && kind_ == Kind::Utf8) return statement;
        if (source == ScriptEncoding::Cp1250 && kind_ == Kind::Cp1250) return statement;
        return encode(source == ScriptEncoding::Utf8 ? QString::fromUtf8(statement)
                                                     : FromCp1250(statement));
    }

    QByteArray encode(const QString& text) const {
        try {
            switch (kind_) {
                case Kind::Cp1250:
                    return ToCp1250(text);
                case Kind::Utf8:
                    return text.toUtf8();
                case Kind::Latin1:
                    return latin1(text);
                case Kind::Unsupported:
                    break;
            }
        } catch (const EncodingError& e) {
            throw DbError(DbError::kEncoding, e.message());
        }
        throw DbError(
            DbError::kEncoding,
            QStringLiteral("A munkamenet %1 karakterkészletén a program nem tud utasítást küldeni.")
                .arg(name_));
    }

    // The connection reads the server's messages as code page 1250, which
    // keeps every byte; a UTF-8 session's message is read again from those bytes.
    QString message(const DbError& error) const {
        if (kind_ != Kind::Utf8 || !FitsCp1250(error.message())) return error.message();
        return QString::fromUtf8(ToCp1250(error.message()));
    }

  private:
    enum class Kind { Cp1250, Utf8, Latin1, Unsupported };

    static QByteArray latin1(const QString& text) {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text.at(i).unicode() > 0xFF)
                throw EncodingError(
                    QStringLiteral(
                        "A(z) \"%1\" karakter nem küldhető a munkamenet karakterkészletén.")
                        .arg(text.at(i)));
        return text.toLatin1();
    }

    Kind kind_ = Kind::Cp1250;
    QString name_;
};

QString cellText(const dbaccess::RowRef& row, int column, bool* isNull = nullptr) {
    const char* cell = row.cell(column);
    if (isNull) *isNull = cell == nullptr;
    return cell ? FromCp1250(cell, static_cast<qsizetype>(row.length(column))) : QString();
}

// The session as the program set it up, read before a run and put back after it.
class SessionSnapshot {
  public:
    explicit SessionSnapshot(Connection& connection) : connection_(connection) {
        QStringList columns;
        for (const SessionVariable& v : kSessionVariables)
            columns << QStringLiteral("@@SESSION.") + QLatin1String(v.name);
        columns << QStringLiteral("DATABASE()");
        const dbaccess::ResultSetPtr result =
            connection.query(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")));
        const dbaccess::RowRef row = result->row(0);
        for (int i = 0; i < kVariableCount; ++i) values_ << cellText(row, i, &nulls_[i]);
        database_ = cellText(row, kVariableCount, &noDatabase_);
    }

    const QString& characterSet() const { return values_.at(0); }
    const QString& sqlMode() const { return values_.at(4); }

    void restore(const SessionEncoding& current) {
        // Table locks would keep the register from every other table; taken
        // first, since unlocking never needs the character set.
        connection_.execEncoded(current.encode(QStringLiteral("UNLOCK TABLES")));
        QStringList assignments;
        for (int i = 0; i < kVariableCount; ++i) {
            const SessionVariable& v = kSessionVariables[i];
            const QString value = nulls_[i]   ? QStringLiteral("NULL")
                                  : v.numeric ? values_.at(i)
                                              : SqlQuote(values_.at(i));
            assignments << QLatin1String(v.name) + QStringLiteral(" = ") + value;
        }
        connection_.execEncoded(current.encode(QStringLiteral("SET SESSION ") +
                                               assignments.join(QStringLiteral(", "))));
        if (!noDatabase_) {
            const SessionEncoding original(characterSet());
            QString name = database_;
            name.replace(QLatin1Char('`'), QStringLiteral("``"));
            connection_.execEncoded(
                original.encode(QStringLiteral("USE `") + name + QLatin1Char('`')));
        }
    }

  private:
    Connection& connection_;
    QStringList values_;
    bool nulls_[kVariableCount] = {};
    QString database_;
    bool noDatabase_ = true;
};

// SET statements (also inside a conditional comment) that may change the
// character set the server expects.
bool mayChangeCharacterSet(const QByteArray& statement) {
    static const QRegularExpression set(QStringLiteral("^(/\\*M?!\\d*\\s*)?SET\\s"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (!set.match(QString::fromLatin1(statement.left(24))).hasMatch()) return false;
    const QByteArray upper = statement.toUpper();
    return upper.contains("NAMES") || upper.contains("CHARACTER");
}

QString sessionCharacterSet(Connection& connection) {
    return connection.scalar(QStringLiteral("SELECT @@SESSION.character_set_client")).text;
}

void failWith(ScriptResult& result, int line, unsigned code, const QString& message) {
    result.outcome = ScriptResult::Outcome::Failed;
    result.line = line;
    result.errorCode = code;
    result.errorMessage = message;
}

// How a session with this SQL mode reads quotes ("ANSI" shows as its parts).
SqlQuoting quotingOf(const QString& sqlMode) {
    const QStringList flags = sqlMode.toUpper().split(QLatin1Char(','));
    SqlQuoting quoting;
    quoting.backslashEscapes = !flags.contains(QLatin1String("NO_BACKSLASH_ESCAPES"));
    quoting.ansiQuotes = flags.contains(QLatin1String("ANSI_QUOTES"));
    return quoting;
}

SqlQuoting sessionQuoting(Connection& connection) {
    return quotingOf(connection.scalar(QStringLiteral("SELECT @@SESSION.sql_mode")).text);
}

// Cuts the script on a thread of its own, a few statements ahead, while the
// server runs those already cut: a long restore waits for the server alone.
// After a statement that may change the session's SQL mode the cut waits
// until the server has run it and said how the session now reads quotes, as
// the stock client cuts what follows by the session's mode of that moment.
class StatementFeed {
  public:
    explicit StatementFeed(SqlScript& script) : script_(script), worker_([this] { produce(); }) {}

    ~StatementFeed() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            cancelled_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }

    // The next statement in order; false at the end. Throws SqlScriptError
    // where the script has a line the cut could not make sense of.
    bool next(SqlStatement& statement) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !queue_.empty() || finished_; });
        if (queue_.empty()) {
            if (error_) std::rethrow_exception(error_);
            return false;
        }
        statement = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        changed_.notify_all();
        return true;
    }

    // After the server has run a statement that may change the session's
    // quoting: how the session reads quotes now.
    void ran(SqlQuoting quoting) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quoting_ = quoting;
            awaitingQuoting_ = false;
        }
        changed_.notify_all();
    }

  private:
    static constexpr size_t kAhead = 32;

    void produce() {
        try {
            SqlStatement statement;
            while (script_.next(statement)) {
                const bool decidesQuoting = MayChangeQuoting(statement.text);
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return queue_.size() < kAhead || cancelled_; });
                if (cancelled_) return;
                queue_.push_back(std::move(statement));
                awaitingQuoting_ = decidesQuoting;
                lock.unlock();
                changed_.notify_all();
                if (decidesQuoting && !awaitQuoting()) return;
            }
        } catch (const SqlScriptError&) {
            const std::lock_guard<std::mutex> lock(mutex_);
            error_ = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        changed_.notify_all();
    }

    // False when the run ended first.
    bool awaitQuoting() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !awaitingQuoting_ || cancelled_; });
        if (cancelled_) return false;
        script_.setQuoting(quoting_);
        return true;
    }

    SqlScript& script_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<SqlStatement> queue_;
    std::exception_ptr error_;
    SqlQuoting quoting_;
    bool awaitingQuoting_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    std::thread worker_;  // last: it starts once everything above is ready
};

void runStatements(Connection& connection, SqlScript& script, ScriptEncoding source,
                   SessionEncoding& encoding, const ScriptControl& control, ScriptResult& result) {
    // A reconnection during a run leaves the script on a fresh session that
    // knows nothing of what the script had set: the run cannot go on safely.
    dbaccess::ReconnectWatch reconnect(connection);
    StatementFeed feed(script);
    SqlStatement statement;
    for (;;) {
        try {
            if (!feed.next(statement)) return;
        } catch (const SqlScriptError& e) {
            failWith(result, e.line(), 0, e.message());
            return;
        }
        if (control.stopRequested && control.stopRequested()) {
            result.outcome = ScriptResult::Outcome::Stopped;
            result.line = statement.line;
            return;
        }
        try {
            connection.execEncoded(encoding.convert(statement.text, source));
            ++result.statements;
            if (MayChangeQuoting(statement.text)) feed.ran(sessionQuoting(connection));
            if (mayChangeCharacterSet(statement.text))
                encoding.set(sessionCharacterSet(connection));
        } catch (const DbError& e) {
            failWith(result, statement.line, e.code(), encoding.message(e));
            return;
        }
        if (reconnect.happened()) {
            failWith(
                result, statement.line, DbError::kState,
                QStringLiteral("A kapcsolat megszakadt és újra felépült; a szkript beállításai "
                               "elvesztek, ezért a futtatás a(z) %1. sornál megállt.")
                    .arg(statement.endLine));
            return;
        }
        if (control.progress.setPosition) control.progress.setPosition(statement.endLine);
    }
}

}  // namespace

ScriptResult RunScript(Connection& connection, const QString& text, const ScriptControl& control) {
    return RunScript(connection, text.toUtf8(), ScriptEncoding::Utf8, control);
}

ScriptResult RunScript(Connection& connection, const QByteArray& bytes, ScriptEncoding encoding,
                       const ScriptControl& control) {
    const bool bom = encoding == ScriptEncoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF");
    SessionSnapshot session(connection);
    SqlScript script(bom ? bytes.mid(3) : bytes, quotingOf(session.sqlMode()));
    if (control.progress.setMaximum) control.progress.setMaximum(script.lineCount());
    if (control.progress.setPosition) control.progress.setPosition(0);

    SessionEncoding sessionEncoding(session.characterSet());
    ScriptResult result;
    try {
        runStatements(connection, script, encoding, sessionEncoding, control, result);
    } catch (...) {
        session.restore(sessionEncoding);
        throw;
    }
    session.restore(sessionEncoding);
    return result;
}

ScriptResult RunScriptFile(Connection& connection, const QString& fileName,
                           const ScriptControl& control) {
    const QByteArray bytes = ReadScriptFile(fileName);
    return RunScript(connection, bytes, ScriptEncodingOf(bytes), control);
}

ScriptEncoding ScriptEncodingOf(const QByteArray& bytes) {
    return bytes.isValidUtf8() ? ScriptEncoding::Utf8 : ScriptEncoding::Cp1250;
}

QString DecodeScriptText(const QByteArray& bytes) {
    if (ScriptEncodingOf(bytes) == ScriptEncoding::Cp1250) return FromCp1250(bytes);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

QByteArray ReadScriptFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("A(z) %1 fájl nem nyitható meg: %2").arg(fileName, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(
            QStringLiteral("Hiba a(z) %1 fájl olvasásakor: %2").arg(fileName, file.errorString()));
    return bytes;
}

ScriptEncoding WriteScriptFile(const QString& fileName, const QString& text,
                               ScriptEncoding encoding) {
    if (encoding == ScriptEncoding::Cp1250 && !FitsCp1250(text)) encoding = ScriptEncoding::Utf8;
    const QByteArray bytes = encoding == ScriptEncoding::Cp1250 ? ToCp1250(text) : text.toUtf8();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("Hiba a(z) %1 fájl írásakor: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    ShareLikeItsFolder(fileName);
    return encoding;
}

}  // namespace zomi
