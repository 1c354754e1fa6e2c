#include "common/AmountFormat.h"

#include <QLocale>
#include <cmath>

namespace zomi {

namespace {

struct Pattern {
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouped = false;
};

[[noreturn]] void badPattern(const QString& pattern, QChar c) {
    throw std::invalid_argument(
        QStringLiteral("amount format \"%1\": the character \"%2\" is not understood")
            .arg(pattern, QString(c))
            .toStdString());
}

Pattern parse(const QString& pattern) {
    Pattern p;
    bool inDecimals = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('.') && !inDecimals) {
            inDecimals = true;
        } else if (c == QLatin1Char('0')) {
            (inDecimals ? p.minDecimals : p.minIntegerDigits)++;
            if (inDecimals) ++p.maxDecimals;
        } else if (c == QLatin1Char('#')) {
            if (inDecimals) ++p.maxDecimals;
        } else if ((c == QLatin1Char(' ') || c == QLatin1Char(',')) && !inDecimals) {
            p.grouped = true;
        } else {
            badPattern(pattern, c);
        }
    }
    return p;
}

// Adds one unit at the last digit of a string of decimal digits; returns true
// when the carry runs out at the front.
bool increment(QString& digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = QLatin1Char('0');
    }
    return true;
}

bool onlyZeros(const QString& digits) {
    for (const QChar c : digits)
        if (c != QLatin1Char('0')) return false;
    return true;
}

QString groupByThree(const QString& digits) {
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += QLatin1Char(' ');
        out += digits.at(i);
    }
    return out;
}

}  // namespace

QString FormatAmount(double value, const QString& pattern) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (pattern.isEmpty()) {
        return value == 0 ? QStringLiteral("0")
                          : QString::number(value, 'f', QLocale::FloatingPointShortest);
    }
    const Pattern p = parse(pattern);

    // Rounding works on the shortest decimal text of the value, the digits the
    // user typed, not on the binary fraction just below or above them.
    const QString plain = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? plain : plain.left(point);
    QString decimals = point < 0 ? QString() : plain.mid(point + 1);

    if (decimals.size() > p.maxDecimals) {
        const bool roundUp = decimals.at(p.maxDecimals) >= QLatin1Char('5');
        decimals.truncate(p.maxDecimals);
        if (roundUp && increment(decimals) && increment(integer)) integer.prepend(QLatin1Char('1'));
    }
    while (decimals.size() > p.minDecimals && decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
    while (decimals.size() < p.minDecimals) decimals += QLatin1Char('0');

    while (integer.startsWith(QLatin1Char('0'))) integer.remove(0, 1);
    const bool isZero = integer.isEmpty() && onlyZeros(decimals);
    while (integer.size() < p.minIntegerDigits) integer.prepend(QLatin1Char('0'));
    if (p.grouped) integer = groupByThree(integer);

    QString out = integer;
    if (!decimals.isEmpty()) out += QLatin1Char('.') + decimals;
    if (value < 0 && !isZero) out.prepend(QLatin1Char('-'));
    return out;
}

QString RemoveBlanks(const QString& pattern) {
    QString out = pattern;
    out.remove(QLatin1Char(' '));
    return out;
}

}  // namespace zomi
