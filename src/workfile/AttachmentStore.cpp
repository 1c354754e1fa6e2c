#include "workfile/AttachmentStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <algorithm>

#include "common/Codepage.h"
#include "common/Text.h"
#include "dbaccess/Connection.h"
#include "dbaccess/SessionPin.h"

namespace zomi {

namespace {

using dbaccess::Connection;
using dbaccess::RowRef;

constexpr int kLargestPiece = 1024 * 1024;
constexpr int kSmallestPiece = 16 * 1024;
// Room in a packet for the statement around a piece's hex text.
constexpr int kStatementRoom = 4096;

QByteArray cell(const RowRef& row, int column) {
    if (row.isNull(column)) return {};
    return QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column)));
}

QByteArray cell(const dbaccess::StreamedRow& row, int column) {
    if (!row.cells[column]) return {};
    return QByteArray(row.cells[column], static_cast<qsizetype>(row.lengths[column]));
}

QString hexLiteral(const QByteArray& bytes) {
    return QStringLiteral("X'") + QString::fromLatin1(bytes.toHex()) + QLatin1Char('\'');
}

QString megabytes(qint64 bytes) {
    return QLocale(QLocale::Hungarian)
               .toString(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) +
           QStringLiteral(" MB");
}

AttachmentInfo infoOf(const RowRef& row) {
    AttachmentInfo info;
    info.id = cell(row, 0).toInt();
    info.workOrder = cell(row, 1).toInt();
    info.name = QString::fromUtf8(cell(row, 2));
    info.size = cell(row, 3).toLongLong();
    info.type = QString::fromLatin1(cell(row, 4));
    info.addedBy = FromCp1250(cell(row, 5));
    info.host = FromCp1250(cell(row, 6));
    info.added = QDateTime::fromString(QString::fromLatin1(cell(row, 7)),
                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return info;
}

const QString kInfoColumns =
    QStringLiteral("csatolmany, zomi, nev, meret, tipus, felhasznalo, gep, felveve");

// Undoes an unfinished transaction; a session already lost has undone it.
void rollBack(Connection& connection) {
    try {
        connection.exec(QStringLiteral("ROLLBACK"));
    } catch (const dbaccess::DbError&) {
        // The server drops an open transaction with its session.
    }
}

// Runs the work in one transaction on one session, committed at its end.
template <typename Work>
void inOneTransaction(Connection& connection, Work work) {
    dbaccess::SessionPin pin(connection);
    connection.exec(QStringLiteral("START TRANSACTION"));
    try {
        work();
        connection.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        rollBack(connection);
        throw;
    }
}

}  // namespace

