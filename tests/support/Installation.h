#pragma once

// A data folder of the test's own whose settings file holds one connection
// profile for the test database, so that the register's start-up finds it
// and opens the database without the chooser (window placement, not full
// screen).

#include <QStringList>
#include <QTemporaryDir>

#include "app/Startup.h"
#include "common/Settings.h"
#include "support/TestDatabase.h"

namespace zomi::test {

struct Installation {
    explicit Installation(const TestDatabase& db, const QString& name = QStringLiteral("Teszt")) {
        SettleDataDir(dir.path());
        const dbaccess::ConnectionParams p = db.params();
        WriteScrambledSetting(
            QString::fromLatin1(kProfileSection), ProfileKey(1),
            QStringList{p.database, p.host, QString::number(p.port), p.user, p.password, name}.join(
                QLatin1Char(';')));
        WriteBoolSetting(kFullScreen, false);
    }
    QTemporaryDir dir;
};

}  // namespace zomi::test
