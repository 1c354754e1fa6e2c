#include "dbaccess/ListFetcher.h"

#include <sys/socket.h>

#include <QRandomGenerator>
#include <chrono>

#include "dbaccess/DbError.h"

namespace zomi::dbaccess {

namespace {

// After the first screenful (kFirstBlockRows), blocks big enough that the
// window spends its time on painting rather than on taking rows.
constexpr size_t kBlockRows = 65536;
constexpr auto kBlockInterval = std::chrono::milliseconds(150);

// The length prefix the protocol writes before a cell.
quint64 lengthPrefix(unsigned long n) {
    return n < 251 ? 1 : (n < 65536 ? 3 : (n < 16777216 ? 4 : 9));
}

class BlockBuilder {
  public:
    explicit BlockBuilder(size_t columns) : columns_(columns), rows_(columns) {}

    void add(const StreamedRow& row) {
        rows_.add(row.cells, row.lengths);
        for (size_t c = 0; c < columns_; ++c)
            bytesSent_ += row.cells[c] ? lengthPrefix(row.lengths[c]) + row.lengths[c] : 1;
        bytesSent_ += 4;  // the packet header
    }

    size_t rows() const { return rows_.rowCount(); }
    quint64 bytesSent() const { return bytesSent_; }

    RowBlockPtr take() {
        auto block = std::make_shared<RowBlock>();
        // Grown a row at a time: up to twice what the rows need.
        rows_.shrink();
        block->packed = std::move(rows_);
        rows_ = PackedRows(columns_);
        bytesSent_ = 0;
        return block;
    }

  private:
    size_t columns_;
    PackedRows rows_;
    quint64 bytesSent_ = 0;
};

}  // namespace

ListFetcher::Killer ListFetcher::KillThrough(std::function<Connection*()> session) {
    return [session = std::move(session)](unsigned long threadId, const QString& mark) {
        constexpr unsigned kNoSuchThread = 1094;  // the statement had ended
        Connection* c = session();
        const bool runsHere =
            c->scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE "
                                     "ID = %1 AND ID <> CONNECTION_ID() AND LEFT(INFO, %2) = '%3'")
                          .arg(threadId)
                          .arg(mark.size())
                          .arg(mark))
                .text == QLatin1String("1");
        if (!runsHere) return false;
        try {
            c->exec(QStringLiteral("KILL QUERY ") + QString::number(threadId));
            return true;
        } catch (const DbError& e) {
            if (e.code() == kNoSuchThread) return false;
            throw;
        }
    };
}

ListFetcher::ListFetcher(QObject* parent)
    : QObject(parent),
      mark_(QStringLiteral("/* zomi-lista %1-")
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))) {
    worker_ = std::thread([this] { run(); });
}

ListFetcher::~ListFetcher() { stop(); }

void ListFetcher::setParams(const ConnectionParams& params) {
    const std::lock_guard<std::mutex> lock(mutex_);
    params_ = params;
    paramsChanged_ = true;
}

QString ListFetcher::markOf(quint64 ticket) const {
    return mark_ + QString::number(ticket) + QStringLiteral(" */ ");
}

unsigned long ListFetcher::sessionId() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return threadId_;
}

void ListFetcher::interrupt(std::unique_lock<std::mutex>& lock, bool hard) {
    (void)lock;  // held: the worker cannot go on to another statement meanwhile
    if (running_ == 0 || running_ == latest_.load()) return;
    // Closing the socket ends the statement at once; the next fetch starts
    // on a new session.
    if (hard || !killer_ || (threadId_ != 0 && !killer_(threadId_, markOf(running_)))) {
        if (active_) active_->markAbandoned();
        if (socket_ >= 0) ::shutdown(socket_, SHUT_RDWR);
    }
}

void ListFetcher::start(const QString& sql, Handlers handlers) {
    if (!worker_.joinable()) return;  // stopped: nothing runs, nothing is awaited
    handlers_ = std::move(handlers);
    wanted_ = latest_.load() + 1;
    std::unique_lock<std::mutex> lock(mutex_);
    latest_ = wanted_;
    pending_ = Request{wanted_, sql};
    wake_.notify_one();
    interrupt(lock, false);
}

void ListFetcher::abandon() {
    if (!busy()) return;
    handlers_ = {};
    ended_ = wanted_ = latest_.load() + 1;
    std::unique_lock<std::mutex> lock(mutex_);
    latest_ = wanted_;
    pending_.reset();
    interrupt(lock, false);
}

