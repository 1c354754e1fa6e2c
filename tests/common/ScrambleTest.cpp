#include <gtest/gtest.h>

#include <set>

#include "common/Codepage.h"
#include "common/Scramble.h"

namespace zomi {
namespace {

QByteArray allBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) bytes.append(static_cast<char>(b));
    return bytes;
}

int byteAt(const QByteArray& bytes, qsizetype i) { return static_cast<unsigned char>(bytes.at(i)); }

TEST(Scramble, StoredFormIsFillersAndShiftedBytes) {
    const QByteArray plain = allBytes();
    const QByteArray stored = ScramblePassword(plain);
    ASSERT_EQ(stored.size(), 3 + 2 * plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i)
        EXPECT_EQ(byteAt(stored, 3 + 2 * i), (byteAt(plain, i) + 1) % 256) << i;
    EXPECT_EQ(byteAt(stored, 3 + 2 * 255), 0);  // 255 wraps to 0
    for (qsizetype i : {0, 1, 2})
        EXPECT_TRUE(byteAt(stored, i) >= 33 && byteAt(stored, i) <= 87) << i;
}

TEST(Scramble, UnscrambleUndoesScrambleForEveryByte) {
    EXPECT_EQ(UnscramblePassword(ScramblePassword(allBytes())), allBytes());
    EXPECT_EQ(UnscramblePassword(ScramblePassword(QByteArray())), QByteArray());
    const QByteArray profile("zomi;192.168.1.5;3306;root;j;e=l\xF5;Teszt");
    EXPECT_EQ(UnscramblePassword(ScramblePassword(profile)), profile);
}

TEST(Scramble, ReadsWhatEarlierInstallationsStored) {
    // "ab" with the fillers chosen by hand.
    EXPECT_EQ(UnscramblePassword(QByteArray("!W5b#c(")), QByteArray("ab"));
    EXPECT_EQ(UnscramblePassword(QByteArray("!W5\x00#", 5)), QByteArray("\xFF"));
    EXPECT_EQ(UnscramblePassword(QByteArray("!W5")), QByteArray());
    EXPECT_EQ(UnscramblePassword(QByteArray("!")), QByteArray());
}

TEST(Scramble, FillersAreDrawnAnewEachTimeFromAllFiftyFiveCodes) {
    const QByteArray plain(200, 'x');
    const QByteArray first = ScramblePassword(plain);
    const QByteArray second = ScramblePassword(plain);
    EXPECT_NE(first, second);
    EXPECT_EQ(UnscramblePassword(first), UnscramblePassword(second));

    std::set<int> seen;
    for (int round = 0; round < 50; ++round) {
        const QByteArray stored = ScramblePassword(plain);
        for (qsizetype i = 0; i < stored.size(); ++i) {
            if (i >= 3 && (i - 3) % 2 == 0) continue;  // a shifted byte
            seen.insert(byteAt(stored, i));
        }
    }
    EXPECT_EQ(seen.size(), 55u);
    EXPECT_EQ(*seen.begin(), 33);
    EXPECT_EQ(*seen.rbegin(), 87);
}

TEST(Scramble, TextGoesThroughCodePage1250) {
    const QString profile = QStringLiteral("zomi;szerver;3306;kovács;jelszó;Árvíztűrő");
    const QString stored = ScramblePassword(profile);
    EXPECT_EQ(stored.size(), 3 + 2 * profile.size());
    EXPECT_EQ(UnscramblePassword(stored), profile);
    const qsizetype a = profile.indexOf(QChar(0x00C1));
    EXPECT_EQ(ToCp1250(stored).at(3 + 2 * a), static_cast<char>(0xC2));  // Á is C1
    EXPECT_THROW(ScramblePassword(QStringLiteral("\u2713")), EncodingError);
}

}  // namespace
}  // namespace zomi
