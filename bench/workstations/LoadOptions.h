#pragma once

// The options of the load tool, read from its command line and bounded, so
// that no run goes on for ever, starts without limit or leaves the machine.

#include <QString>
#include <QStringList>
#include <optional>

#include "dbaccess/Connection.h"

namespace zomi::load {

struct LoadOptions {
    dbaccess::ConnectionParams server;  // host, port, user, password, database
    int workstations = 10;
    int seconds = 30;
    int thinkMs = 1000;
    quint32 seed = 1;
    int orders = 3000;         // work orders of a database the tool makes
    bool scratch = false;      // a database of the run's own, dropped at the end
    bool sameInstant = false;  // all workstations start at once, even at a clerk's pace
    bool savesOnly = false;    // only edits and new work orders, 5 to 2
    int killEverySeconds = 0;  // kill a random workstation's session this often
    int restartAtSecond = 0;   // stop and start the server this far into the run
    QString serverDir;         // the server's folder for scripts/dbserver (restart)
    // Internal: the process is workstation number index, journalling here.
    int workstationIndex = -1;
    int run = 0;  // tells this run's values from those of earlier runs on the database
    QString journal;
    QList<int> hotOrders;
    QList<int> hotContractors;
};

// Reads the options (after the program name). Gives nothing and sets the
// problem for an unknown option, a value out of bounds or a host that is not
// a loopback address.
std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, QString& problem);
// The options a workstation process is started with.
QStringList WorkstationArguments(const LoadOptions& options, int index, const QString& journal);
bool IsLoopbackHost(const QString& host);
QString LoadUsage();

}  // namespace zomi::load
