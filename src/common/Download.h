#pragma once

// Fetching a small file from a web server into a local file, for the version
// and news notices.

#include <QString>

namespace zomi {

// Fetches url into fileName and returns once the transfer has ended, running a
// local event loop meanwhile (the caller's thread must be the one that owns
// the application object). Redirects are followed unless they lead from HTTPS
// to plain HTTP. Caches are bypassed, so the reply is always the current one.
// Returns false on any failure, an HTTP error status included, and shows
// nothing; the reason goes to *error when it is given. The file is replaced
// only by a complete download: a failed one leaves what was there before.
// A transfer that stalls for timeoutMs milliseconds fails.
bool DownloadFile(const QString& url, const QString& fileName, QString* error = nullptr,
                  int timeoutMs = 30000);

}  // namespace zomi
