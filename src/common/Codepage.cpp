#include "common/Codepage.h"

#include <QHash>

namespace zomi {

namespace {

// The five bytes code page 1250 leaves undefined map to the C1 control of the
// same value, so that any byte sequence survives a round trip unchanged.
const char16_t kCp1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

QHash<char16_t, char> reverseTable(const char16_t (&high)[128]) {
    QHash<char16_t, char> reverse;
    reverse.reserve(128);
    for (int i = 0; i < 128; ++i) reverse.insert(high[i], static_cast<char>(0x80 + i));
    return reverse;
}

const QHash<char16_t, char>& cp1250Reverse() {
    static const QHash<char16_t, char> table = reverseTable(kCp1250High);
    return table;
}

QString decode(const char* data, qsizetype size, const char16_t (&high)[128]) {
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = b < 0x80 ? QChar(b) : QChar(high[b - 0x80]);
    }
    return out;
}

// Returns the position of the first character that cannot be encoded, or -1.
qsizetype encode(const QString& text, const QHash<char16_t, char>& reverse, QByteArray& out) {
    out.resize(text.size());
    char* dst = out.data();
    const QChar* src = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = src[i].unicode();
        if (c < 0x80) {
            dst[i] = static_cast<char>(c);
            continue;
        }
        const auto it = reverse.constFind(c);
        if (it == reverse.constEnd()) return i;
        dst[i] = it.value();
    }
    return -1;
}

// Names the offending character so the user can find it in what was typed.
QString describeCharacter(const QString& text, qsizetype pos) {
    char32_t code = text.at(pos).unicode();
    QString shown = text.mid(pos, 1);
    if (text.at(pos).isHighSurrogate() && pos + 1 < text.size() &&
        text.at(pos + 1).isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text.at(pos), text.at(pos + 1));
        shown = text.mid(pos, 2);
    }
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(shown, QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, '0'));
}

}  // namespace

EncodingError::EncodingError(const QString& message, const QString& character)
    : std::runtime_error(message.toStdString()), message_(message), character_(character) {}

QString FromCp1250(const char* data, qsizetype size) { return decode(data, size, kCp1250High); }

QString FromCp1250(const QByteArray& bytes) { return FromCp1250(bytes.constData(), bytes.size()); }

QByteArray ToCp1250(const QString& text) {
    QByteArray out;
    const qsizetype bad = encode(text, cp1250Reverse(), out);
    if (bad >= 0) {
        const QString character = describeCharacter(text, bad);
        throw EncodingError(
            QStringLiteral("A(z) %1 karakter nem írható le az 1250-es kódlapon.").arg(character),
            character);
    }
    return out;
}

bool FitsCp1250(const QString& text) {
    QByteArray scratch;
    return encode(text, cp1250Reverse(), scratch) < 0;
}

}  // namespace zomi
