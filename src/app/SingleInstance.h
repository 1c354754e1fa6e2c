#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QLocalServer;

namespace zomi {

// One running instance per user. The first instance holds a lock file and
// listens on a local socket, both in the user's own runtime folder (no other
// account can make or replace them there) and named after the numeric user
// id; a later one finds the lock taken, asks the first to come to the front
// and ends. A lock file another account left there is never honoured.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    enum class Claim {
        Claimed,       // this is the only instance
        AskedRunning,  // another one runs and was asked to come forward
        Unanswered,    // the lock is held, but nothing answered the request
    };

    // The name is the program file's name in capitals. runtimeDir stands in
    // for the user's runtime folder in tests.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr,
                            const QString& runtimeDir = QString());
    ~SingleInstance() override;

    Claim claim();
    // After a claim that did not succeed: what holds the lock, in Hungarian.
    QString heldMessage() const;
    QString lockPath() const;
    QString serverPath() const;

  signals:
    void activationRequested();

  private:
    void dropForeignLock();
    void listen();

    QString name_;
    QString dir_;
    qint64 holder_ = 0;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace zomi
