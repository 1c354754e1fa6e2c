#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include "db/ConnectionProfiles.h"
#include "db/DataBackup.h"
#include "db/DataScript.h"
#include "db/FullBackup.h"
#include "db/WorkFileSchema.h"
#include "support/TestDatabase.h"
#include "workfile/AttachmentStore.h"
#include "workfile/WorkOrderHistory.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using test::TableDigests;
using test::TestDatabase;

qlonglong count(Connection& c, const QString& sql) { return c.scalar(sql).text.toLongLong(); }

const HistoryChange* changeOf(const HistoryEvent& event, const QString& column) {
    for (const HistoryChange& change : event.changes)
        if (change.column == column) return &change;
    return nullptr;
}

class HistoryTest : public ::testing::Test {
  protected:
    HistoryTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        const WorkFileInstall install = InstallWorkFile(*c);
        EXPECT_TRUE(install.state.complete());
        EXPECT_TRUE(install.historyNote.isEmpty()) << install.historyNote.toStdString();
        c->exec(
            QStringLiteral("REPLACE INTO vallalkozo (vallalkozo, vallalkozo_nev) VALUES (1, "
                           "'Áfás Kft.'), (2, 'Alanyi Bt.')"));
        c->exec(
            QStringLiteral("REPLACE INTO statusz (statusz, statusz_nev) VALUES (1, "
                           "'Rögzítve'), (2, 'Folyamatban')"));
        NameSessionUser(*c, QStringLiteral("kovács"), QStringLiteral("IRODA-3"));
    }
    int insertOrder() {
        c->exec(QStringLiteral(
                    "INSERT INTO zomi (datum, ido, sorszam, vallalkozo, statusz, munka, munkadij1, "
                    "munkadij2, afas) VALUES ('2026-03-04', '08:30:00', %1, 1, 1, 'Csőtörés a "
                    "pincében', 12500, 1.5, 'I')")
                    .arg(serial++));
        return static_cast<int>(c->lastInsertId());
    }

    TestDatabase db;
    std::unique_ptr<Connection> c;
    int serial = 12;
};

TEST_F(HistoryTest, ZomisOwnChangesAreRecordedWithItsUserInTheEditorsWords) {
    const int key = insertOrder();
    c->exec(QStringLiteral("UPDATE zomi SET vallalkozo = 2, statusz = 2, hatar_datum = "
                           "'2026-03-20', munkadij1 = 13000.25, ido = '09:15:00', munka = "
                           "'Csőtörés – javítva', afas = 'N' WHERE zomi = %1")
                .arg(key));
    c->exec(QStringLiteral("UPDATE zomi SET munkadij2 = munkadij2 WHERE zomi = %1").arg(key));
    c->exec(QStringLiteral("DELETE FROM vallalkozo WHERE vallalkozo = 1"));

    const QList<HistoryEvent> events = ReadHistory(*c, key);
    ASSERT_EQ(events.size(), 2);  // an update that changes nothing leaves nothing
    const HistoryEvent& change = events[0];
    EXPECT_EQ(change.action, 'M');
    EXPECT_EQ(change.whoText(), QStringLiteral("kovács (IRODA-3)"));
    EXPECT_FALSE(change.byOtherProgram());
    EXPECT_EQ(change.changes.size(), 7);
    const auto expect = [&](const char* column, const char* caption, const char* was,
                            const char* now) {
        const HistoryChange* found = changeOf(change, QString::fromLatin1(column));
        ASSERT_TRUE(found) << column;
        EXPECT_EQ(found->caption, QString::fromUtf8(caption));
        EXPECT_EQ(found->oldText, QString::fromUtf8(was)) << column;
        EXPECT_EQ(found->newText, QString::fromUtf8(now)) << column;
    };
    expect("vallalkozo", "Vállalkozó", "1 (törölve)", "Alanyi Bt.");
    expect("statusz", "Státusz", "Rögzítve", "Folyamatban");
    expect("hatar_datum", "Határidő", "", "2026.03.20");
    expect("munkadij1", "Munkadíj (nettó)", "12 500", "13000,25");
    expect("ido", "Idő", "08:30", "09:15");
    expect("munka", "Munka", "Csőtörés a pincében", "Csőtörés – javítva");
    expect("afas", "ÁFÁ-s?", "igen", "nem");

    const HistoryEvent& created = events[1];
    EXPECT_EQ(created.action, 'U');
    EXPECT_EQ(created.actionText(), QStringLiteral("Létrehozás"));
    ASSERT_TRUE(changeOf(created, QStringLiteral("munkadij2")));
    EXPECT_EQ(changeOf(created, QStringLiteral("munkadij2"))->newText, QStringLiteral("1,5"));
    EXPECT_EQ(changeOf(created, QStringLiteral("datum"))->newText, QStringLiteral("2026.03.04"));
    EXPECT_EQ(created.changes.first().column, QStringLiteral("zomi"));
}

