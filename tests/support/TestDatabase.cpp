#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QUuid>
#include <stdexcept>

namespace zomi::test {

using dbaccess::Connection;
using dbaccess::ConnectionParams;

namespace {

QString env(const char* name, const char* fallback) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : QString::fromLocal8Bit(value);
}

}  // namespace

ConnectionParams TestDatabase::serverParams() {
    ConnectionParams p;
    p.host = env("ZOMI_DB_HOST", "127.0.0.1");
    p.port = env("ZOMI_DB_PORT", "33306").toUInt();
    p.user = env("ZOMI_DB_USER", "zomi");
    p.password = env("ZOMI_DB_PASSWORD", "zomi");
    return p;
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
    connection->open();
    return connection;
}

void TestDatabase::loadFile(const QString& path) const {
    const ConnectionParams p = params();
    QProcess client;
    client.setStandardInputFile(path);
    client.start(QStringLiteral("mariadb"),
                 {QStringLiteral("--no-defaults"), QStringLiteral("--protocol=tcp"),
                  QStringLiteral("-h") + p.host, QStringLiteral("-P") + QString::number(p.port),
                  QStringLiteral("-u") + p.user, QStringLiteral("-p") + p.password,
                  QStringLiteral("--default-character-set=latin2"), name_});
    if (!client.waitForFinished(120000) || client.exitStatus() != QProcess::NormalExit ||
        client.exitCode() != 0)
        throw std::runtime_error(("loading " + path + " failed: " +
                                  QString::fromLocal8Bit(client.readAllStandardError()))
                                     .toStdString());
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