QString Sha256Text(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString AttachmentRefusal(const QString& name, qint64 size) {
    if (size <= 0)
        return QStringLiteral("A(z) „%1” fájl üres (0 bájt): nincs mit csatolni.").arg(name);
    if (size > kMaxAttachmentBytes)
        return QStringLiteral(
                   "A(z) „%1” fájl %2, a munkalaphoz legfeljebb %3 méretű fájl csatolható.")
            .arg(name, megabytes(size), megabytes(kMaxAttachmentBytes));
    if (name.toUcs4().size() > 255)
        return QStringLiteral("A(z) „%1” fájl neve túl hosszú: legfeljebb 255 karakter lehet.")
            .arg(name.left(40) + QStringLiteral("…"));
    return {};
}

QByteArray ReadAttachableFile(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        throw AttachmentError(QStringLiteral("A(z) „%1” fájl nem található.").arg(path));
    if (!info.isFile())
        throw AttachmentError(QStringLiteral("A(z) „%1” nem fájl, nem csatolható.").arg(path));
    if (const QString refusal = AttachmentRefusal(name, info.size()); !refusal.isEmpty())
        throw AttachmentError(refusal);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AttachmentError(
            QStringLiteral("A(z) „%1” fájl nem olvasható: %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AttachmentError(
            QStringLiteral("A(z) „%1” fájl nem olvasható: %2").arg(path, file.errorString()));
    // Changed since it was looked at: the checks count what was read.
    if (const QString refusal = AttachmentRefusal(name, bytes.size()); !refusal.isEmpty())
        throw AttachmentError(refusal);
    return bytes;
}

QString AttachmentType(const QString& name, const QByteArray& bytes) {
    return QMimeDatabase().mimeTypeForFileNameAndData(name, bytes).name().left(100);
}

int AttachmentPieceSize(Connection& connection) {
    const qint64 packet =
        connection.scalar(QStringLiteral("SELECT @@max_allowed_packet")).text.toLongLong();
    // Each byte travels as two hex digits.
    const qint64 fits = (packet - kStatementRoom) / 2;
    return static_cast<int>(std::clamp<qint64>(fits, kSmallestPiece, kLargestPiece));
}

QList<AttachmentInfo> ListAttachments(Connection& connection, int workOrder) {
    QList<AttachmentInfo> list;
    const auto rows = connection.query(
        QStringLiteral("SELECT %1 FROM zomi_csatolmany WHERE zomi = %2 ORDER BY csatolmany")
            .arg(kInfoColumns)
            .arg(workOrder));
    for (int r = 0; r < rows->rowCount(); ++r) list << infoOf(rows->row(r));
    return list;
}

int AttachmentCount(Connection& connection, int workOrder) {
    return connection
        .scalar(
            QStringLiteral("SELECT COUNT(*) FROM zomi_csatolmany WHERE zomi = %1").arg(workOrder))
        .text.toInt();
}

QSet<int> WorkOrdersWithAttachments(Connection& connection) {
    QSet<int> keys;
    connection.streamQuery(
        QStringLiteral("SELECT DISTINCT zomi FROM zomi_csatolmany"), [](const auto&) {},
        [&](const dbaccess::StreamedRow& row) { keys.insert(cell(row, 0).toInt()); });
    return keys;
}

int StoreAttachment(Connection& connection, int workOrder, const QString& name,
                    const QByteArray& bytes, const QString& addedBy, const QString& host,
                    const TransferProgress& progress) {
    if (const QString refusal = AttachmentRefusal(name, bytes.size()); !refusal.isEmpty())
        throw AttachmentError(refusal);
    const int piece = AttachmentPieceSize(connection);
    const qint64 total = bytes.size();
    const int pieces = static_cast<int>((total + piece - 1) / piece);
    int id = 0;
    inOneTransaction(connection, [&] {
        connection.exec(
            QStringLiteral("INSERT INTO zomi_csatolmany (zomi, nev, tipus, meret, sha256, reszek, "
                           "felhasznalo, gep) VALUES (%1, %2, %3, %4, '%5', %6, %7, %8)")
                .arg(workOrder)
                .arg(hexLiteral(name.toUtf8()), SqlQuote(AttachmentType(name, bytes)))
                .arg(total)
                .arg(Sha256Text(bytes))
                .arg(pieces)
                .arg(SqlQuote(addedBy.left(50)), SqlQuote(host.left(100))));
        id = static_cast<int>(connection.lastInsertId());
        for (int n = 0; n < pieces; ++n) {
            const QByteArray part = bytes.mid(static_cast<qsizetype>(n) * piece, piece);
            // Built as bytes: the hex text of a piece needs no code page.
            connection.execEncoded(
                "INSERT INTO zomi_csatolmany_resz (csatolmany, resz, adat) VALUES (" +
                QByteArray::number(id) + ", " + QByteArray::number(n) + ", X'" + part.toHex() +
                "')");
            const qint64 done = std::min<qint64>(total, static_cast<qint64>(n + 1) * piece);
            if (progress && !progress(done, total))
                throw AttachmentError(
                    QStringLiteral("A(z) „%1” csatolása megszakítva: semmi sem került az "
                                   "adatbázisba.")
                        .arg(name));
        }
    });
    return id;
}

QByteArray ReadAttachment(Connection& connection, int id, const TransferProgress& progress) {
    const auto head = connection.query(
        QStringLiteral(
            "SELECT nev, meret, sha256, reszek FROM zomi_csatolmany WHERE csatolmany = %1")
            .arg(id));
    if (head->rowCount() == 0)
        throw AttachmentError(
            QStringLiteral("A csatolmány időközben törlődött: egy másik felhasználó törölte."));
    const QString name = QString::fromUtf8(cell(head->row(0), 0));
    const qint64 size = cell(head->row(0), 1).toLongLong();
    const QString sum = QString::fromLatin1(cell(head->row(0), 2));
    const int pieces = cell(head->row(0), 3).toInt();
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(size));
    int expected = 0;
    bool inOrder = true;
    connection.streamQuery(
        QStringLiteral("SELECT resz, adat FROM zomi_csatolmany_resz WHERE csatolmany = %1 ORDER "
                       "BY resz")
            .arg(id),
        [](const auto&) {},
        [&](const dbaccess::StreamedRow& row) {
            if (cell(row, 0).toInt() != expected++) inOrder = false;
            bytes.append(row.cells[1], static_cast<qsizetype>(row.lengths[1]));
            if (progress) progress(bytes.size(), size);
        });
    if (!inOrder || expected != pieces || bytes.size() != size || Sha256Text(bytes) != sum)
        throw AttachmentError(
            QStringLiteral("A(z) „%1” csatolmány sérült az adatbázisban: a tartalma nem egyezik "
                           "a csatoláskor rögzített ellenőrzőösszeggel (SHA-256), ezért a Zomi "
                           "nem adja ki.")
                .arg(name));
    return bytes;
}

void DeleteAttachment(Connection& connection, int id) {
    inOneTransaction(connection, [&] {
        connection.exec(
            QStringLiteral("DELETE FROM zomi_csatolmany_resz WHERE csatolmany = %1").arg(id));
        connection.exec(
            QStringLiteral("DELETE FROM zomi_csatolmany WHERE csatolmany = %1").arg(id));
    });
}

void DeleteWorkOrderWithFiles(Connection& connection, int workOrder) {
    inOneTransaction(connection, [&] {
        connection.exec(QStringLiteral("DELETE r FROM zomi_csatolmany_resz r JOIN zomi_csatolmany "
                                       "c ON c.csatolmany = r.csatolmany WHERE c.zomi = %1")
                            .arg(workOrder));
        connection.exec(
            QStringLiteral("DELETE FROM zomi_csatolmany WHERE zomi = %1").arg(workOrder));
        connection.exec(QStringLiteral("DELETE FROM zomi WHERE zomi = %1").arg(workOrder));
    });
}

QString WorkOrderDeleteQuestion(int files) {
    if (files <= 0) return QStringLiteral("Valóban töröljem a sort?");
    return QStringLiteral(
               "Valóban töröljem a sort?\n\nA munkalaphoz %1 csatolt fájl tartozik: "
               "a munkalappal együtt %2 is törlődik.")
        .arg(files)
        .arg(files == 1 ? QStringLiteral("ez") : QStringLiteral("ezek"));
}

}  // namespace zomi
