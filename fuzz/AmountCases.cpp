#include <QLocale>
#include <cmath>
#include <optional>

#include "Fuzz.h"
#include "common/AmountFormat.h"

namespace zomi::fuzz {

namespace {

bool refusedPattern(const QString& pattern) {
    try {
        CheckAmountPattern(pattern);
        return false;
    } catch (const AmountPatternError&) {
        return true;
    }
}

// A pattern a Hungarian user reads amounts back from: digits grouped or not,
// up to six decimals of "0" or "#", perhaps a section of its own for negatives.
QString readablePattern(unsigned char shape, int decimals) {
    static const char* const kIntegers[] = {"0", "##0", "### ### ##0", "#,##0"};
    const QString integer = QString::fromLatin1(kIntegers[shape % 4]);
    QString fraction;
    for (int i = 0; i < decimals; ++i)
        fraction += ((shape >> (2 + i % 4)) & 1) != 0 ? QLatin1Char('#') : QLatin1Char('0');
    // Under blank grouping a comma is the decimal point, as a Hungarian writes it.
    const QChar point = shape % 4 == 2 && (shape & 0x80) != 0 ? QLatin1Char(',') : QLatin1Char('.');
    QString pattern = integer + (decimals > 0 ? point + fraction : QString());
    if ((shape & 0x40) != 0) pattern += QStringLiteral(";-") + pattern;
    return pattern;
}

bool within(double read, double value, double absolute) {
    return std::fabs(read - value) <= absolute + std::fabs(value) * 1e-14;
}

}  // namespace

// Layout: the value's eight bytes, the shape of a readable pattern, the number
// of its decimals, a free pattern up to a NUL, then typed text.
void AmountFormatCase(const uint8_t* data, size_t size) {
    Input in(data, size);
    const double value = in.float64();
    const unsigned char shape = in.byte();
    const int decimals = in.byte() % 7;
    const QString pattern = QString::fromUtf8(in.piece());
    const QString typed = QString::fromUtf8(in.rest());
    QLocale::setDefault(QLocale((shape & 0x20) != 0 ? QLocale::C : QLocale::Hungarian));

    // Any pattern: refused everywhere or nowhere.
    const bool refused = refusedPattern(pattern);
    try {
        FormatAmount(value, pattern);
        Require(!refused || !std::isfinite(value), "a refused pattern formats nothing",
                pattern.toUtf8());
    } catch (const AmountPatternError&) {
        Require(refused, "a pattern that checks formats", pattern.toUtf8());
    }
    try {
        ExcelNumberFormat(pattern);
        Require(!refused, "a refused pattern converts to nothing", pattern.toUtf8());
    } catch (const AmountPatternError&) {
        Require(refused, "a pattern that checks converts", pattern.toUtf8());
    }

    // What the user types: read or refused, never a value that is not finite,
    // and blanks anywhere change nothing.
    std::optional<double> amount;
    const bool read = ReadAmountText(typed, &amount);
    std::optional<double> spaced;
    Require(ReadAmountText(QLatin1Char(' ') + typed + QLatin1Char(' '), &spaced) == read &&
                spaced == amount,
            "surrounding blanks change nothing", typed.toUtf8());
    if (read && amount) Require(std::isfinite(*amount), "a read amount is finite", typed.toUtf8());

    // What the program shows, read back as typed: within half a unit of the
    // last decimal shown, and the general text within its fifteen digits.
    if (!std::isfinite(value)) return;
    QLocale::setDefault(QLocale::Hungarian);
    const QByteArray shown = QByteArray::number(value, 'g', 17);
    const QString formatted = FormatAmount(value, readablePattern(shape, decimals));
    Require(ReadAmountText(formatted, &amount) && amount &&
                within(*amount, value, 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9)),
            "a formatted amount reads back", shown + " " + formatted.toUtf8());
    if (std::fabs(value) > 1e300) return;  // fifteen digits may round past the largest double
    const QString general = GeneralNumberText(value);
    Require(ReadAmountText(general, &amount) && amount && within(*amount, value, 0),
            "the general number text reads back", shown + " " + general.toUtf8());
}

}  // namespace zomi::fuzz
