#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

namespace zomi::test {

// A web server on the loopback interface that answers from a fixed table by
// request path (with its query), or, when silent, takes every request and
// never answers. It runs on the test's own thread, served by whatever event
// loop runs there. Every request path it received is kept, in order.
class LocalHttpServer {
  public:
    LocalHttpServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
        listening_ = server_.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return listening_; }
    QString baseUrl() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }
    QString url(const char* path) const { return baseUrl() + QString::fromLatin1(path); }

    void answer(const QByteArray& path, const QByteArray& status, const QByteArray& body,
                const QByteArray& extraHeaders = QByteArray()) {
        replies_.insert(path, "HTTP/1.1 " + status + "\r\n" + extraHeaders +
                                  "Content-Type: text/plain\r\nContent-Length: " +
                                  QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body);
    }
    void answerOk(const QByteArray& path, const QByteArray& body) { answer(path, "200 OK", body); }
    // The whole reply as given, status line and headers included.
    void answerRaw(const QByteArray& path, const QByteArray& reply) {
        replies_.insert(path, reply);
    }
    void setSilent(bool silent) { silent_ = silent; }

    QList<QByteArray> requests;

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
                requests << path;
                if (silent_) return;
                socket->write(replies_.value(
                    path,
                    "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
                socket->disconnectFromHost();
            });
        }
    }

    QTcpServer server_;
    bool listening_ = false;
    bool silent_ = false;
    QHash<QByteArray, QByteArray> replies_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

}  // namespace zomi::test
