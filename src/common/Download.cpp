#include "common/Download.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace zomi {

FileDownload::FileDownload(const QString& url, const QString& fileName, int timeoutMs,
                           QObject* parent, qint64 maxBytes)
    : QObject(parent), url_(url), file_(fileName), timeoutMs_(timeoutMs), maxBytes_(maxBytes) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        if (reply_) reply_->abort();
    });
}

FileDownload::~FileDownload() {
    if (reply_) {
        // Its finished() must not reach a half-destroyed object.
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
    file_.cancelWriting();
}

void FileDownload::fail(const QString& reason) {
    // Said on the next turn of the event loop, as a transfer that started would.
    error_ = reason;
    QMetaObject::invokeMethod(
        this, [this] { emit finished(false); }, Qt::QueuedConnection);
}

void FileDownload::start() {
    const QUrl target(url_, QUrl::StrictMode);
    if (!target.isValid() || target.isRelative())
        return fail(QStringLiteral("invalid URL \"%1\"").arg(url_));
    if (!file_.open(QIODevice::WriteOnly))
        return fail(
            QStringLiteral("cannot write \"%1\": %2").arg(file_.fileName(), file_.errorString()));

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);

    reply_ = manager_.get(request);
    // Qt keeps no more than this unread, however fast the server sends.
    reply_->setReadBufferSize(maxBytes_ + 1);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &FileDownload::checkAnnouncedSize);
    connect(reply_, &QNetworkReply::readyRead, this, [this] { takeBytes(reply_->readAll()); });
    connect(reply_, &QNetworkReply::finished, this, &FileDownload::replyFinished);
    deadline_.start(timeoutMs_);
}

void FileDownload::checkAnnouncedSize() {
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > maxBytes_) {
        tooLarge_ = true;
        reply_->abort();
    }
}

void FileDownload::takeBytes(const QByteArray& chunk) {
    if (tooLarge_ || !writeError_.isEmpty()) return;
    received_ += chunk.size();
    if (received_ > maxBytes_) {
        tooLarge_ = true;
        if (reply_) reply_->abort();
        return;
    }
    if (file_.write(chunk) != chunk.size()) {
        writeError_ = file_.errorString();
        if (reply_) reply_->abort();
    }
}

void FileDownload::replyFinished() {
    deadline_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();

    // An aborted reply is closed and has nothing left to read.
    if (reply->isOpen()) takeBytes(reply->readAll());
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);

    QString reason;
    if (tooLarge_) {
        reason = QStringLiteral("the reply is longer than %1 bytes").arg(maxBytes_);
    } else if (!writeError_.isEmpty()) {
        reason = QStringLiteral("cannot write \"%1\": %2").arg(file_.fileName(), writeError_);
    } else if (timedOut_) {
        reason = QStringLiteral("no complete reply within %1 ms").arg(timeoutMs_);
    } else if (reply->error() != QNetworkReply::NoError) {
        reason = reply->errorString();
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        reason = QStringLiteral("HTTP status %1").arg(status.toInt());
    } else if (!file_.commit()) {
        reason =
            QStringLiteral("cannot write \"%1\": %2").arg(file_.fileName(), file_.errorString());
    }
    if (!reason.isEmpty()) {
        file_.cancelWriting();
        error_ = reason;
        emit finished(false);
        return;
    }
    succeeded_ = true;
    emit finished(true);
}

bool DownloadFile(const QString& url, const QString& fileName, QString* error, int timeoutMs) {
    if (!QCoreApplication::instance()) {
        if (error) *error = QStringLiteral("no application object to run the download");
        return false;
    }
    FileDownload download(url, fileName, timeoutMs);
    QEventLoop loop;
    QObject::connect(&download, &FileDownload::finished, &loop, &QEventLoop::quit);
    download.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (error) *error = download.errorString();
    return download.succeeded();
}

}  // namespace zomi
