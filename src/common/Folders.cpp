#include "common/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    const QFileInfo info(path);
    if (!info.exists()) return false;
    const QFileInfo folder(info.absolutePath());
    if (!folder.permission(QFileDevice::WriteOther)) return true;
    QFileDevice::Permissions shared = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                      QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (info.isDir()) shared |= QFileDevice::ExeGroup | QFileDevice::ExeOther;
    const QFileDevice::Permissions now = QFile::permissions(path);
    if ((now & shared) == shared) return true;
    return QFile::setPermissions(path, now | shared);
}

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
