#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

#include "db/DataBackup.h"
#include "db/DataScript.h"
#include "db/ZipFile.h"
#include "support/SmallDisk.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using dbaccess::DbError;
using test::TableDigests;
using test::TestDatabase;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Everything in the folder, hidden files included.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Text, dates, times and floats the demo does not have: what a backup most
// easily gets wrong. Texts are the code-page-1250 bytes Windows clients store.
void addAwkwardRows(Connection& c) {
    c.execEncoded(
        "INSERT INTO zomi (datum, ido, sorszam, munka, munkadij1, munkadij2, ossz, afas) VALUES "
        "('2026-02-28', '23:59:59', 990001, 'O''Brien \\\\ \"id\xE9zet\" \x84ok\x94 \x96 5 "
        "\x80\\r\\nk\xF6vetkez\xF5 sor', "
        "0.1 + 0.2, 1e-300, 1.7976931348623157e308, 'I'), "
        "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
        "('1999-12-31', '00:00:00', 990002, '', -0.0, 2.5, -123456789.125, 'N')");
    c.execEncoded(
        "INSERT INTO vallalkozo (vallalkozo_nev, cim) VALUES ('\x8A\xE1rka \x96 T\xFBr\xF5', "
        "'a\\\\b\\nc')");
}

class DataBackupTest : public ::testing::Test {
  protected:
    DataBackupTest() : db(TestDatabase::Content::Demo), c(db.connect()) {}

    QString path(const QString& name) const { return dir.filePath(name); }

    TestDatabase db;
    std::unique_ptr<Connection> c;
    QTemporaryDir dir;
};

// The archive as an independent reader sees it: its entries with their
// compression methods and the first entry's bytes.
QString zipListing(const QString& archive, const QString& contentsCopy) {
    QProcess python;
    python.start(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "import sys, zipfile\n"
             "z = zipfile.ZipFile(sys.argv[1])\n"
             "print(' '.join('%s:%d' % (i.filename, i.compress_type) for i in z.infolist()))\n"
             "open(sys.argv[2], 'wb').write(z.read(z.infolist()[0]))\n"),
         archive, contentsCopy});
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput() + python.readAllStandardError())
        .trimmed();
}

TEST_F(DataBackupTest, AZipNameGivesAnArchiveHoldingOneScriptOfTheSameNameAndNothingBeside) {
    WriteDataBackup(*c, Progress{}, path(QStringLiteral("plain.sql")));
    QTemporaryDir zipDir;
    const QString archive = zipDir.filePath(QStringLiteral("zomi-2024-03-05-14-07-09.zip"));
    int maximum = 0;
    QList<int> positions;
    WriteDataBackup(*c, Progress{[&](int m) { maximum = m; }, [&](int p) { positions << p; }},
                    archive);

    EXPECT_EQ(entries(zipDir.path()), QStringList{QStringLiteral("zomi-2024-03-05-14-07-09.zip")});
    // Deflated (method 8), no folder in the entry's name.
    EXPECT_EQ(zipListing(archive, path(QStringLiteral("unpacked"))),
              QStringLiteral("zomi-2024-03-05-14-07-09.sql:8"));
    EXPECT_EQ(readAll(path(QStringLiteral("unpacked"))),
              readAll(path(QStringLiteral("plain.sql"))));
    // One bar over writing and packing: from 0 to 100, never back.
    EXPECT_EQ(maximum, 100);
    EXPECT_EQ(positions.first(), 0);
    EXPECT_EQ(positions.last(), 100);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GT(positions.size(), 3);
}

TEST_F(DataBackupTest, AnyOtherExtensionGivesThePlainScriptUnderExactlyThatName) {
    for (const QString& name :
         {QStringLiteral("mentes.txt"), QStringLiteral("mentes"), QStringLiteral("MENTES.SQL")})
        WriteDataBackup(*c, Progress{}, path(name));
    EXPECT_EQ(entries(dir.path()), (QStringList{"MENTES.SQL", "mentes", "mentes.txt"}));
    EXPECT_TRUE(readAll(path(QStringLiteral("mentes"))).startsWith("TRUNCATE "));
    EXPECT_EQ(readAll(path(QStringLiteral("mentes"))), readAll(path(QStringLiteral("mentes.txt"))));
}

