#include "dbaccess/Collation.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "dbaccess/Connection.h"
#include "dbaccess/Halves.h"
#include "dbaccess/ResultSet.h"

namespace zomi::dbaccess {

namespace {

constexpr unsigned char kAnyRun = '%';
constexpr unsigned char kAnyOne = '_';
constexpr unsigned char kEscape = '\\';

template <typename T>
int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareBytes(const char* a, unsigned long an, const char* b, unsigned long bn) {
    const int c = std::memcmp(a, b, std::min(an, bn));
    return c != 0 ? (c < 0 ? -1 : 1) : threeWay(an, bn);
}

// "-838:59:59.000000" to "838:59:59.000000" as microseconds.
long long durationOf(const char* p, unsigned long n) {
    const char* end = p + n;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    long long parts[3] = {0, 0, 0};
    for (long long& part : parts) {
        const auto r = std::from_chars(p, end, part);
        p = r.ptr;
        if (p < end && *p == ':') ++p;
    }
    long long micros = 0;
    if (p < end && *p == '.') {
        int digits = 0;
        for (++p; p < end && digits < 6; ++p, ++digits) micros = micros * 10 + (*p - '0');
        for (; digits < 6; ++digits) micros *= 10;
    }
    const long long value = ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000000 + micros;
    return negative ? -value : value;
}

// Keys whose unsigned order is the order of the values.
std::uint64_t orderedBits(long long v) {
    return static_cast<std::uint64_t>(v) ^ (std::uint64_t{1} << 63);
}

std::uint64_t orderedBits(double v) {
    if (v == 0) v = 0;  // -0 equals 0
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The first eight bytes, padded, the first the most significant: keys that
// differ order the texts, equal ones leave it to the whole texts.
std::uint64_t prefixKey(const unsigned char* p, size_t n, unsigned char pad) {
    std::uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i) key = (key << 8) | (i < n ? p[i] : pad);
    return key;
}

// Collation::compare over weights already looked up.
int compareWeights(const unsigned char* a, size_t an, const unsigned char* b, size_t bn,
                   unsigned char blank) {
    const size_t common = std::min(an, bn);
    const int c = std::memcmp(a, b, common);
    if (c != 0) return c < 0 ? -1 : 1;
    const bool aLonger = an > bn;
    const unsigned char* rest = aLonger ? a : b;
    for (size_t i = common; i < std::max(an, bn); ++i)
        if (rest[i] != blank) return (rest[i] < blank) == aLonger ? -1 : 1;
    return 0;
}

}  // namespace

Collation Collation::FromWeights(const QByteArray& weights, unsigned id) {
    Collation c;
    if (weights.size() != 256) return c;
    std::memcpy(c.weights_.data(), weights.constData(), 256);
    c.valid_ = true;
    c.id_ = id;
    return c;
}

Collation Collation::Read(Connection& connection) {
    const ResultSetPtr names = connection.query(QStringLiteral(
        "SELECT CHARACTER_SET_NAME, COLLATION_NAME, ID FROM information_schema.COLLATIONS "
        "WHERE COLLATION_NAME = @@collation_connection"));
    if (!names || names->rowCount() != 1) return Collation();
    const auto text = [](const RowRef& row, int c) {
        return QString::fromLatin1(row.cell(c), static_cast<qsizetype>(row.length(c)));
    };
    const RowRef named = names->row(0);
    QByteArray every(256, '\0');
    for (int i = 0; i < 256; ++i) every[i] = static_cast<char>(i);
    const ResultSetPtr result = connection.query(
        QStringLiteral("SELECT WEIGHT_STRING(CONVERT(UNHEX('%1') USING %2) COLLATE %3)")
            .arg(QString::fromLatin1(every.toHex()), text(named, 0), text(named, 1)));
    if (!result || result->rowCount() != 1 || result->row(0).cell(0) == nullptr) return Collation();
    const RowRef row = result->row(0);
    return FromWeights(QByteArray(row.cell(0), static_cast<qsizetype>(row.length(0))),
                       text(named, 2).toUInt());
}

int Collation::compare(const char* a, unsigned long an, const char* b, unsigned long bn) const {
    const unsigned long common = std::min(an, bn);
    for (unsigned long i = 0; i < common; ++i) {
        const int wa = weight(a[i]);
        const int wb = weight(b[i]);
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (an == bn) return 0;
    // What the longer text has beyond the other compares with blanks.
    const bool aLonger = an > bn;
    const char* rest = aLonger ? a : b;
    const int blank = weight(' ');
    for (unsigned long i = common; i < std::max(an, bn); ++i) {
        const int w = weight(rest[i]);
        if (w != blank) return (w < blank) == aLonger ? -1 : 1;
    }
    return 0;
}

LikePattern::LikePattern(const Collation& collation, const QByteArray& pattern)
    : collation_(&collation), pattern_(pattern) {
    // "%word%" where the word has no wildcard of its own; an escaped "%",
    // "_" or backslash is a letter of the word like any other.
    if (pattern.size() < 3 || !pattern.startsWith('%') || !pattern.endsWith('%')) return;
    const qsizetype end = pattern.size() - 1;
    QByteArray word;
    for (qsizetype i = 1; i < end; ++i) {
        char c = pattern.at(i);
        if (c == kAnyRun || c == kAnyOne) return;
        if (c == kEscape) {
            // An escape before the closing "%" makes that "%" a letter.
            if (++i == end) return;
            c = pattern.at(i);
        }
        word += static_cast<char>(collation.weight(c));
    }
    if (word.isEmpty()) return;
    plainWord_ = word;
    plain_ = true;
}

bool LikePattern::narrows(const LikePattern& other) const {
    return plain_ && other.plain_ && plainWord_.contains(other.plainWord_);
}

bool LikePattern::canMatchWithin(const std::bitset<256>& bytes) const {
    if (!plain_) return true;
    std::bitset<256> weights;
    for (size_t b = 0; b < bytes.size(); ++b)
        if (bytes[b]) weights.set(collation_->weight(static_cast<char>(b)));
    return std::all_of(plainWord_.begin(), plainWord_.end(),
                       [&](char w) { return weights[static_cast<unsigned char>(w)]; });
}

bool LikePattern::matches(const char* text, unsigned long length) const {
    if (!text) return false;  // NULL LIKE anything is not true
    if (plain_) {
        const auto n = static_cast<unsigned long>(plainWord_.size());
        if (n > length) return false;
        const auto first = static_cast<unsigned char>(plainWord_.at(0));
        for (unsigned long i = 0; i + n <= length; ++i) {
            if (collation_->weight(text[i]) != first) continue;
            unsigned long k = 1;
            while (k < n &&
                   collation_->weight(text[i + k]) ==
                       static_cast<unsigned char>(plainWord_.at(static_cast<qsizetype>(k))))
                ++k;
            if (k == n) return true;
        }
        return false;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const auto* w = reinterpret_cast<const unsigned char*>(pattern_.constData());
    return match(s, s + length, w, w + pattern_.size()) == 0;
}

// 0: the text matches; 1: it does not; -1: it does not, and no later start
// of a "%" run can help either (so the caller stops trying).
int LikePattern::match(const unsigned char* s, const unsigned char* se, const unsigned char* w,
                       const unsigned char* we) const {
    const auto same = [this](unsigned char a, unsigned char b) {
        return collation_->weight(static_cast<char>(a)) == collation_->weight(static_cast<char>(b));
    };
    int result = -1;
    while (w != we) {
        while (*w != kAnyRun && *w != kAnyOne) {
            if (*w == kEscape && w + 1 != we) ++w;
            if (s == se || !same(*w++, *s++)) return 1;
            if (w == we) return s != se ? 1 : 0;
            result = 1;
        }
        if (*w == kAnyOne) {
            do {
                if (s == se) return result;
                ++s;
            } while (++w < we && *w == kAnyOne);
            if (w == we) break;
        }
        if (*w == kAnyRun) {
            for (++w; w != we; ++w) {
                if (*w == kAnyRun) continue;
                if (*w != kAnyOne) break;
                if (s == se) return -1;
                ++s;
            }
            if (w == we) return 0;
            if (s == se) return -1;
            unsigned char wanted = *w;
            if (wanted == kEscape && w + 1 != we) wanted = *++w;
            ++w;
            do {
                while (s != se && !same(*s, wanted)) ++s;
                if (s++ == se) return -1;
                const int rest = match(s, se, w, we);
                if (rest <= 0) return rest;
            } while (s != se);
            return -1;
        }
    }
    return s != se ? 1 : 0;
}

int CompareCells(const Collation& collation, FieldKind kind, const char* a, unsigned long an,
                 const char* b, unsigned long bn) {
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    switch (kind) {
        case FieldKind::Integer:
        case FieldKind::LargeInt: {
            long long x = 0;
            long long y = 0;
            const bool xOk = std::from_chars(a, a + an, x).ec == std::errc();
            const bool yOk = std::from_chars(b, b + bn, y).ec == std::errc();
            if (xOk && yOk) return threeWay(x, y);
            // Beyond the signed range: an UNSIGNED BIGINT.
            unsigned long long ux = 0;
            unsigned long long uy = 0;
            std::from_chars(a, a + an, ux);
            std::from_chars(b, b + bn, uy);
            if (!xOk && !yOk) return threeWay(ux, uy);
            return xOk ? -1 : 1;
        }
        case FieldKind::Float:
        case FieldKind::Decimal: {
            double x = 0;
            double y = 0;
            std::from_chars(a, a + an, x);
            std::from_chars(b, b + bn, y);
            return threeWay(x, y);
        }
        case FieldKind::Time:
            return threeWay(durationOf(a, an), durationOf(b, bn));
        case FieldKind::Text:
        case FieldKind::Memo:
            if (collation.isValid()) return collation.compare(a, an, b, bn);
            return compareBytes(a, an, b, bn);
        case FieldKind::Date:
        case FieldKind::DateTime:
        case FieldKind::Binary:
            break;
    }
    // Dates are written with fixed widths, so their bytes order them.
    return compareBytes(a, an, b, bn);
}

namespace {

// A table of a column's distinct values: the place of each value's first row,
// found by the bytes' hash with open addressing. Gives up beyond a limit.
class DistinctValues {
  public:
    explicit DistinctValues(size_t limit) : limit_(limit) {
        size_t capacity = 64;
        while (capacity < limit * 2) capacity *= 2;
        slots_.assign(capacity, kEmpty);
        mask_ = capacity - 1;
    }

    // The value's number (from 0), or -1 once there are more than the limit.
    long long add(const std::vector<RowRef>& rows, size_t column, std::uint32_t row) {
        const char* cell = rows[row].cell(column);
        const unsigned long n = rows[row].length(column);
        for (size_t slot = hashOf(cell, n) & mask_;; slot = (slot + 1) & mask_) {
            const std::uint32_t id = slots_[slot];
            if (id == kEmpty) {
                if (firstRows_.size() == limit_) return -1;
                slots_[slot] = static_cast<std::uint32_t>(firstRows_.size());
                firstRows_.push_back(row);
                return static_cast<long long>(firstRows_.size() - 1);
            }
            const RowRef& other = rows[firstRows_[id]];
            if (other.length(column) == n && std::memcmp(other.cell(column), cell, n) == 0)
                return id;
        }
    }
    const std::vector<std::uint32_t>& firstRows() const { return firstRows_; }

  private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    // Eight bytes at a time, each word mixed in by a multiplication.
    static size_t hashOf(const char* p, unsigned long n) {
        std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
        unsigned long i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p + i, 8);
            h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
            h ^= h >> 32;
        }
        std::uint64_t tail = 0;
        std::memcpy(&tail, p + i, n - i);
        h = (h ^ tail) * 0xC4CEB9FE1A85EC53ULL;
        return static_cast<size_t>(h ^ (h >> 29));
    }

    size_t limit_;
    size_t mask_ = 0;
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> firstRows_;
};

}  // namespace

DistinctNumbering NumberDistinct(size_t column, const std::vector<RowRef>& rows) {
    constexpr size_t kFewestRows = 4096;
    if (rows.size() < kFewestRows) return {};
    const size_t limit = rows.size() / 16;
    DistinctNumbering numbering;
    std::vector<std::uint32_t>& valueOf = numbering.valueOf;
    valueOf.resize(rows.size());
    std::atomic<bool> anyNull{false};
    // Numbers the values of [begin, end) in the table; false beyond its limit.
    const auto number = [&](DistinctValues& table, size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            if (!rows[i].cell(column)) {
                valueOf[i] = DistinctNumbering::kNull;
                anyNull = true;
                continue;
            }
            const long long id = table.add(rows, column, static_cast<std::uint32_t>(i));
            if (id < 0) return false;
            valueOf[i] = static_cast<std::uint32_t>(id);
        }
        return true;
    };
    // A million rows: each core numbers one half in a table of its own, and
    // the second half's values then take the first table's numbers.
    std::vector<DistinctValues> tables;
    tables.emplace_back(limit);
    if (rows.size() >= kRowsPerThread * 2) tables.emplace_back(limit);
    const std::vector<bool> numbered = InHalves(rows.size(), [&](size_t begin, size_t end) {
        return number(tables[begin == 0 ? 0 : 1], begin, end);
    });
    if (std::find(numbered.begin(), numbered.end(), false) != numbered.end()) return {};
    DistinctValues& distinct = tables.front();
    if (numbered.size() == 2) {
        std::vector<std::uint32_t> renumbered;
        for (const std::uint32_t row : tables.back().firstRows()) {
            const long long id = distinct.add(rows, column, row);
            if (id < 0) return {};
            renumbered.push_back(static_cast<std::uint32_t>(id));
        }
        for (size_t i = rows.size() / 2; i < rows.size(); ++i)
            if (valueOf[i] != DistinctNumbering::kNull) valueOf[i] = renumbered[valueOf[i]];
    }
    numbering.firstRows = distinct.firstRows();
    numbering.anyNull = anyNull;
    return numbering;
}

