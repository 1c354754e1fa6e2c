#include "dbaccess/LiveList.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <set>

#include "common/SearchFilter.h"
#include "dbaccess/Halves.h"

namespace zomi::dbaccess {

namespace {

bool sameParams(const ConnectionParams& a, const ConnectionParams& b) {
    return a.host == b.host && a.port == b.port && a.user == b.user && a.password == b.password &&
           a.database == b.database && a.connectTimeoutSeconds == b.connectTimeoutSeconds &&
           a.compress == b.compress && a.setUpSession == b.setUpSession;
}

// The rows' part of the check's digest (see digestSql).
unsigned long long RowsDigest(const std::vector<RowRef>& rows, size_t columns,
                              const std::atomic<bool>& cancelled) {
    QCryptographicHash md5(QCryptographicHash::Md5);
    QByteArray text;
    unsigned long long digest = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if ((i & 1023) == 0 && cancelled) return 0;
        const RowRef& row = rows[i];
        text.clear();
        for (size_t c = 0; c < columns; ++c) {
            if (!row.cell(c)) continue;
            text.append(row.cell(c), static_cast<qsizetype>(row.length(c)));
            text.append('\1');
        }
        for (size_t c = 0; c < columns; ++c) text.append(row.cell(c) ? '0' : '1');
        md5.reset();
        md5.addData(text);
        digest ^= qFromBigEndian<quint64>(md5.result().constData());
    }
    return digest;
}

bool sameFields(const std::vector<Field>& a, const std::vector<Field>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].kind != b[i].kind) return false;
    return true;
}

// A search over the held rows in which each word is tested once per value
// of the columns whose values are numbered, and per row only in the others.
// It keeps its own words, so that a thread may run it while the user types
// on; the held rows and their numberings must stay as they are meanwhile.
class NumberedSearch {
  public:
    NumberedSearch(const std::vector<LikePattern>& patterns, const std::vector<int>& columns,
                   const HeldRows& rows) {
        for (const LikePattern& pattern : patterns) {
            Word word{pattern, {}, {}};
            for (const int c : columns) {
                const DistinctNumbering* numbering = rows.numbering(c);
                if (!numbering) {
                    // A column none of whose cells holds all the word's
                    // letters (the number's digits) is not read at all.
                    const DistinctNumbering* facts = rows.facts(c);
                    if (!facts || !facts->bytesKnown || pattern.canMatchWithin(facts->bytes))
                        word.plain.push_back(static_cast<size_t>(c));
                    continue;
                }
                const auto column = static_cast<size_t>(c);
                std::vector<std::uint8_t> hit(numbering->firstRows.size());
                for (size_t v = 0; v < hit.size(); ++v) {
                    const RowRef& first = rows.arrivedAt(numbering->firstRows[v]);
                    hit[v] = pattern.matches(first.cell(column), first.length(column)) ? 1 : 0;
                }
                word.numbered.push_back({numbering->valueOf.data(), std::move(hit)});
            }
            words_.push_back(std::move(word));
        }
    }

    bool matches(size_t place, const RowRef& row) const {
        return std::all_of(words_.begin(), words_.end(), [&](const Word& word) {
            for (const Numbered& n : word.numbered) {
                const std::uint32_t value = n.valueOf[place];
                if (value != DistinctNumbering::kNull && n.hit[value]) return true;
            }
            return std::any_of(word.plain.begin(), word.plain.end(), [&](size_t c) {
                return word.pattern.matches(row.cell(c), row.length(c));
            });
        });
    }

  private:
    struct Numbered {
        const std::uint32_t* valueOf;
        std::vector<std::uint8_t> hit;
    };
    struct Word {
        LikePattern pattern;
        std::vector<Numbered> numbered;
        std::vector<size_t> plain;
    };
    std::vector<Word> words_;
};

bool sameCell(const RowRef& a, const RowRef& b, size_t c) {
    if (!a.cell(c) || !b.cell(c)) return a.cell(c) == b.cell(c);
    return a.length(c) == b.length(c) && std::memcmp(a.cell(c), b.cell(c), a.length(c)) == 0;
}

// Any total order of rows by their bytes, to compare two runs as multisets.
bool bytesBefore(const RowRef& a, const RowRef& b, size_t columns) {
    for (size_t c = 0; c < columns; ++c) {
        if (sameCell(a, b, c)) continue;
        if (!a.cell(c) || !b.cell(c)) return !a.cell(c);
        const int k = std::memcmp(a.cell(c), b.cell(c), std::min(a.length(c), b.length(c)));
        return k != 0 ? k < 0 : a.length(c) < b.length(c);
    }
    return false;
}

}  // namespace

