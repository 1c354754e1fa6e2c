#include "dbaccess/TlsPolicy.h"

#include <QFileInfo>

#include "common/IniFile.h"

namespace zomi::dbaccess {

QString SystemConfigPath() {
    const QByteArray configured = qgetenv("ZOMI_SYSTEM_CONFIG");
    return configured.isEmpty() ? QStringLiteral("/etc/zomi/zomi.conf")
                                : QString::fromLocal8Bit(configured);
}

TlsPolicy InstallationTlsPolicy() {
    TlsPolicy policy;
    const QString path = SystemConfigPath();
    if (!QFileInfo::exists(path)) return policy;
    const QString section = QStringLiteral("TLS");
    policy.required =
        IniReadString(path, section, QStringLiteral("Kotelezo"), QStringLiteral("0")).trimmed() ==
        QLatin1String("1");
    policy.caFile = IniReadString(path, section, QStringLiteral("CA"), QString()).trimmed();
    return policy;
}

}  // namespace zomi::dbaccess
