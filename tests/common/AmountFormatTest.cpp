#include <gtest/gtest.h>

#include <QLocale>
#include <limits>

#include "common/AmountFormat.h"

namespace zomi {
namespace {

const QString kDefault = QStringLiteral("### ### ##0");
const QString kThree = QStringLiteral("### ### ##0.000");
const QString kCompactThree = QStringLiteral("########0.000");

std::string show(double v, const QString& pattern) {
    return FormatAmount(v, pattern).toStdString();
}

TEST(AmountFormat, GroupsThousandsWithBlanksOnlyWhenThePatternHasThem) {
    EXPECT_EQ(show(1234567.891, kDefault), "1 234 568");
    EXPECT_EQ(show(1234567.891, kThree), "1 234 567,891");
    EXPECT_EQ(show(1234567.891, kCompactThree), "1234567,891");
    EXPECT_EQ(show(1234567.891, QStringLiteral("###0.00")), "1234567,89");
    EXPECT_EQ(show(999, kDefault), "999");
    EXPECT_EQ(show(1000, kDefault), "1 000");
    // More digits than the pattern has places: the grouping goes on.
    EXPECT_EQ(show(12345678901234.0, kDefault), "12 345 678 901 234");
    EXPECT_EQ(show(1e20, kDefault), "100 000 000 000 000 000 000");
    EXPECT_EQ(show(1234.5, QStringLiteral("#,##0.0")), "1 234,5");
}

TEST(AmountFormat, ZeroAndNegativesShowWithoutLeadingBlanksOrMinusZero) {
    EXPECT_EQ(show(0, kDefault), "0");
    EXPECT_EQ(show(0, kThree), "0,000");
    EXPECT_EQ(show(-0.0, kDefault), "0");
    EXPECT_EQ(show(-0.4, kDefault), "0");
    EXPECT_EQ(show(-0.0004, kThree), "0,000");
    EXPECT_EQ(show(-1234.5, kDefault), "-1 235");
    EXPECT_EQ(show(-999999.9996, kThree), "-1 000 000,000");
    EXPECT_EQ(show(7, kDefault).front(), '7');
}

TEST(AmountFormat, RoundsHalfAwayFromZeroAsTheValueReads) {
    EXPECT_EQ(show(0.5, kDefault), "1");
    EXPECT_EQ(show(1.5, kDefault), "2");
    EXPECT_EQ(show(2.5, kDefault), "3");
    EXPECT_EQ(show(-2.5, kDefault), "-3");
    EXPECT_EQ(show(0.49999, kDefault), "0");
    EXPECT_EQ(show(999.5, kDefault), "1 000");
    // 2.675 and 1.005 lie just below their decimal forms in binary; the user
    // typed the decimal form, and that is what rounds.
    EXPECT_EQ(show(2.675, QStringLiteral("0.00")), "2,68");
    EXPECT_EQ(show(1.005, QStringLiteral("0.00")), "1,01");
    EXPECT_EQ(show(1.0005, kThree), "1,001");
}

TEST(AmountFormat, OptionalDecimalsAndPaddingFollowThePattern) {
    EXPECT_EQ(show(1.5, QStringLiteral("0.##")), "1,5");
    EXPECT_EQ(show(2, QStringLiteral("0.##")), "2");
    EXPECT_EQ(show(1.256, QStringLiteral("0.0#")), "1,26");
    EXPECT_EQ(show(1.2, QStringLiteral("0.0#")), "1,2");
    EXPECT_EQ(show(5, QStringLiteral("000")), "005");
    EXPECT_EQ(show(0.25, QStringLiteral("#.00")), ",25");
}

TEST(AmountFormat, ReadsThePatternLanguageUsersWriteInTheSettingsFile) {
    EXPECT_EQ(show(1234567.4, QStringLiteral("### ### ##0 Ft")), "1 234 567 Ft");
    EXPECT_EQ(show(1234.5, QStringLiteral("#,##0.00")), "1 234,50");
    EXPECT_EQ(show(5, QStringLiteral("'Összesen: '0")), "Összesen: 5");
    EXPECT_EQ(show(5, QStringLiteral("\"kb. \"0")), "kb. 5");
    EXPECT_EQ(show(1234, QStringLiteral("00-00")), "12-34");
    EXPECT_EQ(show(5, QStringLiteral("00-00")), "00-05");
    EXPECT_EQ(show(1.5, QStringLiteral("0.0.0")), "1,50");  // a later point is ignored
    // Positive, negative and zero sections; an empty one uses the first.
    const QString three = QStringLiteral("0;(0);'nulla'");
    EXPECT_EQ(show(5, three), "5");
    EXPECT_EQ(show(-5, three), "(5)");
    EXPECT_EQ(show(0, three), "nulla");
    EXPECT_EQ(show(-0.4, three), "nulla");
    EXPECT_EQ(show(-5, QStringLiteral("0;;")), "-5");
    // Scientific notation.
    EXPECT_EQ(show(12345, QStringLiteral("0.00E+00")), "1,23E+04");
    EXPECT_EQ(show(0.00012345, QStringLiteral("0.00E+00")), "1,23E-04");
    EXPECT_EQ(show(12345, QStringLiteral("0.0e-0")), "1,2e4");
    EXPECT_EQ(show(9999, QStringLiteral("0.0E+0")), "1,0E+4");
    EXPECT_EQ(show(0, QStringLiteral("0.00E+00")), "0,00E+00");
}

TEST(AmountFormat, DecimalsShowWithTheCommaWhateverTheLocaleAndMayBeWrittenWithAComma) {
    for (const QLocale& locale : {QLocale(QLocale::Hungarian, QLocale::Hungary), QLocale::c(),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        QLocale::setDefault(locale);
        EXPECT_EQ(show(5, QStringLiteral("### ### ##0,00")), "5,00");
        EXPECT_EQ(show(1234.5, QStringLiteral("0,0")), "1234,5");
        EXPECT_EQ(show(1234.5, kThree), "1 234,500");
        EXPECT_EQ(show(1234567, QStringLiteral("#,##0")), "1 234 567");
        EXPECT_EQ(show(1.25, QString()), "1,25");
        EXPECT_EQ(GeneralNumberText(19206099.724409446), QStringLiteral("19206099,7244094"));
    }
    QLocale::setDefault(QLocale::c());
    // The exports choose their own separator.
    EXPECT_EQ(GeneralNumberText(-1.5e-7, QStringLiteral(".")), QStringLiteral("-1.5E-7"));
}

TEST(AmountFormat, PlainNumbersShowFifteenDigits) {
    EXPECT_EQ(GeneralNumberText(26999.999999999996), QStringLiteral("27000"));
    EXPECT_EQ(GeneralNumberText(1e20), QStringLiteral("1E20"));
    EXPECT_EQ(GeneralNumberText(-1.5e-7), QStringLiteral("-1,5E-7"));
}

TEST(AmountFormat, PatternsItCannotReadAreRefused) {
    for (const QString& bad : {QStringLiteral("0 'Ft"), QStringLiteral("0;0;0;0")}) {
        EXPECT_THROW(FormatAmount(1, bad), AmountPatternError) << bad.toStdString();
        try {
            CheckAmountPattern(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const AmountPatternError& e) {
            EXPECT_TRUE(e.message().contains(bad)) << e.what();
        }
    }
    EXPECT_NO_THROW(CheckAmountPattern(QStringLiteral("### ### ##0 Ft")));
    EXPECT_EQ(show(1.25, QString()), "1,25");
    EXPECT_EQ(show(std::numeric_limits<double>::quiet_NaN(), kDefault), "NAN");
    EXPECT_EQ(show(-std::numeric_limits<double>::infinity(), kDefault), "-INF");
}

TEST(AmountFormat, CompactPatternsLoseTheirBlanks) {
    EXPECT_EQ(RemoveBlanks(kDefault), QStringLiteral("########0"));
    EXPECT_EQ(RemoveBlanks(kThree), kCompactThree);
}

}  // namespace
}  // namespace zomi
