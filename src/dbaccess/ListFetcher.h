#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "dbaccess/Connection.h"
#include "dbaccess/Field.h"
#include "dbaccess/ResultSet.h"

namespace zomi::dbaccess {

// Rows streamed from the server, packed.
struct RowBlock {
    PackedRows packed;

    std::vector<RowRef> rows() const { return packed.rows(); }
    // The bytes the block takes in memory.
    size_t memory() const { return sizeof(RowBlock) - sizeof(PackedRows) + packed.memory(); }
};
using RowBlockPtr = std::shared_ptr<const RowBlock>;

// Runs list queries on a session of its own in a thread of its own, so that
// the window stays responsive however long the server takes, and hands the
// rows to the caller's thread in blocks as they arrive: a first screenful at
// once, then larger blocks. One fetch runs at a time; starting another
// abandons the one running, which the server is told to stop (KILL QUERY
// through the caller's connection). The session is set up like every working
// session and is re-established the same way when it is lost.
class ListFetcher : public QObject {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void(const std::vector<Field>&)> fields;
        std::function<void(const RowBlockPtr&)> rows;
        // The bytes the rows took in the protocol, before any compression.
        std::function<void(quint64 bytes)> done;
        std::function<void(const std::exception&)> failed;
    };

    // The rows of the first block, a screenful of any grid.
    static constexpr size_t kFirstBlockRows = 100;

    explicit ListFetcher(QObject* parent = nullptr);
    ~ListFetcher() override;

    // Takes effect at the next fetch, on a new session.
    void setParams(const ConnectionParams& params);
    // Stops the running fetch from another session of the same user: the
    // fetch's session id and the comment its statement begins with are
    // given. False when that session does not run it there, as on a cluster
    // node other than the fetch's: the fetch's own socket is closed instead.
    using Killer = std::function<bool(unsigned long threadId, const QString& statementMark)>;
    void setKiller(Killer killer) { killer_ = std::move(killer); }
    // The usual killer: KILL QUERY through the session given when needed,
    // only where the id runs the fetch. A session id names a session of one
    // server: on a cluster node the same number may be another
    // workstation's session, whose work must not be stopped.
    static Killer KillThrough(std::function<Connection*()> session);

    // The handlers of an earlier fetch are never called again.
    void start(const QString& sql, Handlers handlers);
    void abandon();
    // A fetch was started and has not yet reported its end.
    bool busy() const { return wanted_ != 0 && wanted_ != ended_; }
    // Hands over what arrives until the current fetch has ended.
    void wait();
    // Ends the fetch session's statement and the thread; no fetch runs again.
    void stop();

    // The fetch session's server thread, 0 before the first fetch.
    unsigned long sessionId() const;

  private:
    struct Request {
        quint64 ticket = 0;
        QString sql;
    };
    struct Delivery {
        quint64 ticket = 0;
        std::vector<Field> fields;
        bool hasFields = false;
        RowBlockPtr block;
        bool done = false;
        quint64 bytes = 0;
        std::exception_ptr error;
    };

    void run();
    void fetch(Connection& connection, const Request& request);
    void post(Delivery delivery);
    void deliver();
    void interrupt(std::unique_lock<std::mutex>& lock, bool hard);
    bool abandoned(quint64 ticket) const { return ticket != latest_.load(); }

    QString markOf(quint64 ticket) const;

    Killer killer_;
    // Begins the comment that marks each statement of this fetcher.
    const QString mark_;
    Handlers handlers_;
    quint64 wanted_ = 0;  // the caller's side
    quint64 ended_ = 0;
    std::atomic<quint64> latest_{0};

    mutable std::mutex mutex_;
    std::condition_variable wake_;     // the worker waits for a request
    std::condition_variable arrived_;  // the caller waits for a delivery
    std::optional<Request> pending_;
    std::deque<Delivery> out_;
    ConnectionParams params_;
    bool paramsChanged_ = false;
    bool stop_ = false;
    quint64 running_ = 0;
    unsigned long threadId_ = 0;
    int socket_ = -1;
    Connection* active_ = nullptr;  // the worker's session while it fetches
    std::thread worker_;
};

}  // namespace zomi::dbaccess