LiveList::LiveList(Query* query, Connection* connection, QObject* parent)
    : QObject(parent), query_(query), connection_(connection) {
    fetcher_.setKiller(ListFetcher::KillThrough([this] { return connection_; }));
    firstScreenfulFetcher_.setKiller(ListFetcher::KillThrough([this] { return connection_; }));
    checkTimer_.setSingleShot(true);
    // Soon enough after the last keystroke that the server's answer can be
    // shown within a second, late enough not to ask for every letter.
    checkTimer_.setInterval(200);
    for (auto signal : {&Dataset::rowsReset, &Dataset::rowsAppended})
        connect(query_, signal, this, [this] { ++rowsTurn_; });
    for (auto signal : {&Dataset::rowChanged, &Dataset::rowInserted, &Dataset::rowRemoved})
        connect(query_, signal, this, [this] { ++rowsTurn_; });
    connect(&checkTimer_, &QTimer::timeout, this, [this] {
        try {
            startCheck();
        } catch (const std::exception& e) {
            if (onError_) onError_(e);
        }
    });
}

LiveList::~LiveList() { stop(); }

size_t LiveList::memoryOfRows() const {
    return base_.memory() + query_->rows().capacity() * sizeof(RowRef);
}

size_t LiveList::memoryOfKeptRows() const {
    size_t bytes = 0;
    for (const KeptRows& kept : kept_) bytes += kept.rows.memory();
    return bytes;
}

void LiveList::stop() {
    cancelDerive();
    stopLocating();
    checkTimer_.stop();
    fetcher_.stop();
    firstScreenfulFetcher_.stop();
    cancelLocalDigest();
}

// ---------------------------------------------------------------- state

// The client compares as the server only where the column compares by the
// session's collation.
bool LiveList::comparesHere(int column) const {
    const Field& f = fields_[static_cast<size_t>(column)];
    return !f.isTextual() || f.collationId == collation_.id();
}

bool LiveList::canDerive() const {
    if (!collation_.isValid() || !columnsKnown_ || sortColumn_ < 0) return false;
    if (static_cast<qsizetype>(searchColumns_.size()) != SearchFieldNames(searchFields_).size())
        return false;
    const auto comparable = [this](int c) { return comparesHere(c); };
    return comparable(sortColumn_) &&
           std::all_of(searchColumns_.begin(), searchColumns_.end(), comparable);
}

QString LiveList::fetchCondition() const {
    if (searchText_.isEmpty() || canDerive()) return baseCondition_;
    return baseCondition_ + BuildSearchFilter(searchFields_, searchText_, true);
}

QString LiveList::sqlFor(const QString& condition) const {
    QStringList lines = query_->sql();
    ReplaceWhere(lines, condition, true);
    return ReplaceOrderBy(lines, sortField_);
}

void LiveList::writeQueryLines() {
    ReplaceWhere(query_->sql(),
                 baseCondition_ + BuildSearchFilter(searchFields_, searchText_, true), true);
    ReplaceOrderBy(query_->sql(), sortField_);
}

void LiveList::prepareWords() {
    const QStringList words = SearchWords(searchText_);
    std::vector<LikePattern> patterns;
    for (const QString& word : words)
        patterns.emplace_back(collation_, EncodeSql(SubstringPattern(word)));
    words_ = words;
    patterns_ = std::move(patterns);
}

void LiveList::resolveColumns() {
    searchColumns_.clear();
    for (const QString& name : SearchFieldNames(searchFields_)) {
        const int c = query_->fieldIndex(name);
        if (c >= 0) searchColumns_.push_back(c);
    }
    sortColumn_ = query_->fieldIndex(sortField_);
    keyColumn_ = query_->fieldIndex(query_->keyField());
    columnsKnown_ = true;
}

bool LiveList::takeFields(const std::vector<Field>& fields) {
    if (!columnsKnown_ || !sameFields(fields, fields_)) {
        // A list of other columns opens anew, so that its window labels them.
        query_->close();
        fields_ = fields;
        query_->present(fields_, {}, {}, -1);
        resolveColumns();
        return true;
    }
    return false;
}

bool LiveList::matches(const RowRef& row) const {
    for (const LikePattern& pattern : patterns_) {
        const bool found = std::any_of(searchColumns_.begin(), searchColumns_.end(), [&](int c) {
            return pattern.matches(row.cell(c), row.length(c));
        });
        if (!found) return false;
    }
    return true;
}

QByteArray LiveList::currentKey() const {
    const int row = query_->currentRow();
    if (keyColumn_ < 0 || row < 0 || row >= query_->recordCount()) return QByteArray();
    const RowRef r = query_->rows()[static_cast<size_t>(row)];
    const auto c = static_cast<size_t>(keyColumn_);
    return r.cell(c) ? QByteArray(r.cell(c), static_cast<qsizetype>(r.length(c))) : QByteArray();
}