TEST_F(DataBackupTest, EmptyTablesGiveTruncateLinesAndEmptyLinesOnlyAndViewsAreLeftOut) {
    const QStringList tables = c->baseTables();
    for (const QString& table : tables) c->exec(QStringLiteral("DELETE FROM `%1`").arg(table));
    WriteDataBackup(*c, Progress{}, path(QStringLiteral("ures.sql")));
    QStringList expected;
    for (const QString& table : tables)
        expected << QStringLiteral("TRUNCATE ") + table + QLatin1Char(';') << QString();
    EXPECT_EQ(QString::fromLatin1(readAll(path(QStringLiteral("ures.sql")))),
              expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

TEST_F(DataBackupTest, AConnectionLostHalfWayLeavesTheEarlierFileAndNothingBesideIt) {
    auto killer = db.connect();
    for (const QString& name : {QStringLiteral("regi.sql"), QStringLiteral("regi.zip")}) {
        writeFile(path(name), "az előző mentés");
        const QStringList before = entries(dir.path());
        c->open();
        bool killed = false;
        const auto kill = [&](int percent) {
            if (percent > 0 && !killed) {
                killed = true;
                test::KillSession(*killer, c->threadId());
            }
        };
        try {
            WriteDataBackup(*c, Progress{{}, kill}, path(name));
            ADD_FAILURE() << "a backup over a killed connection succeeded";
        } catch (const DbError& e) {
            // The message names the table that was being written.
            EXPECT_TRUE(e.message().contains(QStringLiteral(" tábla mentése közben")))
                << e.message().toStdString();
        }
        EXPECT_EQ(readAll(path(name)), QByteArray("az előző mentés"));
        EXPECT_EQ(entries(dir.path()), before);
    }
}

// The disk fills up while the backup is written: the message names the file
// and the full disk, and the disk holds what it held before.
TEST_F(DataBackupTest, AFullOrReadOnlyDiskIsNamedAsTheCauseWithTheFilesName) {
    test::SmallDisk disk("64k");
    test::SmallDisk readOnly("64k", true);
    if (!disk.available() || !readOnly.available()) GTEST_SKIP() << "mount is not permitted here";
    {
        QFile filler(disk.filePath(QStringLiteral("kitolto")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(56 * 1024, 'x'));
    }
    const QString earlier = disk.filePath(QStringLiteral("regi.sql"));
    writeFile(earlier, "az előző mentés");
    for (const QString& name : {QStringLiteral("regi.sql"), QStringLiteral("mentes.zip")}) {
        SCOPED_TRACE(name.toStdString());
        try {
            WriteDataBackup(*c, Progress{}, disk.filePath(name));
            ADD_FAILURE() << "a backup onto a full disk succeeded";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("nincs több szabad hely a lemezen")))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(disk.path())) << e.message().toStdString();
        }
        EXPECT_EQ(entries(disk.path()), (QStringList{"kitolto", "regi.sql"}));
        EXPECT_EQ(readAll(earlier), QByteArray("az előző mentés"));
    }
    try {
        WriteDataBackup(*c, Progress{}, readOnly.filePath(QStringLiteral("mentes.sql")));
        ADD_FAILURE() << "a backup onto a read-only disk succeeded";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("a fájlrendszer csak olvasható")))
            << e.message().toStdString();
    }
}

TEST_F(DataBackupTest, PackingThatFailsKeepsTheFinishedScriptBesideTheArchivesName) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("mentes.zip")));  // cannot become an archive
    try {
        WriteDataBackup(*c, Progress{}, path(QStringLiteral("mentes.zip")));
        ADD_FAILURE() << "packing into a folder succeeded";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.keptScript(), path(QStringLiteral("mentes.sql")));
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"mentes.sql", "mentes.zip"}));
    WriteDataScript(*c, Progress{}, path(QStringLiteral("ellenorzes.sql")));
    EXPECT_EQ(readAll(path(QStringLiteral("mentes.sql"))),
              readAll(path(QStringLiteral("ellenorzes.sql"))));
}

