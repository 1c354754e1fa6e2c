#include "support/PrivateSpooler.h"

#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <csignal>

namespace zomi::test {

namespace {

const QStringList kSbinPaths = {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                QStringLiteral("/usr/local/sbin")};
constexpr int kStartSeconds = 15;

QString findProgram(const QString& name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) path = QStandardPaths::findExecutable(name, kSbinPaths);
    return path;
}

quint16 freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

bool writeFile(const QString& path, const QByteArray& text, QFile::Permissions permissions) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool written = file.write(text) == text.size();
    file.close();
    return written && file.setPermissions(permissions);
}

// Writes the job into the file its device URI names, through a file beside
// it, so that a reader never sees half a job. Without arguments it tells the
// spooler what it is, as every backend does.
const QByteArray kFileBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'file testfile "Unknown" "File of the test"'; exit 0; fi
out=${DEVICE_URI#testfile:}
if [ $# -ge 6 ]; then cat "$6" >"$out.part"; else cat >"$out.part"; fi && mv "$out.part" "$out"
)";

// A printer that is switched off: the job stays in its queue, as it does
// behind a network printer that does not answer. A backend of the test's own,
// since cups-daemon brings no network backend but those of IPP.
const QByteArray kOffBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'network testoff "Unknown" "Printer that is off"'; exit 0; fi
echo 'ERROR: the printer does not answer' >&2
exit 1
)";

}  // namespace

PrivateSpooler::PrivateSpooler() {
    hadServer_ = qEnvironmentVariableIsSet("CUPS_SERVER");
    previousServer_ = qgetenv("CUPS_SERVER");
    if (!start()) {
        cupsd_.kill();
        cupsd_.waitForFinished(5000);
    }
}

PrivateSpooler::~PrivateSpooler() {
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
    }
    if (hadServer_)
        qputenv("CUPS_SERVER", previousServer_);
    else
        qunsetenv("CUPS_SERVER");
}

bool PrivateSpooler::start() {
    const QString cupsd = findProgram(QStringLiteral("cupsd"));
    if (cupsd.isEmpty()) {
        problem_ = QStringLiteral("cupsd is not installed (Debian package cups-daemon)");
        return false;
    }
    for (const char* client : {"lpadmin", "cupsreject", "lpstat"}) {
        if (findProgram(QString::fromLatin1(client)).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed (Debian package cups-client)")
                           .arg(QString::fromLatin1(client));
            return false;
        }
    }
    if (!dir_.isValid()) {
        problem_ = QStringLiteral("no temporary folder: ") + dir_.errorString();
        return false;
    }
    port_ = freeLoopbackPort();
    if (port_ == 0) {
        problem_ = QStringLiteral("no free port on the loopback interface");
        return false;
    }
    if (!writeConfiguration()) return false;

    cupsd_.setProgram(cupsd);
    cupsd_.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), dir_.filePath("cupsd.conf"),
                         QStringLiteral("-s"), dir_.filePath("cups-files.conf")});
    cupsd_.setProcessChannelMode(QProcess::MergedChannels);
    // A test that crashes takes its spooler with it.
    cupsd_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_.start();
    if (!cupsd_.waitForStarted(5000)) {
        problem_ = QStringLiteral("cupsd did not start: ") + cupsd_.errorString();
        return false;
    }
    qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(port_));
    // It answers once it has read its configuration and listens.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartSeconds * 1000) {
        if (cupsd_.state() == QProcess::NotRunning) {
            problem_ = QStringLiteral("cupsd ended at once: ") +
                       QString::fromLocal8Bit(cupsd_.readAll()).trimmed() + QLatin1Char(' ') +
                       log().right(600);
            return false;
        }
        QProcess probe;
        probe.start(findProgram(QStringLiteral("lpstat")), {QStringLiteral("-r")});
        if (probe.waitForFinished(5000) && probe.exitCode() == 0 &&
            probe.readAll().contains("is running"))
            return true;
        QThread::msleep(100);
    }
    problem_ = QStringLiteral("cupsd did not answer within %1 s").arg(kStartSeconds);
    return false;
}

