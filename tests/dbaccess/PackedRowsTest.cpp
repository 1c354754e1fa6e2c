#include <gtest/gtest.h>

#include <string>

#include "dbaccess/PackedRows.h"

namespace zomi::dbaccess {
namespace {

// Rows of every length modulo the word, rows on either side of the width
// of the short marks, NULLs beside empty texts, zero bytes inside a cell,
// and a copy of a row: each reads back as it was given, and lies after the
// one before.
TEST(PackedRows, RowsReadBackAsGivenWhateverTheirLengths) {
    PackedRows packed(3);
    std::vector<std::string> texts;
    for (size_t n = 0; n < 9; ++n) texts.push_back(std::string(n, static_cast<char>('a' + n)));
    texts.push_back(std::string("x\0y", 3));
    for (const size_t n : {32750, 32757, 32758, 40000}) texts.push_back(std::string(n, 'w'));
    texts.push_back("after the long ones");
    for (const std::string& t : texts) {
        const char* cells[] = {t.data(), nullptr, ""};
        const unsigned long lengths[] = {t.size(), 7, 0};
        packed.add(cells, lengths);
    }
    const std::vector<RowRef> rows = packed.rows();
    PackedRows copy(3);
    copy.add(rows.back());
    ASSERT_EQ(rows.size(), texts.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(std::string(rows[r].cell(0), rows[r].length(0)), texts[r]);
        EXPECT_EQ(rows[r].cell(0)[rows[r].length(0)], '\0');  // reads as a C string too
        EXPECT_TRUE(rows[r].isNull(1));
        EXPECT_EQ(rows[r].cell(1), nullptr);
        EXPECT_EQ(rows[r].length(1), 0u);
        EXPECT_FALSE(rows[r].isNull(2));
        EXPECT_STREQ(rows[r].cell(2), "");
        if (r > 0) {
            EXPECT_LT(rows[r - 1].place(), rows[r].place());
        }
    }
    const RowRef copied = copy.rows().front();
    EXPECT_EQ(std::string(copied.cell(0), copied.length(0)), texts.back());
    EXPECT_TRUE(copied.isNull(1));
    EXPECT_STREQ(copied.cell(2), "");
}

}  // namespace
}  // namespace zomi::dbaccess
