#include "dbaccess/HeldRows.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>

#include "dbaccess/Halves.h"

namespace zomi::dbaccess {

namespace {

// The thread gives way to every other of the process: the window's and
// the searches' threads come first.
void LowerThisThreadsPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
}

}  // namespace

struct HeldRows::Preparation {
    std::mutex mutex;
    std::condition_variable finished;
    std::map<int, std::vector<std::uint32_t>> orders;
    std::map<int, DistinctNumbering> numberings;
    // Columns a click came to before their turn: ordered by the click.
    std::set<int> claimed;
    int working = -1;
    bool stop = false;
};

HeldRows::~HeldRows() { stopPreparing(); }

HeldRows::HeldRows(HeldRows&& other) noexcept
    : arrived_(std::move(other.arrived_)),
      blocks_(std::move(other.blocks_)),
      holders_(std::move(other.holders_)),
      arrivedBy_(other.arrivedBy_),
      shownBy_(other.shownBy_),
      ordered_(std::move(other.ordered_)),
      orders_(std::move(other.orders_)),
      numberings_(std::move(other.numberings_)),
      preparation_(std::move(other.preparation_)),
      preparer_(std::move(other.preparer_)) {}

// The thread reads the rows' buffer, which a move leaves where it is.
HeldRows& HeldRows::operator=(HeldRows&& other) noexcept {
    if (this == &other) return *this;
    stopPreparing();
    arrived_ = std::move(other.arrived_);
    blocks_ = std::move(other.blocks_);
    holders_ = std::move(other.holders_);
    arrivedBy_ = other.arrivedBy_;
    shownBy_ = other.shownBy_;
    ordered_ = std::move(other.ordered_);
    orders_ = std::move(other.orders_);
    numberings_ = std::move(other.numberings_);
    preparation_ = std::move(other.preparation_);
    preparer_ = std::move(other.preparer_);
    return *this;
}

void HeldRows::stopPreparing() {
    if (!preparer_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(preparation_->mutex);
        preparation_->stop = true;
    }
    preparer_.join();
    // The orders made so far hold for the same rows.
    for (auto& [column, order] : preparation_->orders) orders_.emplace(column, std::move(order));
    for (auto& [column, numbering] : preparation_->numberings)
        numberings_.emplace(column, std::move(numbering));
    preparation_.reset();
}

void HeldRows::takeNumberings() {
    if (!preparation_) return;
    const std::lock_guard<std::mutex> lock(preparation_->mutex);
    for (auto& [column, numbering] : preparation_->numberings)
        numberings_.emplace(column, std::move(numbering));
    preparation_->numberings.clear();
}

const DistinctNumbering* HeldRows::numbering(int column) const {
    const auto known = numberings_.find(column);
    return known == numberings_.end() || known->second.empty() ? nullptr : &known->second;
}

const DistinctNumbering* HeldRows::facts(int column) const {
    const auto known = numberings_.find(column);
    return known == numberings_.end() ? nullptr : &known->second;
}

void HeldRows::prepareOrders(const Collation& collation,
                             std::vector<std::pair<int, FieldKind>> columns,
                             std::vector<int> searched) {
    stopPreparing();
    columns.erase(std::remove_if(columns.begin(), columns.end(),
                                 [this](const auto& c) {
                                     return c.first == arrivedBy_ || orders_.count(c.first) > 0;
                                 }),
                  columns.end());
    searched.erase(std::remove_if(searched.begin(), searched.end(),
                                  [this](int c) { return numberings_.count(c) > 0; }),
                   searched.end());
    if ((columns.empty() && searched.empty()) || arrived_.size() < kRowsPerThread) return;
    preparation_ = std::make_shared<Preparation>();
    preparer_ = std::thread([p = preparation_, collation, columns = std::move(columns),
                             searched = std::move(searched), first = arrived_.data(),
                             count = arrived_.size()] {
        LowerThisThreadsPriority();
        const std::vector<RowRef> rows(first, first + count);
        for (const int column : searched) {
            {
                std::lock_guard<std::mutex> lock(p->mutex);
                if (p->stop) return;
            }
            DistinctNumbering numbering = NumberDistinct(static_cast<size_t>(column), rows);
            numbering.bytes = CellBytes(static_cast<size_t>(column), rows);
            numbering.bytesKnown = true;
            std::lock_guard<std::mutex> lock(p->mutex);
            p->numberings[column] = std::move(numbering);
        }
        for (const auto& [column, kind] : columns) {
            {
                std::lock_guard<std::mutex> lock(p->mutex);
                if (p->stop) return;
                if (p->claimed.count(column) > 0) continue;
                p->working = column;
            }
            std::vector<std::uint32_t> order =
                SortOrder(collation, kind, static_cast<size_t>(column), rows);
            {
                std::lock_guard<std::mutex> lock(p->mutex);
                p->orders[column] = std::move(order);
                p->working = -1;
            }
            p->finished.notify_all();
        }
    });
}

bool HeldRows::takePrepared(int column) {
    if (!preparation_) return false;
    Preparation& p = *preparation_;
    std::unique_lock<std::mutex> lock(p.mutex);
    p.finished.wait(lock, [&] { return p.working != column; });
    const auto made = p.orders.find(column);
    if (made == p.orders.end()) {
        p.claimed.insert(column);
        return false;
    }
    orders_.emplace(column, std::move(made->second));
    p.orders.erase(made);
    return true;
}

void HeldRows::clear() {
    stopPreparing();
    arrived_.clear();
    blocks_.clear();
    holders_.clear();
    arrivedBy_ = -1;
    shownBy_ = -1;
    ordered_.clear();
    orders_.clear();
    numberings_.clear();
}

