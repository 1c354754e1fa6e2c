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

// On a cluster a database or an account just created on one node reaches
// the others a moment later: a session that lands on one of those meanwhile
// is told the database does not exist, or its login is refused. Asked
// again for a few seconds at most.
constexpr unsigned kUnknownDatabase = 1049;
constexpr unsigned kAccessDenied = 1045;
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
    OpenWhenReplicated(*connection);
    return connection;
}

void OpenWhenReplicated(Connection& connection) {
    for (int attempt = 1;; ++attempt) {
        try {
            connection.open();
            return;
        } catch (const dbaccess::DbError& e) {
            const bool notYetHere = e.code() == kUnknownDatabase ||
                                    (e.code() == kAccessDenied && TestDatabase::onCluster());
            if (!notYetHere || attempt == kCatchUpTries) throw;
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

namespace {

unsigned clusterBase() { return env("ZOMI_CLUSTER_PORT", "33500").toUInt(); }

// Kills the session on the node's own port, and waits until it is gone.
void killOnNode(Connection& by, unsigned node, unsigned long id, bool queryOnly) {
    ConnectionParams p = by.params();
    p.port = clusterBase() + node;
    Connection direct;
    direct.setParams(p);
    direct.open();
    direct.exec(QString::fromLatin1(queryOnly ? "KILL QUERY %1" : "KILL %1").arg(id));
    // Gone before the test goes on, as on one server the test's own check
    // of the process list makes sure.
    while (!queryOnly &&
           direct.scalar(QStringLiteral(
                             "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1")
                             .arg(id))
                   .text != QLatin1String("0"))
        QThread::msleep(2);
    // The proxy passes the end of the session on to its client a moment
    // later, later still on a machine busy with three nodes.
    QThread::msleep(250);
}

unsigned nodeOf(Connection& session) {
    return session.scalar(QStringLiteral("SELECT @@port")).text.toUInt() - clusterBase();
}

}  // namespace

void KillSession(Connection& by, unsigned long id, bool queryOnly) {
    if (!TestDatabase::onCluster()) {
        by.exec(QString::fromLatin1(queryOnly ? "KILL QUERY %1" : "KILL %1").arg(id));
        return;
    }
    // Ids are each node's own: the killer's id on its node is not the one.
    const unsigned byNode = nodeOf(by);
    const unsigned long byId = by.threadId();
    for (unsigned node = 1; node <= 3; ++node) {
        ConnectionParams p = by.params();
        p.port = clusterBase() + node;
        Connection direct;
        direct.setParams(p);
        direct.open();
        const bool runs = direct
                              .scalar(QStringLiteral("SELECT COUNT(*) FROM "
                                                     "information_schema.PROCESSLIST WHERE ID = "
                                                     "%1 AND DB = DATABASE()")
                                          .arg(id))
                              .text == QLatin1String("1");
        if (runs && !(node == byNode && id == byId)) {
            killOnNode(by, node, id, queryOnly);
            return;
        }
    }
    throw std::runtime_error("no node runs session " + std::to_string(id));
}

void KillSession(Connection& by, Connection& victim) {
    if (!TestDatabase::onCluster()) {
        by.exec(QStringLiteral("KILL %1").arg(victim.threadId()));
        while (by.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                                        "WHERE ID = %1")
                             .arg(victim.threadId()))
                   .text != QLatin1String("0"))
            QThread::msleep(2);
        return;
    }
    killOnNode(by, nodeOf(victim), victim.threadId(), false);
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
                hash.addData(row.cell(f)
                                 ? QByteArray(row.cell(f), static_cast<qsizetype>(row.length(f))) +
                                       '|'
                                 : QByteArray("NULL|"));
        }
        digests << table + QLatin1Char('=') + QString::fromLatin1(hash.result().toHex());
    }
    return digests.join(QLatin1Char(' '));
}

}  // namespace zomi::test
