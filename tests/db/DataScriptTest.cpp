#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "db/DataScript.h"
#include "db/ScriptRunner.h"
#include "dbaccess/Dataset.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using dbaccess::Table;
using test::TableDigests;
using test::TestDatabase;

class DataScriptTest : public ::testing::Test {
  protected:
    DataScriptTest() : db(TestDatabase::Content::Empty), c(db.connect()) {}

    TestDatabase db;
    std::unique_ptr<Connection> c;
};

int statementCount(const QString& script) {
    return static_cast<int>(script.count(QStringLiteral("INSERT IGNORE INTO")));
}

TEST_F(DataScriptTest, InsertScriptPutsAtMostHundredRowsInAStatementStartingWith99) {
    c->exec(QStringLiteral(
        "CREATE TABLE ktgh (ktgh INT PRIMARY KEY, cim VARCHAR(50), kepviselo VARCHAR(50), "
        "telefon VARCHAR(50), emil VARCHAR(50), kepviselo_cim VARCHAR(50))"));
    EXPECT_EQ(TableInsertScript(*c, QStringLiteral("ktgh")), QString());

    const auto fill = [&](int upTo) {
        c->exec(QStringLiteral("INSERT INTO ktgh (ktgh) SELECT seq FROM seq_1_to_%1 WHERE seq > "
                               "(SELECT COALESCE(MAX(ktgh), 0) FROM ktgh)")
                    .arg(upTo));
    };
    fill(99);
    QString script = TableInsertScript(*c, QStringLiteral("ktgh"));
    EXPECT_EQ(statementCount(script), 1);
    EXPECT_TRUE(script.startsWith(
        QStringLiteral("INSERT IGNORE INTO ktgh (ktgh,cim,kepviselo,telefon,emil,kepviselo_cim) "
                       "VALUES\r\n(1,NULL,NULL,NULL,NULL,NULL),\r\n")));
    EXPECT_TRUE(script.endsWith(QStringLiteral("(99,NULL,NULL,NULL,NULL,NULL);\r\n")));

    fill(100);
    script = TableInsertScript(*c, QStringLiteral("ktgh"));
    EXPECT_EQ(statementCount(script), 2);
    EXPECT_TRUE(script.contains(QStringLiteral("(99,NULL,NULL,NULL,NULL,NULL);\r\nINSERT IGNORE")));

    fill(250);
    script = TableInsertScript(*c, QStringLiteral("ktgh"));
    const QStringList statements =
        script.split(QStringLiteral("INSERT IGNORE INTO"), Qt::SkipEmptyParts);
    ASSERT_EQ(statements.size(), 3);
    EXPECT_EQ(statements[0].count(QStringLiteral("\r\n(")), 99);
    EXPECT_EQ(statements[1].count(QStringLiteral("\r\n(")), 100);
    EXPECT_EQ(statements[2].count(QStringLiteral("\r\n(")), 51);
}

TEST_F(DataScriptTest, RestoresEveryTableByteForByteAndLeavesViewsOut) {
    c->exec(QStringLiteral(
        "CREATE TABLE minden (id INT AUTO_INCREMENT PRIMARY KEY, szoveg VARCHAR(100), memo TEXT, "
        "szam DOUBLE, nagy BIGINT, nap DATE, ido TIME, mikor DATETIME, tizedes DECIMAL(10,2), kep "
        "BLOB) "
        "CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
    c->exec(QStringLiteral("CREATE TABLE ures (x INT)"));
    c->exec(QStringLiteral("CREATE TABLE `furcsa nev` (`a b` INT)"));
    c->exec(QStringLiteral("INSERT INTO `furcsa nev` VALUES (7)"));
    c->exec(QStringLiteral("CREATE VIEW nezet AS SELECT id FROM minden"));
    // Quotes, backslashes, line breaks, the escapes as text, NUL and Ctrl+Z,
    // the code-page-1250 punctuation the Windows clients store (0x84 0x94
    // 0x96 0x80 0x8A), extreme numbers and times, NULLs and binary bytes.
    c->execEncoded(
        "INSERT INTO minden (szoveg, memo, szam, nagy, nap, ido, mikor, tizedes, kep) VALUES "
        "('O''Reilly \\\\ \xFAt \x84id\xE9zet\x94 \x96 5 \x80 \x8A', "
        "'els\xF5 sor\\r\\nm\xE1sodik\\nharmadik\\\\r\\\\n \\0 \\Z', 0.1 + 0.2, -9007199254740993, "
        "'2024-02-29', '-838:59:59', '2026-03-29 02:30:00', 12.34, UNHEX('0001275C00')), "
        "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
        "('', '', 1e-300, 0, '0000-00-00', '00:00:00', '9999-12-31 23:59:59', -0.5, '')");
    const QString before = TableDigests(*c);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("adat.sql"));
    int maximum = -1;
    QList<int> positions;
    WriteDataScript(*c, Progress{[&](int m) { maximum = m; }, [&](int p) { positions << p; }},
                    file);
    EXPECT_EQ(maximum, 3);  // the view is not a base table
    EXPECT_EQ(positions, (QList<int>{0, 1, 2, 0}));

    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray script = in.readAll();
    EXPECT_TRUE(script.contains("TRUNCATE ures;\r\n\r\n"));
    EXPECT_TRUE(
        script.contains("TRUNCATE `furcsa nev`;\r\nINSERT IGNORE INTO `furcsa nev` (`a b`) "
                        "VALUES\r\n(7);\r\n\r\n"));
    EXPECT_FALSE(script.contains("nezet"));

    c->exec(QStringLiteral("DELETE FROM minden"));
    c->exec(QStringLiteral("INSERT INTO ures VALUES (1)"));
    const ScriptResult result = RunScript(*c, script, ScriptEncoding::SessionBytes);
    ASSERT_TRUE(result.completed()) << result.line << ": " << result.errorMessage.toStdString();
    EXPECT_EQ(TableDigests(*c).toStdString(), before.toStdString());
}

TEST_F(DataScriptTest, AFileThatCannotBeCreatedIsAnError) {
    QTemporaryDir dir;
    EXPECT_THROW(
        WriteDataScript(*c, Progress{}, dir.filePath(QStringLiteral("nincs/ilyen/mappa.sql"))),
        FileError);
}

}  // namespace
}  // namespace zomi