void HeldRows::append(const RowBlockPtr& block, int orderedBy) {
    stopPreparing();
    if (arrived_.empty()) arrivedBy_ = orderedBy;
    const std::vector<RowRef> rows = block->rows();
    arrived_.insert(arrived_.end(), rows.begin(), rows.end());
    blocks_.push_back(block);
    holders_.push_back(block);
    // Rows come only while the list is in the order they are sent in.
    shownBy_ = -1;
    ordered_.clear();
    orders_.clear();
    numberings_.clear();
}

void HeldRows::replace(std::vector<RowRef> rows, std::vector<RowBlockPtr> blocks, int orderedBy) {
    clear();
    arrived_ = std::move(rows);
    blocks_ = std::move(blocks);
    holders_.assign(blocks_.begin(), blocks_.end());
    arrivedBy_ = orderedBy;
}

size_t HeldRows::memory() const {
    size_t bytes = (arrived_.capacity() + ordered_.capacity()) * sizeof(RowRef);
    for (const auto& kept : orders_) bytes += kept.second.capacity() * sizeof(std::uint32_t);
    for (const auto& kept : numberings_) bytes += kept.second.memory();
    for (const RowBlockPtr& block : blocks_) bytes += block->memory();
    return bytes;
}

void HeldRows::orderBy(const Collation& collation, FieldKind kind, int column) {
    if (column == arrivedBy_) {
        shownBy_ = -1;
        ordered_.clear();
        return;
    }
    auto known = orders_.find(column);
    if (known == orders_.end() && takePrepared(column)) known = orders_.find(column);
    if (known == orders_.end())
        known =
            orders_
                .emplace(column, SortOrder(collation, kind, static_cast<size_t>(column), arrived_))
                .first;
    shownBy_ = column;
    const std::vector<std::uint32_t>& order = known->second;
    ordered_.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i) ordered_[i] = arrived_[order[i]];
}

std::vector<std::uint64_t> HeldRows::matchMarks(const PlaceMatcher& matches) const {
    // One bit per row, so that the marks of a million rows stay in the
    // processor's cache while they are read in the order shown. Each core
    // writes whole words of its own: an even count of words splits in halves
    // on a word's edge.
    const size_t rows = arrived_.size();
    std::vector<std::uint64_t> marks((rows + 127) / 128 * 2);
    InHalves(marks.size() * 64, [&](size_t begin, size_t end) {
        for (size_t i = begin; i < std::min(end, rows); ++i)
            if (matches(i, arrived_[i])) marks[i / 64] |= std::uint64_t{1} << (i % 64);
        return 0;
    });
    return marks;
}

std::vector<RowRef> HeldRows::matching(const PlaceMatcher& matches) const {
    long long unused = -1;
    return matching(matches, PlaceMatcher(), unused);
}

std::vector<RowRef> HeldRows::matching(const PlaceMatcher& matches, const PlaceMatcher& first,
                                       long long& firstIndex) const {
    firstIndex = -1;
    const PlaceMatcher* wanted = first ? &first : nullptr;
    if (!reordered()) return FilterPlaces(arrived_, matches, wanted, &firstIndex);
    const std::vector<std::uint64_t> marks = matchMarks(matches);
    const std::vector<std::uint32_t>& order = orders_.at(shownBy_);
    const PlaceMatcher firstByPlace = [&](size_t i, const RowRef& row) {
        return first(order[i], row);
    };
    return FilterPlaces(
        ordered_,
        [&](size_t i, const RowRef&) {
            const std::uint32_t place = order[i];
            return (marks[place / 64] >> (place % 64) & 1) != 0;
        },
        wanted ? &firstByPlace : nullptr, &firstIndex);
}

void HeldRows::removeAt(size_t index) {
    if (index >= arrived_.size()) return;
    stopPreparing();
    size_t place = index;
    std::vector<std::uint32_t> shown;
    if (reordered()) {
        shown = std::move(orders_.at(shownBy_));
        place = shown[index];
        shown.erase(shown.begin() + static_cast<long>(index));
        ordered_.erase(ordered_.begin() + static_cast<long>(index));
        for (std::uint32_t& p : shown)
            if (p > place) --p;
    }
    // The other orders and the numberings kept name the places before.
    orders_.clear();
    numberings_.clear();
    if (reordered()) orders_.emplace(shownBy_, std::move(shown));
    arrived_.erase(arrived_.begin() + static_cast<long>(place));
}

std::vector<RowRef> HeldRows::Filter(const std::vector<RowRef>& rows, const Matcher& matches) {
    return FilterPlaces(rows, [&](size_t, const RowRef& row) { return matches(row); });
}

std::vector<RowRef> HeldRows::FilterPlaces(const std::vector<RowRef>& rows,
                                           const PlaceMatcher& matches, const PlaceMatcher* first,
                                           long long* firstIndex) {
    struct Part {
        std::vector<RowRef> kept;
        long long first = -1;
    };
    std::vector<Part> halves = InHalves(rows.size(), [&](size_t begin, size_t end) {
        Part part;
        for (size_t i = begin; i < end; ++i) {
            if (!matches(i, rows[i])) continue;
            if (first && part.first < 0 && (*first)(i, rows[i]))
                part.first = static_cast<long long>(part.kept.size());
            part.kept.push_back(rows[i]);
        }
        return part;
    });
    std::vector<RowRef> kept = std::move(halves.front().kept);
    if (firstIndex) *firstIndex = halves.front().first;
    for (size_t h = 1; h < halves.size(); ++h) {
        if (firstIndex && *firstIndex < 0 && halves[h].first >= 0)
            *firstIndex = static_cast<long long>(kept.size()) + halves[h].first;
        kept.insert(kept.end(), halves[h].kept.begin(), halves[h].kept.end());
    }
    return kept;
}

}  // namespace zomi::dbaccess
