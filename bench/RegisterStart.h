#pragma once

// How the benchmarks start the register: as the program starts it, from a
// data folder of their own whose settings file names one database.

#include <QLatin1Char>
#include <QString>
#include <QStringList>

#include "app/Startup.h"
#include "common/Settings.h"
#include "dbaccess/Connection.h"

namespace zomi::bench {

// Makes dataDir the program's data folder, with the register in a window
// (not full screen) and one profile: the database on the server.
inline void PrepareRegisterStart(const QString& dataDir, const dbaccess::ConnectionParams& server) {
    SettleDataDir(dataDir);
    WriteBoolSetting(kFullScreen, false);
    WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                          QStringList{server.database, server.host, QString::number(server.port),
                                      server.user, server.password, QStringLiteral("Benchmark")}
                              .join(QLatin1Char(';')));
}

}  // namespace zomi::bench
