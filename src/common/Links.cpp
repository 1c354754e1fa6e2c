#include "common/Links.h"

namespace zomi {

QUrl OpenableLink(const QString& text) {
    const QString trimmed = text.trimmed();
    QUrl url(trimmed, QUrl::TolerantMode);
    if (url.scheme().isEmpty() && trimmed.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
    if (!url.isValid()) return QUrl();
    const QString scheme = url.scheme();  // QUrl keeps schemes in lower case
    if (scheme == QLatin1String("mailto")) return url.path().isEmpty() ? QUrl() : url;
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return url.host().isEmpty() ? QUrl() : url;
    return QUrl();
}

}  // namespace zomi
