#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "db/SqlScript.h"

namespace zomi {
namespace {

struct Cut {
    const char* name;
    const char* text;
    std::vector<std::pair<const char*, int>> statements;  // text and first line
    SqlQuoting quoting = {};
};

void PrintTo(const Cut& cut, std::ostream* os) { *os << cut.name; }

class SqlScriptCut : public ::testing::TestWithParam<Cut> {};

TEST_P(SqlScriptCut, GivesTheStatementsTheServerShouldSee) {
    const Cut& cut = GetParam();
    SqlScript script(cut.text, cut.quoting);
    SqlStatement statement;
    size_t i = 0;
    while (script.next(statement)) {
        ASSERT_LT(i, cut.statements.size()) << "extra statement: " << statement.text.constData();
        EXPECT_EQ(statement.text, QByteArray(cut.statements[i].first));
        EXPECT_EQ(statement.line, cut.statements[i].second) << statement.text.constData();
        ++i;
    }
    EXPECT_EQ(i, cut.statements.size());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SqlScriptCut,
    ::testing::Values(
        Cut{"UnterminatedLastStatementCounts",
            "INSERT INTO t VALUES (1);\n\nINSERT INTO t VALUES (2)\n",
            {{"INSERT INTO t VALUES (1)", 1}, {"INSERT INTO t VALUES (2)", 3}}},
        Cut{"SeveralStatementsOnOneLine",
            "SET @a := 1; SELECT @a;",
            {{"SET @a := 1", 1}, {"SELECT @a", 1}}},
        Cut{"TerminatorInsideLiteralsIsText",
            "INSERT INTO t VALUES ('first;\n  second ;  \nthird', \"x\"\"y;\", 'it\\'s;', "
            "`a;b`);\nSELECT 2;",
            {{"INSERT INTO t VALUES ('first;\n  second ;  \nthird', \"x\"\"y;\", 'it\\'s;', `a;b`)",
              1},
             {"SELECT 2", 4}}},
        Cut{"TerminatorInsideCommentsIsText",
            "-- first; comment\nSELECT 1 # trailing;\n;\n/* block;\n comment; */ SELECT 5--1;\n-- "
            "the end;\n",
            {{"SELECT 1 # trailing;", 2}, {"SELECT 5--1", 5}}},
        Cut{"DelimiterInAnyCaseWithRoutineBody",
            "DELIMITER ;;\nCREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT 2;\nEND "
            ";;\nDelimiter ;\n"
            "delimiter $$\nCREATE FUNCTION f() RETURNS INT\nBEGIN\n  RETURN 1;\nEND$$\ndelimiter "
            ";\nCALL p();",
            {{"CREATE PROCEDURE p()\nBEGIN\n  SELECT 1;\n  SELECT 2;\nEND", 2},
             {"CREATE FUNCTION f() RETURNS INT\nBEGIN\n  RETURN 1;\nEND", 9},
             {"CALL p()", 14}}},
        Cut{"DelimiterWordInsideAStatementIsText",
            "SELECT a,\ndelimiter\nFROM t;",
            {{"SELECT a,\ndelimiter\nFROM t", 1}}},
        Cut{"ConditionalCommentsAreStatements",
            "/*M!999999\\- enable the sandbox mode */ \n/*!999999\\- enable the sandbox mode */\n"
            "/*!40101 SET NAMES utf8mb4 */;\n/*!50003 SET a = 1 */ ;",
            {{"/*!40101 SET NAMES utf8mb4 */", 3}, {"/*!50003 SET a = 1 */", 4}}},
        Cut{"DashesBeforeAStatementAreACommentWithoutTheBlank",
            "------------\nselect 1;\n  --comment\nselect 2;--c\nselect 3\n--x\n;",
            {{"select 1", 2}, {"select 2", 4}, {"select 3\n--x", 5}}},
        Cut{"NoBackslashEscapesLeavesBackslashesInLiterals",
            "SELECT 'C:\\temp\\';\nSELECT \"a\\\";\nSELECT 2;",
            {{"SELECT 'C:\\temp\\'", 1}, {"SELECT \"a\\\"", 2}, {"SELECT 2", 3}},
            SqlQuoting{false, false}},
        Cut{"AnsiQuotesLeaveBackslashesInNamesOnly",
            "SELECT \"a\\\";\nSELECT 'b\\';';",
            {{"SELECT \"a\\\"", 1}, {"SELECT 'b\\';'", 2}},
            SqlQuoting{true, true}},
        Cut{"EmptyStatementsAndBlankTextGiveNothing", ";;\r\n  ;\r\n-- only a comment", {}}));

TEST(SqlScriptTest, DelimiterWithoutNewTerminatorIsReportedWithItsLine) {
    SqlScript script("SELECT 1;\nDELIMITER\nSELECT 2;");
    SqlStatement statement;
    ASSERT_TRUE(script.next(statement));
    try {
        script.next(statement);
        FAIL() << "no error";
    } catch (const SqlScriptError& e) {
        EXPECT_EQ(e.line(), 2);
    }
}

TEST(SqlScriptTest, QuotingChangedBetweenStatementsCutsTheRestByTheNewMode) {
    SqlScript script("SET sql_mode = 'NO_BACKSLASH_ESCAPES';\nSELECT '\\';\nSELECT 2;");
    SqlStatement statement;
    ASSERT_TRUE(script.next(statement));
    EXPECT_TRUE(MayChangeQuoting(statement.text));
    script.setQuoting(SqlQuoting{false, false});
    ASSERT_TRUE(script.next(statement));
    EXPECT_EQ(statement.text, QByteArray("SELECT '\\'"));
    EXPECT_FALSE(MayChangeQuoting(statement.text));
    ASSERT_TRUE(script.next(statement));
    EXPECT_EQ(statement.text, QByteArray("SELECT 2"));
}

TEST(SqlScriptTest, CountsLinesAndTracksTheLineReached) {
    EXPECT_EQ(SqlScript(QByteArray()).lineCount(), 0);
    EXPECT_EQ(SqlScript("a\nb\n").lineCount(), 2);
    SqlScript script("SELECT 1;\nSELECT\n2;\nSELECT 3");
    EXPECT_EQ(script.lineCount(), 4);
    SqlStatement statement;
    ASSERT_TRUE(script.next(statement));
    ASSERT_TRUE(script.next(statement));
    EXPECT_EQ(statement.line, 2);
    EXPECT_EQ(statement.endLine, 3);
}

TEST(SqlConsoleTextTest, TableModeLooksAtTheFirstLineOnly) {
    EXPECT_EQ(TableModeTable(QStringLiteral("table: vallalkozo")), QStringLiteral("vallalkozo"));
    EXPECT_EQ(TableModeTable(QStringLiteral("TABLE:statusz\r\nSELECT 1;")),
              QStringLiteral("statusz"));
    EXPECT_EQ(TableModeTable(QStringLiteral("Table: ktgh : extra")), QStringLiteral("ktgh"));
    EXPECT_FALSE(TableModeTable(QStringLiteral("SELECT 1;\ntable: statusz")).has_value());
    EXPECT_FALSE(TableModeTable(QStringLiteral(" table: statusz")).has_value());
}

TEST(SqlConsoleTextTest, OnlySelectAndShowAreQueries) {
    EXPECT_TRUE(IsQueryText(QStringLiteral("\n  select * from statusz")));
    EXPECT_TRUE(IsQueryText(QStringLiteral("Show tables")));
    EXPECT_FALSE(IsQueryText(QStringLiteral("(SELECT 1)")));
    EXPECT_FALSE(IsQueryText(QStringLiteral("-- rows\nSELECT 1")));
    EXPECT_FALSE(IsQueryText(QStringLiteral("WITH a AS (SELECT 1) SELECT * FROM a")));
}

TEST(SqlConsoleTextTest, FirstStatementIsNotCutInsideALiteral) {
    EXPECT_EQ(FirstStatement(QStringLiteral("SELECT 'a;b';\nSELECT 2;")),
              QStringLiteral("SELECT 'a;b'"));
    EXPECT_EQ(FirstStatement(QStringLiteral("SELECT 1")), QStringLiteral("SELECT 1"));
}

}  // namespace
}  // namespace zomi
