#pragma once

// The server the benchmarks run against: the one scripts/bench starts, or the
// one ZOMI_DB_HOST, ZOMI_DB_PORT, ZOMI_DB_USER and ZOMI_DB_PASSWORD name.

#include <QString>
#include <QStringList>

#include "dbaccess/Connection.h"

namespace zomi::bench {

inline QString Env(const char* name, const char* fallback) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : QString::fromLocal8Bit(value);
}

inline dbaccess::ConnectionParams ServerParams(const QString& database) {
    dbaccess::ConnectionParams p;
    p.host = Env("ZOMI_DB_HOST", "127.0.0.1");
    p.port = Env("ZOMI_DB_PORT", "33306").toUInt();
    p.user = Env("ZOMI_DB_USER", "zomi");
    p.password = Env("ZOMI_DB_PASSWORD", "zomi");
    p.database = database;
    return p;
}

// The stock client's arguments for the server, with the character set the
// program's sessions use.
inline QStringList ClientArguments(const dbaccess::ConnectionParams& p) {
    return {QStringLiteral("--no-defaults"),
            QStringLiteral("--protocol=tcp"),
            QStringLiteral("-h") + p.host,
            QStringLiteral("-P") + QString::number(p.port),
            QStringLiteral("-u") + p.user,
            QStringLiteral("-p") + p.password,
            QStringLiteral("--default-character-set=latin2")};
}

}  // namespace zomi::bench