TEST_F(HistoryTest, AnotherProgramsChangesAndDeletionsAreMarkedAndStayReadable) {
    const int key = insertOrder();
    auto stock = db.connect();  // a session that names no Zomi user
    stock->exec(QStringLiteral("UPDATE zomi SET munkadij1 = 99 WHERE zomi = %1").arg(key));
    stock->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = %1").arg(key));

    const QList<HistoryEvent> events = ReadHistory(*c, key);
    ASSERT_EQ(events.size(), 3);
    EXPECT_EQ(events[0].action, 'T');
    EXPECT_TRUE(events[0].byOtherProgram());
    EXPECT_TRUE(events[0].whoText().startsWith(QStringLiteral("más program: ") + db.params().user +
                                               QLatin1Char('@')))
        << events[0].whoText().toStdString();
    EXPECT_EQ(changeOf(events[0], QStringLiteral("munkadij1"))->oldText, QStringLiteral("99"));
    EXPECT_TRUE(events[1].byOtherProgram());

    const QList<DeletedWorkOrder> deleted = ReadDeletedWorkOrders(*c);
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0].key, key);
    EXPECT_EQ(deleted[0].number, QStringLiteral("2026/00012"));
    EXPECT_TRUE(deleted[0].deleted.isValid());
    EXPECT_EQ(ReadDeletedWorkOrders(*c, QStringLiteral("00012")).size(), 1);
    EXPECT_EQ(ReadDeletedWorkOrders(*c, QStringLiteral("00013")).size(), 0);
}

TEST_F(HistoryTest, FilesOfAWorkOrderDeletedByAnotherProgramAreListedUnderItsKey) {
    const int key = insertOrder();
    StoreAttachment(*c, key, QStringLiteral("számla.pdf"), "%PDF", QStringLiteral("kovács"),
                    QStringLiteral("IRODA-3"));
    c->exec(QStringLiteral("DROP TRIGGER zomi_elozmeny_torol"));
    db.connect()->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = %1").arg(key));
    const QList<DeletedWorkOrder> deleted = ReadDeletedWorkOrders(*c);
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0].key, key);
    EXPECT_EQ(deleted[0].files, 1);
    EXPECT_FALSE(deleted[0].deleted.isValid());
    EXPECT_EQ(ReadAttachment(*c, ListAttachments(*c, key).at(0).id), QByteArray("%PDF"));
}

TEST_F(HistoryTest, ADataBackupLeavesZomisTablesOutAndItsRestoreWritesNoHistory) {
    insertOrder();
    insertOrder();
    const qlonglong history = count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_elozmeny"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("adat.sql"));
    WriteDataScript(*c, Progress{}, file);
    EXPECT_EQ(DataTables(*c).size() + 3, c->baseTables().size());
    const RestoreResult result = RestoreDataBackup(*c, file);
    EXPECT_EQ(result.script.outcome, ScriptResult::Outcome::Completed)
        << result.script.errorMessage.toStdString();
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi")), 2);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_elozmeny")), history);
    // The session records again afterwards.
    insertOrder();
    EXPECT_GT(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_elozmeny")), history);
}

