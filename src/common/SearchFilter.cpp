#include "common/SearchFilter.h"

#include <stdexcept>

#include "common/Text.h"

namespace zomi {

namespace {

// Bounds on the size of the condition the server gets on every keystroke.
constexpr int kMaxWords = 4;
constexpr int kMaxFields = 15;

bool beginsWith(const QString& line, QLatin1String word) {
    return line.startsWith(word, Qt::CaseInsensitive);
}

}  // namespace

QString SubstringPattern(const QString& word) {
    QString pattern;
    pattern.reserve(word.size() + 2);
    pattern += QLatin1Char('%');
    for (const QChar c : word) {
        // The server's LIKE escape character is the backslash.
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

QStringList SearchWords(const QString& searchText) {
    QString text = searchText;
    text.replace(QLatin1Char(','), QLatin1Char(' '));
    text.replace(QLatin1Char(';'), QLatin1Char(' '));
    QStringList words;
    if (IsBlankText(text)) return words;
    for (int i = 1; i <= kMaxWords; ++i) {
        const QString word = FieldOf(QStringLiteral(" "), text, i);
        if (!IsBlankText(word)) words << word;
    }
    return words;
}

QStringList SearchFieldNames(const QString& fieldList) {
    QStringList fields;
    for (int i = 1; i <= kMaxFields; ++i) {
        const QString name = FieldOf(QStringLiteral(";"), fieldList, i);
        if (name.isEmpty()) break;
        fields << name;
    }
    return fields;
}

QString BuildSearchFilter(const QString& fieldList, const QString& searchText,
                          bool withLeadingAnd) {
    const QStringList words = SearchWords(searchText);
    if (words.isEmpty()) return QString();
    const QStringList fields = SearchFieldNames(fieldList);
    if (fields.isEmpty())
        throw std::invalid_argument("search filter: the field list names no column");

    QStringList groups;
    for (const QString& word : words) {
        QStringList terms;
        const QString literal = SqlQuote(SubstringPattern(word));
        for (const QString& field : fields)
            terms << QLatin1Char('(') + field + QLatin1String(" LIKE ") + literal +
                         QLatin1Char(')');
        groups << QLatin1Char('(') + terms.join(QLatin1String(" OR ")) + QLatin1Char(')');
    }
    const QString condition = groups.join(QLatin1String(" AND "));
    return (withLeadingAnd ? QLatin1String(" AND (") : QLatin1String("(")) + condition +
           QLatin1Char(')');
}

QString ReplaceWhere(QStringList& lines, const QString& condition, bool firstOnly) {
    for (QString& line : lines) {
        if (!beginsWith(line, QLatin1String("WHERE"))) continue;
        line = QLatin1String("WHERE ") + condition;
        if (firstOnly) break;
    }
    return lines.join(QLatin1Char('\n'));
}

QString ReplaceOrderBy(QStringList& lines, const QString& sortField) {
    for (QString& line : lines) {
        if (!beginsWith(line, QLatin1String("ORDER"))) continue;
        line = QLatin1String("ORDER BY ") + sortField + QLatin1Char(';');
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace zomi
