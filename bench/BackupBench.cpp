// The backups of the profile window against the stock tools, in one run over
// a generated database: the data backup (.sql and .zip) against mariadb-dump
// run as the full backup runs it, and the restore of the data backup against
// the stock client running the same script. Prints times and ratios.
//
//   bench_backup [work orders] [restore]
//                                 (default 1000000; the database
//                                  zomi_backup_bench is generated when its
//                                  row count differs; "restore" times only
//                                  the restore, best of three)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchServer.h"
#include "db/DataBackup.h"
#include "db/FullBackup.h"

using namespace zomi;
using namespace zomi::dbaccess;

namespace {

const QString kSource = QStringLiteral("zomi_backup_bench");
const QString kTarget = QStringLiteral("zomi_backup_bench_restore");

void run(const QString& program, const QStringList& arguments, const QString& input = QString()) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!input.isEmpty()) process.setStandardInputFile(input);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        std::exit(1);
    }
}

qint64 workOrders(const ConnectionParams& p) {
    Connection c;
    c.setParams(p);
    try {
        c.open();
        return c.scalar(QStringLiteral("SELECT COUNT(*) FROM zomi")).text.toLongLong();
    } catch (const DbError&) {
        return -1;
    }
}

void prepareSource(const ConnectionParams& p, qint64 rows) {
    if (workOrders(p) == rows) return;
    std::printf("generating %lld work orders into %s ...\n", static_cast<long long>(rows),
                qPrintable(p.database));
    std::fflush(stdout);
    const QString scripts = QStringLiteral(ZOMI_SOURCE_DIR "/scripts/");
    run(scripts + QStringLiteral("dbserver"), {QStringLiteral("create"), p.database});
    run(scripts + QStringLiteral("gen-data"), {p.database, QString::number(rows)});
}

void recreateTarget(Connection& server, const ConnectionParams& target) {
    server.exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(target.database));
    server.exec(
        QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci")
            .arg(target.database));
    run(QStringLiteral("mariadb"), bench::ClientArguments(target) << target.database,
        QStringLiteral(ZOMI_SOURCE_DIR "/db/schema.sql"));
}

ConnectionProfile profileOf(const ConnectionParams& p) {
    ConnectionProfile profile;
    profile.adatbazis = p.database;
    profile.kiszolgalo = p.host;
    profile.port = static_cast<int>(p.port);
    profile.felhasznalo = p.user;
    profile.jelszo = p.password;
    return profile;
}

// A connection as the profile window opens it.
std::unique_ptr<Connection> profileConnection(const ConnectionParams& p, bool compress) {
    auto c = std::make_unique<Connection>();
    ConnectionParams params = ProfileConnectionParams(profileOf(p));
    params.compress = compress;
    c->setParams(params);
    c->open();
    return c;
}

double seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

template <typename Work>
double timed(Work&& work) {
    QElapsedTimer t;
    t.start();
    work();
    return seconds(t);
}

double dataBackup(const ConnectionParams& p, const QString& file, bool compress) {
    auto c = profileConnection(p, compress);
    return timed([&] { WriteDataBackup(*c, {}, file); });
}

double dumpTool(const ConnectionParams& p, const QString& file) {
    FullBackup backup;
    QEventLoop loop;
    bool succeeded = false;
    QString message;
    QObject::connect(&backup, &FullBackup::finished, [&](bool ok, const QString& text) {
        succeeded = ok;
        message = text;
        loop.quit();
    });
    const double time = timed([&] {
        backup.start(QString(), profileOf(p), file);
        loop.exec();
    });
    if (!succeeded) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::exit(1);
    }
    return time;
}

double mb(const QString& file) { return static_cast<double>(QFileInfo(file).size()) / 1e6; }

void line(const char* what, double time, double megabytes) {
    std::printf("%-42s %7.2f s  %7.1f MB\n", what, time, megabytes);
}

// The restore of the data backup against the stock client running the same
// script, each into a freshly made target; ours also into a target that
// already holds the rows, which the restore replaces. Ours: best of the rounds.
int restoreBench(const ConnectionParams& source, const ConnectionParams& target, const QString& sql,
                 int rounds) {
    Connection server;
    server.setParams(source);
    server.open();
    const QStringList client = bench::ClientArguments(target) << target.database;
    double stock = 1e9, compressedStock = 1e9, ours = 1e9, over = 1e9;
    for (int round = 0; round < rounds; ++round) {
        if (round == 0) {  // the stock client once: it is the yardstick, not the subject
            recreateTarget(server, target);
            stock = timed([&] { run(QStringLiteral("mariadb"), client, sql); });
            recreateTarget(server, target);
            compressedStock = timed([&] {
                run(QStringLiteral("mariadb"), QStringList(client) << QStringLiteral("-C"), sql);
            });
        }
        recreateTarget(server, target);
        auto c = profileConnection(target, true);
        RestoreResult restored;
        ours = std::min(ours, timed([&] { restored = RestoreDataBackup(*c, sql); }));
        if (!restored.script.completed()) {
            std::fprintf(stderr, "line %d: %s\n", restored.script.line,
                         qPrintable(restored.script.errorMessage));
            return 1;
        }
        over = std::min(over, timed([&] { restored = RestoreDataBackup(*c, sql); }));
    }
    line("restore, stock client (mariadb DB < file)", stock, mb(sql));
    line("restore, stock client with -C", compressedStock, mb(sql));
    line("restore, data backup restore", ours, mb(sql));
    line("restore over the same rows", over, mb(sql));
    std::printf("client/restore: plain client %.2f, compressed client %.2f\n", stock / ours,
                compressedStock / ours);
    server.exec(QStringLiteral("DROP DATABASE `%1`").arg(target.database));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 1000000;
    const bool restoreOnly = argc > 2 && qstrcmp(argv[2], "restore") == 0;
    const ConnectionParams source = bench::ServerParams(kSource);
    const ConnectionParams target = bench::ServerParams(kTarget);
    QTemporaryDir dir;
    const QString sql = dir.filePath(QStringLiteral("adat.sql"));
    const QString zip = dir.filePath(QStringLiteral("adat.zip"));
    const QString full = dir.filePath(QStringLiteral("teljes.sql"));
    try {
        prepareSource(source, rows);
        std::printf("backups of %lld work orders\n", static_cast<long long>(workOrders(source)));

        if (restoreOnly) {
            dataBackup(source, sql, true);
            return restoreBench(source, target, sql, 3);
        }
        // Alternating, best of three: the machine is shared.
        double dump = 1e9, data = 1e9, plain = 1e9;
        for (int round = 0; round < 3; ++round) {
            dump = std::min(dump, dumpTool(source, full));
            data = std::min(data, dataBackup(source, sql, true));
            plain =
                std::min(plain, dataBackup(source, dir.filePath(QStringLiteral("p.sql")), false));
        }
        const double packed = dataBackup(source, zip, true);
        line("mariadb-dump as the full backup runs it", dump, mb(full));
        line("data backup .sql, compressed protocol", data, mb(sql));
        line("data backup .sql, plain protocol", plain, mb(sql));
        line("data backup .zip, compressed protocol", packed, mb(zip));
        std::printf("dump/backup: compressed %.2f, plain %.2f (aim >= 1)\n", dump / data,
                    dump / plain);
        std::fflush(stdout);

        return restoreBench(source, target, sql, 1);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
