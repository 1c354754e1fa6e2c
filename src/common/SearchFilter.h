#pragma once

// The list windows narrow and order their query by rewriting its WHERE and
// ORDER lines. The query text is a list of lines; the routines rely on one
// line that begins with "WHERE" and one that begins with "ORDER".

#include <QString>
#include <QStringList>

namespace zomi {

// The condition for what the user typed into a list's search box: every word
// must occur, as a substring, in at least one of the fields (words AND-ed,
// fields OR-ed). Commas and semicolons separate words like blanks; only the
// first four blank-separated fields of the text count, empty ones included.
// fieldList holds the column names separated by ";" (at most 15 are used).
// Empty text when there is no word; otherwise "(...)", or " AND (...)" with
// withLeadingAnd, for appending to a base condition. Every character of a
// word matches itself: "%", "_" and the backslash are escaped for LIKE before the
// word is quoted, so that "50%" finds "50%" and not every row. Throws
// std::invalid_argument when there is a word but fieldList names no column.
QString BuildSearchFilter(const QString& fieldList, const QString& searchText, bool withLeadingAnd);

// The LIKE pattern (before SQL quoting) that matches every text holding the
// word as it was typed: "%" + the word with the backslash, "%" and "_" escaped + "%".
QString SubstringPattern(const QString& word);

// The words of a search text by the rule above, in order; empty when there
// is nothing to search for. A list that narrows its rows itself uses them.
QStringList SearchWords(const QString& searchText);
// The column names of a field list, by the rule above.
QStringList SearchFieldNames(const QString& fieldList);

// Replaces the first line (every line unless firstOnly) that begins with
// "WHERE", in any letter case, by "WHERE " + condition. Returns the lines
// joined with "\n". A query without such a line is left as it is.
QString ReplaceWhere(QStringList& lines, const QString& condition, bool firstOnly);

// Replaces the first line that begins with "ORDER", in any letter case, by
// "ORDER BY " + sortField + ";". Returns the lines joined with "\n".
QString ReplaceOrderBy(QStringList& lines, const QString& sortField);

}  // namespace zomi
