#include "dbaccess/PackedRows.h"

#include <cstring>
#include <stdexcept>

namespace zomi::dbaccess {

namespace {

constexpr size_t kWord = sizeof(std::uint32_t);

size_t wordsFor(size_t bytes) { return (bytes + kWord - 1) / kWord; }

}  // namespace

template <typename Mark>
void PackedRows::write(std::uint32_t* row, const char* const* cells, const unsigned long* lengths,
                       Mark nullBit) const {
    char* text = reinterpret_cast<char*>(row);
    // Copied in: 16-bit marks lie in 32-bit words.
    const auto setMark = [text](size_t index, Mark value) {
        std::memcpy(text + index * sizeof(Mark), &value, sizeof(Mark));
    };
    auto at = static_cast<Mark>((columns_ + 1) * sizeof(Mark));
    for (size_t c = 0; c < columns_; ++c) {
        const unsigned long n = cells[c] ? lengths[c] : 0;
        setMark(c, cells[c] ? at : static_cast<Mark>(at | nullBit));
        if (n > 0) std::memcpy(text + at, cells[c], n);
        at = static_cast<Mark>(at + n);
        text[at] = '\0';
        at = static_cast<Mark>(at + 1);
    }
    setMark(columns_, at);
}

void PackedRows::add(const char* const* cells, const unsigned long* lengths) {
    size_t text = 0;
    for (size_t c = 0; c < columns_; ++c) text += (cells[c] ? lengths[c] : 0) + 1;
    const bool narrow = (columns_ + 1) * sizeof(std::uint16_t) + text < RowRef::kNarrowNull;
    const size_t bytes = (columns_ + 1) * (narrow ? sizeof(std::uint16_t) : kWord) + text;
    // The marks are offsets below the NULL bit.
    if (bytes >= RowRef::kNull) throw std::length_error("row of 2 GB or more");
    const size_t start = words_.size();
    words_.resize(start + wordsFor(bytes));
    if (narrow)
        write<std::uint16_t>(words_.data() + start, cells, lengths, RowRef::kNarrowNull);
    else
        write<std::uint32_t>(words_.data() + start, cells, lengths, RowRef::kNull);
    narrow_.push_back(narrow);
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

void PackedRows::add(const std::vector<std::optional<QByteArray>>& cells) {
    std::vector<const char*> pointers(columns_, nullptr);
    std::vector<unsigned long> lengths(columns_, 0);
    for (size_t c = 0; c < columns_ && c < cells.size(); ++c) {
        if (!cells[c]) continue;
        pointers[c] = cells[c]->constData();
        lengths[c] = static_cast<unsigned long>(cells[c]->size());
    }
    add(pointers.data(), lengths.data());
}

std::vector<RowRef> PackedRows::rows() const {
    std::vector<RowRef> rows;
    rows.reserve(count_);
    const std::uint32_t* at = words_.data();
    for (size_t r = 0; r < count_; ++r) {
        rows.emplace_back(at, narrow_[r]);
        at += wordsFor(rows.back().endOfRow(columns_));
    }
    return rows;
}

}  // namespace zomi::dbaccess
