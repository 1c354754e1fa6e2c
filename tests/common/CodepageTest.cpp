#include <gtest/gtest.h>

#include "common/Codepage.h"

namespace zomi {
namespace {

TEST(Codepage, TextIsCodePage1250ByteForByte) {
    // The bytes the other clients of the same databases store for these.
    const QString text = QStringLiteral("tűrő – „idézet” 5 € Š");
    const QByteArray bytes = ToCp1250(text);
    const QByteArray expected("t\xFBr\xF5 \x96 \x84id\xE9zet\x94 5 \x80 \x8A");
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(FromCp1250(expected), text);
    EXPECT_EQ(FromCp1250(expected.constData(), 4), QStringLiteral("tűrő"));
}

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(ToCp1250(FromCp1250(all)), all);
}

TEST(Codepage, RefusesCharactersTheCodePageCannotHoldAndNamesThem) {
    const QString emoji = QString::fromUtf8("ok \xF0\x9F\x98\x80");
    EXPECT_FALSE(FitsCp1250(emoji));
    EXPECT_FALSE(FitsCp1250(QStringLiteral("Жук")));
    try {
        ToCp1250(emoji);
        FAIL() << "emoji accepted";
    } catch (const EncodingError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("U+1F600"))) << e.what();
        EXPECT_EQ(e.character(), QString::fromUtf8("\"\xF0\x9F\x98\x80\" (U+1F600)"));
    }
}

}  // namespace
}  // namespace zomi
