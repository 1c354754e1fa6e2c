#pragma once

// SQL text cut into the statements a script consists of, the way the stock
// command-line client cuts it: a statement ends at the current terminator
// (";" at first) wherever it stands outside quotes and comments, a line
// "DELIMITER x" (any letter case) at the start of a statement changes the
// terminator, and a last statement without a terminator still counts.
// Before a statement's text begins, "--" starts a comment whatever follows it
// (a dash banner, "--note"); inside a statement only "-- " does, as the
// server reads it. Where a quoted text ends depends on the session's SQL
// mode, which the caller hands over as the script changes it.
//
// It reads bytes: every character that matters to the cut is ASCII, which
// UTF-8 and the single-byte code pages share, so a file is cut as it stands
// and each statement is converted for the session on its own.

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

namespace zomi {

struct SqlStatement {
    QByteArray text;  // without its terminator and the comments before it
    int line = 0;     // the line its text begins on, from 1
    int endLine = 0;  // the line its terminator (or the text) ends on
};

// A line the splitter cannot make sense of, such as a DELIMITER without a
// new terminator.
class SqlScriptError : public std::runtime_error {
  public:
    SqlScriptError(int line, const QString& message)
        : std::runtime_error(message.toStdString()), line_(line), message_(message) {}
    int line() const { return line_; }
    const QString& message() const { return message_; }

  private:
    int line_;
    QString message_;
};

// How the session reads quoted text, which decides where a literal ends:
// the server's status flags SERVER_STATUS_NO_BACKSLASH_ESCAPES and
// SERVER_STATUS_ANSI_QUOTES.
struct SqlQuoting {
    bool backslashEscapes = true;  // off under NO_BACKSLASH_ESCAPES: '\' is a letter
    bool ansiQuotes = false;       // "..." names something, and '\' escapes nothing in it
};

// The quoting a statement leaves behind can differ from the one before it
// only when it names the session's SQL mode (SET sql_mode, the dump tools'
// /*!50003 SET sql_mode = ... */ around routines).
bool MayChangeQuoting(const QByteArray& statement);

class SqlScript {
  public:
    explicit SqlScript(QByteArray text, SqlQuoting quoting = {});

    // For the statements after the one cut last.
    void setQuoting(SqlQuoting quoting) { quoting_ = quoting; }
    SqlQuoting quoting() const { return quoting_; }

    // The next statement; false when the text holds no more. Statements made
    // only of comments and blanks are passed over. Throws SqlScriptError.
    bool next(SqlStatement& statement);

    int lineCount() const { return lineCount_; }
    // The line the splitter has reached, from 1.
    int line() const { return line_; }
    const QByteArray& terminator() const { return terminator_; }

  private:
    bool takeClientLine();
    void skipQuoted(char quote);
    void skipToLineEnd();
    void skipBlockComment();
    bool atTerminator() const;
    bool atLineComment(bool inStatement) const;
    bool atConditionalComment() const;

    QByteArray text_;
    QByteArray terminator_ = ";";
    SqlQuoting quoting_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int lineCount_ = 0;
    bool atLineStart_ = true;
};

// The console's reading of its text. A first line whose first five letters
// are "table" (any case) names a table to open: the text between its first
// and second ":", trimmed.
std::optional<QString> TableModeTable(const QString& text);
// Text that, trimmed and in capitals, begins with SELECT or SHOW is shown as a
// query result; anything else runs as a script.
bool IsQueryText(const QString& text);
// The text of the first statement under the script rules (all of it when it
// has no terminator), so that a ";" inside a literal does not cut it short.
// Throws SqlScriptError.
QString FirstStatement(const QString& text, SqlQuoting quoting = {});

}  // namespace zomi