TEST_F(HistoryTest, AFullBackupCarriesFilesHistoryAndTriggersBackIdentically) {
    const int key = insertOrder();
    StoreAttachment(*c, key, QStringLiteral("fotó.jpg"), QByteArray(70000, '\x7f'),
                    QStringLiteral("kovács"), QStringLiteral("IRODA-3"));
    const QString digests = TableDigests(*c);
    const dbaccess::ConnectionParams p = db.params();
    ConnectionProfile profile;
    profile.adatbazis = p.database;
    profile.kiszolgalo = p.host;
    profile.port = static_cast<int>(p.port);
    profile.felhasznalo = p.user;
    profile.jelszo = p.password;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("teljes.sql"));
    FullBackup backup;
    QSignalSpy finished(&backup, &FullBackup::finished);
    backup.start(QString(), profile, file);
    ASSERT_TRUE(finished.wait(120000));
    ASSERT_TRUE(finished.at(0).at(0).toBool()) << finished.at(0).at(1).toString().toStdString();

    // The dump names its database and creates it: it comes back under the same name.
    c->exec(QStringLiteral("DROP DATABASE `%1`").arg(db.name()));
    c->exec(QStringLiteral("CREATE DATABASE `%1`").arg(db.name()));
    db.loadFile(file);
    auto restored = db.connect();
    EXPECT_EQ(TableDigests(*restored).toStdString(), digests.toStdString());
    EXPECT_TRUE(ReadWorkFileState(*restored).complete());
    const qlonglong before = count(*restored, QStringLiteral("SELECT COUNT(*) FROM zomi_elozmeny"));
    restored->exec(QStringLiteral("UPDATE zomi SET munkadij1 = 1 WHERE zomi = %1").arg(key));
    EXPECT_EQ(count(*restored, QStringLiteral("SELECT COUNT(*) FROM zomi_elozmeny")), before + 1);
}

TEST(WorkFileSchema, ADatabaseWithoutTheTablesOrTheTriggerRightWorksAsBefore) {
    TestDatabase db(TestDatabase::Content::Demo);
    auto c = db.connect();
    EXPECT_FALSE(ReadWorkFileState(*c).attachments);
    EXPECT_FALSE(ReadWorkFileState(*c).history);
    EXPECT_EQ(DataTables(*c), c->baseTables());

    // An account that may create tables but not triggers.
    const QString user =
        QStringLiteral("zt_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    c->exec(QStringLiteral("CREATE USER '%1'@'%' IDENTIFIED BY 'jelszo'").arg(user));
    c->exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE, CREATE, DROP, INDEX, ALTER ON "
                           "`%1`.* TO '%2'@'%'")
                .arg(db.name(), user));
    dbaccess::ConnectionParams params = db.params();
    params.user = user;
    params.password = QStringLiteral("jelszo");
    {
        Connection limited;
        limited.setParams(params);
        test::OpenWhenReplicated(limited);
        const WorkFileInstall install = InstallWorkFile(limited);
        EXPECT_TRUE(install.state.attachments);
        EXPECT_TRUE(install.historyNote.contains(QStringLiteral("TRIGGER")))
            << install.historyNote.toStdString();
        const int key =
            static_cast<int>(count(limited, QStringLiteral("SELECT MIN(zomi) FROM zomi")));
        StoreAttachment(limited, key, QStringLiteral("a.txt"), "a", QStringLiteral("u"),
                        QStringLiteral("h"));
        EXPECT_EQ(AttachmentCount(limited, key), 1);
    }
    c->exec(QStringLiteral("DROP USER '%1'@'%'").arg(user));
}

}  // namespace
}  // namespace zomi
