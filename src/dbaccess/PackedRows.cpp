#include "dbaccess/PackedRows.h"

#include <cstring>
#include <stdexcept>

namespace zomi::dbaccess {

namespace {

constexpr size_t kWord = sizeof(std::uint32_t);

size_t wordsFor(size_t bytes) { return (bytes + kWord - 1) / kWord; }

}  // namespace

void PackedRows::add(const char* const* cells, const unsigned long* lengths) {
    size_t bytes = (columns_ + 1) * kWord;
    for (size_t c = 0; c < columns_; ++c) bytes += (cells[c] ? lengths[c] : 0) + 1;
    // The marks are offsets below the NULL bit.
    if (bytes >= RowRef::kNull) throw std::length_error("row of 2 GB or more");
    const size_t start = words_.size();
    words_.resize(start + wordsFor(bytes));
    std::uint32_t* marks = words_.data() + start;
    char* text = reinterpret_cast<char*>(marks);
    auto at = static_cast<std::uint32_t>((columns_ + 1) * kWord);
    for (size_t c = 0; c < columns_; ++c) {
        const unsigned long n = cells[c] ? lengths[c] : 0;
        marks[c] = cells[c] ? at : (at | RowRef::kNull);
        if (n > 0) std::memcpy(text + at, cells[c], n);
        at += static_cast<std::uint32_t>(n);
        text[at++] = '\0';
    }
    marks[columns_] = at;
    ++count_;
}

void PackedRows::add(const RowRef& row) {
    std::vector<const char*> cells(columns_);
    std::vector<unsigned long> lengths(columns_);
    for (size_t c = 0; c < columns_; ++c) {
        cells[c] = row.cell(c);
        lengths[c] = row.length(c);
    }
    add(cells.data(), lengths.data());
}

std::vector<RowRef> PackedRows::rows() const {
    std::vector<RowRef> rows;
    rows.reserve(count_);
    const std::uint32_t* at = words_.data();
    for (size_t r = 0; r < count_; ++r) {
        rows.emplace_back(at);
        at += wordsFor(at[columns_]);
    }
    return rows;
}

}  // namespace zomi::dbaccess
