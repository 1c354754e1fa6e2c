#include "notify/Notices.h"

#include <QFile>
#include <QTimer>
#include <QtDebug>
#include <algorithm>

#include "common/Codepage.h"
#include "common/Download.h"
#include "common/ProgramVersion.h"
#include "common/Text.h"
#include "common/Utf8.h"
#include "db/DbRoutines.h"
#include "notify/VendorServer.h"

namespace zomi {

namespace {

const QString kSeparator = QStringLiteral("|");

int buildOf(const QString& version) { return TextToInt(FieldOf(QStringLiteral("."), version, 4)); }

}  // namespace

void FetchReply(const QString& url, const QString& fileName, QObject* context,
                std::function<void(const QString& reply)> onReply, int timeoutMs) {
    // A reply left from an earlier start must not pass for today's.
    if (QFile::exists(fileName) && !QFile::remove(fileName)) {
        qInfo("notice check: cannot remove the old reply %s", qPrintable(fileName));
        return;
    }
    auto* download = new FileDownload(url, fileName, timeoutMs, context);
    QObject::connect(download, &FileDownload::finished, context,
                     [download, fileName, context, onReply = std::move(onReply)](bool ok) {
                         download->deleteLater();
                         if (!ok) {
                             // The user is not bothered; the next start tries again.
                             qInfo("notice check: %s", qPrintable(download->errorString()));
                             return;
                         }
                         QTimer::singleShot(kReplyPauseMs, context, [fileName, onReply] {
                             if (!QFile::exists(fileName)) return;
                             if (const std::optional<QString> reply = ReadReplyFile(fileName))
                                 onReply(*reply);
                         });
                     });
    download->start();
}

std::optional<QString> ReadReplyFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Only a download that stayed within the bound becomes a reply file; a
    // larger file lying there is no reply and is not read into memory.
    const QByteArray bytes = file.read(kMaxDownloadBytes + 1);
    if (bytes.size() > kMaxDownloadBytes) return std::nullopt;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else {
        text = FromCp1250(RepairUtf8Text(bytes));
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line break ends the last line; it does not start another.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines.join(QStringLiteral("\r\n"));
}

std::optional<VersionNotice> VersionToShow(const QString& reply, const QString& acknowledged) {
    const QString version = FieldOf(kSeparator, reply, 1);
    const int known =
        std::max(buildOf(acknowledged), buildOf(QString::fromLatin1(kProgramVersion)));
    if (known >= buildOf(version)) return std::nullopt;
    return VersionNotice{version, FieldOf(kSeparator, reply, 2)};
}

std::optional<NewsItem> NewsToShow(const QString& reply) {
    const QString number = FieldOf(kSeparator, reply, 1);
    if (number.isEmpty() || number == QLatin1String("0")) return std::nullopt;
    return NewsItem{TextToInt(number), FieldOf(kSeparator, reply, 2), FieldOf(kSeparator, reply, 3),
                    NewsDetailsLink(number)};
}

QString AcknowledgedVersion() {
    return QueryText(QStringLiteral("SELECT verzioelfogadva FROM beallit;"),
                     QString::fromLatin1(kDefaultAcknowledgedVersion));
}

void AcknowledgeVersion(const QString& version) {
    ExecSql(QStringLiteral("UPDATE beallit SET verzioelfogadva = ") + SqlQuote(version) +
            QStringLiteral(";"));
}

int AcknowledgedNews() { return QueryInt(QStringLiteral("SELECT hirelfogadva FROM beallit;"), 0); }

void AcknowledgeNews(int number) {
    ExecSql(QStringLiteral("UPDATE beallit SET hirelfogadva = ") + IdText(number) +
            QStringLiteral(" WHERE hirelfogadva < ") + IdText(number) + QStringLiteral(";"));
}

}  // namespace zomi