bool PrivateSpooler::writeConfiguration() {
    const QString root = dir_.path();
    // The helpers that run as lp must reach their programs in here.
    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther);
    for (const char* folder : {"spool", "tmp", "cache", "state", "log", "bin/backend"})
        QDir(root).mkpath(QString::fromLatin1(folder));
    // The spooler's own programs, but for a backend of the test's: a backend
    // that only its owner may run is run as that owner.
    for (const char* kind : {"filter", "daemon", "cgi-bin", "monitor", "notifier", "driver"}) {
        QFile::link(QStringLiteral("/usr/lib/cups/") + QString::fromLatin1(kind),
                    root + QStringLiteral("/bin/") + QString::fromLatin1(kind));
    }
    const QByteArray cupsdConf = "Listen 127.0.0.1:" + QByteArray::number(port_) +
                                 "\n"
                                 "LogLevel info\n"
                                 "WebInterface No\n"
                                 "Browsing No\n"
                                 "DefaultAuthType None\n"
                                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                 "  </Limit>\n</Policy>\n";
    const QByteArray r = QFile::encodeName(root);
    QByteArray filesConf = "ServerRoot " + r + "\nStateDir " + r + "/state\nCacheDir " + r +
                           "/cache\nRequestRoot " + r + "/spool\nTempDir " + r +
                           "/tmp\nServerBin " + r + "/bin\nDataDir /usr/share/cups\nAccessLog " +
                           r + "/log/access_log\nErrorLog " + r + "/log/error_log\nPageLog " + r +
                           "/log/page_log\nPrintcap " + r + "/state/printcap\n";
    // As root cupsd runs its helpers as lp, as it always does; as anyone else
    // it cannot change users and runs them as the one who started it.
    const passwd* user = getpwuid(geteuid());
    const group* userGroup = getgrgid(getegid());
    if (geteuid() != 0 && user && userGroup) {
        filesConf += QByteArray("User ") + user->pw_name + "\n";
        filesConf += QByteArray("Group ") + userGroup->gr_name + "\n";
        filesConf += QByteArray("SystemGroup ") + userGroup->gr_name + "\n";
    } else {
        filesConf += "SystemGroup root\n";
    }
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (!writeFile(dir_.filePath("cupsd.conf"), cupsdConf, ownerOnly | QFile::ReadOther) ||
        !writeFile(dir_.filePath("cups-files.conf"), filesConf, ownerOnly | QFile::ReadOther) ||
        !writeFile(root + QStringLiteral("/bin/backend/testfile"), kFileBackend,
                   ownerOnly | QFile::ExeOwner) ||
        !writeFile(root + QStringLiteral("/bin/backend/testoff"), kOffBackend,
                   ownerOnly | QFile::ExeOwner)) {
        problem_ = QStringLiteral("the spooler's configuration cannot be written in ") + root;
        return false;
    }
    return true;
}

bool PrivateSpooler::runClient(const QString& program, const QStringList& arguments) {
    QProcess client;
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(findProgram(program), arguments);
    if (client.waitForFinished(15000) && client.exitStatus() == QProcess::NormalExit &&
        client.exitCode() == 0)
        return true;
    problem_ = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
               QStringLiteral(": ") + QString::fromLocal8Bit(client.readAll()).trimmed();
    return false;
}

bool PrivateSpooler::addQueue(const QString& name, const QString& deviceUri) {
    return started() &&
           runClient(QStringLiteral("lpadmin"), {QStringLiteral("-p"), name, QStringLiteral("-E"),
                                                 QStringLiteral("-v"), deviceUri});
}

bool PrivateSpooler::addFileQueue(const QString& name, const QString& file) {
    return addQueue(name, QStringLiteral("testfile:") + file);
}

bool PrivateSpooler::addDeadQueue(const QString& name) {
    return addQueue(name, QStringLiteral("testoff:") + name);
}

bool PrivateSpooler::addRejectingQueue(const QString& name) {
    return addDeadQueue(name) && runClient(QStringLiteral("cupsreject"), {name});
}

QString PrivateSpooler::log() const {
    QFile file(dir_.filePath("log/error_log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

}  // namespace zomi::test
