#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "dbaccess/Collation.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/ListFetcher.h"

namespace zomi::dbaccess {

// The rows of a list as the server sent them, and the order they are shown
// in now. The rows stay where they arrived; an order by another column is a
// list of their places, made once per column and kept, so that clicking a
// title again costs a copy. A search looks through the rows in the order
// they lie in memory, whatever the order shown: a million rows read out of
// place cost several times as much.
class HeldRows {
  public:
    using Matcher = std::function<bool(const RowRef&)>;
    // A test that may read what is known of the row's place among the rows
    // as they arrived (the value numbers of its columns).
    using PlaceMatcher = std::function<bool(size_t place, const RowRef&)>;

    HeldRows() = default;
    ~HeldRows();
    HeldRows(HeldRows&& other) noexcept;
    HeldRows& operator=(HeldRows&& other) noexcept;
    HeldRows(const HeldRows&) = delete;
    HeldRows& operator=(const HeldRows&) = delete;

    void clear();
    // Rows that follow those held, in the order of the column given (-1
    // when unknown).
    void append(const RowBlockPtr& block, int orderedBy);
    // Rows that take the place of those held, with the blocks they lie in.
    void replace(std::vector<RowRef> rows, std::vector<RowBlockPtr> blocks, int orderedBy);

    bool empty() const { return arrived_.empty(); }
    size_t size() const { return arrived_.size(); }
    // In the order shown.
    const std::vector<RowRef>& rows() const { return reordered() ? ordered_ : arrived_; }
    const std::vector<Dataset::RowHolder>& holders() const { return holders_; }
    // The rows are shown in another order than they arrived in.
    bool reordered() const { return shownBy_ >= 0; }
    // The bytes the rows, their blocks and their orders take in memory.
    size_t memory() const;

    // Orders the rows by the column, as SortOrder does.
    void orderBy(const Collation& collation, FieldKind kind, int column);
    // Makes the orders by these columns (and kinds) in a thread of its own at
    // the lowest priority, for the title clicks to come: a click then finds
    // its order made, or waits for the one being made, or makes it itself
    // when its turn has not come. Any change of the rows stops it first.
    // The distinct values of the columns searched are numbered first.
    void prepareOrders(const Collation& collation, std::vector<std::pair<int, FieldKind>> columns,
                       std::vector<int> searched);
    // Takes what the thread has found of the columns searched so far (their
    // value numberings and bytes), without waiting.
    void takeNumberings();
    // The column's numbering taken, or nullptr.
    const DistinctNumbering* numbering(int column) const;
    // What was found of the column (its numbering may be empty), or nullptr.
    const DistinctNumbering* facts(int column) const;
    bool anyNumbering() const { return !numberings_.empty(); }
    // The row at the place it arrived at.
    const RowRef& arrivedAt(size_t place) const { return arrived_[place]; }
    // The rows that match, in the order shown.
    std::vector<RowRef> matching(const PlaceMatcher& matches) const;
    // The same, and the index among them of the first row for which first
    // holds (tested with the row's place among the rows as they arrived),
    // -1 when none does.
    std::vector<RowRef> matching(const PlaceMatcher& matches, const PlaceMatcher& first,
                                 long long& firstIndex) const;
    // Takes out the row at the place shown.
    void removeAt(size_t index);

    // The rows that match, in their order; a million are looked through on
    // both cores.
    static std::vector<RowRef> Filter(const std::vector<RowRef>& rows, const Matcher& matches);

  private:
    struct Preparation;

    // The rows that match, each tested with its place in the rows given.
    static std::vector<RowRef> FilterPlaces(const std::vector<RowRef>& rows,
                                            const PlaceMatcher& matches,
                                            const PlaceMatcher* first = nullptr,
                                            long long* firstIndex = nullptr);
    std::vector<std::uint64_t> matchMarks(const PlaceMatcher& matches) const;
    void stopPreparing();
    // Moves the order made in the background into orders_; false when the
    // column's turn had not come (it is then left to the caller).
    bool takePrepared(int column);

    std::vector<RowRef> arrived_;
    std::vector<RowBlockPtr> blocks_;
    // The same blocks, as the dataset keeps them.
    std::vector<Dataset::RowHolder> holders_;
    int arrivedBy_ = -1;
    // The column whose order (in orders_) is shown; -1 for the order of
    // arrival. ordered_[i] is then arrived_[orders_[shownBy_][i]].
    int shownBy_ = -1;
    std::vector<RowRef> ordered_;
    std::map<int, std::vector<std::uint32_t>> orders_;
    std::map<int, DistinctNumbering> numberings_;
    std::shared_ptr<Preparation> preparation_;
    std::thread preparer_;
};

}  // namespace zomi::dbaccess
