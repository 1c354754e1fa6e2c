#include <gtest/gtest.h>

#include "common/Codepage.h"

namespace zomi {
namespace {

const QString kHungarian = QStringLiteral("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");

TEST(Codepage, HungarianLettersShareTheirCodesInBothCodePages) {
    const QByteArray latin2 = ToLatin2(kHungarian);
    EXPECT_EQ(latin2, ToCp1250(kHungarian));
    EXPECT_EQ(latin2.size(), kHungarian.size());
    EXPECT_EQ(static_cast<unsigned char>(latin2.at(6)), 0xFB);  // ű
    EXPECT_EQ(static_cast<unsigned char>(latin2.at(8)), 0xF5);  // ő
    EXPECT_EQ(FromLatin2(latin2), kHungarian);
    EXPECT_EQ(FromCp1250(latin2), kHungarian);
}

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(ToLatin2(FromLatin2(all)), all);
    EXPECT_EQ(ToCp1250(FromCp1250(all)), all);
}

TEST(Codepage, TheCodePagesDifferOutsideHungarian) {
    // Š is 0xA9 in latin2 but 0x8A in code page 1250.
    const QString s = QString(QChar(0x0160));
    EXPECT_EQ(static_cast<unsigned char>(ToLatin2(s).at(0)), 0xA9);
    EXPECT_EQ(static_cast<unsigned char>(ToCp1250(s).at(0)), 0x8A);
}

TEST(Codepage, RefusesCharactersTheCodePageCannotHoldAndNamesThem) {
    try {
        ToLatin2(QStringLiteral("ár: 5 €"));
        FAIL() << "euro sign accepted by latin2";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"€\""))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("U+20AC"))) << e.what();
    }
    // The euro sign exists in code page 1250.
    EXPECT_EQ(static_cast<unsigned char>(ToCp1250(QStringLiteral("€")).at(0)), 0x80);

    const QString emoji = QString::fromUtf8("ok \xF0\x9F\x98\x80");
    EXPECT_FALSE(FitsLatin2(emoji));
    try {
        ToLatin2(emoji);
        FAIL() << "emoji accepted";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("U+1F600"))) << e.what();
    }
}

}  // namespace
}  // namespace zomi
