#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zomi::dbaccess {

// One row as the lists hold it, one pointer wide. The row lies in a single
// run of memory: one 32-bit mark per column and one past the last, then the
// cells' bytes, each followed by a NUL so that a cell reads as a C string
// too. A mark is the offset of its cell from the row's start, with the top
// bit set for NULL; the next mark ends the cell. Compared with a pointer and
// a length per cell, a million rows of the register take a quarter of the
// memory on top of their bytes, and a row's cells sit next to each other.
class RowRef {
  public:
    static constexpr std::uint32_t kNull = 0x80000000u;

    RowRef() = default;
    explicit RowRef(const std::uint32_t* marks) : marks_(marks) {}

    bool isNull(size_t column) const { return (marks_[column] & kNull) != 0; }
    // nullptr for NULL.
    const char* cell(size_t column) const {
        return isNull(column) ? nullptr : reinterpret_cast<const char*>(marks_) + offset(column);
    }
    // 0 for NULL.
    unsigned long length(size_t column) const { return offset(column + 1) - offset(column) - 1; }
    // The row's place in memory: rows packed one after another lie in
    // ascending places.
    const std::uint32_t* place() const { return marks_; }
    bool operator==(const RowRef& other) const { return marks_ == other.marks_; }
    bool operator!=(const RowRef& other) const { return marks_ != other.marks_; }

  private:
    std::uint32_t offset(size_t mark) const { return marks_[mark] & ~kNull; }

    const std::uint32_t* marks_ = nullptr;
};

// Rows of one column count packed one after another. The rows handed out
// stay valid while this lives and no row is added.
class PackedRows {
  public:
    explicit PackedRows(size_t columns = 0) : columns_(columns) {}

    // A row given as a pointer (nullptr for NULL) and a length per column.
    void add(const char* const* cells, const unsigned long* lengths);
    // A copy of a row of as many columns.
    void add(const RowRef& row);

    size_t columns() const { return columns_; }
    size_t rowCount() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The rows in the order added.
    std::vector<RowRef> rows() const;
    // Gives back the room the buffer grew beyond its rows.
    void shrink() { words_.shrink_to_fit(); }
    size_t memory() const { return sizeof(PackedRows) + words_.capacity() * sizeof(std::uint32_t); }

  private:
    size_t columns_;
    size_t count_ = 0;
    std::vector<std::uint32_t> words_;
};

}  // namespace zomi::dbaccess
