#include <QLocale>
#include <QStringList>
#include <cmath>
#include <optional>
#include <vector>

#include "Fuzz.h"
#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "common/SearchFilter.h"
#include "common/Text.h"
#include "common/Utf8.h"

namespace zomi::fuzz {

namespace {

// Pairs of bytes as UTF-16 units; a pair whose first byte is below 0x80 is the
// code-page character of its second byte, so that text that fits is common.
QString wideText(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto high = static_cast<unsigned char>(bytes.at(i));
        const auto low = static_cast<unsigned char>(bytes.at(i + 1));
        if (high < 0x80)
            text += FromCp1250(bytes.mid(i + 1, 1));
        else
            text += QChar(static_cast<char16_t>(high << 8 | low));
    }
    return text;
}

}  // namespace

void CodepageCase(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString decoded = FromCp1250(bytes);
    Require(decoded.size() == bytes.size(), "one character per byte", bytes);
    Require(FitsCp1250(decoded), "decoded text fits", bytes);
    Require(ToCp1250(decoded) == bytes, "every byte survives a round trip", bytes);

    const QString text = wideText(bytes);
    const bool fits = FitsCp1250(text);
    try {
        const QByteArray encoded = ToCp1250(text);
        Require(fits, "what does not fit is refused", text.toUtf8());
        Require(FromCp1250(encoded) == text, "encoded text decodes back", text.toUtf8());
    } catch (const EncodingError& e) {
        Require(!fits, "what fits is encoded", text.toUtf8());
        Require(!e.character().isEmpty() && e.message().contains(e.character()),
                "the refusal names the character", text.toUtf8());
    }
}

namespace {

struct Letter {
    const char* utf8;
    const char* cp1250;
};

// What the vendor's web server sends: ASCII, the Hungarian letters, the
// combining acute after a, e and i, and the registered sign it drops.
const std::vector<Letter>& hungarianLetters() {
    static const std::vector<Letter> letters = {
        {"\xC3\xA1", "\xE1"},  {"\xC3\xA9", "\xE9"}, {"\xC3\xAD", "\xED"},  {"\xC3\xB3", "\xF3"},
        {"\xC3\xB6", "\xF6"},  {"\xC5\x91", "\xF5"}, {"\xC3\xBA", "\xFA"},  {"\xC3\xBC", "\xFC"},
        {"\xC5\xB1", "\xFB"},  {"\xC3\x81", "\xC1"}, {"\xC3\x89", "\xC9"},  {"\xC3\x8D", "\xCD"},
        {"\xC3\x93", "\xD3"},  {"\xC3\x96", "\xD6"}, {"\xC5\x90", "\xD5"},  {"\xC3\x9A", "\xDA"},
        {"\xC3\x9C", "\xDC"},  {"\xC5\xB0", "\xDB"}, {"a\xCC\x81", "\xE1"}, {"e\xCC\x81", "\xE9"},
        {"i\xCC\x81", "\xED"}, {"\xC2\xAE", ""},
    };
    return letters;
}

}  // namespace

void RepairUtf8Case(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray repaired = RepairUtf8Text(text);
    Require(repaired.size() <= text.size(), "repair never lengthens", text);
    Require(!repaired.contains('\x81') && !repaired.contains('\xC3') && !repaired.contains('\xCC'),
            "no lead byte of a sequence is left", text);

    const std::vector<Letter>& letters = hungarianLetters();
    QByteArray utf8;
    QByteArray expected;
    for (size_t i = 0; i < size; ++i) {
        // The letters, then tab, CR, LF and the printable ASCII characters.
        const size_t pick = data[i] % (letters.size() + 98);
        if (pick < letters.size()) {
            utf8 += letters[pick].utf8;
            expected += letters[pick].cp1250;
            continue;
        }
        const size_t ascii = pick - letters.size();
        const char c = ascii < 3 ? "\t\r\n"[ascii] : static_cast<char>(' ' + ascii - 3);
        utf8 += c;
        expected += c;
    }
    Require(RepairUtf8Text(utf8) == expected, "Hungarian text comes back in the code page", utf8);
}

