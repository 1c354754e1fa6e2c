#include "support/LaxServer.h"

#include <QProcess>
#include <stdexcept>

#include "support/TestDatabase.h"

namespace zomi::test {

namespace {

unsigned laxPort() {
    const QByteArray configured = qgetenv("ZOMI_LAX_DB_PORT");
    if (!configured.isEmpty()) return configured.toUInt();
    return TestDatabase::serverParams().port + 100;
}

QString laxDir() { return TestDatabase::sourceDir() + QStringLiteral("/.dbserver-lax"); }

void runDbServer(const QStringList& arguments) {
    QProcess script;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOMI_DB_PORT"), QString::number(laxPort()));
    env.insert(QStringLiteral("ZOMI_DB_DIR"), laxDir());
    script.setProcessEnvironment(env);
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(TestDatabase::sourceDir() + QStringLiteral("/scripts/dbserver"), arguments);
    if (!script.waitForFinished(180000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0)
        throw std::runtime_error(("scripts/dbserver " + arguments.join(QLatin1Char(' ')) +
                                  " failed: " + QString::fromLocal8Bit(script.readAll()))
                                     .toStdString());
}

}  // namespace

dbaccess::ConnectionParams LaxServer::params() {
    start();
    dbaccess::ConnectionParams p = TestDatabase::serverParams();
    p.host = QStringLiteral("127.0.0.1");
    p.port = laxPort();
    p.user = QStringLiteral("zomi");
    p.password = QStringLiteral("zomi");
    return p;
}

QString LaxServer::caFile() { return laxDir() + QStringLiteral("/tls/ca.pem"); }

void LaxServer::start() {
    runDbServer({QStringLiteral("start"), QStringLiteral("--sql-mode="), QStringLiteral("--tls")});
}

void LaxServer::stop() { runDbServer({QStringLiteral("stop")}); }

}  // namespace zomi::test
