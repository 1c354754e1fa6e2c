#include "common/Utf8.h"

#include <array>

#include "common/Codepage.h"

namespace zomi {

QByteArray ToUtf8(const QByteArray& cp1250) { return FromCp1250(cp1250).toUtf8(); }

QByteArray ToUtf8(const QString& text) { return text.toUtf8(); }

namespace {

using Bytes = std::array<unsigned char, 256>;

// Upper-case form of every code page 1250 byte, the comparison the Windows
// case-insensitive replace makes. Only letters have a case; a letter whose
// capital the code page lacks keeps its own byte.
const Bytes& upperCaseTable() {
    static const Bytes table = [] {
        Bytes t{};
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<unsigned char>(b);
            const QString upper = FromCp1250(QByteArray(1, static_cast<char>(b))).toUpper();
            if (upper.size() == 1 && FitsCp1250(upper))
                t[b] = static_cast<unsigned char>(ToCp1250(upper).at(0));
        }
        return t;
    }();
    return table;
}

// Replaces every non-overlapping occurrence of the byte pair, found left to
// right without regard to letter case, by replacement.
QByteArray replacePairIgnoringCase(const QByteArray& text, unsigned char first,
                                   unsigned char second, const QByteArray& replacement) {
    const Bytes& upper = upperCaseTable();
    QByteArray out;
    out.reserve(text.size());
    const auto at = [&text](qsizetype i) { return static_cast<unsigned char>(text.at(i)); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i + 1 < text.size() && upper[at(i)] == upper[first] &&
            upper[at(i + 1)] == upper[second]) {
            out += replacement;
            ++i;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

struct PairRule {
    unsigned char second;
    unsigned char result;
};

// The second byte after C3 and the code page 1250 letter it stands for. After
// C5 has become C3, "ő" (C5 91), "Ő" (C5 90) and "Ű" (C5 B0) arrive here too.
constexpr PairRule kPairRules[] = {
    {0xA1, 0xE1}, {0xA9, 0xE9}, {0xAD, 0xED}, {0xB3, 0xF3}, {0xB6, 0xF6},
    {0xB5, 0xF5}, {0x91, 0xF5}, {0xBA, 0xFA}, {0xBC, 0xFC}, {0xBB, 0xFB},
    {0x81, 0xC1}, {0x89, 0xC9}, {0x8D, 0xCD}, {0x93, 0xD3}, {0x96, 0xD6},
    {0x90, 0xD5}, {0x9A, 0xDA}, {0x9C, 0xDC}, {0xB1, 0xDB}, {0xB0, 0xDB},
};

}  // namespace

QByteArray RepairUtf8Text(const QByteArray& text) {
    QByteArray s = replacePairIgnoringCase(text, 0xC5, 0xB1, QByteArray(1, '\xFB'));
    s = replacePairIgnoringCase(s, 0xC2, 0xAE, QByteArray());
    s = replacePairIgnoringCase(s, 0xE2, 0x84, QByteArray());
    s.replace('\xC5', '\xC3');

    const auto at = [&s](qsizetype i) { return static_cast<unsigned char>(s.at(i)); };
    // From the end backwards, as the routine always ran; no rule produces a
    // byte another rule looks for, so the direction changes nothing. The
    // combining accent is looked for from the last byte on (not the
    // second-to-last, where the pair rules start), or a letter with an accent
    // at the very end of the text would lose the accent.
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        if (i + 1 < s.size() && at(i) == 0xC3) {
            for (const PairRule& rule : kPairRules)
                if (at(i + 1) == rule.second) s[i + 1] = static_cast<char>(rule.result);
        }
        if (i >= 2 && at(i) == 0x81 && at(i - 1) == 0xCC) {
            switch (s.at(i - 2)) {
                case 'a':
                    s[i - 2] = '\xE1';
                    break;
                case 'e':
                    s[i - 2] = '\xE9';
                    break;
                case 'i':
                    s[i - 2] = '\xED';
                    break;
                default:
                    break;
            }
        }
    }

    QByteArray out;
    out.reserve(s.size());
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b != 0x81 && b != 0xC3 && b != 0xCC) out += c;
    }
    return out;
}

}  // namespace zomi
