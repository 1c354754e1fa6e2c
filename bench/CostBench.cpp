// Times the cost summary's statement for every grouping over one year and
// over all years, through the program's session and, on the same server in
// the same run, through the command-line client, and prints both times.
//
//   bench_cost [database]      (default zomi_bench_big; scripts/bench prepares it)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>

#include "BenchServer.h"
#include "costreport/CostQuery.h"
#include "dbaccess/Connection.h"

using namespace zomi;
using namespace zomi::costreport;

namespace {

// The best of three runs, in milliseconds: the server's caches warm as in use.
template <typename Run>
double best(Run run) {
    double ms = 1e30;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms = std::min(ms, static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return ms;
}

double withClient(const dbaccess::ConnectionParams& p, const QString& sql) {
    return best([&] {
        QProcess client;
        QStringList args = bench::ClientArguments(p);
        args << QStringLiteral("--batch") << p.database << QStringLiteral("-e") << sql;
        client.start(QStringLiteral("mariadb"), args);
        client.waitForFinished(-1);
        client.readAllStandardOutput();
    });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc > 2 && qstrcmp(argv[2], "--sql") == 0) {  // the statement of a year by site
        CostParams params;
        params.period = {QDate(2025, 1, 1), QDate(2025, 12, 31)};
        std::printf("%s\n", qPrintable(CostSql(params)));
        return 0;
    }
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench_big");
    const dbaccess::ConnectionParams p = bench::ServerParams(database);
    dbaccess::Connection connection;
    connection.setParams(p);
    connection.open();
    const qint64 rows =
        connection.scalar(QStringLiteral("SELECT COUNT(*) FROM zomi;")).text.toLongLong();
    const int year =
        connection.scalar(QStringLiteral("SELECT MAX(YEAR(datum)) - 1 FROM zomi;")).text.toInt();
    std::printf("cost summary over %lld work orders (%s), best of 3\n",
                static_cast<long long>(rows), qPrintable(database));
    std::printf("%-28s %10s %10s %8s\n", "period / grouping", "Zomi ms", "client ms", "groups");
    const std::vector<std::pair<Grouping, Grouping>> groupings = {
        {Grouping::Site, Grouping::None},      {Grouping::Contractor, Grouping::None},
        {Grouping::Month, Grouping::None},     {Grouping::Status, Grouping::None},
        {Grouping::Signatory, Grouping::None}, {Grouping::Site, Grouping::Month}};
    for (const bool allYears : {false, true}) {
        for (const auto& [first, second] : groupings) {
            CostParams params;
            if (!allYears) params.period = {QDate(year, 1, 1), QDate(year, 12, 31)};
            params.first = first;
            params.second = second;
            const QString sql = CostSql(params);
            size_t groups = 0;
            const double ms = best([&] {
                const auto result = connection.query(sql);
                std::vector<dbaccess::RowRef> cells;
                for (int r = 0; r < result->rowCount(); ++r) cells.push_back(result->row(r));
                groups = ReadCostResult(cells, params).groups.size();
            });
            QString label = (allYears ? QStringLiteral("all years ")
                                      : QString::number(year) + QLatin1Char(' ')) +
                            GroupingName(first);
            if (second != Grouping::None) label += QStringLiteral(" x ") + GroupingName(second);
            std::printf("%-28s %10.0f %10.0f %8zu\n", qPrintable(label), ms, withClient(p, sql),
                        groups);
        }
    }
    return 0;
}
