#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "common/Text.h"

namespace zomi {
namespace {

// How Qt's SQL layer hands over a NULL column: a typed but null value.
QVariant sqlNull(QMetaType type) { return QVariant(type); }

TEST(Text, NullIsBothTheInvalidAndTheTypedNullVariant) {
    EXPECT_EQ(NullToText(QVariant(), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(NullToText(sqlNull(QMetaType::fromType<QString>()), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(NullToInt(sqlNull(QMetaType::fromType<int>()), 7), 7);
    EXPECT_EQ(NullToFloat(sqlNull(QMetaType::fromType<double>()), 1.5), 1.5);
    EXPECT_EQ(IdText(sqlNull(QMetaType::fromType<int>())), QStringLiteral("0"));
    // An empty text is a value, not NULL.
    EXPECT_EQ(NullToText(QVariant(QStringLiteral("")), QStringLiteral("d")), QString());
}

TEST(Text, FloatingValuesReadBackExactlyAsPlainDecimals) {
    EXPECT_EQ(ValueText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(ValueText(100.0), QStringLiteral("100"));
    EXPECT_EQ(ValueText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(ValueText(-1234567.891), QStringLiteral("-1234567.891"));
    EXPECT_EQ(ValueText(1e20), QStringLiteral("100000000000000000000"));
    EXPECT_EQ(ValueText(1e-7), QStringLiteral("0.0000001"));
    EXPECT_EQ(ValueText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(ValueText(QVariant(1.5f)), QStringLiteral("1.5"));
    for (const double d : {1.0 / 3, 2.0 / 3 * 1e9, 1.27 * 1.27, 123456.789e-3}) {
        const QString text = ValueText(d);
        EXPECT_FALSE(text.contains(QLatin1Char('e'))) << text.toStdString();
        EXPECT_EQ(text.toDouble(), d) << text.toStdString();
    }
}

TEST(Text, OtherValueTypesHaveTheirSqlForms) {
    EXPECT_EQ(ValueText(QDate(2023, 3, 7)), QStringLiteral("2023-03-07"));
    EXPECT_EQ(ValueText(QTime(8, 5, 9)), QStringLiteral("08:05:09"));
    EXPECT_EQ(ValueText(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1))),
              QStringLiteral("2023-12-31 23:59:01"));
    EXPECT_EQ(ValueText(QVariant(qlonglong(-9007199254740993LL))),
              QStringLiteral("-9007199254740993"));
    EXPECT_EQ(ValueText(true), QStringLiteral("1"));
    EXPECT_EQ(ValueText(QByteArray("t\xFCk\xF5r")), QStringLiteral("tükőr"));
    EXPECT_THROW(ValueText(QVariant(QVariantList{1, 2})), ConversionError);
}

TEST(Text, NullToIntConvertsNumbersAndNumericTextAndRefusesTheRest) {
    EXPECT_EQ(NullToInt(42, 0), 42);
    EXPECT_EQ(NullToInt(QStringLiteral(" 12 "), 0), 12);
    EXPECT_EQ(NullToInt(QStringLiteral("12.00"), 0), 12);
    EXPECT_EQ(NullToInt(2.6, 0), 3);
    EXPECT_EQ(NullToInt(-2.5, 0), -3);
    EXPECT_EQ(NullToInt(true, 0), 1);
    EXPECT_THROW(NullToInt(QStringLiteral("abc"), 0), ConversionError);
    EXPECT_THROW(NullToInt(QStringLiteral(""), 0), ConversionError);
    EXPECT_THROW(NullToInt(QVariant(qlonglong(1) << 40), 0), ConversionError);
    EXPECT_THROW(NullToInt(QVariant(~qulonglong(0)), 0), ConversionError);
    EXPECT_THROW(NullToInt(QDate(2023, 1, 1), 0), ConversionError);
    EXPECT_EQ(IdText(QStringLiteral("17")), QStringLiteral("17"));
}

TEST(Text, NullToFloatConvertsNumbersAndNumericText) {
    EXPECT_EQ(NullToFloat(3, 0), 3.0);
    EXPECT_EQ(NullToFloat(QStringLiteral("2.5"), 0), 2.5);
    EXPECT_THROW(NullToFloat(QStringLiteral("2,5"), 0), ConversionError);
    EXPECT_THROW(NullToFloat(QStringLiteral("x"), 0), ConversionError);
}

TEST(Text, SqlQuoteDoublesQuotesAndEscapesBackslashesAndLineBreaks) {
    EXPECT_EQ(SqlQuote(QStringLiteral("it's\\")), QStringLiteral("'it''s\\\\'"));
    EXPECT_EQ(SqlQuote(QVariant()), QStringLiteral("''"));
    EXPECT_EQ(SqlQuote(5), QStringLiteral("'5'"));
    // The backslash is doubled before the line breaks become escapes, so a
    // typed "\n" and a real line break stay distinguishable.
    EXPECT_EQ(SqlEscape(QStringLiteral("a\\nb\r\nc")), QStringLiteral("a\\\\nb\\r\\nc"));
    EXPECT_EQ(SqlEscape(QVariant()), QString());
}

TEST(Text, LineBreakEscapesBecomeRealLineBreaksInAnyCase) {
    EXPECT_EQ(LineBreaksFromEscapes(QStringLiteral("a\\r\\nb\\R\\Nc")),
              QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(LineBreaksFromEscapes(QStringLiteral("a\\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(LineBreaksFromEscapes(QVariant()), QString());
}

TEST(Text, OneLineTextKeepsOneEscapePerLineBreak) {
    EXPECT_EQ(OneLineText(QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(OneLineText(QStringLiteral("a\nb")), QStringLiteral("ab"));
    EXPECT_EQ(OneLineText(QStringLiteral("c:\\x")), QStringLiteral("c:\\\\x"));
    EXPECT_EQ(OneLineText(QVariant()), QString());
    EXPECT_EQ(ReplaceCharText(QStringLiteral("a;b;c"), QLatin1Char(';'), QLatin1Char(',')),
              QStringLiteral("a,b,c"));
    EXPECT_EQ(ReplaceCharText(QVariant(), QLatin1Char(';'), QLatin1Char(',')), QString());
}

TEST(Text, FieldOfCountsEmptyFieldsAndEverySeparator) {
    const QString text = QStringLiteral("a;b;;c");
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, 1), QStringLiteral("a"));
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, 3), QString());
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, 4), QStringLiteral("c"));
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, 5), QString());
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, 0), QString());
    EXPECT_EQ(FieldOf(QStringLiteral(";"), text, -1), QString());
    EXPECT_EQ(FieldOf(QStringLiteral(", "), QStringLiteral("x,y z"), 3), QStringLiteral("z"));
    EXPECT_EQ(FieldOf(QStringLiteral(";"), QStringLiteral("solo"), 1), QStringLiteral("solo"));
    // A profile written with a trailing ";" reads like one without.
    const QString profile = QStringLiteral("zomi;localhost;3306;u;p;Teszt;");
    EXPECT_EQ(FieldOf(QStringLiteral(";"), profile, 6), QStringLiteral("Teszt"));
    EXPECT_EQ(FieldOf(QStringLiteral(";"), profile, 7), QString());
}

TEST(Text, SmallTextRoutines) {
    EXPECT_EQ(RemoveChars(QStringLiteral(" -"), QStringLiteral("06-1 234")),
              QStringLiteral("061234"));
    EXPECT_EQ(LeftText(QStringLiteral("abc"), 2), QStringLiteral("ab"));
    EXPECT_EQ(LeftText(QStringLiteral("abc"), 9), QStringLiteral("abc"));
    EXPECT_EQ(LeftText(QStringLiteral("abc"), -1), QString());
    EXPECT_EQ(RightText(QStringLiteral("abc"), 2), QStringLiteral("bc"));
    EXPECT_EQ(RightText(QStringLiteral("abc"), 9), QStringLiteral("abc"));
}

TEST(Text, CleanNumberTextKeepsDigitsALeadingMinusAndTheFirstSeparator) {
    EXPECT_EQ(CleanNumberText(QStringLiteral(" -12,5x")), QStringLiteral("-12,5"));
    EXPECT_EQ(CleanNumberText(QStringLiteral("1.2.3")), QStringLiteral("1.23"));
    EXPECT_EQ(CleanNumberText(QStringLiteral("1,2.3")), QStringLiteral("1,23"));
    EXPECT_EQ(CleanNumberText(QStringLiteral("5-")), QStringLiteral("5"));
    EXPECT_EQ(CleanNumberText(QStringLiteral("1 234 Ft")), QStringLiteral("1234"));
}

TEST(Text, TextToIntIsZeroForAnythingButAWholeNumber) {
    EXPECT_EQ(TextToInt(QStringLiteral(" 12a")), 12);
    EXPECT_EQ(TextToInt(QStringLiteral("-7")), -7);
    EXPECT_EQ(TextToInt(QStringLiteral("12,5")), 0);
    EXPECT_EQ(TextToInt(QString()), 0);
    EXPECT_EQ(TextToInt(QStringLiteral("-")), 0);
    EXPECT_EQ(TextToInt(QStringLiteral("99999999999")), 0);
}

}  // namespace
}  // namespace zomi
