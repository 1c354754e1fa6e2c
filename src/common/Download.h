#pragma once

// Fetching a small file from a web server into a local file, for the version
// and news notices.

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>
#include <QTimer>

class QNetworkReply;

namespace zomi {

// The most a reply may hold: the vendor's replies are a few lines of text, and
// a larger one is no reply of theirs.
inline constexpr qint64 kMaxDownloadBytes = 64 * 1024;

// One transfer of a URL into a local file, run by the event loop of the
// thread that creates it; start() returns at once. A redirect is followed
// only to the same scheme, host and port: never to another server, nor from
// HTTPS to plain HTTP. Caches are bypassed, so the reply is always the
// current one. A reply longer than maxBytes fails as soon as it says so or
// its bytes pass the bound. The file is replaced only by a complete download:
// a failed one leaves what was there before. A transfer that has not ended
// within timeoutMs milliseconds fails. finished() comes exactly once, always
// after start() has returned; an HTTP error status counts as a failure.
// Deleting the object aborts the transfer without finished().
class FileDownload : public QObject {
    Q_OBJECT

  public:
    FileDownload(const QString& url, const QString& fileName, int timeoutMs,
                 QObject* parent = nullptr, qint64 maxBytes = kMaxDownloadBytes);
    ~FileDownload() override;

    void start();
    bool succeeded() const { return succeeded_; }
    // Why it failed; empty after a success.
    const QString& errorString() const { return error_; }

  signals:
    void finished(bool succeeded);

  private:
    void fail(const QString& reason);
    void replyFinished();
    void takeBytes(const QByteArray& chunk);
    void checkAnnouncedSize();

    QString url_;
    QSaveFile file_;
    int timeoutMs_;
    qint64 maxBytes_;
    qint64 received_ = 0;
    bool tooLarge_ = false;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    QString writeError_;
    QString error_;
    bool timedOut_ = false;
    bool succeeded_ = false;
};

// The same transfer, returning once it has ended, while a local event loop
// runs (the caller's thread must be the one that owns the application
// object). Returns false on any failure and shows nothing; the reason goes to
// *error when it is given.
bool DownloadFile(const QString& url, const QString& fileName, QString* error = nullptr,
                  int timeoutMs = 30000);

}  // namespace zomi
