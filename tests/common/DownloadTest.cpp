#include <gtest/gtest.h>

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "common/Download.h"

namespace zomi {
namespace {

// A web server on the loopback interface that answers from a fixed table by
// request path. It runs on the test's own thread: DownloadFile's event loop
// serves it while the download waits.
class LocalServer {
  public:
    LocalServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
        listening_ = server_.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return listening_; }

    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

    void answer(const QByteArray& path, const QByteArray& status, const QByteArray& body,
                const QByteArray& extraHeaders = QByteArray()) {
        replies_.insert(path, "HTTP/1.1 " + status + "\r\n" + extraHeaders +
                                  "Content-Type: text/plain\r\nContent-Length: " +
                                  QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body);
    }

  private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                buffers_[socket] += socket->readAll();
                const QByteArray& request = buffers_[socket];
                if (!request.contains("\r\n\r\n")) return;
                const QByteArray path = request.split(' ').value(1);
                buffers_.remove(socket);
                socket->write(replies_.value(
                    path,
                    "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer server_;
    bool listening_ = false;
    QHash<QByteArray, QByteArray> replies_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

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
    LocalServer server_;
};

TEST_F(Download, FetchesTheReplyBodyIntoTheFile) {
    const QByteArray reply("23.0.0.45|Uj verzio \xC5\xB1|");
    server_.answer("/verziokovetes.php?prg=55", "200 OK", reply);
    QString error;
    EXPECT_TRUE(DownloadFile(server_.url("/verziokovetes.php?prg=55"), file("Verkov.txt"), &error))
        << error.toStdString();
    EXPECT_EQ(contents(file("Verkov.txt")), reply);
}

TEST_F(Download, FollowsRedirects) {
    server_.answer("/old", "302 Found", QByteArray(),
                   "Location: " + server_.url("/new").toLatin1() + "\r\n");
    server_.answer("/new", "200 OK", "moved");
    EXPECT_TRUE(DownloadFile(server_.url("/old"), file("r.txt")));
    EXPECT_EQ(contents(file("r.txt")), QByteArray("moved"));
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

TEST_F(Download, UnreachableServersBadUrlsAndUnwritableFilesFail) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    EXPECT_FALSE(DownloadFile(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort), file("a")));
    EXPECT_FALSE(DownloadFile(QStringLiteral("not a url"), file("b")));
    server_.answer("/ok", "200 OK", "x");
    EXPECT_FALSE(DownloadFile(server_.url("/ok"), file("nincs/c.txt")));
    EXPECT_EQ(contents(file("a")), QByteArray("<missing>"));
}

}  // namespace
}  // namespace zomi
