#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "db/WorkFileSchema.h"
#include "support/TestDatabase.h"
#include "workfile/AttachmentStore.h"

namespace zomi {
namespace {

using dbaccess::Connection;
using test::TestDatabase;

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (qsizetype i = 0; i + 4 <= size; i += 4) {
        const quint32 value = generator.generate();
        memcpy(bytes.data() + i, &value, 4);
    }
    return bytes;
}

qlonglong count(Connection& c, const QString& sql) { return c.scalar(sql).text.toLongLong(); }

class AttachmentStoreTest : public ::testing::Test {
  protected:
    AttachmentStoreTest() : db(TestDatabase::Content::Demo), c(db.connect()) {
        InstallWorkFile(*c);
        order = static_cast<int>(count(*c, QStringLiteral("SELECT MIN(zomi) FROM zomi")));
        other = static_cast<int>(count(*c, QStringLiteral("SELECT MAX(zomi) FROM zomi")));
    }
    int store(const QString& name, const QByteArray& bytes, int workOrder = -1,
              const TransferProgress& progress = {}) {
        return StoreAttachment(*c, workOrder < 0 ? order : workOrder, name, bytes,
                               QStringLiteral("kovacs"), QStringLiteral("IRODA-3"), progress);
    }

    TestDatabase db;
    std::unique_ptr<Connection> c;
    int order = 0;
    int other = 0;
};

TEST_F(AttachmentStoreTest, AFileLargerThanTheServersPacketComesBackByteForByte) {
    if (TestDatabase::onCluster())
        GTEST_SKIP() << "it changes the packet limit, which is each node's own setting";
    // A small packet limit, so that the file needs many pieces.
    auto admin = db.connect();
    const QString saved = admin->scalar(QStringLiteral("SELECT @@GLOBAL.max_allowed_packet")).text;
    admin->exec(QStringLiteral("SET GLOBAL max_allowed_packet = 1048576"));
    struct Restore {
        Connection& admin;
        QString saved;
        ~Restore() { admin.exec(QStringLiteral("SET GLOBAL max_allowed_packet = %1").arg(saved)); }
    } restore{*admin, saved};
    auto small = db.connect();
    QByteArray bytes = randomBytes(3 * 1024 * 1024 + 17, 7);
    bytes[5] = '\0';
    bytes[6] = '\'';
    bytes[7] = '\\';
    qint64 lastDone = 0;
    const int id = StoreAttachment(*small, order, QStringLiteral("szkennelt számla.pdf"), bytes,
                                   QStringLiteral("kovacs"), QStringLiteral("IRODA-3"),
                                   [&](qint64 done, qint64 total) {
                                       EXPECT_EQ(total, bytes.size());
                                       EXPECT_GT(done, lastDone);
                                       lastDone = done;
                                       return true;
                                   });
    EXPECT_EQ(lastDone, bytes.size());
    EXPECT_GT(count(*small, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany_resz WHERE "
                                           "csatolmany = %1")
                                .arg(id)),
              6);
    EXPECT_LE(count(*small, QStringLiteral("SELECT MAX(LENGTH(adat)) FROM zomi_csatolmany_resz")),
              512 * 1024);
    EXPECT_EQ(ReadAttachment(*small, id), bytes);

    const QList<AttachmentInfo> list = ListAttachments(*c, order);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].name, QStringLiteral("szkennelt számla.pdf"));
    EXPECT_EQ(list[0].size, bytes.size());
    EXPECT_EQ(list[0].addedBy, QStringLiteral("kovacs"));
    EXPECT_EQ(list[0].host, QStringLiteral("IRODA-3"));
    EXPECT_EQ(list[0].type, QStringLiteral("application/pdf"));
    EXPECT_TRUE(list[0].added.isValid());
}

