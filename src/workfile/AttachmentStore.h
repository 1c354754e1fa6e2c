#pragma once

// A work order's files, kept in the database: each file one row of
// zomi_csatolmany and its bytes in pieces of zomi_csatolmany_resz, small
// enough for any server's packet limit. A file's rows are written in one
// transaction, so nobody ever sees half of one; its SHA-256 is checked when
// it is read back. Nothing here shows a window.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <stdexcept>

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

// The largest file a work order takes.
constexpr qint64 kMaxAttachmentBytes = 50LL * 1024 * 1024;

// A file that cannot be attached or read back, in the user's words.
class AttachmentError : public std::runtime_error {
  public:
    explicit AttachmentError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

struct AttachmentInfo {
    int id = 0;
    int workOrder = 0;
    QString name;
    qint64 size = 0;
    QString type;     // MIME type, "image/png"
    QString addedBy;  // the Zomi user
    QString host;     // the workstation
    QDateTime added;  // server time
    bool isImage() const { return type.startsWith(QLatin1String("image/")); }
};

// Told how far a transfer has got; false stops it (nothing is kept).
using TransferProgress = std::function<bool(qint64 done, qint64 total)>;

// Why a file of that name and size cannot be attached; empty when it can.
QString AttachmentRefusal(const QString& name, qint64 size);
// The file's bytes, after the checks above; AttachmentError when it is
// missing, unreadable, empty or too large.
QByteArray ReadAttachableFile(const QString& path);
// The type the desktop knows the file by.
QString AttachmentType(const QString& name, const QByteArray& bytes);

// The largest piece the server takes in one statement, at most 1 MiB.
int AttachmentPieceSize(dbaccess::Connection& connection);

QList<AttachmentInfo> ListAttachments(dbaccess::Connection& connection, int workOrder);
int AttachmentCount(dbaccess::Connection& connection, int workOrder);
// The work orders that have at least one file, for the register's mark.
QSet<int> WorkOrdersWithAttachments(dbaccess::Connection& connection);

// Stores the file under the work order and returns its key. The file and its
// pieces are committed together, or nothing is stored when anything fails
// (a lost session included) or the progress stops it.
int StoreAttachment(dbaccess::Connection& connection, int workOrder, const QString& name,
                    const QByteArray& bytes, const QString& addedBy, const QString& host,
                    const TransferProgress& progress = {});
// The file's bytes; AttachmentError when a piece is missing or the bytes do
// not match the checksum stored with them.
QByteArray ReadAttachment(dbaccess::Connection& connection, int id,
                          const TransferProgress& progress = {});
void DeleteAttachment(dbaccess::Connection& connection, int id);
// Deletes the work order and its files in one transaction.
void DeleteWorkOrderWithFiles(dbaccess::Connection& connection, int workOrder);

// The register's question before a work order is deleted: the plain one, or
// with the number of its files that go with it.
QString WorkOrderDeleteQuestion(int files);

// The hex text of a file's SHA-256, as stored.
QString Sha256Text(const QByteArray& bytes);

}  // namespace zomi
