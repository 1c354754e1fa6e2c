// Times a work order's file going into the database and coming back through
// the program's attachment store, beside the stock client loading the same
// bytes in the same pieces, and prints MB/s for each. With --mark N it gives
// N work orders of the database a small file each, for the register's
// figures with files.
//
//   bench_attachments [--megabytes M]        (default 40; a scratch database)
//   bench_attachments --mark N DATABASE

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <cstdio>

#include "BenchServer.h"
#include "db/WorkFileSchema.h"
#include "dbaccess/Connection.h"
#include "workfile/AttachmentStore.h"

using namespace zomi;

namespace {

double seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), static_cast<qsizetype>(size / 4));
    return bytes;
}

std::unique_ptr<dbaccess::Connection> connect(const QString& database, bool compress = true) {
    auto c = std::make_unique<dbaccess::Connection>();
    dbaccess::ConnectionParams params = bench::ServerParams(database);
    params.compress = compress;
    c->setParams(params);
    c->open();
    return c;
}

// The stock client loading the same pieces into a plain table.
double stockClientSeconds(const dbaccess::ConnectionParams& p, const QByteArray& bytes, int piece) {
    QTemporaryFile script;
    script.open();
    script.write(
        "DROP TABLE IF EXISTS bench_darab;\n"
        "CREATE TABLE bench_darab (n INT PRIMARY KEY, adat MEDIUMBLOB) ENGINE=InnoDB;\n"
        "START TRANSACTION;\n");
    for (qsizetype at = 0, n = 0; at < bytes.size(); at += piece, ++n)
        script.write("INSERT INTO bench_darab VALUES (" + QByteArray::number(n) + ", X'" +
                     bytes.mid(at, piece).toHex() + "');\n");
    script.write("COMMIT;\n");
    script.close();
    QProcess client;
    client.setStandardInputFile(script.fileName());
    QStringList args = bench::ClientArguments(p);
    args << p.database;
    QElapsedTimer t;
    t.start();
    client.start(QStringLiteral("mariadb"), args);
    client.waitForFinished(600000);
    const double taken = seconds(t);
    if (client.exitCode() != 0)
        std::fprintf(stderr, "mariadb: %s\n", client.readAllStandardError().constData());
    return taken;
}

int throughput(int megabytes) {
    const QString name = QStringLiteral("zomi_bench_files");
    auto server = connect(QString());
    server->exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    server->exec(
        QStringLiteral("CREATE DATABASE %1 CHARACTER SET latin2 COLLATE latin2_hungarian_ci")
            .arg(name));
    auto c = connect(name);
    c->exec(QStringLiteral("CREATE TABLE zomi (zomi INT PRIMARY KEY) ENGINE=InnoDB"));
    c->exec(QStringLiteral("INSERT INTO zomi VALUES (1)"));
    for (const QString& statement : WorkFileTableStatements()) c->exec(statement);
    const QByteArray bytes = randomBytes(static_cast<qsizetype>(megabytes) * 1024 * 1024);
    const double mb = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    const int piece = AttachmentPieceSize(*c);

    std::printf("attachment of %.0f MB in pieces of %d KiB\n", mb, piece / 1024);
    bool same = true;
    // The program's working sessions are compressed, for a branch on a slow
    // line; the bytes of a scan or a photo hardly compress.
    for (const bool compress : {true, false}) {
        auto session = connect(name, compress);
        QElapsedTimer t;
        t.start();
        const int id = StoreAttachment(*session, 1, QStringLiteral("szkennelés.pdf"), bytes,
                                       QStringLiteral("bench"), QStringLiteral("bench"));
        const double stored = seconds(t);
        t.restart();
        same = ReadAttachment(*session, id) == bytes && same;
        const double read = seconds(t);
        std::printf(
            "  %s session: store %.2f s, %.1f MB/s; read back with the checksum %.2f s, "
            "%.1f MB/s\n",
            compress ? "compressed  " : "uncompressed", stored, mb / stored, read, mb / read);
    }
    const double stock = stockClientSeconds(c->params(), bytes, piece);
    std::printf("  mariadb loading the same pieces: %.2f s, %.1f MB/s (%s back)\n", stock,
                mb / stock, same ? "identical" : "DIFFERENT");
    server->exec(QStringLiteral("DROP DATABASE %1").arg(name));
    return same ? 0 : 1;
}

int mark(int count, const QString& database) {
    auto c = connect(database);
    InstallWorkFile(*c);
    c->exec(QStringLiteral("DELETE FROM zomi_csatolmany_resz"));
    c->exec(QStringLiteral("DELETE FROM zomi_csatolmany"));
    const auto keys =
        c->query(QStringLiteral("SELECT zomi FROM zomi ORDER BY RAND(7) LIMIT %1").arg(count));
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < keys->rowCount(); ++r)
        StoreAttachment(*c, QByteArray(keys->row(r).cell(0)).toInt(), QStringLiteral("számla.pdf"),
                        randomBytes(2048), QStringLiteral("bench"), QStringLiteral("bench"));
    std::printf("%d work orders of %s got a file each in %.1f s\n", keys->rowCount(),
                qPrintable(database), seconds(t));
    t.restart();
    const int marked = static_cast<int>(WorkOrdersWithAttachments(*c).size());
    std::printf("the register's marks: %d keys read in %.1f ms\n", marked, seconds(t) * 1000);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() >= 4 && args[1] == QLatin1String("--mark"))
            return mark(args[2].toInt(), args[3]);
        const int megabytes =
            args.size() >= 3 && args[1] == QLatin1String("--megabytes") ? args[2].toInt() : 40;
        return throughput(megabytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_attachments: %s\n", e.what());
        return 1;
    }
}