TEST_F(DataBackupTest, AllTablesComeFromTheMomentTheBackupBegan) {
    WriteDataBackup(*c, Progress{}, path(QStringLiteral("elotte.sql")));
    auto other = db.connect();
    // Another workstation stores a work order and its contractor while the
    // backup is under way, before any table has been read.
    bool written = false;
    const auto write = [&](int) {
        if (written) return;
        written = true;
        other->exec(QStringLiteral("INSERT INTO vallalkozo (vallalkozo_nev) VALUES ('Új Kft.')"));
        other->exec(
            QStringLiteral("INSERT INTO zomi (datum, sorszam, vallalkozo) VALUES (CURDATE(), "
                           "880777, LAST_INSERT_ID())"));
    };
    WriteDataBackup(*c, Progress{{}, write}, path(QStringLiteral("kozben.sql")));
    EXPECT_EQ(readAll(path(QStringLiteral("kozben.sql"))),
              readAll(path(QStringLiteral("elotte.sql"))));
}

// Saves the source with the data backup under each name, restores every
// file into a fresh database of the schema that holds rows of its own, and
// compares every table row by row.
void expectRoundTrips(Connection& source, const QString& folder) {
    const QString digests = TableDigests(source);
    const QList<TableRows> counts = CountTableRows(source);
    for (const QString& name : {QStringLiteral("mentes.sql"), QStringLiteral("mentes.zip")}) {
        const QString file = QDir(folder).filePath(name);
        WriteDataBackup(source, Progress{}, file);
        TestDatabase target(TestDatabase::Content::Schema);
        auto to = target.connect();
        to->exec(QStringLiteral("INSERT INTO alairas (alairas_nev) VALUES ('ide nem való')"));
        int lines = 0;
        ScriptControl control;
        control.progress.setMaximum = [&](int m) { lines = m; };
        const RestoreResult result = RestoreDataBackup(*to, file, control);
        ASSERT_TRUE(result.script.completed())
            << name.toStdString() << " line " << result.script.line << ": "
            << result.script.errorMessage.toStdString();
        EXPECT_GT(lines, 0);
        EXPECT_EQ(TableDigests(*to).toStdString(), digests.toStdString()) << name.toStdString();
        ASSERT_EQ(result.tables.size(), counts.size());
        for (int i = 0; i < counts.size(); ++i) {
            EXPECT_EQ(result.tables[i].table, counts[i].table);
            EXPECT_EQ(result.tables[i].rows, counts[i].rows) << counts[i].table.toStdString();
        }
    }
}

TEST_F(DataBackupTest, TheDemoDatabaseComesBackIdenticalFromBothKindsOfFile) {
    addAwkwardRows(*c);
    expectRoundTrips(*c, dir.path());
}

TEST_F(DataBackupTest, AGeneratedDatabaseOf200000WorkOrdersComesBackIdentical) {
    TestDatabase big(TestDatabase::Content::Schema);
    QProcess generate;
    generate.start(TestDatabase::sourceDir() + QStringLiteral("/scripts/gen-data"),
                   {big.name(), QStringLiteral("200000")});
    ASSERT_TRUE(generate.waitForFinished(600000) && generate.exitCode() == 0)
        << generate.readAllStandardError().toStdString();
    auto source = big.connect();
    addAwkwardRows(*source);
    expectRoundTrips(*source, dir.path());
}

TEST_F(DataBackupTest, ARestoreOfAMissingArchiveFailsBeforeAnythingRuns) {
    EXPECT_THROW(RestoreDataBackup(*c, path(QStringLiteral("nincs.zip"))), ZipError);
}

}  // namespace
}  // namespace zomi
