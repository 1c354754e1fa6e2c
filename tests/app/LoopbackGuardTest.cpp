// Tests and benchmarks reach nothing beyond the loopback addresses. The guard
// every test and benchmark program carries (support/Loopback.h) stops one
// that looks up any other name; the register, started as the benchmarks
// start it and with both notice checks run, asks only the closed local port;
// and without the vendor's address the notices ask the vendor's own server,
// as the program does in real use.

#include <gtest/gtest.h>
#include <netdb.h>

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "RegisterStart.h"
#include "app/Main.h"
#include "common/Download.h"
#include "notify/VendorServer.h"
#include "support/Loopback.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using test::TestDatabase;

int lookUp(const char* name) {
    addrinfo* found = nullptr;
    const int result = getaddrinfo(name, "80", nullptr, &found);
    if (found) freeaddrinfo(found);
    return result;
}

bool download(const QString& url, const QString& file) {
    FileDownload transfer(url, file, 10000);
    QEventLoop loop;
    QObject::connect(&transfer, &FileDownload::finished, &loop, &QEventLoop::quit);
    transfer.start();
    loop.exec();
    return transfer.succeeded();
}

TEST(LoopbackGuard, StopsTheProgramLoudlyOnAnyNameButTheLoopbacks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(lookUp("localhost"), 0);
    EXPECT_EQ(lookUp("127.0.0.1"), 0);
    EXPECT_DEATH(lookUp("www.tarvelo.hu"), "looked up \"www\\.tarvelo\\.hu\"");
    EXPECT_DEATH(lookUp("192.0.2.1"), "looked up \"192\\.0\\.2\\.1\"");
}

TEST(LoopbackGuard, EveryProgramStartsWithTheVendorAtAClosedLocalPort) {
    EXPECT_EQ(VendorBaseUrl(), QString::fromLatin1(test::kClosedVendorUrl));
    QTemporaryDir dir;
    EXPECT_FALSE(download(VersionRequestUrl(), dir.filePath(QStringLiteral("Verkov.txt"))));
}

// Nothing changes for the program: without the variable the notices go to the
// vendor's server, which the guard stops here.
TEST(LoopbackGuard, WithoutTheAddressTheNoticesAskTheVendorsServer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir dir;
    EXPECT_DEATH(
        {
            qunsetenv("ZOMI_VENDOR_URL");
            download(VersionRequestUrl(), dir.filePath(QStringLiteral("Verkov.txt")));
        },
        "looked up \"www\\.tarvelo\\.hu\"");
}

// A name looked up on the way stops the program, and with it this test.
TEST(LoopbackGuard, TheRegisterStartedAsTheBenchmarksStartItReachesOnlyTheLoopback) {
    TestDatabase db(TestDatabase::Content::Demo);
    dbaccess::ConnectionParams server = TestDatabase::serverParams();
    server.database = db.name();
    QTemporaryDir dir;
    bench::PrepareRegisterStart(dir.path(), server);
    Tfrm_Main window;
    ASSERT_TRUE(window.startUp());
    window.show();
    // The version check goes 2 s after the window shows, the news check after
    // 10 s; the closed port refuses both at once.
    QTest::qWait(11000);
    window.close();
}

}  // namespace
}  // namespace zomi

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
