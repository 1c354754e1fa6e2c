// Orders made in the background for the title clicks to come must be the
// orders a click would make itself, whichever of the two gets to a column
// first, and a change of the rows or a move of them must stop the thread
// without harm.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "dbaccess/HeldRows.h"

namespace zomi::dbaccess {
namespace {

// 150,000 rows of three columns: a text of few values, a text of as many
// values as rows, a date; each row in a block of its own kind.
RowBlockPtr MakeRows(size_t count) {
    auto block = std::make_shared<RowBlock>();
    block->packed = PackedRows(3);
    for (size_t i = 0; i < count; ++i) {
        const std::string values[] = {
            (i % 3 ? "Kft " : "KFT ") + std::to_string((i * 7919) % 97),
            "x" + std::to_string((i * 104729) % count),
            "2024-" + std::to_string(10 + i % 3) + "-" + std::to_string(10 + i % 19)};
        const char* cells[3];
        unsigned long lengths[3];
        for (size_t c = 0; c < 3; ++c) {
            cells[c] = values[c].data();
            lengths[c] = values[c].size();
        }
        block->packed.add(cells, lengths);
    }
    return block;
}

std::vector<RowRef> OrderedBy(const Collation& collation, FieldKind kind, int column,
                              const std::vector<RowRef>& rows) {
    std::vector<RowRef> ordered;
    for (const std::uint32_t i : SortOrder(collation, kind, static_cast<size_t>(column), rows))
        ordered.push_back(rows[i]);
    return ordered;
}

bool SameRows(const std::vector<RowRef>& a, const std::vector<RowRef>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

TEST(HeldRows, OrdersMadeInTheBackgroundAreTheOrdersAClickMakes) {
    QByteArray weights(256, '\0');
    for (int i = 0; i < 256; ++i) weights[i] = static_cast<char>(std::toupper(i));
    const Collation collation = Collation::FromWeights(weights);
    const RowBlockPtr block = MakeRows(150000);
    const std::vector<std::pair<int, FieldKind>> columns = {
        {0, FieldKind::Text}, {1, FieldKind::Text}, {2, FieldKind::Date}};

    for (const int wait : {0, 20, 400}) {
        SCOPED_TRACE(wait);
        HeldRows held;
        held.append(block, -1);
        held.prepareOrders(collation, columns, {0, 1});
        // The last column first: its turn has not come, or it is being made.
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        for (const int column : {2, 0, 1, 2}) {
            held.orderBy(collation, columns[static_cast<size_t>(column)].second, column);
            EXPECT_TRUE(SameRows(held.rows(),
                                 OrderedBy(collation, columns[static_cast<size_t>(column)].second,
                                           column, block->rows())))
                << "column " << column;
        }
    }

    // Moved while the orders are being made, then changed, then dropped.
    HeldRows first;
    first.append(block, -1);
    first.prepareOrders(collation, columns, {0, 1});
    HeldRows second(std::move(first));
    HeldRows third;
    third.append(block, -1);
    third.prepareOrders(collation, columns, {0, 1});
    third = std::move(second);
    third.orderBy(collation, FieldKind::Text, 1);
    EXPECT_TRUE(SameRows(third.rows(), OrderedBy(collation, FieldKind::Text, 1, block->rows())));
    third.prepareOrders(collation, columns, {0, 1});
    third.removeAt(0);
    EXPECT_EQ(third.size(), block->rows().size() - 1);
    third.prepareOrders(collation, columns, {0, 1});
}

}  // namespace
}  // namespace zomi::dbaccess