int LiveList::rowWithKey(const std::vector<RowRef>& rows, const QByteArray& key) const {
    if (keyColumn_ < 0 || key.isEmpty()) return -1;
    const auto c = static_cast<size_t>(keyColumn_);
    const auto n = static_cast<unsigned long>(key.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].cell(c) && rows[i].length(c) == n &&
            std::memcmp(rows[i].cell(c), key.constData(), n) == 0)
            return static_cast<int>(i);
    return -1;
}

std::vector<RowRef> LiveList::matching(const std::vector<RowRef>& rows) const {
    return HeldRows::Filter(rows, [this](const RowRef& row) { return matches(row); });
}

std::vector<RowRef> LiveList::matchingBase() {
    // Without numbered values it tests every column per row, as matches() does.
    base_.takeNumberings();
    const NumberedSearch search(patterns_, searchColumns_, base_);
    return base_.matching(
        [&search](size_t place, const RowRef& row) { return search.matches(place, row); });
}

void LiveList::derive(int current) {
    query_->present(fields_, patterns_.empty() ? base_.rows() : matchingBase(), base_.holders(),
                    current);
}

namespace {

// Thrown inside a search thread told to stop.
struct SearchStopped {};

}  // namespace

HeldRows::PlaceMatcher LiveList::beginsWith(size_t column, const QString& text) const {
    const FoldedPrefix prefix(text);
    const DistinctNumbering* numbering = base_.numbering(static_cast<int>(column));
    if (!numbering)
        return [prefix, column](size_t, const RowRef& row) {
            return prefix.begins(row.cell(column), row.length(column));
        };
    // Each of the column's values is tested once, as the search tests them.
    auto hit = std::make_shared<std::vector<std::uint8_t>>(numbering->firstRows.size());
    for (size_t v = 0; v < hit->size(); ++v) {
        const RowRef& first = base_.arrivedAt(numbering->firstRows[v]);
        (*hit)[v] = prefix.begins(first.cell(column), first.length(column)) ? 1 : 0;
    }
    const std::uint32_t* valueOf = numbering->valueOf.data();
    return [hit, valueOf](size_t place, const RowRef&) {
        const std::uint32_t value = valueOf[place];
        return value != DistinctNumbering::kNull && (*hit)[value] != 0;
    };
}

int LiveList::columnToLocateWhileDeriving() {
    if (locateAfterDerive_.isEmpty()) return -1;
    const int column = query_->fieldIndex(locateAfterDerive_);
    if (column < 0 || !query_->field(column).isTextual()) return -1;
    if (cannotBegin(locateAfterDerive_, locateTextAfterDerive_)) {
        locateAfterDerive_.clear();
        return -1;
    }
    return column;
}

void LiveList::deriveSoon() {
    cancelDerive();
    if (patterns_.empty() || mode_ == Mode::Streaming || base_.size() < 2 * kRowsPerThread) {
        derive(0);
        return;
    }
    base_.takeNumberings();
    auto search = std::make_shared<const NumberedSearch>(patterns_, searchColumns_, base_);
    // The locate asked with the search is made in the same pass, by the
    // places of the rows, so that the rows are read once.
    const int locateColumn = columnToLocateWhileDeriving();
    std::shared_ptr<const HeldRows::PlaceMatcher> first;
    if (locateColumn >= 0)
        first = std::make_shared<const HeldRows::PlaceMatcher>(
            beginsWith(static_cast<size_t>(locateColumn), locateTextAfterDerive_));
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    deriveStopped_ = stopped;
    const quint64 turn = ++deriveTurn_;
    deriving_ = std::async(std::launch::async, [this, search, first, stopped, turn] {
        constexpr size_t kRowsBetweenLooks = 4096;
        const HeldRows::PlaceMatcher matches = [&](size_t place, const RowRef& row) {
            if (place % kRowsBetweenLooks == 0 && stopped->load()) throw SearchStopped();
            return search->matches(place, row);
        };
        Derived derived;
        derived.located = first != nullptr;
        if (first) {
            derived.rows = base_.matching(matches, *first, derived.firstLocated);
        } else {
            derived.rows = base_.matching(matches);
        }
        // The list waits for this thread before it goes, so it is alive
        // here; the call is dropped if it is gone by the time its turn comes.
        QMetaObject::invokeMethod(
            this,
            [this, turn] {
                if (turn == deriveTurn_ && deriving_.valid()) finishDerive();
            },
            Qt::QueuedConnection);
        return derived;
    });
}

void LiveList::finishDerive() {
    Derived derived;
    try {
        derived = deriving_.get();
    } catch (const std::exception& e) {
        // Memory, most likely: the rows shown stay as they were.
        deriveStopped_.reset();
        if (onError_) onError_(e);
        return;
    }
    deriveStopped_.reset();
    query_->present(fields_, std::move(derived.rows), base_.holders(), 0);
    if (derived.located) {
        locateAfterDerive_.clear();
        if (derived.firstLocated > 0) query_->moveTo(static_cast<int>(derived.firstLocated));
    } else if (!locateAfterDerive_.isEmpty()) {
        const QString field = locateAfterDerive_;
        locateAfterDerive_.clear();
        locateQuietly(field, locateTextAfterDerive_);
    }
    if (isLoaded()) runLoaded();
}

