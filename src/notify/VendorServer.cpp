#include "notify/VendorServer.h"

#include "common/Settings.h"

namespace zomi {

QString VendorBaseUrl() {
    QString base = qEnvironmentVariable("ZOMI_VENDOR_URL");
    if (base.isEmpty()) return QStringLiteral("https://www.tarvelo.hu");
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    return base;
}

QString VersionRequestUrl() {
    return VendorBaseUrl() + QStringLiteral("/verziokovetes.php?prg=%1").arg(kProgramId);
}

QString NewsRequestUrl(int lastAcknowledged) {
    return VendorBaseUrl() +
           QStringLiteral("/hirfolyam.php?prg=%1&hir=%2").arg(kProgramId).arg(lastAcknowledged);
}

QString NewsDetailsLink(const QString& newsNumber) {
    return VendorBaseUrl() + QStringLiteral("/hirek.php?hir=") + newsNumber;
}

QString VersionReplyFile() { return DataDir() + QStringLiteral("/Verkov.txt"); }
QString NewsReplyFile() { return DataDir() + QStringLiteral("/hirkov.txt"); }

}  // namespace zomi
