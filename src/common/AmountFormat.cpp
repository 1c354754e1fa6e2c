#include "common/AmountFormat.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <vector>

namespace zomi {

namespace {

struct Item {
    enum Kind { Digit, Point, Exponent, Literal };
    Kind kind = Literal;
    QChar digit;            // '0' or '#'
    QString text;           // literal text; "E" or "e" for the exponent
    bool plusSign = false;  // exponent: "E+"
    int exponentDigits = 0;
};

struct Section {
    std::vector<Item> items;
    bool grouped = false;
    bool empty = true;
    int integerSlots = 0;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool scientific = false;
    bool hasDigits = false;
};

struct Pattern {
    std::vector<Section> sections;
};

bool isDigitSlot(QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('#'); }
bool isQuote(QChar c) { return c == QLatin1Char('\'') || c == QLatin1Char('"'); }

[[noreturn]] void refuse(const QString& pattern, const QString& why) {
    throw AmountPatternError(
        QStringLiteral("A(z) „%1” számformátum nem értelmezhető: %2.").arg(pattern, why));
}

// The pattern cut at the semicolons outside quotes; quotes are checked here.
QStringList splitSections(const QString& pattern) {
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    if (!quote.isNull())
        refuse(pattern, QStringLiteral("a(z) %1 idézőjel nincs lezárva").arg(quote));
    sections << current;
    if (sections.size() > 3)
        refuse(pattern,
               QStringLiteral("legfeljebb három, pontosvesszővel elválasztott része lehet"));
    return sections;
}

// Positions of the characters that stand outside quotes.
std::vector<bool> unquotedMask(const QString& s) {
    std::vector<bool> mask(static_cast<size_t>(s.size()), false);
    QChar quote;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else {
            mask[static_cast<size_t>(i)] = true;
        }
    }
    return mask;
}

bool startsExponent(const QString& s, qsizetype i) {
    return (s.at(i) == QLatin1Char('E') || s.at(i) == QLatin1Char('e')) && i + 1 < s.size() &&
           (s.at(i + 1) == QLatin1Char('+') || s.at(i + 1) == QLatin1Char('-'));
}

// Whether a blank or comma at i stands between two integer digit slots.
bool groupsDigits(const QString& s, const std::vector<bool>& plain, qsizetype i, bool digitBefore) {
    if (!digitBefore) return false;
    for (qsizetype j = i + 1; j < s.size(); ++j) {
        if (!plain[static_cast<size_t>(j)]) return false;
        const QChar c = s.at(j);
        if (isDigitSlot(c)) return true;
        if (c != QLatin1Char(' ') && c != QLatin1Char(',')) return false;
    }
    return false;
}

// Where the decimal point of a section stands, -1 for none.
qsizetype decimalPosition(const QString& s, const std::vector<bool>& plain) {
    qsizetype lastComma = -1;
    bool blankGroups = false;
    bool digitSeen = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (!plain[static_cast<size_t>(i)]) continue;
        const QChar c = s.at(i);
        if (c == QLatin1Char('.')) return i;
        if (startsExponent(s, i)) break;
        if (isDigitSlot(c)) digitSeen = true;
        if (c == QLatin1Char(' ') && groupsDigits(s, plain, i, digitSeen)) blankGroups = true;
        if (c == QLatin1Char(',') && groupsDigits(s, plain, i, digitSeen)) lastComma = i;
    }
    if (lastComma < 0) return -1;
    int digitsAfter = 0;
    for (qsizetype j = lastComma + 1; j < s.size() && plain[static_cast<size_t>(j)]; ++j) {
        if (isDigitSlot(s.at(j)))
            ++digitsAfter;
        else if (s.at(j) != QLatin1Char(' '))
            break;
    }
    return (blankGroups || digitsAfter != 3) ? lastComma : -1;
}

void addLiteral(Section& section, const QString& text) {
    if (text.isEmpty()) return;
    if (!section.items.empty() && section.items.back().kind == Item::Literal) {
        section.items.back().text += text;
        return;
    }
    Item item;
    item.kind = Item::Literal;
    item.text = text;
    section.items.push_back(item);
}

