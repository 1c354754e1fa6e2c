#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QLocalServer;

namespace zomi {

// One running instance per user. The first instance holds a lock file and
// listens on a local socket; a later one finds the lock taken, asks the first
// to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    // The name is the program file's name in capitals, as one system-wide name.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only instance; otherwise the running one has
    // been asked to come forward and this one should end.
    bool claim();

  signals:
    void activationRequested();

  private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace zomi
