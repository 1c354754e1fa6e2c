#include "LoadOptions.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace zomi::load {

namespace {

QString env(const char* name, const char* fallback) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QString::fromLatin1(fallback) : QString::fromLocal8Bit(value);
}

QList<int> keyList(const QString& text) {
    QList<int> keys;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        keys << part.toInt();
    return keys;
}

QString joined(const QList<int>& keys) {
    QStringList parts;
    for (int key : keys) parts << QString::number(key);
    return parts.join(QLatin1Char(','));
}

// A whole number within the bounds, or nothing.
std::optional<long long> boundedNumber(const QString& text, long long low, long long high) {
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

bool IsLoopbackHost(const QString& host) {
    if (host == QLatin1String("localhost")) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

QString LoadUsage() {
    return QStringLiteral(
        "usage: bench_workstations [--host H] [--port P] [--database D] [--workstations N]\n"
        "         [--seconds S] [--think-ms T] [--seed X] [--orders N] [--scratch] "
        "[--same-instant]\n"
        "         [--saves-only] [--kill-every S] [--restart-at S --server-dir DIR]\n"
        "  N workstations (1..200) work for S seconds (1..3600) with T ms (0..60000) between\n"
        "  their steps on database D of the server at H:P (loopback only); a database that\n"
        "  does not exist is made with generated master data and --orders work orders\n"
        "  (default 3000); --scratch makes one of the run's own and drops it at the end.\n"
        "  With a think time the workstations come in over the first one, as an office's\n"
        "  staff do; --same-instant starts them all at once.\n"
        "  --saves-only: the clerks only change work orders and make new ones (5 to 2),\n"
        "  the writes the mariadb loop of scripts/load --ceiling sends.\n"
        "  --kill-every kills a random workstation's session every S seconds; --restart-at\n"
        "  stops and starts the server of folder DIR (scripts/dbserver) S seconds in.\n");
}

std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, QString& problem) {
    LoadOptions o;
    o.server.host = env("ZOMI_DB_HOST", "127.0.0.1");
    o.server.port = env("ZOMI_DB_PORT", "33306").toUInt();
    o.server.user = env("ZOMI_DB_USER", "zomi");
    o.server.password = env("ZOMI_DB_PASSWORD", "zomi");
    o.server.database = QStringLiteral("zomi_load");
    o.server.connectTimeoutSeconds = 10;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments.at(i);
        if (name == QLatin1String("--same-instant")) {
            o.sameInstant = true;
            continue;
        }
        if (name == QLatin1String("--scratch")) {
            o.scratch = true;
            continue;
        }
        if (name == QLatin1String("--saves-only")) {
            o.savesOnly = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            problem = QStringLiteral("%1 needs a value").arg(name);
            return std::nullopt;
        }
        const QString value = arguments.at(++i);
        const auto number = [&](long long low, long long high) {
            const auto n = boundedNumber(value, low, high);
            if (!n)
                problem = QStringLiteral("%1 must be a whole number from %2 to %3")
                              .arg(name)
                              .arg(low)
                              .arg(high);
            return n;
        };
        std::optional<long long> n;
        if (name == QLatin1String("--host")) {
            o.server.host = value;
        } else if (name == QLatin1String("--database")) {
            o.server.database = value;
        } else if (name == QLatin1String("--server-dir")) {
            o.serverDir = value;
        } else if (name == QLatin1String("--journal")) {
            o.journal = value;
        } else if (name == QLatin1String("--hot-orders")) {
            o.hotOrders = keyList(value);
        } else if (name == QLatin1String("--hot-contractors")) {
            o.hotContractors = keyList(value);
        } else if (name == QLatin1String("--port") && (n = number(1, 65535))) {
            o.server.port = static_cast<unsigned>(*n);
        } else if (name == QLatin1String("--workstations") && (n = number(1, 200))) {
            o.workstations = static_cast<int>(*n);
        } else if (name == QLatin1String("--seconds") && (n = number(1, 3600))) {
            o.seconds = static_cast<int>(*n);
        } else if (name == QLatin1String("--think-ms") && (n = number(0, 60000))) {
            o.thinkMs = static_cast<int>(*n);
        } else if (name == QLatin1String("--seed") && (n = number(0, 4294967295LL))) {
            o.seed = static_cast<quint32>(*n);
        } else if (name == QLatin1String("--orders") && (n = number(10, 1000000))) {
            o.orders = static_cast<int>(*n);
        } else if (name == QLatin1String("--kill-every") && (n = number(1, 3600))) {
            o.killEverySeconds = static_cast<int>(*n);
        } else if (name == QLatin1String("--restart-at") && (n = number(1, 3600))) {
            o.restartAtSecond = static_cast<int>(*n);
        } else if (name == QLatin1String("--run") && (n = number(0, 999999))) {
            o.run = static_cast<int>(*n);
        } else if (name == QLatin1String("--workstation") && (n = number(0, 199))) {
            o.workstationIndex = static_cast<int>(*n);
        } else {
            if (problem.isEmpty()) problem = QStringLiteral("unknown option %1").arg(name);
            return std::nullopt;
        }
    }
    if (!IsLoopbackHost(o.server.host)) {
        problem = QStringLiteral("%1 is not a loopback address: the load stays on this machine")
                      .arg(o.server.host);
        return std::nullopt;
    }
    if (o.server.database.isEmpty() ||
        o.server.database.contains(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")))) {
        problem = QStringLiteral("the database name may hold letters, digits and _ only");
        return std::nullopt;
    }
    if (o.restartAtSecond > 0 && o.serverDir.isEmpty()) {
        problem = QStringLiteral("--restart-at needs --server-dir");
        return std::nullopt;
    }
    return o;
}

QStringList WorkstationArguments(const LoadOptions& o, int index, const QString& journal) {
    QStringList arguments{QStringLiteral("--host"),
                          o.server.host,
                          QStringLiteral("--port"),
                          QString::number(o.server.port),
                          QStringLiteral("--database"),
                          o.server.database,
                          QStringLiteral("--seconds"),
                          QString::number(o.seconds),
                          QStringLiteral("--think-ms"),
                          QString::number(o.thinkMs),
                          QStringLiteral("--seed"),
                          QString::number(o.seed),
                          QStringLiteral("--run"),
                          QString::number(o.run),
                          QStringLiteral("--workstation"),
                          QString::number(index),
                          QStringLiteral("--journal"),
                          journal,
                          QStringLiteral("--hot-orders"),
                          joined(o.hotOrders),
                          QStringLiteral("--hot-contractors"),
                          joined(o.hotContractors)};
    if (o.sameInstant) arguments << QStringLiteral("--same-instant");
    if (o.savesOnly) arguments << QStringLiteral("--saves-only");
    return arguments;
}

}  // namespace zomi::load
