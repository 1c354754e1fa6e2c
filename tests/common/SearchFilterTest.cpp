#include <gtest/gtest.h>

#include "common/SearchFilter.h"

namespace zomi {
namespace {

const QString kContractorFields = QStringLiteral("vallalkozo_nev;munkakor;telefon");

std::string filter(const QString& fields, const char* text, bool leadingAnd = true) {
    return BuildSearchFilter(fields, QString::fromUtf8(text), leadingAnd).toStdString();
}

TEST(SearchFilter, WorkedExampleOfTheContractorList) {
    EXPECT_EQ(filter(kContractorFields, "kovacs 06"),
              " AND (((vallalkozo_nev LIKE '%kovacs%') OR (munkakor LIKE '%kovacs%') OR "
              "(telefon LIKE '%kovacs%')) AND ((vallalkozo_nev LIKE '%06%') OR "
              "(munkakor LIKE '%06%') OR (telefon LIKE '%06%')))");
    EXPECT_EQ(filter(QStringLiteral("cim"), "kovacs", false), "(((cim LIKE '%kovacs%')))");
}

TEST(SearchFilter, NothingToSearchForGivesNoCondition) {
    for (const char* text : {"", "   ", " ,; ;,", "\t"})
        EXPECT_EQ(filter(kContractorFields, text), "") << '"' << text << '"';
    // Four empty fields before the only word: it is the fifth field.
    EXPECT_EQ(filter(kContractorFields, "    kovacs"), "");
}

TEST(SearchFilter, OnlyTheFirstFourFieldsCountEmptyOnesIncluded) {
    const QString f = QStringLiteral("n");
    EXPECT_EQ(filter(f, "a b c d e", false),
              "(((n LIKE '%a%')) AND ((n LIKE '%b%')) AND ((n LIKE '%c%')) AND ((n LIKE '%d%')))");
    EXPECT_EQ(filter(f, "  a b c", false), "(((n LIKE '%a%')) AND ((n LIKE '%b%')))");
    EXPECT_EQ(filter(f, "a  b", false), "(((n LIKE '%a%')) AND ((n LIKE '%b%')))");
    EXPECT_EQ(filter(f, "a,b;c", false),
              "(((n LIKE '%a%')) AND ((n LIKE '%b%')) AND ((n LIKE '%c%')))");
}

// "%", "_" and the backslash typed into the box are letters: escaped for
// LIKE (backslash), then quoted (every backslash doubled once more).
TEST(SearchFilter, WordsAreQuotedKeepTheirCaseAndMatchThemselves) {
    EXPECT_EQ(filter(QStringLiteral("n"), "O'Neil", false), "(((n LIKE '%O''Neil%')))");
    EXPECT_EQ(filter(QStringLiteral("n"), "a\\b", false), "(((n LIKE '%a\\\\\\\\b%')))");
    EXPECT_EQ(filter(QStringLiteral("n"), "50%_x", false), "(((n LIKE '%50\\\\%\\\\_x%')))");
    EXPECT_EQ(filter(QStringLiteral("n"), "%", false), "(((n LIKE '%\\\\%%')))");
    EXPECT_EQ(filter(QStringLiteral("n"), "Árvíz", false), "(((n LIKE '%Árvíz%')))");
}

TEST(SearchFilter, FieldListStopsAtFifteenNamesOrTheFirstEmptyOne) {
    QStringList names;
    for (int i = 1; i <= 16; ++i) names << QStringLiteral("f%1").arg(i);
    const QString many =
        BuildSearchFilter(names.join(QLatin1Char(';')), QStringLiteral("x"), false);
    EXPECT_TRUE(many.contains(QStringLiteral("(f15 LIKE '%x%')")));
    EXPECT_FALSE(many.contains(QStringLiteral("f16")));
    EXPECT_EQ(many.count(QStringLiteral(" OR ")), 14);

    EXPECT_EQ(filter(QStringLiteral("a;;b"), "x", false), "(((a LIKE '%x%')))");
    EXPECT_THROW(BuildSearchFilter(QString(), QStringLiteral("x"), true), std::invalid_argument);
    EXPECT_EQ(filter(QString(), " "), "");
}

QStringList listQuery() {
    return {QStringLiteral("SELECT * FROM vw_zomi"), QStringLiteral("WHERE zomi>0"),
            QStringLiteral("ORDER BY sorszamstr;")};
}

TEST(SearchFilter, ReplaceWhereRewritesTheWhereLineInPlace) {
    QStringList lines = listQuery();
    const QString sql =
        ReplaceWhere(lines,
                     QStringLiteral("(vallalkozo <> -1)") +
                         BuildSearchFilter(QStringLiteral("n"), QStringLiteral("x"), true),
                     true);
    EXPECT_EQ(sql, QStringLiteral("SELECT * FROM vw_zomi\n"
                                  "WHERE (vallalkozo <> -1) AND (((n LIKE '%x%')))\n"
                                  "ORDER BY sorszamstr;"));
    EXPECT_EQ(lines.at(1), QStringLiteral("WHERE (vallalkozo <> -1) AND (((n LIKE '%x%')))"));
    EXPECT_EQ(lines.size(), 3);
}

TEST(SearchFilter, ReplaceWhereMatchesOnlyLinesThatBeginWithWhere) {
    QStringList lines{QStringLiteral("select 1"), QStringLiteral("where a"),
                      QStringLiteral(" WHERE b"), QStringLiteral("Where c")};
    ReplaceWhere(lines, QStringLiteral("x"), true);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("select 1"), QStringLiteral("WHERE x"),
                                  QStringLiteral(" WHERE b"), QStringLiteral("Where c")}));
    ReplaceWhere(lines, QStringLiteral("y"), false);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("select 1"), QStringLiteral("WHERE y"),
                                  QStringLiteral(" WHERE b"), QStringLiteral("WHERE y")}));

    QStringList noWhere{QStringLiteral("SELECT * FROM t"), QStringLiteral("ORDER BY a;")};
    EXPECT_EQ(ReplaceWhere(noWhere, QStringLiteral("x"), true),
              QStringLiteral("SELECT * FROM t\nORDER BY a;"));
}

TEST(SearchFilter, ReplaceOrderByRewritesTheFirstOrderLine) {
    QStringList lines = listQuery();
    lines << QStringLiteral("order by later;");
    EXPECT_EQ(ReplaceOrderBy(lines, QStringLiteral("vallalkozo_nev")),
              QStringLiteral("SELECT * FROM vw_zomi\nWHERE zomi>0\nORDER BY vallalkozo_nev;\n"
                             "order by later;"));
}

}  // namespace
}  // namespace zomi
