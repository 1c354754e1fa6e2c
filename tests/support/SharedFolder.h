#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>

namespace zomi::test {

// Makes dir a folder shared the way the package's all-users folder is: its
// group (here "users", not the user's own) may change it, and what is made
// in it takes that group (mode 2775). False when this account cannot give a
// folder that group; the caller then skips.
inline bool MakeGroupShared(const QString& dir) {
    const group* users = ::getgrnam("users");
    if (!users || !QDir().mkpath(dir)) return false;
    const QByteArray name = QFile::encodeName(dir);
    return ::chown(name.constData(), static_cast<uid_t>(-1), users->gr_gid) == 0 &&
           ::chmod(name.constData(), 02775) == 0;
}

inline mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

inline void SetMode(const QString& path, mode_t mode) {
    ::chmod(QFile::encodeName(path).constData(), mode);
}

}  // namespace zomi::test
