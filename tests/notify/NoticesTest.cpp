#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>

#include "db/DbRoutines.h"
#include "notify/Notices.h"
#include "notify/VendorServer.h"
#include "support/LocalHttpServer.h"
#include "support/Loopback.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using test::LocalHttpServer;
using test::TestDatabase;

TEST(NoticeRules, AVersionIsShownOnlyForABuildAboveTheAcknowledgedOneAndOurOwn) {
    struct Case {
        const char* reply;
        const char* acknowledged;
        const char* shown;  // nullptr: nothing
    };
    const Case cases[] = {
        {"23.0.0.45|Javítások", "23.0.0.44", "23.0.0.45"},
        // The first three numbers take no part: 24.0.0.40 is build 40.
        {"24.0.0.40|Új főverzió", "23.0.0.44", nullptr},
        {"23.0.0.47|x", "23.0.0.50", nullptr},
        // An acknowledgement below this program's own build does not lower the bar.
        {"23.0.0.43|x", "23.0.0.40", nullptr},
        {"23.0.0.44|x", "23.0.0.44", nullptr},
        // Without "|" the whole reply is the version.
        {"23.0.0.46", "23.0.0.44", "23.0.0.46"},
    };
    for (const Case& c : cases) {
        const auto notice =
            VersionToShow(QString::fromUtf8(c.reply), QString::fromLatin1(c.acknowledged));
        SCOPED_TRACE(c.reply);
        ASSERT_EQ(notice.has_value(), c.shown != nullptr);
        if (notice) {
            EXPECT_EQ(notice->version, QString::fromLatin1(c.shown));
        }
    }
    EXPECT_EQ(VersionToShow(QStringLiteral("23.0.0.45|Javítások|x"), QStringLiteral("23.0.0.44"))
                  ->description,
              QStringLiteral("Javítások"));
    EXPECT_TRUE(VersionToShow(QStringLiteral("23.0.0.46"), QString())->description.isEmpty());
}

TEST(NoticeRules, NewsNumberedZeroOrNothingIsNoNews) {
    test::PointVendorAt(QStringLiteral("http://127.0.0.1:1/"));
    EXPECT_FALSE(NewsToShow(QStringLiteral("0|Cím|Szöveg")));
    EXPECT_FALSE(NewsToShow(QStringLiteral("|Cím|Szöveg")));
    EXPECT_FALSE(NewsToShow(QString()));

    const auto item = NewsToShow(QStringLiteral("12|Cím|Első sor\r\nMásodik"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->number, 12);
    EXPECT_EQ(item->title, QStringLiteral("Cím"));
    EXPECT_EQ(item->body, QStringLiteral("Első sor\r\nMásodik"));
    EXPECT_EQ(item->link, QStringLiteral("http://127.0.0.1:1/hirek.php?hir=12"));

    test::PointVendorAtClosedPort();
}

TEST(NoticeAcknowledgements, AreKeptInTheSettingsRowAndTheNewsNumberOnlyRises) {
    TestDatabase db(TestDatabase::Content::Schema);
    const std::unique_ptr<dbaccess::Connection> c = db.connect();
    SetMainConnection(c.get());
    EXPECT_EQ(AcknowledgedVersion(), QStringLiteral("23.0.0.44"));
    AcknowledgeVersion(QStringLiteral("23.0.0.45"));
    EXPECT_EQ(AcknowledgedVersion(), QStringLiteral("23.0.0.45"));

    ExecSql(QStringLiteral("UPDATE beallit SET hirelfogadva = 15;"));
    AcknowledgeNews(12);
    EXPECT_EQ(AcknowledgedNews(), 15);
    AcknowledgeNews(20);
    EXPECT_EQ(AcknowledgedNews(), 20);

    ExecSql(QStringLiteral("DELETE FROM beallit;"));
    EXPECT_EQ(AcknowledgedVersion(), QStringLiteral("23.0.0.44"));
    EXPECT_EQ(AcknowledgedNews(), 0);
    SetMainConnection(nullptr);
}

class FetchReplyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(server.listening());
        test::PointVendorAt(server.baseUrl());
        QFile stale(file);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("99|a reply of an earlier start");
    }
    void TearDown() override { test::PointVendorAtClosedPort(); }

    // Starts the check and says whether it went on to the reply within waitMs.
    bool fetch(const QString& url, int waitMs, int timeoutMs = kReplyTimeoutMs) {
        FetchReply(
            url, file, &context, [this](const QString& text) { reply = text; }, timeoutMs);
        // Back at once: the old reply is gone and nothing has been answered yet.
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(reply.isNull());
        return QTest::qWaitFor([this] { return !reply.isNull(); }, waitMs);
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hirkov.txt"));
    LocalHttpServer server;
    QObject context;
    QString reply;
};

TEST_F(FetchReplyTest, ReadsTheReplyWithItsHungarianLettersRepaired) {
    server.answerOk(
        "/hirfolyam.php?prg=55&hir=15",
        "12|Hib\xC3\xA1s \xC3\xB6sszeg|\xC5\xB1rlap \xC5\x91rz\xC3\xA9se\r\nM\xC3\xA1sodik\n");
    ASSERT_TRUE(fetch(NewsRequestUrl(15), 5000));
    EXPECT_EQ(reply, QStringLiteral("12|Hibás összeg|űrlap őrzése\r\nMásodik"));

    QFile bom(file);
    ASSERT_TRUE(bom.open(QIODevice::WriteOnly));
    bom.write(
        "\xEF\xBB\xBF"
        "5|\xC5\x91\rk\xC3\xA9t");
    bom.close();
    EXPECT_EQ(ReadReplyFile(file), QStringLiteral("5|ő\r\nkét"));
}

TEST_F(FetchReplyTest, AnErrorStatusAnUnansweredRequestOrAClosedOwnerEndTheCheckSilently) {
    EXPECT_FALSE(fetch(server.url("/nincs.php"), 500));

    server.setSilent(true);
    EXPECT_FALSE(fetch(VersionRequestUrl(), 800, 300));
    EXPECT_EQ(server.requests.value(1), QByteArray("/verziokovetes.php?prg=55"));
    EXPECT_FALSE(QFile::exists(file));

    // The register closed while its check was on the way.
    server.setSilent(false);
    server.answerOk("/verziokovetes.php?prg=55", "23.0.0.45|x");
    auto owner = std::make_unique<QObject>();
    FetchReply(VersionRequestUrl(), file, owner.get(), [this](const QString& t) { reply = t; });
    owner.reset();
    EXPECT_FALSE(QTest::qWaitFor([this] { return !reply.isNull(); }, 800));
}

}  // namespace
}  // namespace zomi
