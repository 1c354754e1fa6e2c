// Opens and walks the whole work-order list through the data-access
// components and, on the same server in the same run, through the
// command-line client, and prints both times and their ratio.
//
//   bench_list [database]      (default zomi_bench; scripts/bench prepares it)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

#include "BenchServer.h"
#include "dbaccess/Dataset.h"

using namespace zomi::dbaccess;

namespace {

struct Walk {
    double openMs = 0;
    double walkMs = 0;
    int rows = 0;
    qint64 checksum = 0;
};

Walk walkWithDataset(Connection& connection) {
    Walk w;
    Query q(&connection);
    q.setSql(QStringList{QStringLiteral("SELECT * FROM vw_zomi"), QStringLiteral("WHERE (1=1)"),
                         QStringLiteral("ORDER BY sorszamstr;")});
    QElapsedTimer t;
    t.start();
    q.open();
    w.openMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    t.restart();
    // Every field of every row, as an export or a full repaint would read it.
    for (q.first(); !q.eof(); q.next()) {
        for (int f = 0; f < q.fieldCount(); ++f)
            w.checksum += q.displayText(q.currentRow(), f).size();
        ++w.rows;
    }
    w.walkMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    return w;
}

double walkWithClient(const ConnectionParams& p, bool compress, qint64* bytes) {
    QProcess client;
    QStringList args{QStringLiteral("--no-defaults"),
                     QStringLiteral("--batch"),
                     QStringLiteral("--default-character-set=latin2"),
                     QStringLiteral("-h") + p.host,
                     QStringLiteral("-P") + QString::number(p.port),
                     QStringLiteral("-u") + p.user,
                     QStringLiteral("-p") + p.password,
                     p.database,
                     QStringLiteral("-e"),
                     QStringLiteral("SELECT * FROM vw_zomi WHERE (1=1) ORDER BY sorszamstr;")};
    if (compress) args.insert(1, QStringLiteral("--compress"));
    QElapsedTimer t;
    t.start();
    client.start(QStringLiteral("mariadb"), args);
    client.waitForFinished(-1);
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    *bytes = client.readAllStandardOutput().size();
    if (client.exitCode() != 0)
        std::fprintf(stderr, "mariadb client failed: %s\n",
                     client.readAllStandardError().constData());
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    for (bool compress : {true, false}) {
        ConnectionParams p = zomi::bench::ServerParams(database);
        p.compress = compress;
        Connection connection;
        connection.setParams(p);
        connection.open();
        walkWithDataset(connection);  // warm the server's caches
        const Walk w = walkWithDataset(connection);
        qint64 bytes = 0;
        const double client = walkWithClient(p, compress, &bytes);
        std::printf(
            "compression %-3s: dataset open %.0f ms + walk %.0f ms = %.0f ms for %d rows; "
            "mariadb --batch %.0f ms (%lld bytes); ratio dataset/client %.2f\n",
            compress ? "on" : "off", w.openMs, w.walkMs, w.openMs + w.walkMs, w.rows, client,
            static_cast<long long>(bytes), (w.openMs + w.walkMs) / client);
    }
    return 0;
}