std::bitset<256> CellBytes(size_t column, const std::vector<RowRef>& rows) {
    std::bitset<256> bytes;
    for (const RowRef& row : rows) {
        const char* cell = row.cell(column);
        for (unsigned long i = 0, n = row.length(column); i < n; ++i)
            bytes.set(static_cast<unsigned char>(cell[i]));
    }
    return bytes;
}

namespace {

// Columns of few distinct values (contractors, statuses, dates): each value
// is ordered once, and the rows are then counted into place, equal values in
// the rows' order. Empty when the column has too many values for that.
std::vector<std::uint32_t> OrderByDistinct(const Collation& collation, FieldKind kind,
                                           size_t column, const std::vector<RowRef>& rows) {
    DistinctNumbering numbering = NumberDistinct(column, rows);
    if (numbering.empty()) return {};
    std::vector<std::uint32_t>& valueOf = numbering.valueOf;
    const bool anyNull = numbering.anyNull;
    const std::vector<std::uint32_t>& firstRows = numbering.firstRows;
    std::vector<std::uint32_t> byValue(firstRows.size());
    for (std::uint32_t v = 0; v < byValue.size(); ++v) byValue[v] = v;
    const auto compare = [&](std::uint32_t x, std::uint32_t y) {
        const RowRef& a = rows[firstRows[x]];
        const RowRef& b = rows[firstRows[y]];
        return CompareCells(collation, kind, a.cell(column), a.length(column), b.cell(column),
                            b.length(column));
    };
    std::sort(byValue.begin(), byValue.end(),
              [&](std::uint32_t x, std::uint32_t y) { return compare(x, y) < 0; });
    // Values that compare equal ("Kft" and "KFT") share a rank; NULL is first.
    std::vector<std::uint32_t> rankOf(firstRows.size());
    std::uint32_t rank = anyNull ? 1 : 0;
    for (size_t k = 0; k < byValue.size(); ++k) {
        if (k > 0 && compare(byValue[k - 1], byValue[k]) != 0) ++rank;
        rankOf[byValue[k]] = rank;
    }
    std::vector<size_t> start(static_cast<size_t>(rank) + 2, 0);
    for (std::uint32_t& v : valueOf) {
        v = v == DistinctNumbering::kNull ? 0 : rankOf[v];
        ++start[v + 1];
    }
    for (size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    std::vector<std::uint32_t> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order[start[valueOf[i]]++] = static_cast<std::uint32_t>(i);
    return order;
}

}  // namespace

std::vector<std::uint32_t> SortOrder(const Collation& collation, FieldKind kind, size_t column,
                                     const std::vector<RowRef>& rows) {
    if (std::vector<std::uint32_t> order = OrderByDistinct(collation, kind, column, rows);
        !order.empty())
        return order;
    struct Entry {
        std::uint64_t key;
        std::uint32_t row;
        bool null;
    };
    const bool weighed =
        (kind == FieldKind::Text || kind == FieldKind::Memo) && collation.isValid();
    const unsigned char blank = collation.weight(' ');
    // Texts as their weights, trailing blanks dropped (they compare as padding).
    std::vector<unsigned char> weights;
    std::vector<size_t> starts;
    if (weighed) starts.resize(rows.size() + 1);
    std::vector<Entry> entries(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const char* cell = rows[i].cell(column);
        const unsigned long n = rows[i].length(column);
        Entry& e = entries[i];
        e.row = static_cast<std::uint32_t>(i);
        e.null = cell == nullptr;
        e.key = 0;
        if (weighed) starts[i] = weights.size();
        if (!cell) continue;
        switch (kind) {
            case FieldKind::Integer:
            case FieldKind::LargeInt: {
                long long v = 0;
                // Beyond the signed range after every other value; the whole compare sorts them.
                e.key = std::from_chars(cell, cell + n, v).ec == std::errc() ? orderedBits(v)
                                                                             : UINT64_MAX;
                break;
            }
            case FieldKind::Float:
            case FieldKind::Decimal: {
                double v = 0;
                std::from_chars(cell, cell + n, v);
                e.key = orderedBits(v);
                break;
            }
            case FieldKind::Time:
                e.key = orderedBits(durationOf(cell, n));
                break;
            case FieldKind::Text:
            case FieldKind::Memo:
                if (weighed) {
                    size_t end = weights.size();
                    for (unsigned long k = 0; k < n; ++k) {
                        weights.push_back(collation.weight(cell[k]));
                        if (weights.back() != blank) end = weights.size();
                    }
                    weights.resize(end);
                }
                break;
            case FieldKind::Date:
            case FieldKind::DateTime:
            case FieldKind::Binary:
                break;
        }
    }
    if (weighed) starts[rows.size()] = weights.size();
    // Equal keys of numbers are equal numbers, but for those beyond the signed range.
    bool whole = kind != FieldKind::Integer && kind != FieldKind::LargeInt;
    const bool numeric = kind != FieldKind::Text && kind != FieldKind::Memo &&
                         kind != FieldKind::Date && kind != FieldKind::DateTime &&
                         kind != FieldKind::Binary;
    if (!numeric) {
        const auto bytesOf = [&](size_t i) -> std::pair<const unsigned char*, size_t> {
            if (weighed) return {weights.data() + starts[i], starts[i + 1] - starts[i]};
            return std::make_pair(reinterpret_cast<const unsigned char*>(rows[i].cell(column)),
                                  size_t{rows[i].length(column)});
        };
        // Texts of one length (dates, serial numbers) never differ where all
        // have the same byte, so the key skips those places and is then
        // mostly enough on its own.
        std::vector<size_t> places;
        const unsigned char* model = nullptr;
        size_t length = 0;
        bool uniform = true;
        std::vector<bool> varies;
        for (size_t i = 0; i < rows.size() && uniform; ++i) {
            if (entries[i].null) continue;
            const auto [p, n] = bytesOf(i);
            if (!model) {
                model = p;
                length = n;
                varies.assign(n, false);
            }
            uniform = n == length;
            for (size_t k = 0; uniform && k < n; ++k)
                if (p[k] != model[k]) varies[k] = true;
        }
        for (size_t k = 0; uniform && k < length; ++k)
            if (varies[k]) places.push_back(k);
        // Equal keys then mean equal texts.
        whole = uniform && places.size() <= 8;
        if (places.size() > 8) places.resize(8);
        const unsigned char pad = weighed ? blank : 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (entries[i].null) continue;
            const auto [p, n] = bytesOf(i);
            if (!uniform) {
                entries[i].key = prefixKey(p, n, pad);
                continue;
            }
            std::uint64_t key = 0;
            for (const size_t k : places) key = (key << 8) | p[k];
            entries[i].key = key;
        }
    }
    const auto before = [&](const Entry& a, const Entry& b) {
        if (a.null != b.null) return a.null;
        if (a.key != b.key) return a.key < b.key;
        const auto compare = [&] {
            if (weighed)
                return compareWeights(
                    weights.data() + starts[a.row], starts[a.row + 1] - starts[a.row],
                    weights.data() + starts[b.row], starts[b.row + 1] - starts[b.row], blank);
            const RowRef& x = rows[a.row];
            const RowRef& y = rows[b.row];
            return CompareCells(collation, kind, x.cell(column), x.length(column), y.cell(column),
                                y.length(column));
        };
        const int c = a.null || (whole && a.key != UINT64_MAX) ? 0 : compare();
        return c != 0 ? c < 0 : a.row < b.row;
    };
    // Ties are broken by the row, so the order is total and two halves
    // sorted apart merge into the same order (a million rows: on both cores).
    const auto halves = InHalves(entries.size(), [&](size_t begin, size_t end) {
        std::sort(entries.begin() + static_cast<long>(begin),
                  entries.begin() + static_cast<long>(end), before);
        return true;
    });
    if (halves.size() == 2)
        std::inplace_merge(entries.begin(), entries.begin() + static_cast<long>(entries.size() / 2),
                           entries.end(), before);
    std::vector<std::uint32_t> order;
    order.reserve(rows.size());
    for (const Entry& e : entries) order.push_back(e.row);
    return order;
}

}  // namespace zomi::dbaccess
