#pragma once

// The two checks of the vendor's web server, apart from their windows: the
// version notice (is there a newer build than the one the users acknowledged?)
// and the news feed (is there a news item this database has not dismissed?).
// Each reply is a small text file in UTF-8 with fields separated by "|".

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace zomi {

// However slow the vendor's server, a check gives up after this.
inline constexpr int kReplyTimeoutMs = 10000;
// The pause between a finished download and the reading of its file.
inline constexpr int kReplyPauseMs = 250;
// What the version check compares with when nothing was acknowledged yet.
inline constexpr const char* kDefaultAcknowledgedVersion = "23.0.0.44";

// The first steps of both checks, up to the reply text: the earlier reply
// file is removed, the request is downloaded into it in the background, and
// after the pause the file is read (see ReadReplyFile). onReply runs only
// when all of that succeeded; any failure, an unreachable server or one that
// has not answered within timeoutMs included, ends the check silently. The
// check belongs to context and ends unseen when context is destroyed first.
// Returns at once: the event loop, and with it the user, never waits for the
// network.
void FetchReply(const QString& url, const QString& fileName, QObject* context,
                std::function<void(const QString& reply)> onReply, int timeoutMs = kReplyTimeoutMs);

// The reply file as one text: its lines joined with CR LF, and the UTF-8
// Hungarian letters repaired (RepairUtf8Text) from the bytes read in code
// page 1250. A file that starts with a UTF-8 byte-order mark is read as UTF-8.
// No value when the file cannot be read or is longer than a download may be.
std::optional<QString> ReadReplyFile(const QString& fileName);

struct VersionNotice {
    QString version;  // the new version text, field 1
    QString description;
};

// The notice to show for the version reply, if any. Only the fourth number of
// a version (its build) counts: the reply's must be above both the
// acknowledged one and this program's own.
std::optional<VersionNotice> VersionToShow(const QString& reply, const QString& acknowledged);

struct NewsItem {
    int number = 0;
    QString title;
    QString body;
    QString link;  // the item's page on the vendor's server
};

// The news item of the reply; none when its number is empty or "0".
std::optional<NewsItem> NewsToShow(const QString& reply);

// What the users of this database acknowledged, in its settings row (the
// defaults when there is none). Database errors reach the caller as DbError.
QString AcknowledgedVersion();
void AcknowledgeVersion(const QString& version);
int AcknowledgedNews();
// Raises the stored number to number; a higher stored number stays.
void AcknowledgeNews(int number);

}  // namespace zomi
