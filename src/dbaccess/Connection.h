#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

#include "dbaccess/DbError.h"
#include "dbaccess/ResultSet.h"

struct st_mysql;

namespace zomi::dbaccess {

struct ConnectionParams {
    QString host = QStringLiteral("127.0.0.1");
    unsigned port = 3306;
    QString user;
    QString password;
    QString database;
    int connectTimeoutSeconds = 30;
    bool compress = true;
    // Working connections speak latin2 with Hungarian collation; the
    // connections that only test a profile leave the server's defaults.
    bool setUpSession = true;
};

// The first value of a query, as the scalar routines need it.
struct ScalarValue {
    bool hasRow = false;
    bool isNull = false;
    QString text;
};

// A row as the client library hands it out while a result streams in: a
// pointer per cell (nullptr for NULL) and its length, valid during one call.
struct StreamedRow {
    const char* const* cells = nullptr;
    const unsigned long* lengths = nullptr;
};

// One MySQL/MariaDB session. Lost sessions are re-established here rather
// than by the client library, whose own reconnect resets the collation.
// A statement is sent again after a reconnection only when it certainly
// never reached the server; one whose answer was lost is reported instead.
class Connection : public QObject {
    Q_OBJECT

  public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    static const char* const kSessionSetUp;
    static const char* const kSessionMode;
    // The same with a cluster node's wait for what other nodes committed.
    static const char* const kClusterSessionMode;

    void setParams(const ConnectionParams& params) { params_ = params; }
    const ConnectionParams& params() const { return params_; }

    void open();
    void close();
    bool isOpen() const { return mysql_ != nullptr; }

    // Runs statements that return no rows; any result sets are discarded.
    void exec(const QString& sql);
    // The same for a statement already encoded for the session, for scripts
    // that change the session's character set.
    void execEncoded(const QByteArray& sql);
    // Runs a write that must store its values exactly as given: in a
    // transaction of its own (or a savepoint of the one already open), undone
    // and refused when the server says it changed a value on the way, as a
    // session whose strict mode was switched off does. The refusal carries
    // the server's warning. A session lost between the two runs the write on
    // its own; changed then, it is reported as stored changed
    // (kStoredChanged). A session lost during the write or between it and
    // its COMMIT runs the whole store again on the new session, once. A
    // store the server refused as a whole (a deadlock or a cluster's
    // certification conflict, 1213) runs again, a few times. Affected rows
    // and the insert id are the write's.
    void store(const QString& sql);
    // Runs a query and keeps its whole result.
    ResultSetPtr query(const QString& sql);
    ScalarValue scalar(const QString& sql);
    // Runs a query and hands its rows to onRow one at a time as they arrive,
    // keeping none, for results larger than memory should hold; a row's
    // cells are valid only during the call. onFields comes first. Nothing
    // else may run on the connection meanwhile. When a handler throws, the
    // rest of the rows are read and dropped so that the session goes on.
    void streamQuery(const QString& sql,
                     const std::function<void(const std::vector<Field>&)>& onFields,
                     const std::function<void(const StreamedRow&)>& onRow);
    QStringList baseTables();

    quint64 lastInsertId() const { return lastInsertId_; }
    // With found-rows counting: the rows an UPDATE matched, changed or not.
    quint64 affectedRows() const { return affectedRows_; }
    unsigned long threadId() const;
    // The session's socket, -1 when closed: another thread may shut it down
    // to end a statement that is no longer wanted.
    int socketDescriptor() const;
    // Said by that other thread before it shuts the socket down: the
    // statement it ends is then reported lost, not sent again on a new
    // session as a read whose answer was lost would be.
    void markAbandoned() { abandoned_ = true; }
    QString serverVersion() const;
    // The session's TLS cipher; empty when it travels in the clear.
    QString tlsCipher() const;

  signals:
    // A lost session was replaced by a new one (already set up).
    void reconnected();

  private:
    st_mysql* connectNew() const;
    void setUpSession(st_mysql* mysql) const;
    void ensureAlive();
    bool peerHasHungUp() const;
    void reconnect();
    // store without its runs after a refusal.
    void storeWhole(const QString& sql);
    // One attempt of store: false when the session was lost between the
    // write and its COMMIT, so that nothing was stored.
    bool storeOnce(const QString& sql);
    void send(const QByteArray& sql);
    void drainResults();
    bool inTransaction() const;
    // The first warning of the last statement that says a stored value is not
    // the one sent; code 0 when there is none.
    DbError valueChangeWarning();
    [[noreturn]] void fail(st_mysql* mysql) const;
    [[noreturn]] void failAnswerLost() const;

    ConnectionParams params_;
    st_mysql* mysql_ = nullptr;
    mutable bool broken_ = false;
    quint64 lastInsertId_ = 0;
    quint64 affectedRows_ = 0;
    std::atomic<bool> abandoned_{false};
};

// Notes whether the connection replaced a lost session while the watch
// exists: work that relies on one session throughout (a script's settings,
// a consistent snapshot) cannot go on in the new one.
class ReconnectWatch {
  public:
    explicit ReconnectWatch(Connection& connection);
    ~ReconnectWatch();
    ReconnectWatch(const ReconnectWatch&) = delete;
    ReconnectWatch& operator=(const ReconnectWatch&) = delete;
    bool happened() const { return happened_; }

  private:
    QMetaObject::Connection link_;
    bool happened_ = false;
};

// A statement that changes nothing on the server, so that one whose answer
// was lost may be asked again: SELECT (but not SELECT … INTO), SHOW, DESCRIBE
// and EXPLAIN, after any blanks and comments.
bool IsReadOnlyStatement(const QByteArray& sql);

// Encodes statement text for the wire (code page 1250), refusing what it cannot hold.
QByteArray EncodeSql(const QString& sql);

}  // namespace zomi::dbaccess
