#include "common/Text.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QMetaType>
#include <QTime>
#include <cmath>
#include <limits>

#include "common/Codepage.h"

namespace zomi {

namespace {

bool isNull(const QVariant& value) { return !value.isValid() || value.isNull(); }

bool isIntegral(int typeId) {
    switch (typeId) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

bool isFloating(int typeId) { return typeId == QMetaType::Double || typeId == QMetaType::Float; }

QString doubleText(double d) {
    // Zero also covers -0.0, which would otherwise print as "-0".
    if (d == 0) return QStringLiteral("0");
    return QString::number(d, 'f', QLocale::FloatingPointShortest);
}

QString typeName(const QVariant& value) {
    const char* name = value.metaType().name();
    return QString::fromLatin1(name ? name : "?");
}

[[noreturn]] void refuse(const QVariant& value, const char* target) {
    throw ConversionError(QStringLiteral("cannot convert a value of type %1 (\"%2\") to %3")
                              .arg(typeName(value), ValueText(value), QLatin1String(target))
                              .toStdString());
}

int checkedInt(double d, const QVariant& original) {
    if (!std::isfinite(d)) refuse(original, "an integer");
    const double r = std::round(d);
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        refuse(original, "an integer");
    return static_cast<int>(r);
}

}  // namespace

QString ValueText(const QVariant& value) {
    if (isNull(value)) return QString();
    const int type = value.typeId();
    if (isFloating(type)) return doubleText(value.toDouble());
    if (isIntegral(type)) return value.toString();
    switch (type) {
        case QMetaType::QString:
            return value.toString();
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::QDate:
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        case QMetaType::QTime:
            return value.toTime().toString(QStringLiteral("hh:mm:ss"));
        case QMetaType::QDateTime:
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        case QMetaType::QByteArray:
            // Raw column bytes arrive in the session's character set.
            return FromCp1250(value.toByteArray());
        default:
            break;
    }
    if (!value.canConvert<QString>())
        throw ConversionError(QStringLiteral("a value of type %1 has no text form")
                                  .arg(typeName(value))
                                  .toStdString());
    return value.toString();
}

QString NullToText(const QVariant& value, const QString& defaultText) {
    return isNull(value) ? defaultText : ValueText(value);
}

int NullToInt(const QVariant& value, int defaultValue) {
    if (isNull(value)) return defaultValue;
    const int type = value.typeId();
    if (type == QMetaType::Bool) return value.toBool() ? 1 : 0;
    if (type == QMetaType::ULongLong || type == QMetaType::ULong || type == QMetaType::UInt) {
        // Read as signed, the top half of the unsigned range would wrap round.
        const qulonglong n = value.toULongLong();
        if (n > static_cast<qulonglong>(std::numeric_limits<int>::max()))
            refuse(value, "an integer");
        return static_cast<int>(n);
    }
    if (isIntegral(type)) {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (ok && n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return static_cast<int>(n);
        refuse(value, "an integer");
    }
    if (isFloating(type)) return checkedInt(value.toDouble(), value);
    if (type == QMetaType::QString || type == QMetaType::QByteArray) {
        const QString text = ValueText(value).trimmed();
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok, 10);
        if (ok) {
            if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                refuse(value, "an integer");
            return static_cast<int>(n);
        }
        // Decimal columns may come as text such as "12.00".
        const double d = QLocale::c().toDouble(text, &ok);
        if (ok) return checkedInt(d, value);
    }
    refuse(value, "an integer");
}

double NullToFloat(const QVariant& value, double defaultValue) {
    if (isNull(value)) return defaultValue;
    const int type = value.typeId();
    if (type == QMetaType::Bool) return value.toBool() ? 1.0 : 0.0;
    if (isIntegral(type) || isFloating(type)) return value.toDouble();
    if (type == QMetaType::QString || type == QMetaType::QByteArray) {
        bool ok = false;
        const double d = QLocale::c().toDouble(ValueText(value).trimmed(), &ok);
        if (ok) return d;
    }
    refuse(value, "a floating number");
}

QString IdText(const QVariant& value) { return QString::number(NullToInt(value, 0)); }

QString ReplaceCharText(const QVariant& value, QChar from, QChar to) {
    QString text = NullToText(value, QString());
    text.replace(from, to);
    return text;
}

QString SqlEscape(const QVariant& value) {
    QString text = NullToText(value, QString());
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text;
}

QString SqlQuote(const QVariant& value) {
    QString text = SqlEscape(NullToText(value, QString()));
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString LineBreaksFromEscapes(const QVariant& value) {
    QString text = NullToText(value, QString());
    text.replace(QLatin1String("\\r\\n"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    return text;
}

QString OneLineText(const QVariant& value) {
    QString text = NullToText(value, QString());
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\n"));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString FieldOf(const QString& separators, const QString& text, int n) {
    if (n < 1) return QString();
    int field = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !separators.contains(text.at(i))) continue;
        if (field == n) return text.mid(start, i - start);
        ++field;
        start = i + 1;
    }
    return QString();
}

QString RemoveChars(const QString& chars, const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!chars.contains(c)) out.append(c);
    return out;
}

QString LeftText(const QString& text, int n) { return n <= 0 ? QString() : text.left(n); }

QString RightText(const QString& text, int n) { return n <= 0 ? QString() : text.right(n); }

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ') ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ') --end;
    return text.mid(begin, end - begin);
}

bool IsBlankText(const QString& text) { return TrimBlanks(text).isEmpty(); }

QString CleanNumberText(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    QString out;
    out.reserve(trimmed.size());
    bool separatorKept = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            out.append(c);
        } else if (c == QLatin1Char('-')) {
            if (i == 0) out.append(c);
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (!separatorKept) out.append(c);
            separatorKept = true;
        }
    }
    return out;
}

int TextToInt(const QString& text) {
    bool ok = false;
    const int n = TrimBlanks(CleanNumberText(text)).toInt(&ok, 10);
    return ok ? n : 0;
}

QString PasswordDigest(const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash(ToCp1250(password), QCryptographicHash::Md5).toHex());
}

}  // namespace zomi