void ListFetcher::stop() {
    if (!worker_.joinable()) return;
    handlers_ = {};
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stop_ = true;
        pending_.reset();
        latest_ = latest_.load() + 1;
        interrupt(lock, true);
        wake_.notify_one();
    }
    worker_.join();
    ended_ = wanted_;
}

void ListFetcher::wait() {
    while (busy()) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            arrived_.wait(lock, [this] { return !out_.empty() || stop_; });
            if (out_.empty()) return;
        }
        deliver();
    }
}

void ListFetcher::post(Delivery delivery) {
    bool first = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        first = out_.empty();
        out_.push_back(std::move(delivery));
    }
    arrived_.notify_all();
    if (first)
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
}

void ListFetcher::deliver() {
    std::deque<Delivery> batch;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        batch.swap(out_);
    }
    for (Delivery& d : batch) {
        // A handler may start the next fetch; what is left of this one is then dropped.
        if (d.ticket != wanted_ || wanted_ == ended_) continue;
        const Handlers h = handlers_;
        if (d.hasFields) {
            if (h.fields) h.fields(d.fields);
        } else if (d.block) {
            if (h.rows) h.rows(d.block);
        } else if (d.error) {
            ended_ = d.ticket;
            try {
                std::rethrow_exception(d.error);
            } catch (const std::exception& e) {
                if (h.failed) h.failed(e);
            }
        } else if (d.done) {
            ended_ = d.ticket;
            if (h.done) h.done(d.bytes);
        }
    }
}

void ListFetcher::run() {
    std::unique_ptr<Connection> connection;
    for (;;) {
        Request request;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_; });
            if (stop_) break;
            request = std::move(*pending_);
            pending_.reset();
            running_ = request.ticket;
            if (paramsChanged_) {
                connection.reset();
                paramsChanged_ = false;
            }
        }
        try {
            if (!connection) {
                ConnectionParams params;
                {
                    const std::lock_guard<std::mutex> lock(mutex_);
                    params = params_;
                }
                auto fresh = std::make_unique<Connection>();
                fresh->setParams(params);
                fresh->open();
                connection = std::move(fresh);
            }
            fetch(*connection, request);
        } catch (...) {
            if (!abandoned(request.ticket)) {
                Delivery d;
                d.ticket = request.ticket;
                d.error = std::current_exception();
                post(std::move(d));
            }
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        running_ = 0;
        socket_ = -1;
        active_ = nullptr;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    running_ = 0;
    socket_ = -1;
    active_ = nullptr;
    arrived_.notify_all();
}

void ListFetcher::fetch(Connection& connection, const Request& request) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        threadId_ = connection.threadId();
        socket_ = connection.socketDescriptor();
        active_ = &connection;
    }
    std::unique_ptr<BlockBuilder> builder;
    quint64 bytes = 0;
    auto lastFlush = std::chrono::steady_clock::now();
    bool firstSent = false;
    const auto flush = [&] {
        bytes += builder->bytesSent();
        Delivery d;
        d.ticket = request.ticket;
        d.block = builder->take();
        post(std::move(d));
        lastFlush = std::chrono::steady_clock::now();
        firstSent = true;
    };
    connection.streamQuery(
        markOf(request.ticket) + request.sql,
        [&](const std::vector<Field>& fields) {
            {
                // A lost session may have been replaced while the statement was sent.
                const std::lock_guard<std::mutex> lock(mutex_);
                threadId_ = connection.threadId();
                socket_ = connection.socketDescriptor();
            }
            builder = std::make_unique<BlockBuilder>(fields.size());
            if (abandoned(request.ticket)) return;
            Delivery d;
            d.ticket = request.ticket;
            d.fields = fields;
            d.hasFields = true;
            post(std::move(d));
        },
        [&](const StreamedRow& row) {
            if (abandoned(request.ticket)) return;  // read on to the end, keep nothing
            builder->add(row);
            const size_t n = builder->rows();
            if (!firstSent ? n >= kFirstBlockRows
                           : n >= kBlockRows ||
                                 ((n & 255) == 0 &&
                                  std::chrono::steady_clock::now() - lastFlush > kBlockInterval))
                flush();
        });
    if (abandoned(request.ticket)) return;
    if (builder && builder->rows() > 0) flush();
    Delivery d;
    d.ticket = request.ticket;
    d.done = true;
    d.bytes = bytes;
    post(std::move(d));
}

}  // namespace zomi::dbaccess
