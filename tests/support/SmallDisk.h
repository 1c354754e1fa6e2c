#pragma once

// A file system of a few blocks of its own (tmpfs), mounted for a test of
// what a full or read-only disk does to the files the program writes.
// Mounting needs the right to mount; without it available() is false.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zomi::test {

class SmallDisk {
  public:
    // size as mount takes it ("64k"); readOnly mounts it read-only.
    explicit SmallDisk(const char* size, bool readOnly = false) {
        const QString options = QStringLiteral("size=") + QString::fromLatin1(size) +
                                (readOnly ? QStringLiteral(",ro") : QString());
        mounted_ = dir_.isValid() &&
                   run({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                        options, QStringLiteral("tmpfs"), dir_.path()});
    }
    ~SmallDisk() {
        if (mounted_) unmount({dir_.path()});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return mounted_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    QString path() const { return dir_.path(); }

  private:
    static bool run(const QStringList& arguments) {
        QProcess mount;
        mount.start(QStringLiteral("mount"), arguments);
        return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
               mount.exitCode() == 0;
    }
    static void unmount(const QStringList& arguments) {
        QProcess umount;
        umount.start(QStringLiteral("umount"), arguments);
        umount.waitForFinished(10000);
    }

    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace zomi::test
