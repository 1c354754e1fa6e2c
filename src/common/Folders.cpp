#include "common/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace zomi {

namespace {

QString withoutTrailingSeparator(const QString& path) {
    if (path.isEmpty()) return path;
    return QDir::cleanPath(path);
}

const QLatin1String kAppFolder("/Zomi.Net");

QString commonAppData() {
#ifdef Q_OS_WIN
    // Qt lists the user's own data folder first and C:/ProgramData after it.
    const QStringList all = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    return all.size() > 1 ? all.at(1) : QString();
#else
    return QStringLiteral("/var/lib");
#endif
}

QString ownDataDir() {
    return withoutTrailingSeparator(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

}  // namespace

QString SpecialFolder(SpecialFolderId id) {
    switch (id) {
        case SpecialFolderId::CommonAppData:
            return withoutTrailingSeparator(commonAppData());
        case SpecialFolderId::Documents:
            return withoutTrailingSeparator(
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
    return QString();
}

QString CommonAppDataDir() { return SpecialFolder(SpecialFolderId::CommonAppData); }

QString DocumentsDir() { return SpecialFolder(SpecialFolderId::Documents); }

bool ShareLikeItsFolder(const QString& path) {
#ifdef Q_OS_UNIX
    // Through the system's own calls: Qt's would drop the set-group-id bit
    // that a folder made inside the shared one takes from it, and with it the
    // group of everything written there later.
    const QByteArray name = QFile::encodeName(path);
    struct stat file {};
    struct stat folder {};
    if (::stat(name.constData(), &file) != 0) return false;
    if (::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0)
        return false;
    mode_t wanted = file.st_mode & ~S_IWOTH;
    if (folder.st_mode & S_IWGRP) {
        wanted |= S_IRGRP | S_IWGRP;
        if (S_ISDIR(file.st_mode)) wanted |= S_IXGRP;
    }
    return wanted == file.st_mode || ::chmod(name.constData(), wanted & 07777) == 0;
#else
    return QFileInfo::exists(path);
#endif
}

QString OwnDataDir() { return ownDataDir() + kAppFolder; }

QString AllUsersDataDir() { return AllUsersDataDir(QString::fromLatin1(kLinuxAllUsersDir)); }

QString AllUsersDataDir(const QString& linuxDir) {
#ifdef Q_OS_WIN
    Q_UNUSED(linuxDir);
    return CommonAppDataDir() + kAppFolder;
#else
    if (QFileInfo(linuxDir).isDir()) return withoutTrailingSeparator(linuxDir);
    return ownDataDir() + kAppFolder;
#endif
}

}  // namespace zomi
