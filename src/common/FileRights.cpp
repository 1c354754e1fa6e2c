#include "common/FileRights.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zomi {

namespace {

#ifdef Q_OS_UNIX

QString accountName(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// The group Debian makes for every account, under the account's own name.
bool isPrivateGroup(gid_t gid) {
    const passwd* user = ::getpwuid(::getuid());
    const group* entry = ::getgrgid(gid);
    return user && entry && qstrcmp(user->pw_name, entry->gr_name) == 0;
}

bool statOf(const QString& path, struct stat& info, bool followLinks) {
    const QByteArray name = QFile::encodeName(path);
    return (followLinks ? ::stat(name.constData(), &info) : ::lstat(name.constData(), &info)) == 0;
}

#endif

QString describe(const QString& path) {
    return QStringLiteral("„%1” %2").arg(
        QDir::toNativeSeparators(path),
        QFileInfo(path).isDir() ? QStringLiteral("mappát") : QStringLiteral("fájlt"));
}

}  // namespace

QString ForeignWriters(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (path.isEmpty() || !statOf(path, info, true)) return QString();
    if (info.st_uid != 0 && info.st_uid != ::getuid())
        return QStringLiteral("a(z) %1 felhasználó tulajdona").arg(accountName(info.st_uid));
    if (info.st_mode & S_IWOTH) return QStringLiteral("bárki írhatja");
    if ((info.st_mode & S_IWGRP) && info.st_gid != 0 && !isPrivateGroup(info.st_gid))
        return QStringLiteral("a(z) %1 csoport tagjai is írhatják").arg(groupName(info.st_gid));
#else
    Q_UNUSED(path);
#endif
    return QString();
}

QString ChangeableByOthers(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const QString& candidate : {QFileInfo(absolute).absolutePath(), absolute}) {
        const QString who = ForeignWriters(candidate);
        if (!who.isEmpty())
            return QStringLiteral("A(z) %1 más felhasználó is módosíthatja (%2).")
                .arg(describe(candidate), who);
    }
    return QString();
}

bool WritableByEveryone(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    return statOf(path, info, true) && (info.st_mode & S_IWOTH);
#else
    Q_UNUSED(path);
    return false;
#endif
}

QString PrivateFolder(const QString& dir) {
    if (dir.isEmpty()) return QString();
#ifdef Q_OS_UNIX
    struct stat info {};
    if (!statOf(dir, info, false)) {
        if (!QDir().mkpath(dir) || !statOf(dir, info, false)) return QString();
        ::chmod(QFile::encodeName(dir).constData(), 0700);
        if (!statOf(dir, info, false)) return QString();
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077))
        return QString();
#else
    if (!QDir().mkpath(dir)) return QString();
#endif
    return QDir::cleanPath(dir);
}

QString UserRuntimeDir() {
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        struct stat info {};
        // Only an existing one: the session manager makes it, not the program.
        if (statOf(runtime, info, false) && !PrivateFolder(runtime).isEmpty()) return runtime;
    }
#endif
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) return QString();
    return PrivateFolder(cache + QStringLiteral("/zomi"));
}

QString UserKey() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

}  // namespace zomi