Section parseSection(const QString& s) {
    Section section;
    section.empty = s.isEmpty();
    const std::vector<bool> plain = unquotedMask(s);
    const qsizetype point = decimalPosition(s, plain);
    bool inDecimals = false;
    bool digitSeen = false;
    int decimalSlots = 0;
    int lastDecimalZero = 0;
    bool zeroSeen = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        // The walk jumps over quoted text, so every quote it meets opens one.
        if (isQuote(c)) {
            const qsizetype end = s.indexOf(c, i + 1);
            addLiteral(section, s.mid(i + 1, end - i - 1));
            i = end;
            continue;
        }
        if (i == point) {
            Item item;
            item.kind = Item::Point;
            section.items.push_back(item);
            inDecimals = true;
            continue;
        }
        if (c == QLatin1Char('.') && point >= 0 && i > point) continue;  // later points
        if (!section.scientific && digitSeen && startsExponent(s, i)) {
            Item item;
            item.kind = Item::Exponent;
            item.text = QString(c);
            item.plusSign = s.at(i + 1) == QLatin1Char('+');
            ++i;
            while (i + 1 < s.size() && s.at(i + 1) == QLatin1Char('0') && item.exponentDigits < 4) {
                ++item.exponentDigits;
                ++i;
            }
            section.items.push_back(item);
            section.scientific = true;
            continue;
        }
        if (isDigitSlot(c) && !section.scientific) {
            Item item;
            item.kind = Item::Digit;
            item.digit = c;
            section.items.push_back(item);
            digitSeen = true;
            section.hasDigits = true;
            if (inDecimals) {
                ++decimalSlots;
                if (c == QLatin1Char('0')) lastDecimalZero = decimalSlots;
            } else {
                ++section.integerSlots;
                if (c == QLatin1Char('0')) zeroSeen = true;
                if (zeroSeen) ++section.minIntegerDigits;
            }
            continue;
        }
        if ((c == QLatin1Char(' ') || c == QLatin1Char(',')) && !inDecimals &&
            !section.scientific && groupsDigits(s, plain, i, digitSeen)) {
            section.grouped = true;
            continue;
        }
        addLiteral(section, QString(c));
    }
    section.maxDecimals = decimalSlots;
    section.minDecimals = lastDecimalZero;
    return section;
}

Pattern parse(const QString& pattern) {
    Pattern p;
    for (const QString& s : splitSections(pattern)) p.sections.push_back(parseSection(s));
    return p;
}

