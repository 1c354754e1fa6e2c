#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace zomi {

namespace {

QString userSuffix() {
    const QByteArray user = qgetenv("USER").isEmpty() ? qgetenv("USERNAME") : qgetenv("USER");
    return QString::fromLocal8Bit(user).remove(QLatin1Char('/'));
}

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(name + QLatin1Char('-') + userSuffix()) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    lock_ = std::make_unique<QLockFile>(QDir(dir).filePath(name_ + QStringLiteral(".lock")));
    // A lock left by a crashed instance is stale once its process is gone.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(100)) {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(1000)) {
            socket.write("activate\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
        }
        return false;
    }
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    server_->listen(name_);
    return true;
}

}  // namespace zomi
