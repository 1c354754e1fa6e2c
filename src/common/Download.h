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

// One transfer of a URL into a local file, run by the event loop of the
// thread that creates it; start() returns at once. Redirects are followed
// unless they lead from HTTPS to plain HTTP. Caches are bypassed, so the
// reply is always the current one. The file is replaced only by a complete
// download: a failed one leaves what was there before. A transfer that has
// not ended within timeoutMs milliseconds fails. finished() comes exactly
// once, always after start() has returned; an HTTP error status counts as a
// failure. Deleting the object aborts the transfer without finished().
class FileDownload : public QObject {
    Q_OBJECT

  public:
    FileDownload(const QString& url, const QString& fileName, int timeoutMs,
                 QObject* parent = nullptr);
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

    QString url_;
    QSaveFile file_;
    int timeoutMs_;
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