// Cells are painted one after another with the same pattern.
const Pattern& parsed(const QString& text) {
    thread_local QString lastText;
    thread_local Pattern last;
    thread_local bool valid = false;
    if (!valid || text != lastText) {
        valid = false;
        last = parse(text);
        lastText = text;
        valid = true;
    }
    return last;
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

// The digits of a value rounded for a section: the integer digits (without
// leading zeros), the decimals (trailing zeros kept down to the minimum) and
// the exponent when the section is scientific.
struct Digits {
    QString integer;
    QString decimals;
    int exponent = 0;
    bool zero = true;
};

Digits roundFixed(double magnitude, const Section& section) {
    Digits d;
    // Rounding works on the shortest decimal text of the value, the digits the
    // user typed, not on the binary fraction just below or above them.
    const QString plain = QString::number(magnitude, 'f', QLocale::FloatingPointShortest);
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    d.integer = point < 0 ? plain : plain.left(point);
    d.decimals = point < 0 ? QString() : plain.mid(point + 1);
    if (d.decimals.size() > section.maxDecimals) {
        const bool roundUp = d.decimals.at(section.maxDecimals) >= QLatin1Char('5');
        d.decimals.truncate(section.maxDecimals);
        if (roundUp && increment(d.decimals) && increment(d.integer))
            d.integer.prepend(QLatin1Char('1'));
    }
    while (d.integer.startsWith(QLatin1Char('0'))) d.integer.remove(0, 1);
    d.zero = d.integer.isEmpty() && onlyZeros(d.decimals);
    return d;
}

Digits roundScientific(double magnitude, const Section& section) {
    Digits d;
    const int places = std::max(1, section.integerSlots);
    QString significant;
    int exponent = 0;
    if (magnitude != 0) {
        const QString e = QString::number(magnitude, 'e', QLocale::FloatingPointShortest);
        const qsizetype at = e.indexOf(QLatin1Char('e'));
        significant = e.left(at);
        significant.remove(QLatin1Char('.'));
        exponent = e.mid(at + 1).toInt();
    }
    const int wanted = places + section.maxDecimals;
    if (significant.size() > wanted) {
        const bool roundUp = significant.at(wanted) >= QLatin1Char('5');
        significant.truncate(wanted);
        if (roundUp && increment(significant)) {
            significant.prepend(QLatin1Char('1'));
            significant.chop(1);
            ++exponent;
        }
    }
    d.zero = significant.isEmpty() || onlyZeros(significant);
    if (d.zero) exponent = places - 1;
    while (significant.size() < wanted) significant += QLatin1Char('0');
    d.integer = significant.left(places);
    d.decimals = significant.mid(places);
    d.exponent = exponent - (places - 1);
    while (d.integer.startsWith(QLatin1Char('0'))) d.integer.remove(0, 1);
    return d;
}

Digits roundFor(double magnitude, const Section& section) {
    Digits d =
        section.scientific ? roundScientific(magnitude, section) : roundFixed(magnitude, section);
    while (d.decimals.size() > section.minDecimals && d.decimals.endsWith(QLatin1Char('0')))
        d.decimals.chop(1);
    while (d.decimals.size() < section.minDecimals) d.decimals += QLatin1Char('0');
    while (d.integer.size() < section.minIntegerDigits) d.integer.prepend(QLatin1Char('0'));
    return d;
}

QString render(const Section& section, const Digits& d) {
    const QChar point(kDecimalComma);
    QString out;
    const auto integerLength = static_cast<int>(d.integer.size());
    int slot = 0;     // integer slots passed
    int decimal = 0;  // decimal slots passed
    int emitted = 0;  // integer digits written
    bool inDecimals = false;
    bool lastDecimalShown = true;
    auto emitIntegerDigits = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            const int fromRight = integerLength - 1 - k;
            if (section.grouped && emitted > 0 && (fromRight + 1) % 3 == 0) out += QLatin1Char(' ');
            out += d.integer.at(k);
            ++emitted;
        }
    };
    // A pattern without integer slots still shows the integer digits, in
    // front of its decimal point.
    bool integerDone = section.integerSlots > 0 || !section.hasDigits;
    for (const Item& item : section.items) {
        switch (item.kind) {
            case Item::Digit:
                if (!inDecimals) {
                    // The first slot takes every digit beyond the slots.
                    const int missing = section.integerSlots - integerLength;
                    const int k = slot - missing;
                    if (slot == 0 && integerLength > section.integerSlots)
                        emitIntegerDigits(0, integerLength - section.integerSlots + 1);
                    else if (k >= 0)
                        emitIntegerDigits(k, k + 1);
                    ++slot;
                } else {
                    lastDecimalShown = decimal < d.decimals.size();
                    if (lastDecimalShown) out += d.decimals.at(decimal);
                    ++decimal;
                }
                break;
            case Item::Point:
                if (!integerDone) {
                    emitIntegerDigits(0, integerLength);
                    integerDone = true;
                }
                inDecimals = true;
                if (!d.decimals.isEmpty()) out += point;
                break;
            case Item::Exponent: {
                if (!integerDone) {
                    emitIntegerDigits(0, integerLength);
                    integerDone = true;
                }
                out += item.text;
                if (d.exponent < 0)
                    out += QLatin1Char('-');
                else if (item.plusSign)
                    out += QLatin1Char('+');
                out += QString::number(std::abs(d.exponent))
                           .rightJustified(std::max(1, item.exponentDigits), QLatin1Char('0'));
                break;
            }
            case Item::Literal: {
                // Text among the digit slots belongs to the digits around it.
                const bool amongIntegers = !inDecimals && slot > 0 && slot < section.integerSlots;
                const bool amongDecimals =
                    inDecimals && decimal > 0 && decimal < section.maxDecimals;
                if ((amongIntegers && emitted == 0) || (amongDecimals && !lastDecimalShown)) break;
                out += item.text;
                break;
            }
        }
    }
    if (!integerDone) emitIntegerDigits(0, integerLength);
    return out;
}

}  // namespace

AmountPatternError::AmountPatternError(const QString& message)
    : std::invalid_argument(message.toStdString()), message_(message) {}

QString FormatAmount(double value, const QString& pattern) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (pattern.isEmpty()) {
        return value == 0 ? QStringLiteral("0")
                          : QString::number(value, 'f', QLocale::FloatingPointShortest)
                                .replace(QLatin1Char('.'), QChar(kDecimalComma));
    }
    const Pattern& p = parsed(pattern);
    const auto usable = [&](size_t n) { return p.sections.size() > n && !p.sections[n].empty; };
    const bool negative = value < 0;
    const Section& signSection = negative && usable(1) ? p.sections[1] : p.sections[0];
    const Digits d = roundFor(std::fabs(value), signSection);
    if (d.zero) {
        const Section& zero = usable(2) ? p.sections[2] : p.sections[0];
        return render(zero, roundFor(0, zero));
    }
    QString out = render(signSection, d);
    if (negative && !usable(1)) out.prepend(QLatin1Char('-'));
    return out;
}

void CheckAmountPattern(const QString& pattern) { parse(pattern); }

QString RemoveBlanks(const QString& pattern) {
    QString out = pattern;
    out.remove(QLatin1Char(' '));
    return out;
}

