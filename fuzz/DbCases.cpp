#include <QList>
#include <memory>
#include <random>

#include "Fuzz.h"
#include "common/Codepage.h"
#include "common/Text.h"
#include "db/SqlScript.h"
#include "dbaccess/Connection.h"
#include "support/TestDatabase.h"

namespace zomi::fuzz {

namespace {

dbaccess::Connection& server() {
    static const std::unique_ptr<dbaccess::Connection> connection = [] {
        auto c = std::make_unique<dbaccess::Connection>();
        c->setParams(test::TestDatabase::serverParams());
        c->open();
        return c;
    }();
    return *connection;
}

// Random texts weighted towards the bytes that matter to quoting: quotes,
// backslashes, line ends, NUL, Ctrl-Z, wildcards, comment starts.
QByteArray drawText(std::mt19937_64& random) {
    static const QByteArray kSpecial = QByteArrayLiteral("'\"\\\0\r\n\x1a%_`;-#/*\x80\x81\xa0\xff");
    const size_t length = random() % 4 == 0 ? random() % 300 : random() % 24;
    QByteArray text;
    text.reserve(static_cast<qsizetype>(length));
    for (size_t i = 0; i < length; ++i) {
        const auto r = random();
        text += (r & 1) != 0 ? kSpecial.at(static_cast<qsizetype>(
                                   (r >> 1) % static_cast<std::uint64_t>(kSpecial.size())))
                             : static_cast<char>((r >> 1) & 0xFF);
    }
    return text;
}

// FNV-1a, so that a kept input draws the same texts under any Qt.
std::uint64_t seedOf(const QByteArray& bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

}  // namespace

void SqlQuoteCase(const uint8_t* data, size_t size) {
    QList<QByteArray> values;
    values << QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::mt19937_64 random(seedOf(values.front()));
    while (values.size() < kSqlQuoteValues) values << drawText(random);

    QString sql = QStringLiteral("SELECT ");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) sql += QLatin1Char(',');
        sql += SqlQuote(FromCp1250(values.at(i))) + QStringLiteral(" c") + QString::number(i);
    }
    dbaccess::ResultSetPtr result;
    try {
        result = server().query(sql);
    } catch (const dbaccess::DbError& e) {
        Require(false, e.what(), values.join('|'));
    }
    Require(
        result->rowCount() == 1 && result->fields().size() == static_cast<size_t>(values.size()),
        "one column per quoted text", values.join('|'));
    const dbaccess::RowRef row = result->row(0);
    for (qsizetype i = 0; i < values.size(); ++i) {
        const auto column = static_cast<size_t>(i);
        Require(row.cell(column) != nullptr &&
                    QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column))) ==
                        values.at(i),
                "a quoted text reads back from the server unchanged", values.at(i));
    }
}

namespace {

// A statement that the script rules would read otherwise at the start of a
// line, or with a line end after it: "--" before the terminator is arithmetic,
// before a line end a comment.
bool readsOtherwiseAlone(const QByteArray& text) {
    if (text.endsWith("--")) return true;
    return text.left(9).compare("delimiter", Qt::CaseInsensitive) == 0 ||
           text.startsWith("/*!999999\\-") || text.startsWith("/*M!999999\\-");
}

}  // namespace

void SqlScriptCase(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> lines = text.split('\n');
    SqlScript script(text);
    SqlStatement statement;
    SqlStatement previous;
    bool havePrevious = false;
    bool previousUnderSemicolon = false;
    // Each statement but the last, cut under ";", cuts the same once more on
    // its own: the last may end inside a quote or comment left open.
    auto checkPrevious = [&] {
        if (!havePrevious || !previousUnderSemicolon || readsOtherwiseAlone(previous.text)) return;
        SqlScript again(previous.text + "\n;\n");
        SqlStatement alone;
        Require(again.next(alone) && alone.text == previous.text && !again.next(alone),
                "a statement cuts the same on its own", previous.text);
    };
    try {
        while (script.next(statement)) {
            const QByteArray& t = statement.text;
            Require(!t.isEmpty() && static_cast<unsigned char>(t.front()) > ' ' &&
                        static_cast<unsigned char>(t.back()) > ' ',
                    "a statement is trimmed and not empty", text);
            Require(text.contains(t), "a statement is text of the script", text);
            Require(statement.line >= 1 && statement.line <= lines.size() &&
                        (!havePrevious || statement.line >= previous.endLine),
                    "statements begin on lines in order", text);
            Require(lines.at(statement.line - 1).contains(t.left(t.indexOf('\n'))),
                    "a statement begins on its line", text);
            Require(statement.endLine >= statement.line + static_cast<int>(t.count('\n')) &&
                        statement.endLine <= script.lineCount() + 1,
                    "a statement ends after its lines", text);
            checkPrevious();
            previous = statement;
            previousUnderSemicolon = script.terminator() == ";";
            havePrevious = true;
        }
    } catch (const SqlScriptError& e) {
        Require(e.line() >= 1 && e.line() <= lines.size(), "an error names a line of the script",
                text);
    }
    // The console's own readings of any text.
    const QString console = QString::fromUtf8(text);
    TableModeTable(console);
    IsQueryText(console);
    try {
        FirstStatement(console);
    } catch (const SqlScriptError& e) {
        Require(e.line() >= 1, "an error names a line of the text", text);
    }
}

}  // namespace zomi::fuzz
