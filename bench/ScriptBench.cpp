// Writes the data backup script of a database, then runs it into a database
// of the same structure twice over: through the statement runner on a
// connection set up as the program's, and through the stock command-line
// client (mariadb DB < file, and with --compress as the program connects),
// alternating, and prints the times and their ratio (the best of three
// rounds each).
//
//   bench_script [database]      (default zomi_bench; scripts/bench prepares it)

#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchServer.h"
#include "db/DataScript.h"
#include "db/ScriptRunner.h"

using namespace zomi;
using namespace zomi::dbaccess;

namespace {

// The client, fed a file, with the character set the program's session uses.
void runClient(const ConnectionParams& p, const QString& file, bool compress = false) {
    QProcess client;
    client.setStandardInputFile(file);
    QStringList arguments = bench::ClientArguments(p);
    if (compress) arguments << QStringLiteral("--compress");
    client.start(QStringLiteral("mariadb"), arguments << p.database);
    if (!client.waitForFinished(-1) || client.exitCode() != 0) {
        std::fprintf(stderr, "mariadb failed: %s\n", client.readAllStandardError().constData());
        std::exit(1);
    }
}

double clientSeconds(const ConnectionParams& p, const QString& file, bool compress) {
    QElapsedTimer t;
    t.start();
    runClient(p, file, compress);
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    double seconds = 1e9;
    double cpu = 1e9;  // of this process: reading, cutting, converting, compressing
};

Timing runnerTiming(const ConnectionParams& p, const QString& file, bool compress) {
    ConnectionParams q = p;
    q.compress = compress;
    Connection connection;
    connection.setParams(q);
    QElapsedTimer t;
    t.start();
    const double cpuBefore = cpuSeconds();
    connection.open();
    const ScriptResult result = RunScriptFile(connection, file);
    const Timing timing{static_cast<double>(t.nsecsElapsed()) / 1e9, cpuSeconds() - cpuBefore};
    if (!result.completed()) {
        std::fprintf(stderr, "line %d: %s\n", result.line, qPrintable(result.errorMessage));
        std::exit(1);
    }
    return timing;
}

void keepBest(Timing& best, const Timing& next) {
    best.seconds = std::min(best.seconds, next.seconds);
    best.cpu = std::min(best.cpu, next.cpu);
}

QString rowCount(const ConnectionParams& p) {
    Connection c;
    c.setParams(p);
    c.open();
    return c.scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString source =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    const ConnectionParams from = bench::ServerParams(source);
    ConnectionParams to = bench::ServerParams(source + QStringLiteral("_restore"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("mentes.sql"));
    try {
        Connection c;
        c.setParams(from);
        c.open();
        c.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(to.database));
        c.exec(
            QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci")
                .arg(to.database));
        runClient(to, QStringLiteral(ZOMI_SOURCE_DIR "/db/schema.sql"));

        QElapsedTimer t;
        t.start();
        WriteDataScript(c, {}, file);
        std::printf("data backup script of %s: %s work orders, %.1f MB, written in %.2f s\n",
                    qPrintable(source), qPrintable(rowCount(from)),
                    static_cast<double>(QFileInfo(file).size()) / 1e6,
                    static_cast<double>(t.nsecsElapsed()) / 1e9);

        // Alternating, so that neither side profits alone from a warm server.
        // The machine is shared: the best of three rounds of each.
        double client = 1e9, compressedClient = 1e9;
        Timing runner, plain;
        for (int round = 0; round < 3; ++round) {
            client = std::min(client, clientSeconds(to, file, false));
            compressedClient = std::min(compressedClient, clientSeconds(to, file, true));
            keepBest(runner, runnerTiming(to, file, true));
            keepBest(plain, runnerTiming(to, file, false));
        }
        std::printf("restored work orders: %s\n", qPrintable(rowCount(to)));
        std::printf("stock client (mariadb DB < file):       %6.2f s\n", client);
        std::printf("stock client compressed (mariadb -C):   %6.2f s\n", compressedClient);
        std::printf(
            "runner, compressed as the program runs: %6.2f s (own CPU %.2f s)  speed ratio %.2f "
            "(goal >= 0.8), %.2f against the compressed client\n",
            runner.seconds, runner.cpu, client / runner.seconds, compressedClient / runner.seconds);
        std::printf(
            "runner, without compression:            %6.2f s (own CPU %.2f s)  speed ratio %.2f\n",
            plain.seconds, plain.cpu, client / plain.seconds);
        c.exec(QStringLiteral("DROP DATABASE `%1`").arg(to.database));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
