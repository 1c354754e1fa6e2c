#include "dbaccess/Connection.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>
#include <poll.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <cctype>
#include <cstring>
#include <mutex>

#include "common/Codepage.h"
#include "dbaccess/SessionPin.h"
#include "dbaccess/TlsPolicy.h"

namespace zomi::dbaccess {

namespace {

// Errors meaning the server ended the session before it read our statement.
bool sessionEndedBeforeStatement(unsigned code) {
    return code == CR_SERVER_GONE_ERROR || code == ER_SERVER_SHUTDOWN ||
           code == 1927 /* ER_CONNECTION_KILLED */ ||
           code == 4031 /* ER_CLIENT_INTERACTION_TIMEOUT */;
}

// A cluster node that is not in step with the others (joining, giving a copy,
// or cut off from the majority) refuses every statement before running it:
// a new session through the proxy reaches one that is.
bool nodeNotReady(unsigned code) { return code == 1047 /* ER_UNKNOWN_COM_ERROR */; }

bool sessionLost(unsigned code) {
    return sessionEndedBeforeStatement(code) || code == CR_SERVER_LOST;
}

// A new session could not be made, or was lost while it was being made.
bool serverUnreachable(unsigned code) {
    return sessionLost(code) || code == CR_CONNECTION_ERROR || code == CR_CONN_HOST_ERROR ||
           code == CR_UNKNOWN_HOST;
}

// Skips blanks and the comments the server ignores; an executable comment
// ("/*!") is a statement part and ends the skipping.
qsizetype skipBlanksAndComments(const QByteArray& sql, qsizetype i) {
    const qsizetype n = sql.size();
    while (i < n) {
        const char c = sql.at(i);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '#' || (c == '-' && sql.mid(i, 3) == "-- ")) {
            const qsizetype end = sql.indexOf('\n', i);
            i = end < 0 ? n : end + 1;
        } else if (c == '/' && sql.mid(i, 2) == "/*" && sql.mid(i, 3) != "/*!") {
            const qsizetype end = sql.indexOf("*/", i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    return i;
}

// The session is latin2, but what travels through it are the code-page-1250
// bytes of the application's texts, as the other clients of the same
// databases send theirs: a "–" or a "„" is stored as its code-page-1250 byte.
QByteArray sessionBytes(const QString& text) {
    try {
        return ToCp1250(text);
    } catch (const EncodingError& e) {
        throw DbError(
            DbError::kEncoding,
            QStringLiteral("A(z) %1 karakter nem tárolható az adatbázisban.").arg(e.character()));
    }
}

// The compressed protocol has zlib take and free about a quarter megabyte of
// work space for every packet. glibc gives freed memory at the top of its heap
// back to the system beyond 128 KB, so every statement of a long script paid
// for faulting those pages in again (more than the compression itself); with
// a few megabytes of slack the space stays for the next packet.
void keepCompressionWorkspace() {
#ifdef __GLIBC__
    static const int once = mallopt(M_TRIM_THRESHOLD, 8 << 20);
    (void)once;
#endif
}

// TLS whenever the server offers it; with the installation's requirement, no
// session without it, and only with a server whose certificate is trusted.
void applyTlsPolicy(MYSQL* mysql) {
    const TlsPolicy policy = InstallationTlsPolicy();
    const QByteArray ca = QFile::encodeName(policy.caFile);
    mysql_ssl_set(mysql, nullptr, nullptr, ca.isEmpty() ? nullptr : ca.constData(), nullptr,
                  nullptr);
    if (!policy.required) return;
    const my_bool on = 1;
    mysql_optionsv(mysql, MYSQL_OPT_SSL_ENFORCE, &on);
    mysql_optionsv(mysql, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &on);
}

}  // namespace

bool IsReadOnlyStatement(const QByteArray& sql) {
    const qsizetype start = skipBlanksAndComments(sql, 0);
    qsizetype end = start;
    while (end < sql.size() && std::isalpha(static_cast<unsigned char>(sql.at(end)))) ++end;
    const QByteArray word = sql.mid(start, end - start).toUpper();
    if (word == "SHOW" || word == "DESCRIBE" || word == "DESC" || word == "EXPLAIN") return true;
    if (word != "SELECT") return false;
    // SELECT … INTO fills variables or a file: it leaves something behind.
    static const QRegularExpression into(QStringLiteral("\\bINTO\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return !into.match(QString::fromLatin1(sql)).hasMatch();
}

const char* const Connection::kSessionSetUp = "SET NAMES 'latin2' COLLATE 'latin2_hungarian_ci'";

// Strict mode: a server set up without it (as hosted servers often are) would
// store an over-long text cut short, or a wrong number as zero, with only a
// warning nobody reads; strict, it refuses the statement and the user is told.
// Quoting escapes with backslashes; a server that treats them as plain
// characters would store every escaped backslash twice.
#define ZOMI_SESSION_MODE                                                                \
    "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(CONCAT(',', @@SESSION.sql_mode, " \
    "',STRICT_TRANS_TABLES,'), ',NO_BACKSLASH_ESCAPES,', ','))"

const char* const Connection::kSessionMode = ZOMI_SESSION_MODE;

const char* const Connection::kClusterSessionMode =
    ZOMI_SESSION_MODE ", SESSION wsrep_sync_wait = IF(@@GLOBAL.wsrep_on, 15, 0)";

#undef ZOMI_SESSION_MODE

QByteArray EncodeSql(const QString& sql) { return sessionBytes(sql); }

namespace {

// The connections whose sessions are pinned (SessionPin), on any thread.
std::mutex& pinsMutex() {
    static std::mutex mutex;
    return mutex;
}
QHash<const Connection*, int>& pins() {
    static QHash<const Connection*, int> pinned;
    return pinned;
}

}  // namespace

bool IsPinned(const Connection* connection) {
    const std::lock_guard<std::mutex> lock(pinsMutex());
    return pins().value(connection) > 0;
}

SessionPin::SessionPin(Connection& connection) : connection_(connection) {
    const std::lock_guard<std::mutex> lock(pinsMutex());
    ++pins()[&connection_];
}

SessionPin::~SessionPin() {
    const std::lock_guard<std::mutex> lock(pinsMutex());
    if (--pins()[&connection_] <= 0) pins().remove(&connection_);
}

Connection::Connection(QObject* parent) : QObject(parent) {}

Connection::~Connection() { close(); }

void Connection::fail(st_mysql* mysql) const {
    // Whatever failed, a session the server has dropped is not used again.
    if (mysql == mysql_ && sessionLost(mysql_errno(mysql))) broken_ = true;
    throw DbError(mysql_errno(mysql), FromCp1250(QByteArray(mysql_error(mysql))),
                  QString::fromLatin1(mysql_sqlstate(mysql)));
}

st_mysql* Connection::connectNew() const {
    MYSQL* mysql = mysql_init(nullptr);
    if (!mysql) throw DbError(CR_OUT_OF_MEMORY, QStringLiteral("Out of memory"));
    const unsigned timeout = static_cast<unsigned>(params_.connectTimeoutSeconds);
    mysql_optionsv(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    if (params_.compress) {
        keepCompressionWorkspace();
        mysql_optionsv(mysql, MYSQL_OPT_COMPRESS, nullptr);
    }
    const my_bool off = 0;
    mysql_optionsv(mysql, MYSQL_OPT_RECONNECT, &off);
    if (params_.setUpSession) mysql_optionsv(mysql, MYSQL_SET_CHARSET_NAME, "latin2");
    applyTlsPolicy(mysql);

    const QByteArray host = sessionBytes(params_.host);
    const QByteArray user = sessionBytes(params_.user);
    const QByteArray password = sessionBytes(params_.password);
    const QByteArray database = sessionBytes(params_.database);
    // Found rows, not changed rows: an UPDATE that matched its row but
    // changed nothing must not look like a row someone else removed.
    const unsigned long flags = CLIENT_FOUND_ROWS | CLIENT_MULTI_RESULTS;
    if (!mysql_real_connect(mysql, host.constData(), user.constData(), password.constData(),
                            database.isEmpty() ? nullptr : database.constData(), params_.port,
                            nullptr, flags)) {
        try {
            fail(mysql);
        } catch (...) {
            mysql_close(mysql);
            throw;
        }
    }
    if (params_.setUpSession) {
        try {
            setUpSession(mysql);
        } catch (...) {
            mysql_close(mysql);
            throw;
        }
    }
    return mysql;
}

void Connection::setUpSession(st_mysql* mysql) const {
    if (mysql_query(mysql, kSessionSetUp) != 0) fail(mysql);
    // On a node of a MariaDB Galera cluster every statement first waits until
    // the node has applied what the others committed before it: the next
    // serial number, the lost-update check and the list after a save must see
    // a write made through another node. In the same round trip as the mode;
    // a server that knows no such setting gets the mode alone.
    const char* version = mysql_get_server_info(mysql);
    if (version && std::strstr(version, "MariaDB") && mysql_query(mysql, kClusterSessionMode) == 0)
        return;
    if (mysql_query(mysql, kSessionMode) != 0) fail(mysql);
}

void Connection::open() {
    close();
    mysql_ = connectNew();
    broken_ = false;
}

void Connection::close() {
    if (mysql_) {
        mysql_close(mysql_);
        mysql_ = nullptr;
    }
    broken_ = false;
}

unsigned long Connection::threadId() const { return mysql_ ? mysql_thread_id(mysql_) : 0; }

QString Connection::tlsCipher() const {
    const char* cipher = mysql_ ? mysql_get_ssl_cipher(mysql_) : nullptr;
    return cipher ? QString::fromLatin1(cipher) : QString();
}

int Connection::socketDescriptor() const {
    return mysql_ ? static_cast<int>(mysql_get_socket(mysql_)) : -1;
}

QString Connection::serverVersion() const {
    return mysql_ ? QString::fromLatin1(mysql_get_server_info(mysql_)) : QString();
}

bool Connection::peerHasHungUp() const {
    // An idle session has nothing to read. Anything readable now is the
    // server's goodbye (a kill notice, a time-out notice or the closed socket).
    const int fd = static_cast<int>(mysql_get_socket(mysql_));
    if (fd < 0) return true;
    pollfd p{fd, static_cast<short>(POLLIN | POLLRDHUP), 0};
    const int ready = ::poll(&p, 1, 0);
    return ready > 0 && (p.revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void Connection::reconnect() {
    MYSQL* fresh = nullptr;
    try {
        fresh = connectNew();
    } catch (const DbError& e) {
        if (!serverUnreachable(e.code())) throw;
        // Down for a restart or out of reach: the session stays marked lost,
        // so the next action tries again; the windows keep what was typed.
        throw DbError(e.code(),
                      QStringLiteral("A kiszolgáló most nem érhető el, ezért a kapcsolat nem "
                                     "állítható helyre. A beírt adatok megmaradnak: kérem, "
                                     "próbálja újra, amikor a kiszolgáló ismét elérhető.\n%1")
                          .arg(e.message()),
                      e.sqlState());
    }
    if (mysql_) mysql_close(mysql_);
    mysql_ = fresh;
    broken_ = false;
    abandoned_ = false;
    emit reconnected();
}

void Connection::ensureAlive() {
    if (!mysql_)
        throw DbError(CR_SERVER_GONE_ERROR, QStringLiteral("A kapcsolat nincs megnyitva."));
    if (!broken_ && !peerHasHungUp()) return;
    if (IsPinned(this)) {
        broken_ = true;
        throw DbError(CR_SERVER_LOST, QStringLiteral("A kapcsolat a kiszolgálóval megszakadt."));
    }
    reconnect();
}

void Connection::send(const QByteArray& sql) {
    ensureAlive();
    if (mysql_real_query(mysql_, sql.constData(), static_cast<unsigned long>(sql.size())) == 0)
        return;
    const unsigned code = mysql_errno(mysql_);
    const bool refusedUnready = nodeNotReady(code);
    if ((!sessionLost(code) && !refusedUnready) || IsPinned(this) || abandoned_.exchange(false))
        fail(mysql_);
    // The answer was lost: a read is asked again on a new session, since it
    // changed nothing; a write may have run, so it is reported and never
    // repeated, and the next statement starts on a new session. A statement
    // an unready node refused never ran and goes to the new session.
    if (!refusedUnready && !sessionEndedBeforeStatement(code) && !IsReadOnlyStatement(sql))
        failAnswerLost();
    reconnect();
    if (mysql_real_query(mysql_, sql.constData(), static_cast<unsigned long>(sql.size())) != 0) {
        fail(mysql_);
    }
}

void Connection::drainResults() {
    for (;;) {
        if (MYSQL_RES* res = mysql_store_result(mysql_)) {
            mysql_free_result(res);
        } else if (mysql_field_count(mysql_) != 0) {
            fail(mysql_);
        } else {
            affectedRows_ = mysql_affected_rows(mysql_);
            lastInsertId_ = mysql_insert_id(mysql_);
        }
        const int next = mysql_next_result(mysql_);
        if (next > 0) fail(mysql_);
        if (next < 0) return;
    }
}

void Connection::exec(const QString& sql) { execEncoded(sessionBytes(sql)); }

bool Connection::inTransaction() const {
    unsigned int status = 0;
    if (!mysql_ || mariadb_get_infov(mysql_, MARIADB_CONNECTION_SERVER_STATUS, &status) != 0)
        return false;
    return (status & SERVER_STATUS_IN_TRANS) != 0;
}

DbError Connection::valueChangeWarning() {
    if (mysql_warning_count(mysql_) == 0) return DbError(0, QString());
    // Notes are mostly harmless (a table that did not exist); these few say
    // a value was cut, rounded or replaced.
    static const QSet<unsigned> changedValue{ER_WARN_DATA_OUT_OF_RANGE, WARN_DATA_TRUNCATED,
                                             ER_TRUNCATED_WRONG_VALUE,
                                             ER_TRUNCATED_WRONG_VALUE_FOR_FIELD, ER_DATA_TOO_LONG};
    const ResultSetPtr warnings = query(QStringLiteral("SHOW WARNINGS"));
    for (int i = 0; warnings && i < warnings->rowCount(); ++i) {
        const RowRef row = warnings->row(i);
        if (!row.cell(0) || !row.cell(1) || !row.cell(2)) continue;
        const unsigned code = QByteArray(row.cell(1)).toUInt();
        if (qstrcmp(row.cell(0), "Note") == 0 && !changedValue.contains(code)) continue;
        return DbError(code, FromCp1250(QByteArray(row.cell(2))));
    }
    return DbError(0, QString());
}

void Connection::store(const QString& sql) {
    // Refused as a whole in a transaction of its own (a deadlock, or on a
    // cluster a node that certified another workstation's change of the
    // same row first): nothing was stored, so it runs again from its
    // beginning, a few times at most. The write's own conditions (a row's
    // old values, a unique key) then see the other change. Inside a
    // transaction of the caller the refusal undid that transaction too.
    constexpr unsigned kDeadlock = 1213;
    constexpr int kMaxRuns = 5;
    const bool ownTransaction = !inTransaction();
    for (int run = 1;; ++run) {
        try {
            storeWhole(sql);
            return;
        } catch (const DbError& e) {
            if (e.code() != kDeadlock || !ownTransaction || run == kMaxRuns) throw;
        }
    }
}

void Connection::storeWhole(const QString& sql) {
    // A session lost before the write's COMMIT reached the server (during
    // the write or after it) took the write with it: nothing is stored, so
    // the whole store runs once more on the new session, as its only
    // attempt there.
    if (storeOnce(sql) || storeOnce(sql)) return;
    broken_ = true;
    throw DbError(CR_SERVER_LOST,
                  QStringLiteral("Megszakadt a kapcsolat a kiszolgálóval, mielőtt a változtatás "
                                 "véglegesült, ezért az nem tárolódott. A beírt adatok "
                                 "megmaradnak: kérem, próbálja újra."));
}

bool Connection::storeOnce(const QString& sql) {
    const bool ownTransaction = !inTransaction();
    exec(ownTransaction ? QStringLiteral("START TRANSACTION")
                        : QStringLiteral("SAVEPOINT zomi_store"));
    const QString undo = ownTransaction ? QStringLiteral("ROLLBACK")
                                        : QStringLiteral("ROLLBACK TO SAVEPOINT zomi_store");
    ReconnectWatch watch(*this);
    try {
        exec(sql);
    } catch (const DbError& error) {
        // The session was lost while the write ran in this store's own
        // transaction (a server or cluster node that died under it): the
        // server undoes what has no COMMIT, so nothing is stored yet.
        if (ownTransaction && broken_ && !watch.happened() && error.code() == CR_SERVER_LOST)
            return false;
        // A lost session took the transaction with it; otherwise it is ended
        // here, so that the refused write leaves nothing open behind it.
        if (!broken_ && !watch.happened() && ownTransaction) {
            try {
                exec(undo);
            } catch (const DbError&) {
                // The refusal is what the user must read; a new session for
                // the next statement ends the transaction on the server.
                broken_ = true;
            }
        }
        throw;
    }
    const quint64 affected = affectedRows_;
    const quint64 insertId = lastInsertId_;
    // The write waits for the COMMIT in this session; a new one would
    // commit nothing.
    const bool awaitsCommit = ownTransaction && !watch.happened();
    const DbError changed = valueChangeWarning();
    if (changed.code() != 0) {
        if (!watch.happened()) {
            exec(undo);
            throw changed;
        }
        // A new session ran the write on its own, outside the transaction:
        // it is stored, and the user must hear that it was stored changed.
        throw DbError(DbError::kStoredChanged,
                      QStringLiteral("A sor tárolódott, de a kiszolgáló megváltoztatta a beírt "
                                     "értéket; a lista frissítése (F5) megmutatja, mi került "
                                     "az adatbázisba.\n%1")
                          .arg(changed.message()));
    }
    if (ownTransaction) exec(QStringLiteral("COMMIT"));
    if (awaitsCommit && watch.happened()) return false;
    affectedRows_ = affected;
    lastInsertId_ = insertId;
    return true;
}

void Connection::execEncoded(const QByteArray& sql) {
    send(sql);
    drainResults();
}

ResultSetPtr Connection::query(const QString& sql) {
    const QByteArray bytes = sessionBytes(sql);
    send(bytes);
    MYSQL_RES* res = mysql_store_result(mysql_);
    if (!res) {
        if (mysql_field_count(mysql_) != 0) fail(mysql_);
        // A statement without rows: give an empty result with no fields.
        affectedRows_ = mysql_affected_rows(mysql_);
        lastInsertId_ = mysql_insert_id(mysql_);
        drainResults();
        return nullptr;
    }
    auto result = std::make_shared<const ResultSet>(res);
    // A procedure call leaves a status result behind; the session must be clear.
    while (mysql_more_results(mysql_)) {
        const int next = mysql_next_result(mysql_);
        if (next > 0) fail(mysql_);
        if (next < 0) break;
        if (MYSQL_RES* extra = mysql_store_result(mysql_)) mysql_free_result(extra);
    }
    return result;
}

ScalarValue Connection::scalar(const QString& sql) {
    ScalarValue value;
    const ResultSetPtr result = query(sql);
    if (!result || result->rowCount() == 0 || result->fields().empty()) return value;
    const RowRef row = result->row(0);
    value.hasRow = true;
    value.isNull = row.cell(0) == nullptr;
    if (!value.isNull) value.text = FromCp1250(row.cell(0), static_cast<qsizetype>(row.length(0)));
    return value;
}

void Connection::streamQuery(const QString& sql,
                             const std::function<void(const std::vector<Field>&)>& onFields,
                             const std::function<void(const StreamedRow&)>& onRow) {
    send(sessionBytes(sql));
    MYSQL_RES* res = mysql_use_result(mysql_);
    if (!res) {
        if (mysql_field_count(mysql_) != 0) fail(mysql_);
        drainResults();
        onFields({});
        return;
    }
    struct Release {
        MYSQL_RES* result;
        ~Release() { mysql_free_result(result); }
    } release{res};
    onFields(ResultSet::describeFields(res));
    while (MYSQL_ROW cells = mysql_fetch_row(res))
        onRow(StreamedRow{cells, mysql_fetch_lengths(res)});
    // The end of the rows and a session lost among them look alike but for the error.
    if (mysql_errno(mysql_) != 0) fail(mysql_);
}

QStringList Connection::baseTables() {
    QStringList tables;
    const ResultSetPtr result =
        query(QStringLiteral("SHOW FULL TABLES WHERE Table_type = 'BASE TABLE'"));
    if (!result) return tables;
    for (int i = 0; i < result->rowCount(); ++i) {
        const RowRef row = result->row(i);
        tables << FromCp1250(row.cell(0), static_cast<qsizetype>(row.length(0)));
    }
    return tables;
}

ReconnectWatch::ReconnectWatch(Connection& connection) {
    link_ = QObject::connect(&connection, &Connection::reconnected, [this] { happened_ = true; });
}

ReconnectWatch::~ReconnectWatch() { QObject::disconnect(link_); }

void Connection::failAnswerLost() const {
    broken_ = true;
    throw DbError(CR_SERVER_LOST,
                  QStringLiteral("Megszakadt a kapcsolat a kiszolgálóval, mielőtt a válasza "
                                 "megérkezett: a változtatás vagy tárolódott, vagy nem. A lista "
                                 "frissítése (F5) megmutatja, melyik történt.\n%1")
                      .arg(FromCp1250(QByteArray(mysql_error(mysql_)))),
                  QString::fromLatin1(mysql_sqlstate(mysql_)));
}

DbError::DbError(unsigned code, const QString& message, const QString& sqlState)
    : std::runtime_error(message.toStdString()),
      code_(code),
      message_(message),
      sqlState_(sqlState) {}

}  // namespace zomi::dbaccess
