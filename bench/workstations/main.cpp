// The load tool: N simulated workstations, each a process of its own with its
// own sessions and login, working through the program's own stores and lists
// with a clerk's mix of steps and a think time between them; then the figures
// of every action and the checks of what no load may break.
//
//   bench_workstations [--host H] [--port P] [--database D] [--workstations N]
//                      [--seconds S] [--think-ms T] [--seed X] ...   (--help)

#include <QCoreApplication>
#include <cstdio>

#include "Clerk.h"
#include "LoadOptions.h"
#include "LoadRun.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.contains(QStringLiteral("--help"))) {
        std::printf("%s", qPrintable(zomi::load::LoadUsage()));
        return 0;
    }
    QString problem;
    const auto options = zomi::load::ParseLoadOptions(arguments, problem);
    if (!options) {
        std::fprintf(stderr, "bench_workstations: %s\n%s", qPrintable(problem),
                     qPrintable(zomi::load::LoadUsage()));
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (options->workstationIndex >= 0) return zomi::load::RunWorkstation(*options);
    return zomi::load::RunLoad(*options);
}
