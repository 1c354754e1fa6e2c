#pragma once

// Texts compared on the client exactly as the server compares them, so that
// a list can be narrowed and ordered from the rows it already holds and still
// give the rows, in the order, that the server's LIKE and ORDER BY give.

#include <QByteArray>
#include <QString>
#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "dbaccess/Field.h"

namespace zomi::dbaccess {

class Connection;

// A single-byte collation as the server defines it: one weight per byte.
class Collation {
  public:
    // Invalid: nothing can be compared on the client.
    Collation() = default;
    // The weights the server gives every byte under the session's collation
    // (one statement). Invalid when the collation does not give one weight
    // per byte (contractions, multi-byte sets).
    static Collation Read(Connection& connection);
    static Collation FromWeights(const QByteArray& weights, unsigned id = 0);

    bool isValid() const { return valid_; }
    // The server's number of the collation (a column's Field::collationId).
    unsigned id() const { return id_; }
    unsigned char weight(char c) const { return weights_[static_cast<unsigned char>(c)]; }

    // ORDER BY: the shorter text counts as padded with blanks.
    int compare(const char* a, unsigned long an, const char* b, unsigned long bn) const;

  private:
    std::array<unsigned char, 256> weights_{};
    bool valid_ = false;
    unsigned id_ = 0;
};

// The server's LIKE for one pattern (already in the session's bytes): "%"
// any run, "_" any one byte, "\" takes the next byte literally; no padding.
class LikePattern {
  public:
    LikePattern(const Collation& collation, const QByteArray& pattern);
    bool matches(const char* text, unsigned long length) const;
    // Every text this pattern matches the other matches too: both look for
    // a plain word, and this one's holds the other's.
    bool narrows(const LikePattern& other) const;
    // False when no text made of these bytes can match.
    bool canMatchWithin(const std::bitset<256>& bytes) const;

  private:
    int match(const unsigned char* s, const unsigned char* se, const unsigned char* w,
              const unsigned char* we) const;

    const Collation* collation_;
    QByteArray pattern_;
    // The weights of the word of a "%word%" pattern whose word has no
    // wildcard (escaped ones are letters), the search box's case, matched as
    // a plain substring.
    QByteArray plainWord_;
    bool plain_ = false;
};

// Orders two cells of a column of the given kind as ORDER BY does: NULL
// first, numbers by value, times as signed durations, texts by the collation.
int CompareCells(const Collation& collation, FieldKind kind, const char* a, unsigned long an,
                 const char* b, unsigned long bn);

struct RowRef;

// The order of the rows by one column exactly as CompareCells orders them,
// rows with equal values keeping their order, as the rows' places: the first
// is the place of the row that comes first. The rows stay where they are, so
// that their keys are read in the order they lie in memory. A column of few
// values is ordered by its distinct values; any other has each cell turned
// into a sort key once, so that 200,000 rows sort in a few tens of
// milliseconds.
std::vector<std::uint32_t> SortOrder(const Collation& collation, FieldKind kind, size_t column,
                                     const std::vector<RowRef>& rows);

// A column's distinct values (by their bytes) numbered from 0 in the order
// they first come, so that a search tests each value once rather than each
// row: contractors, sites and statuses are a few thousand values over a
// million rows.
struct DistinctNumbering {
    static constexpr std::uint32_t kNull = UINT32_MAX;
    // Each row's value number; kNull for NULL.
    std::vector<std::uint32_t> valueOf;
    // The place of each value's first row.
    std::vector<std::uint32_t> firstRows;
    bool anyNull = false;

    // The bytes that any of the column's cells holds, when known: a word
    // with a letter none of them has matches no cell of the column.
    std::bitset<256> bytes;
    bool bytesKnown = false;

    bool empty() const { return valueOf.empty(); }
    size_t memory() const {
        return (valueOf.capacity() + firstRows.capacity()) * sizeof(std::uint32_t);
    }
};
// Empty for fewer than 4,096 rows, or a column of more values than a
// sixteenth of its rows.
DistinctNumbering NumberDistinct(size_t column, const std::vector<RowRef>& rows);
// The bytes the column's cells hold.
std::bitset<256> CellBytes(size_t column, const std::vector<RowRef>& rows);

}  // namespace zomi::dbaccess
