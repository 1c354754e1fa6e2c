#include "db/SqlScript.h"

#include <QByteArrayView>
#include <algorithm>

#include "common/Text.h"

namespace zomi {

namespace {

// Spaces and ASCII control characters; bytes of letters beyond ASCII are never blank.
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

int countLines(const QByteArray& text) {
    if (text.isEmpty()) return 0;
    const auto breaks = static_cast<int>(text.count('\n'));
    return text.endsWith('\n') ? breaks : breaks + 1;
}

// Qt's mid(), which this Qt's byte views lack: clamped to the text.
QByteArrayView slice(QByteArrayView text, qsizetype from, qsizetype count = -1) {
    from = std::min(from, text.size());
    const qsizetype rest = text.size() - from;
    return text.sliced(from, count < 0 ? rest : std::min(count, rest));
}

QByteArrayView trimmedView(QByteArrayView text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text.at(from))) ++from;
    while (to > from && isBlank(text.at(to - 1))) --to;
    return text.sliced(from, to - from);
}

bool startsWithNoCase(QByteArrayView text, QByteArrayView word) {
    return text.size() >= word.size() && qstrnicmp(text.data(), word.data(), word.size()) == 0;
}

}  // namespace

bool MayChangeQuoting(const QByteArray& statement) {
    return statement.toLower().contains("sql_mode");
}

SqlScript::SqlScript(QByteArray text, SqlQuoting quoting)
    : text_(std::move(text)), quoting_(quoting), lineCount_(countLines(text_)) {}

bool SqlScript::atTerminator() const {
    return text_.at(pos_) == terminator_.at(0) &&
           slice(text_, pos_, terminator_.size()) == terminator_;
}

// Inside a statement "-- " needs the blank (or a control character) after
// the dashes, as the server reads it: "SELECT 5--1" is arithmetic. Before a
// statement's text the stock client takes any "--" as a comment, so that a
// dash banner or "--note" is dropped instead of being joined to the
// statement after it.
bool SqlScript::atLineComment(bool inStatement) const {
    const char c = text_.at(pos_);
    if (c == '#') return true;
    if (c != '-' || pos_ + 1 >= text_.size() || text_.at(pos_ + 1) != '-') return false;
    return !inStatement || pos_ + 2 >= text_.size() || isBlank(text_.at(pos_ + 2));
}

// "/*!" and "/*M!" hold statement text for the server, so they are read as
// text, terminators included, as the stock client reads them.
bool SqlScript::atConditionalComment() const {
    const QByteArrayView rest = slice(text_, pos_, 4);
    return rest.startsWith("/*!") || rest.startsWith("/*M!");
}

void SqlScript::skipQuoted(char quote) {
    const bool escapes =
        quote != '`' && quoting_.backslashEscapes && !(quote == '"' && quoting_.ansiQuotes);
    for (++pos_; pos_ < text_.size(); ++pos_) {
        const char c = text_.at(pos_);
        if (c == '\n') {
            ++line_;
        } else if (escapes && c == '\\' && pos_ + 1 < text_.size()) {
            if (text_.at(++pos_) == '\n') ++line_;
        } else if (c == quote) {
            // A doubled quote reopens at once on the next round.
            ++pos_;
            return;
        }
    }
}

void SqlScript::skipToLineEnd() {
    const qsizetype end = text_.indexOf('\n', pos_);
    pos_ = end < 0 ? text_.size() : end;
}

void SqlScript::skipBlockComment() {
    const qsizetype end = text_.indexOf("*/", pos_ + 2);
    const qsizetype stop = end < 0 ? text_.size() : end + 2;
    line_ += static_cast<int>(slice(text_, pos_, stop - pos_).count('\n'));
    pos_ = stop;
}

// The client's own lines at the start of a statement: DELIMITER, and the
// sandbox line that current dump tools write first. Neither goes to the server.
bool SqlScript::takeClientLine() {
    qsizetype end = text_.indexOf('\n', pos_);
    if (end < 0) end = text_.size();
    const QByteArrayView line = trimmedView(slice(text_, pos_, end - pos_));
    if (line.startsWith("/*!999999\\-") || line.startsWith("/*M!999999\\-")) {
        pos_ = end;
        return true;
    }
    constexpr qsizetype kWord = 9;  // "delimiter"
    if (!startsWithNoCase(line, "delimiter") || (line.size() > kWord && !isBlank(line.at(kWord))))
        return false;
    const QByteArrayView rest = trimmedView(slice(line, kWord));
    qsizetype wordEnd = 0;
    while (wordEnd < rest.size() && !isBlank(rest.at(wordEnd))) ++wordEnd;
    if (wordEnd == 0)
        throw SqlScriptError(line_,
                             QStringLiteral("A DELIMITER után meg kell adni az új határolót."));
    terminator_ = rest.first(wordEnd).toByteArray();
    pos_ = end;
    return true;
}

bool SqlScript::next(SqlStatement& statement) {
    qsizetype contentStart = -1;
    auto startContent = [&] {
        if (contentStart >= 0) return;
        contentStart = pos_;
        statement.line = line_;
    };
    auto finish = [&](qsizetype end) {
        statement.text = trimmedView(slice(text_, contentStart, end - contentStart)).toByteArray();
        statement.endLine = line_;
    };
    while (pos_ < text_.size()) {
        if (atLineStart_) {
            atLineStart_ = false;
            if (contentStart < 0 && takeClientLine()) continue;
        }
        const char c = text_.at(pos_);
        if (c == '\n') {
            ++line_;
            ++pos_;
            atLineStart_ = true;
        } else if (atTerminator()) {
            const qsizetype end = pos_;
            pos_ += terminator_.size();
            // An empty statement (";;" under ";") is passed over.
            if (contentStart >= 0) {
                finish(end);
                return true;
            }
        } else if (c == '\'' || c == '"' || c == '`') {
            startContent();
            skipQuoted(c);
        } else if (atLineComment(contentStart >= 0)) {
            skipToLineEnd();
        } else if (c == '/' && pos_ + 1 < text_.size() && text_.at(pos_ + 1) == '*') {
            if (atConditionalComment()) {
                startContent();
                pos_ += 2;
            } else {
                skipBlockComment();
            }
        } else {
            if (!isBlank(c)) startContent();
            ++pos_;
        }
    }
    if (contentStart < 0) return false;
    finish(text_.size());
    return true;
}

std::optional<QString> TableModeTable(const QString& text) {
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    if (firstLine.left(5).compare(QLatin1String("table"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return TrimBlanks(FieldOf(QStringLiteral(":"), firstLine, 2));
}

bool IsQueryText(const QString& text) {
    const QString head = TrimBlanks(text).left(6).toUpper();
    return head.startsWith(QLatin1String("SELECT")) || head.startsWith(QLatin1String("SHOW"));
}

QString FirstStatement(const QString& text, SqlQuoting quoting) {
    SqlScript script(text.toUtf8(), quoting);
    SqlStatement first;
    return script.next(first) ? QString::fromUtf8(first.text) : text;
}

}  // namespace zomi
