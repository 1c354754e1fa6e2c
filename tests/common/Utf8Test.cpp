#include <gtest/gtest.h>

#include "common/Codepage.h"
#include "common/Utf8.h"

namespace zomi {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (const int v : values) out.append(static_cast<char>(v));
    return out;
}

TEST(Utf8, ConvertsCodePage1250ToUtf8) {
    EXPECT_EQ(ToUtf8(QByteArray("t\xFCk\xF5r \x8A")), QByteArray("t\xC3\xBCk\xC5\x91r \xC5\xA0"));
    EXPECT_EQ(ToUtf8(QByteArray("plain")), QByteArray("plain"));
    EXPECT_EQ(ToUtf8(QStringLiteral("tükőr")), ToUtf8(ToCp1250(QStringLiteral("tükőr"))));
}

TEST(Utf8, RepairsTheExamplesOfTheVendorsReplies) {
    EXPECT_EQ(RepairUtf8Text(bytes({0x4D, 0xC5, 0xB1, 0x6B, 0xC3, 0xB6, 0x64, 0xC5, 0x91})),
              bytes({0x4D, 0xFB, 0x6B, 0xF6, 0x64, 0xF5}));
    EXPECT_EQ(RepairUtf8Text(bytes({0x61, 0xCC, 0x81})), bytes({0xE1}));
}

TEST(Utf8, RepairsEveryHungarianLetter) {
    const QString text = QStringLiteral("Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP éíóöőúüű");
    EXPECT_EQ(RepairUtf8Text(text.toUtf8()), ToCp1250(text));
}

TEST(Utf8, CombiningAcuteAccentsJoinTheirLetterWherePossible) {
    EXPECT_EQ(RepairUtf8Text(QByteArray("e\xCC\x81s i\xCC\x81r")), QByteArray("\xE9s \xEDr"));
    // Only a, e and i are joined; other letters lose the accent.
    EXPECT_EQ(RepairUtf8Text(QByteArray("o\xCC\x81 A\xCC\x81")), QByteArray("o A"));
}

TEST(Utf8, DropsTheSymbolsTheRepliesCarry) {
    EXPECT_EQ(RepairUtf8Text(QByteArray("Zomi\xC2\xAE")), QByteArray("Zomi"));
    EXPECT_EQ(RepairUtf8Text(QByteArray("Zomi\xE2\x84\xA2")), QByteArray("Zomi\xA2"));
    // Other sequences pass through without their C3 bytes.
    EXPECT_EQ(RepairUtf8Text(QByteArray("\xC3\xA4")), QByteArray("\xA4"));
}

TEST(Utf8, TheFirstThreeStepsIgnoreLetterCaseInCodePage1250) {
    // C5 and E5 are the capital and small l with acute, C2 and E2 the capital
    // and small a with circumflex; the second bytes have no case.
    EXPECT_EQ(RepairUtf8Text(bytes({0x78, 0xE5, 0xB1})), bytes({0x78, 0xFB}));
    EXPECT_EQ(RepairUtf8Text(bytes({0x78, 0xE2, 0xAE, 0x79})), QByteArray("xy"));
    EXPECT_EQ(RepairUtf8Text(bytes({0x78, 0xC2, 0x84, 0x79})), QByteArray("xy"));
    // The pairs do not overlap: in C5 C5 B1 only the second C5 starts one.
    EXPECT_EQ(RepairUtf8Text(bytes({0xC5, 0xC5, 0xB1})), bytes({0xFB}));
}

}  // namespace
}  // namespace zomi
