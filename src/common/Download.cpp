#include "common/Download.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace zomi {

namespace {

bool failed(QString* error, const QString& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

bool DownloadFile(const QString& url, const QString& fileName, QString* error, int timeoutMs) {
    if (!QCoreApplication::instance())
        return failed(error, QStringLiteral("no application object to run the download"));
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid() || target.isRelative())
        return failed(error, QStringLiteral("invalid URL \"%1\"").arg(url));

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(error,
                      QStringLiteral("cannot write \"%1\": %2").arg(fileName, file.errorString()));

    QNetworkAccessManager manager;
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(timeoutMs);

    QNetworkReply* reply = manager.get(request);
    QString writeError;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        const QByteArray chunk = reply->readAll();
        if (writeError.isEmpty() && file.write(chunk) != chunk.size()) {
            writeError = file.errorString();
            reply->abort();
        }
    });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

    const QByteArray rest = reply->readAll();
    if (writeError.isEmpty() && file.write(rest) != rest.size()) writeError = file.errorString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError networkError = reply->error();
    const QString networkErrorText = reply->errorString();

    if (!writeError.isEmpty()) {
        file.cancelWriting();
        return failed(error, QStringLiteral("cannot write \"%1\": %2").arg(fileName, writeError));
    }
    if (networkError != QNetworkReply::NoError) {
        file.cancelWriting();
        return failed(error, networkErrorText);
    }
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        file.cancelWriting();
        return failed(error, QStringLiteral("HTTP status %1").arg(status.toInt()));
    }
    if (!file.commit())
        return failed(error,
                      QStringLiteral("cannot write \"%1\": %2").arg(fileName, file.errorString()));
    return true;
}

}  // namespace zomi
