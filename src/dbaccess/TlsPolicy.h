#pragma once

// How the sessions protect what travels to the server. By default a session
// is encrypted whenever the server offers TLS and plain otherwise, so that the
// profiles of existing installations keep working unchanged. An installation
// that must not send passwords and data in the clear requires TLS in its
// system-wide file, which ordinary users cannot change:
//
//   /etc/zomi/zomi.conf          (ZOMI_SYSTEM_CONFIG names another file)
//   [TLS]
//   Kotelezo=1                   ; no session without TLS and a verified server
//   CA=/etc/ssl/certs/office-ca.pem   ; trusted certificates; else the system's

#include <QString>

namespace zomi::dbaccess {

struct TlsPolicy {
    bool required = false;
    QString caFile;
};

QString SystemConfigPath();
// Read at every new session, so that a changed file counts from the next one.
TlsPolicy InstallationTlsPolicy();

}  // namespace zomi::dbaccess