void LiveList::locateQuietly(const QString& field, const QString& text) {
    try {
        locate(field, text);
    } catch (const DbError&) {
        // As the search box's own locate: a text that does not fit the
        // column leaves the list on its first row.
    }
}

void LiveList::settleDerive() {
    if (deriving_.valid()) finishDerive();
}

void LiveList::cancelDerive() {
    if (!deriving_.valid()) return;
    if (deriveStopped_) deriveStopped_->store(true);
    try {
        deriving_.get();
    } catch (...) {
        // Stopped as told, or failed: its rows are not wanted either way.
    }
    deriving_ = {};
    deriveStopped_.reset();
    ++deriveTurn_;
}

void LiveList::prepareTitleOrders() {
    if (!canDerive()) return;
    std::vector<std::pair<int, FieldKind>> columns;
    for (const QString& name : titleFields_) {
        const int c = query_->fieldIndex(name);
        if (c >= 0 && comparesHere(c))
            columns.emplace_back(c, fields_[static_cast<size_t>(c)].kind);
    }
    base_.prepareOrders(collation_, std::move(columns), searchColumns_);
}

void LiveList::sortBase() {
    base_.orderBy(collation_, fields_[static_cast<size_t>(sortColumn_)].kind, sortColumn_);
}

bool LiveList::sameAsShown(const std::vector<RowRef>& rows) const {
    const std::vector<RowRef>& shown = query_->rows();
    if (rows.size() != shown.size()) return false;
    const size_t columns = fields_.size();
    const auto sameRow = [columns](const RowRef& a, const RowRef& b) {
        for (size_t c = 0; c < columns; ++c)
            if (!sameCell(a, b, c)) return false;
        return true;
    };
    const auto tie = [this](const RowRef& a, const RowRef& b) {
        if (sortColumn_ < 0) return false;
        const auto c = static_cast<size_t>(sortColumn_);
        return CompareCells(collation_, fields_[c].kind, a.cell(c), a.length(c), b.cell(c),
                            b.length(c)) == 0;
    };
    // Rows whose sort values are equal may come in any order.
    size_t i = 0;
    while (i < rows.size()) {
        if (sameRow(rows[i], shown[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < rows.size() && tie(rows[end], rows[i]) && tie(shown[end], rows[i])) ++end;
        if (end == i) return false;
        std::vector<RowRef> a(rows.begin() + static_cast<long>(i),
                              rows.begin() + static_cast<long>(end));
        std::vector<RowRef> b(shown.begin() + static_cast<long>(i),
                              shown.begin() + static_cast<long>(end));
        const auto before = [columns](const RowRef& x, const RowRef& y) {
            return bytesBefore(x, y, columns);
        };
        std::sort(a.begin(), a.end(), before);
        std::sort(b.begin(), b.end(), before);
        for (size_t k = 0; k < a.size(); ++k)
            if (!sameRow(a[k], b[k])) return false;
        i = end;
    }
    return true;
}

// ---------------------------------------------------------------- changes

void LiveList::keepRowsLeaving(const QString& nextCondition) {
    const bool whole = baseComplete_ && mode_ == Mode::Idle &&
                       fetchedCondition_ == baseCondition_ && !base_.empty();
    if (!whole || nextCondition == baseCondition_ || base_.size() > kKeptRowsAtMost) return;
    kept_.insert(kept_.begin(), KeptRows{baseCondition_, fields_, std::move(base_)});
    base_.clear();
    size_t rows = 0;
    size_t lists = 0;
    while (lists < kept_.size() && lists < kKeptListsAtMost &&
           rows + kept_[lists].rows.size() <= kKeptRowsAtMost)
        rows += kept_[lists++].rows.size();
    kept_.resize(lists);
}

bool LiveList::showKeptRows() {
    const auto kept = std::find_if(kept_.begin(), kept_.end(), [this](const KeptRows& k) {
        return k.condition == baseCondition_;
    });
    if (kept == kept_.end()) return false;
    KeptRows rows = std::move(*kept);
    kept_.erase(kept);
    // Only rows this list can narrow and order itself, as it would fetch them.
    if (!canDerive() || fetchCondition() != baseCondition_ || !sameFields(rows.fields, fields_))
        return false;
    fetchedCondition_ = baseCondition_;
    base_ = std::move(rows.rows);
    baseComplete_ = true;
    mode_ = Mode::Idle;
    sortBase();
    derive(0);
    prepareTitleOrders();
    // Another workstation may have changed them meanwhile: the server is
    // asked at once, and the list counts as loaded once it has answered.
    startCheck();
    return true;
}

void LiveList::open(const QString& baseCondition, const QString& searchText,
                    const QString& sortField) {
    cancelDerive();
    if (!collationRead_) {
        collation_ = Collation::Read(*connection_);
        collationRead_ = true;
    }
    keepRowsLeaving(baseCondition);
    baseCondition_ = baseCondition;
    searchText_ = searchText;
    sortField_ = sortField;
    writeQueryLines();
    prepareWords();
    if (columnsKnown_) resolveColumns();
    checkTimer_.stop();
    checkWanted_ = false;
    dropPendingLocate();
    if (showKeptRows()) return;
    fetchedCondition_ = fetchCondition();
    base_.clear();
    baseComplete_ = false;
    if (columnsKnown_) query_->present(fields_, {}, {}, -1);
    startFetch(Mode::Streaming, sqlFor(fetchedCondition_));
    if (firstScreenful_) startFirstScreenful(sqlFor(fetchedCondition_));
}

void LiveList::setSearchText(const QString& text, const QString& locateField) {
    cancelDerive();
    const bool derivable = canDerive() && fetchedCondition_ == baseCondition_ &&
                           (baseComplete_ || mode_ == Mode::Streaming);
    if (!derivable) {
        open(baseCondition_, text, sortField_);
        if (!locateField.isEmpty()) locateQuietly(locateField, text);
        return;
    }
    searchText_ = text;
    writeQueryLines();
    const QStringList before = words_;
    const std::vector<LikePattern> narrower = patterns_;
    prepareWords();
    dropPendingLocate();
    if (!locateField.isEmpty() && !text.isEmpty()) {
        locateAfterDerive_ = locateField;
        locateTextAfterDerive_ = text;
    }
    if (mode_ == Mode::Checking) {
        fetcher_.abandon();
        mode_ = Mode::Idle;
    }
    // A blank, a comma or a fifth word changes nothing the server would see.
    if (words_ != before) {
        // Another letter or word: the rows shown hold all that can match.
        const bool narrowing =
            !narrower.empty() &&
            std::all_of(narrower.begin(), narrower.end(), [&](const auto& old) {
                return std::any_of(patterns_.begin(), patterns_.end(),
                                   [&](const LikePattern& now) { return now.narrows(old); });
            });
        // Rows in another order than they arrived are read where they lie,
        // and rows whose values are numbered are tested by those.
        base_.takeNumberings();
        if (narrowing && mode_ != Mode::Streaming && !base_.reordered() && !base_.anyNumbering()) {
            query_->present(fields_, matching(query_->rows()), query_->rowHolders(), 0);
        } else {
            deriveSoon();
        }
    }
    scheduleCheck();
    // Made here and now unless the rows are still being found.
    if (!deriving_.valid() && !locateAfterDerive_.isEmpty()) {
        const QString field = locateAfterDerive_;
        locateAfterDerive_.clear();
        locateQuietly(field, text);
    }
}

void LiveList::setSortField(const QString& field) {
    cancelDerive();
    sortField_ = field;
    writeQueryLines();
    if (columnsKnown_) resolveColumns();
    dropPendingLocate();
    const bool derivable = canDerive() && fetchedCondition_ == baseCondition_ && baseComplete_;
    if (!derivable || mode_ == Mode::Streaming) {
        open(baseCondition_, searchText_, field);
        return;
    }
    if (mode_ != Mode::Idle) fetcher_.abandon();
    const bool refetching = mode_ == Mode::Refetching;
    mode_ = Mode::Idle;
    sortBase();
    deriveSoon();
    if (refetching) {
        refetch();
    } else {
        scheduleCheck();
    }
}

void LiveList::refresh() {
    kept_.clear();
    refetch();
}

void LiveList::refetch() {
    settleDerive();
    checkTimer_.stop();
    checkWanted_ = false;
    if (!baseComplete_) {
        open(baseCondition_, searchText_, sortField_);
        return;
    }
    fetchedCondition_ = fetchCondition();
    startFetch(Mode::Refetching, sqlFor(fetchedCondition_));
}

void LiveList::forget(const QVariant& key) {
    settleDerive();
    kept_.clear();
    const QByteArray bytes = key.toString().toLatin1();
    const int held = rowWithKey(base_.rows(), bytes);
    if (held >= 0) base_.removeAt(static_cast<size_t>(held));
    std::vector<RowRef> shown = query_->rows();
    const int row = rowWithKey(shown, bytes);
    if (row >= 0) shown.erase(shown.begin() + row);
    query_->present(fields_, std::move(shown), query_->rowHolders(), query_->currentRow());
}

void LiveList::dropPendingLocate() {
    locateField_.clear();
    locateAfterDerive_.clear();
    ++locateTurn_;
    if (locateCancelled_) locateCancelled_->store(true);
}

bool LiveList::cannotBegin(const QString& field, const QString& text) const {
    const int column = query_->fieldIndex(field);
    if (column < 0 || query_->recordCount() > static_cast<int>(base_.size())) return false;
    const DistinctNumbering* facts = base_.facts(column);
    return facts && facts->bytesKnown && !PrefixCanBeginWithin(text, facts->bytes);
}

bool LiveList::locate(const QString& field, const QString& text) {
    dropPendingLocate();
    if (text.isEmpty() || !query_->isOpen()) return false;
    if (deriving_.valid()) {
        locateAfterDerive_ = field;
        locateTextAfterDerive_ = text;
        return false;
    }
    if (query_->recordCount() < static_cast<int>(2 * kRowsPerThread)) return locateNow(field, text);
    const int column = query_->fieldIndex(field);
    if (column >= 0 && query_->field(column).isTextual() && mode_ != Mode::Streaming) {
        if (!cannotBegin(field, text)) locateInThread(static_cast<size_t>(column), text);
        return false;
    }
    // Other columns are compared by their values, on the next turn of the
    // event loop, after the filtered rows were shown.
    const quint64 turn = locateTurn_;
    QTimer::singleShot(0, this, [this, field, text, turn] {
        if (turn != locateTurn_) return;
        try {
            locateNow(field, text);
        } catch (const DbError&) {
            // As the search box's own locate: a text that does not fit the
            // column leaves the list on its first row.
        }
    });
    return false;
}

void LiveList::locateInThread(size_t column, const QString& text) {
    stopLocating();
    // The thread reads its own copy of the row list, and the blocks the
    // rows lie in stay alive with it, whatever is shown meanwhile.
    auto rows = std::make_shared<const std::vector<RowRef>>(query_->rows());
    auto holders = std::make_shared<const std::vector<Dataset::RowHolder>>(query_->rowHolders());
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    locateCancelled_ = cancelled;
    const quint64 turn = locateTurn_;
    const quint64 rowsTurn = rowsTurn_;
    locating_ = std::async(std::launch::async, [=] {
        const long long row = Dataset::FirstWithPrefix(*rows, column, text, 0, cancelled.get());
        (void)holders;
        if (row < 0 || cancelled->load()) return;
        // stopLocating waits for this thread, so the list is alive here; the
        // call is dropped if it is gone by the time its turn comes.
        QMetaObject::invokeMethod(
            this,
            [this, row, turn, rowsTurn] {
                if (turn == locateTurn_ && rowsTurn == rowsTurn_)
                    query_->moveTo(static_cast<int>(row));
            },
            Qt::QueuedConnection);
    });
}

void LiveList::stopLocating() {
    if (locateCancelled_) locateCancelled_->store(true);
    if (locating_.valid()) locating_.wait();
    locating_ = {};
    locateCancelled_.reset();
}

bool LiveList::locateNow(const QString& field, const QString& text) {
    if (!query_->isOpen()) return false;
    if (mode_ != Mode::Streaming && cannotBegin(field, text)) return false;
    if (query_->locate(field, text, {true, true})) return true;
    if (mode_ == Mode::Streaming) {
        locateField_ = field;
        locateText_ = text;
    }
    return false;
}

void LiveList::whenLoaded(std::function<void()> action) {
    if (isLoaded()) {
        action();
    } else {
        whenLoaded_.push_back(std::move(action));
    }
}

void LiveList::runLoaded() {
    std::vector<std::function<void()>> actions;
    actions.swap(whenLoaded_);
    for (const auto& action : actions) action();
}

void LiveList::settle() {
    settleDerive();
    for (;;) {
        if (checkTimer_.isActive()) {
            checkTimer_.stop();
            startCheck();
        }
        if (!fetcher_.busy()) return;
        fetcher_.wait();
    }
}

// ---------------------------------------------------------------- fetches

bool LiveList::canDigest() const {
    if (keyColumn_ < 0 || fields_.empty()) return false;
    std::set<QString> names;
    for (const Field& f : fields_)
        if (!names.insert(f.name.toLower()).second) return false;  // no derived table
    return true;
}

// One row of the rows' count and the XOR of the first 64 bits of each row's
// MD5; a row is its non-NULL cells and a mark of which are NULL, joined by
// byte 1, so that no value can pass for another. A column the server writes
// otherwise here than in the rows (or any other difference) only makes the
// digests differ, and the rows are then fetched.
QString LiveList::digestSql() const {
    QString cells;
    QString nulls;
    for (const Field& f : fields_) {
        QString name = f.name;
        const QString quoted = QLatin1Char('`') +
                               name.replace(QLatin1Char('`'), QStringLiteral("``")) +
                               QLatin1Char('`');
        cells += QStringLiteral(", ") + quoted;
        nulls += (nulls.isEmpty() ? QString() : QStringLiteral(", ")) + quoted +
                 QStringLiteral(" IS NULL");
    }
    QString sql = query_->sql().join(QLatin1Char('\n')).trimmed();
    while (sql.endsWith(QLatin1Char(';'))) sql = sql.chopped(1).trimmed();
    return QStringLiteral(
               "SELECT COUNT(*), BIT_XOR(CAST(CONV(LEFT(MD5(CONCAT_WS(CHAR(1)%1, "
               "CONCAT(%2))), 16), 16, 10) AS UNSIGNED)) FROM (%3) AS zomi_digest")
        .arg(cells, nulls, sql);
}

bool LiveList::digestMatches(const std::vector<RowRef>& answer) {
    if (answer.size() != 1 || !answer[0].cell(0) || !answer[0].cell(1)) return false;
    const auto number = [&](size_t c) {
        unsigned long long v = 0;
        std::from_chars(answer[0].cell(c), answer[0].cell(c) + answer[0].length(c), v);
        return v;
    };
    if (!localDigest_.valid() || number(0) != localDigestRows_) return false;
    return localDigest_.get() == number(1);
}

void LiveList::startLocalDigest() {
    cancelLocalDigest();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    digestCancelled_ = cancelled;
    localDigestRows_ = query_->rows().size();
    // The holders keep the rows' bytes while the thread reads them.
    localDigest_ =
        std::async(std::launch::async,
                   [rows = query_->rows(), holders = query_->rowHolders(), columns = fields_.size(),
                    cancelled] { return RowsDigest(rows, columns, *cancelled); });
}

void LiveList::cancelLocalDigest() {
    if (digestCancelled_) *digestCancelled_ = true;
    if (localDigest_.valid()) localDigest_.wait();
    localDigest_ = {};
}

void LiveList::startFetch(Mode mode, const QString& sql, bool digest) {
    if (!paramsGiven_ || !sameParams(fetchParams_, connection_->params())) {
        fetchParams_ = connection_->params();
        fetcher_.setParams(fetchParams_);
        paramsGiven_ = true;
    }
    mode_ = mode;
    digestCheck_ = digest;
    fetchSql_ = sql;
    incoming_.clear();
    incomingBlocks_.clear();
    ListFetcher::Handlers handlers;
    handlers.fields = [this](const std::vector<Field>& fields) {
        if (digestCheck_) return;  // the digest's own columns
        if (takeFields(fields) && mode_ != Mode::Streaming) baseComplete_ = false;
    };
    handlers.rows = [this](const RowBlockPtr& block) { rowsArrived(block); };
    handlers.done = [this](quint64 bytes) { fetchDone(bytes); };
    handlers.failed = [this](const std::exception& e) { fetchFailed(e); };
    fetcher_.start(sql, std::move(handlers));
}

std::vector<RowRef> LiveList::shownOf(const RowBlock& block) const {
    if (patterns_.empty() || fetchedCondition_ != baseCondition_) return block.rows();
    return matching(block.rows());
}

void LiveList::startFirstScreenful(const QString& sql) {
    firstScreenfulShown_ = false;
    if (!sameParams(firstScreenfulParams_, fetchParams_)) {
        firstScreenfulParams_ = fetchParams_;
        firstScreenfulFetcher_.setParams(fetchParams_);
    }
    QString limited =
        firstScreenfulSql_ ? firstScreenfulSql_(fetchedCondition_, sortField_) : QString();
    if (limited.isEmpty()) {
        limited = sql.trimmed();
        while (limited.endsWith(QLatin1Char(';'))) limited = limited.chopped(1).trimmed();
        // The first block of the whole list holds as many rows.
        limited += QStringLiteral(" LIMIT %1").arg(ListFetcher::kFirstBlockRows);
    }
    ListFetcher::Handlers handlers;
    handlers.fields = [this](const std::vector<Field>& fields) {
        if (mode_ == Mode::Streaming && base_.empty()) takeFields(fields);
    };
    handlers.rows = [this](const RowBlockPtr& block) { firstScreenfulArrived(block); };
    // The whole list's fetch runs the same query, or one over the same
    // rows, and reports what fails.
    handlers.failed = [](const std::exception&) {};
    handlers.done = [](quint64) {};
    firstScreenfulFetcher_.start(limited, std::move(handlers));
}

void LiveList::firstScreenfulArrived(const RowBlockPtr& block) {
    settleDerive();
    // Only while the list's own rows are still to come.
    if (mode_ != Mode::Streaming || !base_.empty() || !columnsKnown_ || firstScreenfulShown_)
        return;
    query_->present(fields_, shownOf(*block), {block}, 0);
    firstScreenfulShown_ = true;
}

void LiveList::rowsArrived(const RowBlockPtr& block) {
    settleDerive();
    if (mode_ != Mode::Streaming) {
        const std::vector<RowRef> rows = block->rows();
        incoming_.insert(incoming_.end(), rows.begin(), rows.end());
        incomingBlocks_.push_back(block);
        return;
    }
    base_.append(block, sortColumn_);
    int from = query_->recordCount();
    if (firstScreenfulShown_) {
        // The list's own first rows replace the first screenful's, the
        // same rows, on the row the user is on.
        firstScreenfulShown_ = false;
        const QByteArray key = currentKey();
        query_->present(fields_, shownOf(*block), {block}, 0);
        const int row = rowWithKey(query_->rows(), key);
        if (row > 0) query_->moveTo(row);
        from = 0;
    } else {
        query_->appendRows(shownOf(*block), block);
    }
    if (query_->currentRow() == 0 && !locateField_.isEmpty()) {
        try {
            if (query_->locate(locateField_, locateText_, {true, true}, from)) locateField_.clear();
        } catch (const DbError&) {
            locateField_.clear();  // see locateInArrived
        }
    }
}

void LiveList::fetchDone(quint64 bytes) {
    settleDerive();
    bytesReceived_ = bytes;
    fetchAgain_ = true;
    const Mode finished = mode_;
    mode_ = Mode::Idle;
    if (finished == Mode::Streaming) {
        baseComplete_ = true;
        locateField_.clear();
        prepareTitleOrders();
    } else if (finished == Mode::Refetching) {
        const QByteArray key = currentKey();
        const int current = query_->currentRow();
        base_.replace(std::move(incoming_), std::move(incomingBlocks_), sortColumn_);
        incoming_.clear();
        incomingBlocks_.clear();
        baseComplete_ = true;
        prepareTitleOrders();
        if (patterns_.empty() || fetchedCondition_ != baseCondition_) {
            query_->present(fields_, base_.rows(), base_.holders(), current);
        } else {
            derive(current);
        }
        const int row = rowWithKey(query_->rows(), key);
        if (row >= 0) query_->moveTo(row);
    } else if (finished == Mode::Checking) {
        if (digestCheck_) {
            const bool same = digestMatches(incoming_);
            incoming_.clear();
            incomingBlocks_.clear();
            // Only rows that differ are worth fetching.
            if (!same) startFetch(Mode::Checking, query_->sql().join(QLatin1Char('\n')));
            if (isLoaded()) runLoaded();
            return;
        }
        if (!sameAsShown(incoming_)) {
            const QByteArray key = currentKey();
            const int row = rowWithKey(incoming_, key);
            const int current = row >= 0 ? row : query_->currentRow();
            if (patterns_.empty()) {
                // The answer is the base condition's own rows.
                base_.replace(incoming_, incomingBlocks_, sortColumn_);
                prepareTitleOrders();
            }
            query_->present(fields_, std::move(incoming_),
                            {incomingBlocks_.begin(), incomingBlocks_.end()}, current);
            if (!patterns_.empty()) refetch();
        }
        incoming_.clear();
        incomingBlocks_.clear();
        if (isLoaded()) runLoaded();
        return;
    }
    if (checkWanted_) {
        checkWanted_ = false;
        startCheck();
    }
    if (isLoaded()) runLoaded();
}

bool LiveList::fetchAgainAfterLoss(const std::exception& error) {
    const auto* dbError = dynamic_cast<const DbError*>(&error);
    constexpr unsigned kServerGone = 2006;        // CR_SERVER_GONE_ERROR
    constexpr unsigned kServerLost = 2013;        // CR_SERVER_LOST
    constexpr unsigned kConnectionKilled = 1927;  // ER_CONNECTION_KILLED
    if (!fetchAgain_ || !dbError ||
        (dbError->code() != kServerGone && dbError->code() != kServerLost &&
         dbError->code() != kConnectionKilled))
        return false;
    fetchAgain_ = false;
    // Rows that came before the loss stay shown until the whole answer is
    // in; the failed fetch's mode is still the list's.
    const bool streaming = mode_ == Mode::Streaming;
    if (streaming) baseComplete_ = false;
    startFetch(streaming ? Mode::Refetching : mode_, fetchSql_, digestCheck_);
    return true;
}

void LiveList::fetchFailed(const std::exception& error) {
    settleDerive();
    if (fetchAgainAfterLoss(error)) return;
    fetchAgain_ = true;  // for the fetches to come
    if (mode_ == Mode::Streaming) baseComplete_ = false;
    mode_ = Mode::Idle;
    whenLoaded_.clear();
    incoming_.clear();
    incomingBlocks_.clear();
    if (onError_) onError_(error);
}

void LiveList::scheduleCheck() { checkTimer_.start(); }

void LiveList::startCheck() {
    settleDerive();
    if (mode_ == Mode::Streaming || mode_ == Mode::Refetching) {
        checkWanted_ = true;
        return;
    }
    if (!baseComplete_) return;
    if (canDigest()) {
        startLocalDigest();
        startFetch(Mode::Checking, digestSql(), true);
    } else {
        startFetch(Mode::Checking, query_->sql().join(QLatin1Char('\n')));
    }
}

}  // namespace zomi::dbaccess
