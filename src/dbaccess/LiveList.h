#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <vector>

#include "dbaccess/Collation.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/HeldRows.h"
#include "dbaccess/ListFetcher.h"

namespace zomi::dbaccess {

// A large list that answers every keystroke at once. The rows of its base
// condition are held in memory, in the list's order; a search narrows them
// and a new order sorts them on the client, compared exactly as the server
// compares (the session's collation weights). The server's own answer to the
// list query follows in the background shortly after the last change and
// replaces what is shown when another workstation changed something. Rows
// are fetched on a session of their own and shown as they arrive; a fetch
// that a newer change made useless is abandoned.
//
// The query's SQL lines stay the list's query, as the search would give it
// to the server: "SELECT ... FROM ..." / the WHERE line / the ORDER line.
class LiveList : public QObject {
    Q_OBJECT

  public:
    // The list's rows go into query, which must not be opened otherwise;
    // connection is the session whose settings the fetch session copies and
    // which stops the fetches that are no longer wanted.
    LiveList(Query* query, Connection* connection, QObject* parent = nullptr);
    ~LiveList() override;

    void setSearchFields(const QString& fields) { searchFields_ = fields; }
    // Errors of the fetches in the background go here (the list keeps what it shows).
    void setErrorHandler(std::function<void(const std::exception&)> handler) {
        onError_ = std::move(handler);
    }
    // How long after the last change the server is asked (milliseconds).
    void setCheckDelay(int ms) { checkTimer_.setInterval(ms); }
    // For lists of years of rows: beside the whole list's query, a small one
    // for the first screenful on a session of its own, which the server
    // answers without sending (or, in its order, even sorting) every row.
    // Its rows are shown until the whole list's first rows are in.
    void setFirstScreenfulQuery(bool on) { firstScreenful_ = on; }
    // A statement of the list's own for that first screenful, given the
    // condition and the sort field: one an index answers where the list's
    // own query cut to a screenful still sorts every row of the condition.
    // Its rows must be the first rows of the list's query in its order. An
    // empty text: the list's own query cut to a screenful.
    using FirstScreenfulSql =
        std::function<QString(const QString& condition, const QString& sortField)>;
    void setFirstScreenfulSql(FirstScreenfulSql sql) { firstScreenfulSql_ = std::move(sql); }
    // The fields whose titles the window shows: once the rows are in, the
    // orders by them are made in the background, so that a click on a
    // title finds its order made.
    void setTitleFields(const QStringList& names) { titleFields_ = names; }

    // Fetches the rows of the base condition anew, narrowed by the search
    // text and in the field's order, and shows them as they arrive.
    void open(const QString& baseCondition, const QString& searchText, const QString& sortField);
    // The search text, and when locateField is given, the move to the first
    // row whose field begins with the text (as locate), made once the rows
    // are found.
    void setSearchText(const QString& text, const QString& locateField = QString());
    void setSortField(const QString& field);
    // The rows are fetched again while the list goes on showing the old
    // ones; the current row stays, by key.
    void refresh();
    // A row the program removed from the database itself leaves at once.
    void forget(const QVariant& key);
    // The rows kept of base conditions shown before are dropped: the
    // program changed what they hold itself (refresh does so too).
    void forgetKeptRows() { kept_.clear(); }
    // Moves to the first row whose field begins with the text, ignoring
    // case; when none is in yet, to the first such row that arrives. Over a
    // long list the rows are read in a thread of their own, and the move
    // comes when it has found the row, unless another locate, search, order
    // or tab, or any change of the rows shown, came first; the answer is
    // then false.
    bool locate(const QString& field, const QString& text);
    // A locate's thread is still reading the rows.
    bool locating() const {
        return locating_.valid() &&
               locating_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    }
    // Runs at once when the list holds the server's rows of the last open
    // or refresh, otherwise when they are in.
    void whenLoaded(std::function<void()> action);
    // Asks the server now, and waits until its answer is shown.
    void settle();
    // Ends every fetch (before connection closes).
    void stop();

    bool isLoaded() const { return baseComplete_ && mode_ == Mode::Idle && !deriving_.valid(); }
    // A search over a long list is still finding its rows in its thread.
    bool deriving() const { return deriving_.valid(); }
    // The server is still to be asked about what is shown.
    bool checkPending() const { return checkTimer_.isActive() || checkWanted_; }
    const Collation& collation() const { return collation_; }
    ListFetcher& fetcher() { return fetcher_; }
    quint64 bytesReceived() const { return bytesReceived_; }
    // The bytes the rows of the base condition take in memory: their
    // blocks, the rows shown and the orders made.
    size_t memoryOfRows() const;
    // The values of the columns searched are numbered, so that a search
    // tests each value once (made in the background over long lists).
    bool searchesByValues() {
        base_.takeNumberings();
        return base_.anyNumbering();
    }
    // The same of the rows kept of other base conditions.
    size_t memoryOfKeptRows() const;

  private:
    enum class Mode { Idle, Streaming, Refetching, Checking };

    // The rows of a base condition left for another one, shown again at
    // once when the list comes back to it and then checked with the server.
    struct KeptRows {
        QString condition;
        std::vector<Field> fields;
        HeldRows rows;
    };
    // At most this many rows are kept in all, of at most this many lists.
    static constexpr size_t kKeptRowsAtMost = 500000;
    static constexpr size_t kKeptListsAtMost = 2;

