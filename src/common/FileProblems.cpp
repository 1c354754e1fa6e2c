#include "common/FileProblems.h"

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <clocale>
#include <cstring>

namespace zomi {

namespace {

constexpr int kKnownCodes[] = {ENOSPC, EDQUOT,  EACCES, EPERM, EROFS,
                               ENOENT, ENOTDIR, EISDIR, EIO,   EFBIG};
// Enough to need space of its own on any file system.
constexpr size_t kTrialBytes = 64 * 1024;

// The code whose system text (in the user's language or in English) the
// message is or ends with; 0 when none.
int codeOfMessage(const QString& message) {
    const QString trimmed = message.trimmed();
    if (trimmed.isEmpty()) return 0;
    const locale_t english = newlocale(LC_MESSAGES_MASK, "C", static_cast<locale_t>(nullptr));
    int found = 0;
    for (const int code : kKnownCodes) {
        const QString local = QString::fromLocal8Bit(std::strerror(code));
        const QString plain = english ? QString::fromLocal8Bit(strerror_l(code, english)) : local;
        if (trimmed.endsWith(local, Qt::CaseInsensitive) ||
            trimmed.endsWith(plain, Qt::CaseInsensitive)) {
            found = code;
            break;
        }
    }
    if (english) freelocale(english);
    return found;
}

int writeTrial(int fd) {
    static const QByteArray zeros(static_cast<qsizetype>(kTrialBytes), '\0');
    const ssize_t written = ::write(fd, zeros.constData(), kTrialBytes);
    if (written < 0) return errno;
    if (static_cast<size_t>(written) < kTrialBytes) return ENOSPC;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return 0;
}

// Writes a little where the file would go and gives the system's error
// code; 0 when that works.
int trialWrite(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        // A device: the trial goes into it, as the write did.
        const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return errno;
        const int code = writeTrial(fd);
        ::close(fd);
        return code;
    }
    if (info.isDir()) return EISDIR;
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir()) return ENOENT;
    if (info.exists() && ::access(QFile::encodeName(fileName).constData(), W_OK) != 0) return errno;
    QByteArray trial =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".zomi-probe-XXXXXX")));
    const int fd = ::mkstemp(trial.data());
    if (fd < 0) return errno;
    const int code = writeTrial(fd);
    ::close(fd);
    ::unlink(trial.constData());
    return code;
}

}  // namespace

QString SystemWriteProblem(int code) {
    switch (code) {
        case ENOSPC:
            return QStringLiteral("nincs több szabad hely a lemezen");
        case EDQUOT:
            return QStringLiteral("elfogyott a felhasználó lemezkvótája");
        case EACCES:
        case EPERM:
            return QStringLiteral("nincs írási jogosultság a fájlhoz vagy a mappájához");
        case EROFS:
            return QStringLiteral("a fájlrendszer csak olvasható");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("a mappa nem létezik");
        case EISDIR:
            return QStringLiteral("ezen a néven mappa áll");
        case EIO:
            return QStringLiteral("az eszköz írási hibát jelzett");
        case EFBIG:
            return QStringLiteral("a fájl nagyobb, mint amit a fájlrendszer megenged");
        default:
            return QString();
    }
}

QString WriteFailureReason(const QString& fileName, const QString& libraryMessage) {
    QString reason = SystemWriteProblem(codeOfMessage(libraryMessage));
    if (reason.isEmpty()) reason = SystemWriteProblem(trialWrite(fileName));
    return reason.isEmpty() ? libraryMessage : reason;
}

}  // namespace zomi
