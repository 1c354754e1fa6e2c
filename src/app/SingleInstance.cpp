#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include "common/FileRights.h"

namespace zomi {

SingleInstance::SingleInstance(const QString& name, QObject* parent, const QString& runtimeDir)
    : QObject(parent),
      name_(name + QLatin1Char('-') + UserKey()),
      dir_(runtimeDir.isEmpty() ? UserRuntimeDir() : PrivateFolder(runtimeDir)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const {
    return QDir(dir_).filePath(name_ + QStringLiteral(".lock"));
}

QString SingleInstance::serverPath() const {
    return QDir(dir_).filePath(name_ + QStringLiteral(".socket"));
}

void SingleInstance::dropForeignLock() {
    // Only root could have put another account's file into this folder; a
    // lock is the user's own or nobody's.
    if (!ForeignWriters(lockPath()).isEmpty() || QFileInfo(lockPath()).isSymLink())
        QFile::remove(lockPath());
}

SingleInstance::Claim SingleInstance::claim() {
    if (dir_.isEmpty()) {
        // Without a folder of the user's own no lock can be trusted; a second
        // instance is the lesser harm than none at all.
        qWarning("Nincs a felhasználónak saját futási mappája; a Zomi több példányban is futhat.");
        return Claim::Claimed;
    }
    dropForeignLock();
    lock_ = std::make_unique<QLockFile>(lockPath());
    // A lock left by a crashed instance is stale once its process is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(100)) {
        listen();
        return Claim::Claimed;
    }
    QString host, application;
    lock_->getLockInfo(&holder_, &host, &application);
    QLocalSocket socket;
    socket.connectToServer(serverPath());
    if (!socket.waitForConnected(1000)) return Claim::Unanswered;
    socket.write("activate\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return Claim::AskedRunning;
}

QString SingleInstance::heldMessage() const {
    return QStringLiteral(
               "A Zomi már fut ennél a felhasználónál (a(z) %1 azonosítójú folyamat tartja a(z) "
               "„%2” zárolást)")
        .arg(holder_)
        .arg(QDir::toNativeSeparators(lockPath()));
}

void SingleInstance::listen() {
    QLocalServer::removeServer(serverPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    if (!server_->listen(serverPath()))
        qWarning("%s", qUtf8Printable(QStringLiteral("A(z) „%1” nem figyelhető: %2")
                                          .arg(serverPath(), server_->errorString())));
}

}  // namespace zomi