QString GeneralNumberText(double value) { return GeneralNumberText(value, QChar(kDecimalComma)); }

QString GeneralNumberText(double value, const QString& decimalSeparator) {
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(QLatin1Char('-'));
        exponent.remove(0, (negative || exponent.startsWith(QLatin1Char('+'))) ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0'))) exponent.remove(0, 1);
        text = text.left(e) + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) +
               exponent;
    }
    if (decimalSeparator != QLatin1String(".")) text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

bool ReadAmountText(const QString& text, std::optional<double>* amount) {
    QString plain;
    for (const QChar c : text)
        if (!c.isSpace()) plain += c;
    if (plain.isEmpty()) {
        *amount = std::nullopt;
        return true;
    }
    const bool negative = plain.startsWith(QLatin1Char('-'));
    if (negative || plain.startsWith(QLatin1Char('+'))) plain.remove(0, 1);
    // The editor's own text of a very large or small value has an exponent.
    QString exponent;
    const qsizetype e = plain.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        exponent = plain.mid(e + 1);
        plain.truncate(e);
        const QString digits =
            exponent.startsWith(QLatin1Char('-')) || exponent.startsWith(QLatin1Char('+'))
                ? exponent.mid(1)
                : exponent;
        if (digits.isEmpty() || digits.contains(QLatin1Char('.')) ||
            digits.contains(QLatin1Char(',')))
            return false;
    }
    const qsizetype comma = plain.indexOf(QLatin1Char(','));
    const QString integer = comma < 0 ? plain : plain.left(comma);
    const QString decimals = comma < 0 ? QString() : plain.mid(comma + 1);
    const auto allDigits = [](const QString& s) {
        for (const QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        return true;
    };
    const QStringList groups = integer.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString& group = groups.at(i);
        const bool sized = groups.size() == 1 ? true
                           : i == 0           ? group.size() >= 1 && group.size() <= 3
                                              : group.size() == 3;
        if (!sized || !allDigits(group)) return false;
    }
    if (!allDigits(decimals) || (integer.isEmpty() && decimals.isEmpty())) return false;
    QString c = groups.join(QString());
    if (!decimals.isEmpty()) c += QLatin1Char('.') + decimals;
    if (e >= 0) {
        if (!allDigits(exponent.mid(exponent.startsWith(QLatin1Char('-')) ||
                                            exponent.startsWith(QLatin1Char('+'))
                                        ? 1
                                        : 0)))
            return false;
        c += QLatin1Char('e') + exponent;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(
        c.isEmpty() || c.startsWith(QLatin1Char('.')) ? QLatin1Char('0') + c : c, &ok);
    if (!ok || !std::isfinite(value)) return false;
    *amount = negative ? -value : value;
    return true;
}

QString ExcelNumberFormat(const QString& pattern) {
    if (pattern.isEmpty()) return QString();
    const Pattern& p = parsed(pattern);
    QStringList sections;
    for (const Section& section : p.sections) {
        if (section.empty && !sections.isEmpty()) {
            // Excel hides the values of an empty section; here it means the first one.
            sections << sections.first();
            continue;
        }
        QString out;
        bool integerWritten = false;
        bool inDecimals = false;
        const auto writeInteger = [&] {
            if (integerWritten) return;
            integerWritten = true;
            const int zeros = std::max(1, section.minIntegerDigits);
            // Enough places for one group separator when grouped.
            const int places = section.grouped ? std::max(zeros, 4) : zeros;
            for (int i = 0; i < places; ++i) {
                out += (i >= places - zeros) ? QLatin1Char('0') : QLatin1Char('#');
                const int left = places - 1 - i;
                if (section.grouped && left > 0 && left % 3 == 0) out += QLatin1Char(',');
            }
        };
        for (const Item& item : section.items) {
            switch (item.kind) {
                case Item::Digit:
                    if (inDecimals)
                        out += item.digit;
                    else
                        writeInteger();
                    break;
                case Item::Point:
                    writeInteger();
                    inDecimals = true;
                    out += QLatin1Char('.');
                    break;
                case Item::Exponent:
                    writeInteger();
                    out += QStringLiteral("E") +
                           (item.plusSign ? QLatin1Char('+') : QLatin1Char('-')) +
                           QString(std::max(1, item.exponentDigits), QLatin1Char('0'));
                    break;
                case Item::Literal: {
                    QString text = item.text;
                    text.replace(QLatin1Char('"'), QStringLiteral("\"\\\"\""));
                    out += QLatin1Char('"') + text + QLatin1Char('"');
                    break;
                }
            }
        }
        sections << out;
    }
    return sections.join(QLatin1Char(';'));
}

}  // namespace zomi
