#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QThread>
#include <QUuid>
#include <stdexcept>
#include <string>

namespace zomi::test {

using dbaccess::Connection;
using dbaccess::ConnectionParams;

namespace {

QString env(const char* name, const char* fallback) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : QString::fromLocal8Bit(value);
}

// On a cluster a database just created on one node reaches the others a
// moment later: a session that lands on one of those meanwhile is told the
// database does not exist. Asked again for a few seconds at most.
constexpr unsigned kUnknownDatabase = 1049;
constexpr int kCatchUpTries = 150;
void waitForCatchUp() { QThread::msleep(20); }

}  // namespace

ConnectionParams TestDatabase::serverParams() {
    ConnectionParams p;
    p.host = env("ZOMI_DB_HOST", "127.0.0.1");
    p.port = env("ZOMI_DB_PORT", "33306").toUInt();
    p.user = env("ZOMI_DB_USER", "zomi");
    p.password = env("ZOMI_DB_PASSWORD", "zomi");
    return p;
}

bool TestDatabase::onCluster() {
    static const bool cluster = [] {
        Connection connection;
        connection.setParams(serverParams());
        connection.open();
        try {
            return connection.scalar(QStringLiteral("SELECT @@GLOBAL.wsrep_on")).text ==
                   QLatin1String("1");
        } catch (const dbaccess::DbError&) {
            return false;  // a server built without the cluster's replication
        }
    }();
    return cluster;
}

QString TestDatabase::sourceDir() { return QStringLiteral(ZOMI_SOURCE_DIR); }

std::unique_ptr<Connection> TestDatabase::serverConnection() const {
    auto connection = std::make_unique<Connection>();
    connection->setParams(server_);
    connection->open();
    return connection;
}

TestDatabase::TestDatabase(Content content) : TestDatabase(content, serverParams()) {}

TestDatabase::TestDatabase(Content content, const ConnectionParams& server) : server_(server) {
    name_ = QStringLiteral("zt_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    serverConnection()->exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE "
                                            "latin2_hungarian_ci")
                                 .arg(name_));
    if (content != Content::Empty) loadFile(sourceDir() + QStringLiteral("/db/schema.sql"));
    if (content == Content::Demo) loadFile(sourceDir() + QStringLiteral("/db/demo.sql"));
}

TestDatabase::~TestDatabase() {
    try {
        serverConnection()->exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(name_));
    } catch (...) {
        // A test database left behind is harmless; the next run creates new names.
    }
}

ConnectionParams TestDatabase::params() const {
    ConnectionParams p = server_;
    p.database = name_;
    return p;
}

std::unique_ptr<Connection> TestDatabase::connect() const {
    auto connection = std::make_unique<Connection>();
    connection->setParams(params());
    for (int attempt = 1;; ++attempt) {
        try {
            connection->open();
            return connection;
        } catch (const dbaccess::DbError& e) {
            if (e.code() != kUnknownDatabase || attempt == kCatchUpTries) throw;
            waitForCatchUp();
        }
    }
}

void TestDatabase::loadFile(const QString& path, int attempt) const {
    const ConnectionParams p = params();
    QProcess client;
    client.setStandardInputFile(path);
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
                  QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
                  QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password,
                  QStringLiteral("--default-character-set=latin2"),
                  // On a cluster the statements wait for what other nodes
                  // committed, the tables of an earlier file among them.
                  onCluster() ? QStringLiteral("--init-command=SET SESSION wsrep_sync_wait = 15")
                              : QStringLiteral("--init-command=DO 0"),
                  name_});
    if (!client.waitForFinished(120000) || client.exitStatus() != QProcess::NormalExit ||
        client.exitCode() != 0) {
        const QString error = QString::fromLocal8Bit(client.readAllStandardError());
        if (error.contains(QStringLiteral("ERROR 1049")) && attempt < kCatchUpTries) {
            waitForCatchUp();
            loadFile(path, attempt + 1);
            return;
        }
        throw std::runtime_error(("loading " + path + " failed: " + error).toStdString());
    }
}

void KillSession(Connection& by, unsigned long id, bool queryOnly) {
    const QString kill = QString::fromLatin1(queryOnly ? "KILL QUERY %1" : "KILL %1").arg(id);
    if (!TestDatabase::onCluster()) {
        by.exec(kill);
        return;
    }
    const unsigned base = env("ZOMI_CLUSTER_PORT", "33500").toUInt();
    for (unsigned node = 1; node <= 3; ++node) {
        ConnectionParams p = by.params();
        p.port = base + node;
        Connection direct;
        direct.setParams(p);
        direct.open();
        if (direct
                .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE "
                                       "ID = %1 AND DB = DATABASE()")
                            .arg(id))
                .text == QLatin1String("1")) {
            direct.exec(kill);
            // Gone before the test goes on, as on one server the test's own
            // check of the process list makes sure.
            while (!queryOnly &&
                   direct.scalar(QStringLiteral("SELECT COUNT(*) FROM "
                                                "information_schema.PROCESSLIST WHERE ID = %1")
                                     .arg(id))
                           .text != QLatin1String("0"))
                QThread::msleep(2);
            // The proxy passes the end of the session on to its client a
            // moment later.
            QThread::msleep(100);
            return;
        }
    }
    throw std::runtime_error("no node runs session " + std::to_string(id));
}

QString TableDigests(Connection& connection) {
    QStringList digests;
    for (const QString& table : connection.baseTables()) {
        QCryptographicHash hash(QCryptographicHash::Md5);
        const dbaccess::ResultSetPtr rows =
            connection.query(QStringLiteral("SELECT * FROM `%1` ORDER BY 1").arg(table));
        for (int r = 0; r < rows->rowCount(); ++r) {
            const dbaccess::RowRef row = rows->row(r);
            for (size_t f = 0; f < rows->fields().size(); ++f)
                hash.addData(
                    row.cells[f]
                        ? QByteArray(row.cells[f], static_cast<qsizetype>(row.lengths[f])) + '|'
                        : QByteArray("NULL|"));
        }
        digests << table + QLatin1Char('=') + QString::fromLatin1(hash.result().toHex());
    }
    return digests.join(QLatin1Char(' '));
}

}  // namespace zomi::test
