#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace zomi::dbaccess {

// One row as the lists hold it, one pointer wide. The row lies in a single
// run of memory: one mark per column and one past the last, then the cells'
// bytes, each followed by a NUL so that a cell reads as a C string too. A
// mark is the offset of its cell from the row's start, with the top bit set
// for NULL; the next mark ends the cell. Marks are 16 bits wide in a row of
// less than 32 KB (the pointer's lowest bit says so), 32 bits in a longer
// one. Compared with a pointer and a length per cell, a million rows of the
// register take a tenth of the memory on top of their bytes, and a row's
// cells sit next to each other.
class RowRef {
  public:
    static constexpr std::uint32_t kNull = 0x80000000u;
    static constexpr std::uint16_t kNarrowNull = 0x8000u;

    RowRef() = default;
    RowRef(const std::uint32_t* row, bool narrow)
        : at_(reinterpret_cast<std::uintptr_t>(row) | (narrow ? 1u : 0u)) {}

    bool isNull(size_t column) const { return (mark(column) & kNull) != 0; }
    // nullptr for NULL.
    const char* cell(size_t column) const {
        const std::uint32_t m = mark(column);
        return (m & kNull) != 0 ? nullptr : reinterpret_cast<const char*>(start()) + m;
    }
    // 0 for NULL.
    unsigned long length(size_t column) const {
        return (mark(column + 1) & ~kNull) - (mark(column) & ~kNull) - 1;
    }
    // The row's place in memory: rows packed one after another lie in
    // ascending places.
    const std::uint32_t* place() const { return start(); }
    // The bytes the row takes, given its column count.
    std::uint32_t endOfRow(size_t columns) const { return mark(columns) & ~kNull; }
    bool operator==(const RowRef& other) const { return at_ == other.at_; }
    bool operator!=(const RowRef& other) const { return at_ != other.at_; }

  private:
    const std::uint32_t* start() const {
        return reinterpret_cast<const std::uint32_t*>(at_ & ~std::uintptr_t{1});
    }
    // The mark in its 32-bit form.
    std::uint32_t mark(size_t column) const {
        if ((at_ & 1u) == 0) return start()[column];
        // Copied out: the marks lie in 32-bit words.
        std::uint16_t m = 0;
        std::memcpy(&m, reinterpret_cast<const char*>(start()) + column * sizeof m, sizeof m);
        return (m & ~kNarrowNull) | ((m & kNarrowNull) != 0 ? kNull : 0u);
    }

    std::uintptr_t at_ = 0;
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
    // A row of the bytes given per column (nothing for NULL).
    void add(const std::vector<std::optional<QByteArray>>& cells);

    size_t columns() const { return columns_; }
    size_t rowCount() const { return count_; }
    bool empty() const { return count_ == 0; }
    // The rows in the order added.
    std::vector<RowRef> rows() const;
    // Gives back the room the buffer grew beyond its rows.
    void shrink() {
        words_.shrink_to_fit();
        narrow_.shrink_to_fit();
    }
    size_t memory() const {
        return sizeof(PackedRows) + words_.capacity() * sizeof(std::uint32_t) +
               narrow_.capacity() / 8;
    }

  private:
    template <typename Mark>
    void write(std::uint32_t* row, const char* const* cells, const unsigned long* lengths,
               Mark nullBit) const;

    size_t columns_;
    size_t count_ = 0;
    std::vector<std::uint32_t> words_;
    std::vector<bool> narrow_;
};

}  // namespace zomi::dbaccess
