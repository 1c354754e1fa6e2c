#pragma once

// The requests to the vendor's web server. Its base address (scheme and host)
// is https://www.tarvelo.hu, unless the environment variable ZOMI_VENDOR_URL
// names another one (for example http://127.0.0.1:8080), for tests and
// private installations.

#include <QString>

namespace zomi {

// The number the vendor knows this program by.
inline constexpr int kProgramId = 55;

QString VendorBaseUrl();
QString VersionRequestUrl();
QString NewsRequestUrl(int lastAcknowledged);
// The page of a news item, opened in the browser.
QString NewsDetailsLink(const QString& newsNumber);

// The local copies of the replies in DataDir.
QString VersionReplyFile();
QString NewsReplyFile();

}  // namespace zomi