TEST_F(AttachmentStoreTest, NamesOfEveryKindAreKeptAndBadFilesAreRefusedBeforeSending) {
    const QStringList names = {QStringLiteral("Árvíztűrő tükörfúrógép – „számla”.txt"),
                               QStringLiteral("fotó 📷 kár.jpg"),
                               QString(251, QChar(u'ő')) + QStringLiteral(".txt")};
    for (const QString& name : names) store(name, "x");
    QStringList stored;
    for (const AttachmentInfo& info : ListAttachments(*c, order)) stored << info.name;
    EXPECT_EQ(stored, names);

    const auto before = count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany"));
    EXPECT_THROW(store(QString(256, QChar(u'a')), "x"), AttachmentError);
    EXPECT_THROW(store(QStringLiteral("üres.txt"), QByteArray()), AttachmentError);
    EXPECT_FALSE(AttachmentRefusal(QStringLiteral("nagy.tif"), kMaxAttachmentBytes + 1).isEmpty());
    EXPECT_TRUE(AttachmentRefusal(QStringLiteral("nagy.tif"), kMaxAttachmentBytes).isEmpty());
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany")), before);

    QTemporaryDir dir;
    EXPECT_THROW(ReadAttachableFile(dir.filePath(QStringLiteral("eltűnt.pdf"))), AttachmentError);
    QFile empty(dir.filePath(QStringLiteral("üres.pdf")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    try {
        ReadAttachableFile(empty.fileName());
        ADD_FAILURE() << "an empty file was taken";
    } catch (const AttachmentError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("üres"))) << e.message().toStdString();
    }
    EXPECT_THROW(ReadAttachableFile(dir.path()), AttachmentError);
}

TEST_F(AttachmentStoreTest, ADamagedOrMissingPieceIsNeverHandedOut) {
    const QByteArray bytes = randomBytes(40000, 3);
    const int id = store(QStringLiteral("kép.png"), bytes);
    c->exec(QStringLiteral("UPDATE zomi_csatolmany_resz SET adat = CONCAT(LEFT(adat, 100), 'X', "
                           "SUBSTRING(adat, 102)) WHERE csatolmany = %1")
                .arg(id));
    EXPECT_THROW(ReadAttachment(*c, id), AttachmentError);

    const int second = store(QStringLiteral("második.bin"), randomBytes(40000, 4));
    c->exec(QStringLiteral("DELETE FROM zomi_csatolmany_resz WHERE csatolmany = %1").arg(second));
    EXPECT_THROW(ReadAttachment(*c, second), AttachmentError);
    EXPECT_THROW(ReadAttachment(*c, 987654), AttachmentError);
}

TEST_F(AttachmentStoreTest, ASessionKilledHalfwayOrAStoppedTransferLeavesNoVisibleFile) {
    auto watcher = db.connect();
    const QByteArray bytes = randomBytes(3 * 1024 * 1024, 9);
    int calls = 0;
    EXPECT_ANY_THROW(store(QStringLiteral("félbe.bin"), bytes, -1, [&](qint64, qint64) {
        if (++calls == 1) test::KillSession(*watcher, c->threadId());
        return true;
    }));
    EXPECT_EQ(count(*watcher, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany")), 0);
    EXPECT_EQ(count(*watcher, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany_resz")), 0);

    EXPECT_THROW(store(QStringLiteral("megállítva.bin"), bytes, -1,
                       [](qint64 done, qint64) { return done < 1024 * 1024; }),
                 AttachmentError);
    EXPECT_EQ(count(*watcher, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany")), 0);
    EXPECT_EQ(count(*watcher, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany_resz")), 0);
    // The session goes on afterwards.
    EXPECT_EQ(ReadAttachment(*c, store(QStringLiteral("utána.bin"), "ok")), QByteArray("ok"));
}

TEST_F(AttachmentStoreTest, AWorkOrderDeletedInZomiTakesItsFilesAndOnlyItsOwn) {
    store(QStringLiteral("a.txt"), "a");
    store(QStringLiteral("b.txt"), "b");
    const int kept = store(QStringLiteral("c.txt"), "c", other);
    EXPECT_EQ(AttachmentCount(*c, order), 2);
    EXPECT_EQ(WorkOrdersWithAttachments(*c), (QSet<int>{order, other}));
    EXPECT_TRUE(WorkOrderDeleteQuestion(2).contains(QStringLiteral("2 csatolt fájl")));
    EXPECT_EQ(WorkOrderDeleteQuestion(0), QStringLiteral("Valóban töröljem a sort?"));

    DeleteWorkOrderWithFiles(*c, order);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi WHERE zomi = %1").arg(order)), 0);
    EXPECT_EQ(AttachmentCount(*c, order), 0);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany_resz r JOIN "
                                       "zomi_csatolmany a USING (csatolmany)")),
              1);
    EXPECT_EQ(ReadAttachment(*c, kept), QByteArray("c"));
    DeleteAttachment(*c, kept);
    EXPECT_EQ(count(*c, QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany_resz")), 0);
}

}  // namespace
}  // namespace zomi
