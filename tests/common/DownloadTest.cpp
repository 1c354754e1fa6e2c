#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "common/Download.h"
#include "support/LocalHttpServer.h"

namespace zomi {
namespace {

class Download : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(server_.listening());
    }

    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir_;
    test::LocalHttpServer server_;
};

TEST_F(Download, FetchesTheReplyBodyIntoTheFile) {
    const QByteArray reply("23.0.0.45|Uj verzio \xC5\xB1|");
    server_.answer("/verziokovetes.php?prg=55", "200 OK", reply);
    QString error;
    EXPECT_TRUE(DownloadFile(server_.url("/verziokovetes.php?prg=55"), file("Verkov.txt"), &error))
        << error.toStdString();
    EXPECT_EQ(contents(file("Verkov.txt")), reply);
}

TEST_F(Download, FollowsRedirectsOnTheSameServerOnly) {
    server_.answer("/old", "302 Found", QByteArray(),
                   "Location: " + server_.url("/new").toLatin1() + "\r\n");
    server_.answer("/new", "200 OK", "moved");
    EXPECT_TRUE(DownloadFile(server_.url("/old"), file("r.txt")));
    EXPECT_EQ(contents(file("r.txt")), QByteArray("moved"));

    test::LocalHttpServer other;
    other.answer("/elsewhere", "200 OK", "not ours");
    const QString away[] = {
        other.url("/elsewhere"),
        QStringLiteral("http://localhost:%1/new").arg(QUrl(server_.url("/")).port())};
    for (const QString& target : away) {
        server_.answer("/away", "301 Moved Permanently", QByteArray(),
                       "Location: " + target.toLatin1() + "\r\n");
        EXPECT_FALSE(DownloadFile(server_.url("/away"), file("away.txt"))) << target.toStdString();
        EXPECT_EQ(contents(file("away.txt")), QByteArray("<missing>"));
    }
    EXPECT_TRUE(other.requests.isEmpty());
}

TEST_F(Download, AReplyLongerThanTheBoundFailsAndLeavesNoFile) {
    const QByteArray fits(kMaxDownloadBytes, 'x');
    server_.answerOk("/fits", fits);
    EXPECT_TRUE(DownloadFile(server_.url("/fits"), file("fits.txt")));
    EXPECT_EQ(contents(file("fits.txt")), fits);

    server_.answerOk("/big", QByteArray(kMaxDownloadBytes + 1, 'x'));
    // Without a length the bytes themselves must stop it.
    server_.answerRaw("/endless", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" +
                                      QByteArray(4 * kMaxDownloadBytes, 'y'));
    for (const char* path : {"/big", "/endless"}) {
        QString error;
        EXPECT_FALSE(DownloadFile(server_.url(path), file("hirkov.txt"), &error)) << path;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(contents(file("hirkov.txt")), QByteArray("<missing>")) << path;
    }
}

TEST_F(Download, AnErrorStatusFailsAndLeavesTheOldFileAlone) {
    {
        QFile old(file("hirkov.txt"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous");
    }
    server_.answer("/broken", "500 Internal Server Error", "oops");
    QString error;
    EXPECT_FALSE(DownloadFile(server_.url("/broken"), file("hirkov.txt"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(DownloadFile(server_.url("/missing"), file("hirkov.txt")));
    EXPECT_EQ(contents(file("hirkov.txt")), QByteArray("previous"));
}

TEST_F(Download, UnreachableAndSilentServersBadUrlsAndUnwritableFilesFail) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    EXPECT_FALSE(DownloadFile(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort), file("a")));
    test::LocalHttpServer silent;
    silent.setSilent(true);
    EXPECT_FALSE(DownloadFile(silent.url("/x"), file("d"), nullptr, 200));
    EXPECT_EQ(silent.requests.size(), 1);
    EXPECT_FALSE(DownloadFile(QStringLiteral("not a url"), file("b")));
    server_.answer("/ok", "200 OK", "x");
    EXPECT_FALSE(DownloadFile(server_.url("/ok"), file("nincs/c.txt")));
    EXPECT_EQ(contents(file("a")), QByteArray("<missing>"));
}

}  // namespace
}  // namespace zomi
