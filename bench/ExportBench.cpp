// The whole work-order list to files: the delimited text export (with and
// without the window's event processing between records) and the .xlsx
// workbook, next to the command-line client writing the same rows in the
// same run. Prints figures; nothing passes or fails on time.
//
//   bench_export [database]     (default zomi_bench; scripts/bench prepares it)

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchServer.h"
#include "dbaccess/Dataset.h"
#include "output/DelimitedExport.h"
#include "output/XlsxExport.h"

using namespace zomi;
using namespace zomi::dbaccess;

namespace {

const QString kSql = QStringLiteral("SELECT * FROM vw_zomi");

void report(const char* what, double ms, int rows, const QString& file) {
    std::printf("%-46s %8.0f ms  %9.0f rows/s  %7.1f MB\n", what, ms, rows / (ms / 1000.0),
                static_cast<double>(QFileInfo(file).size()) / 1e6);
}

// The client's own query and output, from process start to exit.
double clientToFile(const ConnectionParams& p, const QString& file, bool* ok) {
    QProcess client;
    client.setStandardOutputFile(file);
    const QStringList args{QStringLiteral("--no-defaults"),
                           QStringLiteral("--batch"),
                           QStringLiteral("--compress"),
                           QStringLiteral("--default-character-set=latin2"),
                           QStringLiteral("-h") + p.host,
                           QStringLiteral("-P") + QString::number(p.port),
                           QStringLiteral("-u") + p.user,
                           QStringLiteral("-p") + p.password,
                           p.database,
                           QStringLiteral("-e"),
                           kSql};
    QElapsedTimer t;
    t.start();
    client.start(QStringLiteral("mariadb"), args);
    client.waitForFinished(-1);
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    *ok = client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    if (!*ok)
        std::fprintf(stderr, "mariadb client failed: %s\n",
                     client.readAllStandardError().constData());
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    // The window's event processing is part of what is measured, so a real
    // (offscreen) GUI application runs it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;

    Connection connection;
    connection.setParams(bench::ServerParams(database));
    connection.open();
    Query query(&connection);
    query.setSql(kSql);
    QElapsedTimer t;
    t.start();
    query.open();
    const double openMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const int rows = query.recordCount();
    std::printf("%d rows of vw_zomi, %d fields; dataset open %.0f ms\n", rows, query.fieldCount(),
                openMs);

    DelimitedOptions options;
    options.columns = AllColumns(query);
    const QString text = dir.filePath(QStringLiteral("export.csv"));
    WriteDelimitedFile(query, options, text, {}, {});  // warm-up: page cache, code tables

    t.restart();
    WriteDelimitedFile(query, options, text, {}, {});
    const double plainMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    report("delimited text, library only", plainMs, rows, text);

    t.restart();
    WriteDelimitedFile(query, options, text, {}, [] {
        QCoreApplication::processEvents();
        return true;
    });
    const double eventsMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    report("delimited text, events processed per record", eventsMs, rows, text);

    const QString clientFile = dir.filePath(QStringLiteral("client.tsv"));
    bool ok = false;
    const double clientMs = clientToFile(connection.params(), clientFile, &ok);
    if (ok) report("mariadb --batch (query + transfer + write)", clientMs, rows, clientFile);
    report("delimited text incl. dataset open", openMs + plainMs, rows, text);

    const QString workbook = dir.filePath(QStringLiteral("export.xlsx"));
    t.restart();
    WriteXlsxFile(query, options.columns, workbook, {});
    report(".xlsx workbook, library only", static_cast<double>(t.nsecsElapsed()) / 1e6, rows,
           workbook);
    if (ok)
        std::printf("ratio export incl. open / mariadb --batch: %.2f\n",
                    (openMs + plainMs) / clientMs);
    return 0;
}