    void keepRowsLeaving(const QString& nextCondition);
    void prepareTitleOrders();
    // What a search's thread finds: the rows, and when the locate asked
    // with the search was made by it, the index of its row (-1: none).
    struct Derived {
        std::vector<RowRef> rows;
        bool located = false;
        long long firstLocated = -1;
    };
    // A search over a long list (of rows all in) finds its rows in a thread
    // of its own, and they are shown when found; anything else that reads
    // or changes the rows first shows them at once (settleDerive), and a
    // new search, order or tab drops them (cancelDerive). Other searches
    // are made here and now.
    void deriveSoon();
    void finishDerive();
    // The locate asked with the search, when the search's thread can make it.
    int columnToLocateWhileDeriving();
    // A test of whether a row's cell of the column begins with the text, by
    // the column's numbered values where it has them.
    HeldRows::PlaceMatcher beginsWith(size_t column, const QString& text) const;
    void locateQuietly(const QString& field, const QString& text);
    void settleDerive();
    void cancelDerive();
    void dropPendingLocate();
    bool locateNow(const QString& field, const QString& text);
    void locateInThread(size_t column, const QString& text);
    void stopLocating();
    // No cell of the column can begin with the text: its bytes are known
    // and lack one of the text's letters.
    bool cannotBegin(const QString& field, const QString& text) const;
    // The rows are fetched again, keeping those shown until they are in.
    void refetch();
    bool showKeptRows();

    bool comparesHere(int column) const;
    bool canDerive() const;
    QString fetchCondition() const;
    QString sqlFor(const QString& condition) const;
    void writeQueryLines();
    void prepareWords();
    bool matches(const RowRef& row) const;
    // The rows that match the search, in their order.
    std::vector<RowRef> matching(const std::vector<RowRef>& rows) const;
    std::vector<RowRef> matchingBase();
    void resolveColumns();
    bool takeFields(const std::vector<Field>& fields);
    void derive(int current);
    int rowWithKey(const std::vector<RowRef>& rows, const QByteArray& key) const;
    QByteArray currentKey() const;
    void sortBase();
    bool sameAsShown(const std::vector<RowRef>& rows) const;
    // A digest only tells "same" where every row has its own key.
    bool canDigest() const;
    QString digestSql() const;
    bool digestMatches(const std::vector<RowRef>& answer);
    void startLocalDigest();
    void cancelLocalDigest();
    void startFetch(Mode mode, const QString& sql, bool digest = false);
    void rowsArrived(const RowBlockPtr& block);
    void startFirstScreenful(const QString& sql);
    void firstScreenfulArrived(const RowBlockPtr& block);
    std::vector<RowRef> shownOf(const RowBlock& block) const;
    void fetchDone(quint64 bytes);
    void fetchFailed(const std::exception& error);
    // The fetch's session was lost while it ran (killed, or its server gone
    // under it): asked once more on a new session, set up as every one is,
    // while the rows shown stay. False when that was done already.
    bool fetchAgainAfterLoss(const std::exception& error);
    void scheduleCheck();
    void startCheck();
    void runLoaded();

    Query* query_;
    Connection* connection_;
    ListFetcher fetcher_;
    ListFetcher firstScreenfulFetcher_;
    bool firstScreenful_ = false;
    FirstScreenfulSql firstScreenfulSql_;
    // The rows shown are the first screenful's, not yet the list's own.
    bool firstScreenfulShown_ = false;
    Collation collation_;
    bool collationRead_ = false;
    ConnectionParams fetchParams_;
    ConnectionParams firstScreenfulParams_;
    bool paramsGiven_ = false;
    std::function<void(const std::exception&)> onError_;
    QTimer checkTimer_;

    QString searchFields_;
    QStringList titleFields_;
    QString baseCondition_;
    QString searchText_;
    QString sortField_;
    QStringList words_;
    std::vector<LikePattern> patterns_;
    std::vector<int> searchColumns_;
    int sortColumn_ = -1;
    int keyColumn_ = -1;
    bool columnsKnown_ = false;

    std::vector<Field> fields_;
    // The base condition's rows, in the list's order.
    HeldRows base_;
    std::vector<KeptRows> kept_;
    bool baseComplete_ = false;
    std::vector<RowRef> incoming_;
    std::vector<RowBlockPtr> incomingBlocks_;
    Mode mode_ = Mode::Idle;
    bool checkWanted_ = false;
    // The check running asks for a digest of the rows rather than the rows.
    bool digestCheck_ = false;
    // The digest of the rows shown, made in a thread of its own meanwhile
    // (for 200,000 rows it would hold up typing).
    std::future<unsigned long long> localDigest_;
    std::shared_ptr<std::atomic<bool>> digestCancelled_;
    size_t localDigestRows_ = 0;
    // The last fetch's statement, for fetchAgainAfterLoss.
    QString fetchSql_;
    bool fetchAgain_ = true;
    // The condition the last fetch narrowed on the server (when the rows
    // cannot be narrowed here).
    QString fetchedCondition_;
    quint64 bytesReceived_ = 0;

    QString locateField_;
    QString locateText_;
    // Counts the locates asked and dropped: a deferred one runs only when
    // no other came after it.
    quint64 locateTurn_ = 0;
    // Counts the changes of the rows shown: a row found in a thread is moved
    // to only while they are the rows it read.
    quint64 rowsTurn_ = 0;
    std::future<void> locating_;
    std::future<Derived> deriving_;
    std::shared_ptr<std::atomic<bool>> deriveStopped_;
    quint64 deriveTurn_ = 0;
    // The locate asked while the rows were being found, made once they are.
    QString locateAfterDerive_;
    QString locateTextAfterDerive_;
    std::shared_ptr<std::atomic<bool>> locateCancelled_;
    std::vector<std::function<void()>> whenLoaded_;
};

}  // namespace zomi::dbaccess
