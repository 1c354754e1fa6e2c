#include "common/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zomi {

namespace {

QString withoutTrailingSeparator(const QString& path) {
    if (path.isEmpty()) return path;
    return QDir::cleanPath(path);
}

QString commonAppData() {
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QStringList all = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& dir : all) {
        if (QDir::cleanPath(dir) == QDir::cleanPath(own)) continue;
        const QFileInfo info(dir);
        if (info.isDir() && info.isWritable()) return dir;
    }
    return own;
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

}  // namespace zomi