namespace {

const QString kEscapes = QStringLiteral("nrt0bZ");
const QString kUnescaped = QStringLiteral("\n\r\t") + QChar(0) + QChar(8) + QChar(26);

// The condition as the server reads it: each literal, decoded under MySQL's
// rules for single-quoted text, is taken out and "?" stands in its place.
// A literal left open shows as a trailing "'".
QString skeleton(const QString& sql, QStringList* literals) {
    QString out;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql.at(i) != QLatin1Char('\'')) {
            out += sql.at(i);
            continue;
        }
        QString literal;
        bool closed = false;
        for (++i; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (c == QLatin1Char('\\') && i + 1 < sql.size()) {
                const QChar next = sql.at(++i);
                // "\%" and "\_" keep the backslash, for LIKE.
                const qsizetype escape = kEscapes.indexOf(next);
                if (next == QLatin1Char('%') || next == QLatin1Char('_'))
                    literal += QLatin1Char('\\') + next;
                else
                    literal += escape < 0 ? next : kUnescaped.at(escape);
            } else if (c == QLatin1Char('\'') && i + 1 < sql.size() &&
                       sql.at(i + 1) == QLatin1Char('\'')) {
                literal += c;
                ++i;
            } else if (c == QLatin1Char('\'')) {
                closed = true;
                break;
            } else {
                literal += c;
            }
        }
        out += closed ? QStringLiteral("?") : QStringLiteral("'");
        *literals << literal;
    }
    return out;
}

// The word with every character LIKE would read as a wildcard or an escape
// made a letter: each typed character must match only itself.
QString likeLetters(const QString& word) {
    QString out;
    for (const QChar c : word) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

const QStringList kColumns = {QStringLiteral("nev"), QStringLiteral("`cim`"),
                              QStringLiteral("v.adoszam"), QStringLiteral("nev")};

}  // namespace

// Layout: the number of columns, whether a leading AND is wanted, the search
// text in the code page.
void SearchFilterCase(const uint8_t* data, size_t size) {
    Input in(data, size);
    const QStringList fields = kColumns.mid(0, in.byte() % (kColumns.size() + 1));
    const bool withAnd = (in.byte() & 1) != 0;
    const QByteArray typed = in.rest();
    const QString text = FromCp1250(typed);

    QString spaced = text;
    spaced.replace(QLatin1Char(','), QLatin1Char(' ')).replace(QLatin1Char(';'), QLatin1Char(' '));
    QStringList words;
    for (const QString& word : spaced.split(QLatin1Char(' ')).mid(0, 4))
        if (!IsBlankText(word)) words << word;

    QString condition;
    try {
        condition = BuildSearchFilter(fields.join(QLatin1Char(';')), text, withAnd);
    } catch (const std::invalid_argument&) {
        Require(fields.isEmpty() && !words.isEmpty(), "only words without columns are refused",
                typed);
        return;
    }
    Require(!(fields.isEmpty() && !words.isEmpty()), "words without columns are refused", typed);
    if (words.isEmpty()) {
        Require(condition.isEmpty(), "no word, no condition", typed);
        return;
    }
    QStringList groups;
    QStringList expectedLiterals;
    for (const QString& word : words) {
        QStringList terms;
        for (const QString& field : fields) {
            terms << QLatin1Char('(') + field + QLatin1String(" LIKE ?)");
            expectedLiterals << QLatin1Char('%') + likeLetters(word) + QLatin1Char('%');
        }
        groups << QLatin1Char('(') + terms.join(QLatin1String(" OR ")) + QLatin1Char(')');
    }
    const QString expected = (withAnd ? QLatin1String(" AND (") : QLatin1String("(")) +
                             groups.join(QLatin1String(" AND ")) + QLatin1Char(')');
    QStringList literals;
    Require(skeleton(condition, &literals) == expected,
            "every word stays inside its literal, each field gets every word", typed);
    Require(literals == expectedLiterals,
            "each literal reads as the word, its wildcards escaped, in % signs", typed);

    // Only the WHERE and ORDER lines change.
    QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList original = lines;
    ReplaceWhere(lines, condition, (typed.size() & 1) != 0);
    ReplaceOrderBy(lines, QStringLiteral("nev"));
    Require(lines.size() == original.size(), "the query keeps its lines", typed);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!original.at(i).startsWith(QLatin1String("WHERE"), Qt::CaseInsensitive) &&
            !original.at(i).startsWith(QLatin1String("ORDER"), Qt::CaseInsensitive))
            Require(lines.at(i) == original.at(i), "other lines stay as they were", typed);
}

}  // namespace zomi::fuzz
