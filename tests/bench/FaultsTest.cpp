#include <gtest/gtest.h>

#include <QProcess>

#include "support/LaxServer.h"
#include "support/TestDatabase.h"

namespace zomi::load {
namespace {

using test::LaxServer;
using test::TestDatabase;

struct ToolRun {
    int exitCode = -1;
    QString output;
};

// The load tool as scripts/load runs it, on a database of its own.
ToolRun runTool(const QStringList& arguments, const QProcessEnvironment& env) {
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(ZOMI_LOAD_TOOL), arguments);
    tool.waitForFinished(240000);
    ToolRun run{tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                QString::fromUtf8(tool.readAll())};
    std::printf("%s", run.output.toUtf8().constData());
    return run;
}

QString lastLine(const QString& output) { return output.trimmed().section(QLatin1Char('\n'), -1); }

// Workstations whose sessions are killed under them reconnect and go on;
// no save they were told of is lost and none is stored twice.
TEST(LoadFaults, SessionsKilledUnderTheWorkstationsLoseAndDoubleNothing) {
    const ToolRun run = runTool(
        {QStringLiteral("--scratch"), QStringLiteral("--database"), QStringLiteral("zomi_killtest"),
         QStringLiteral("--port"), QString::number(TestDatabase::serverParams().port),
         QStringLiteral("--workstations"), QStringLiteral("6"), QStringLiteral("--seconds"),
         QStringLiteral("30"), QStringLiteral("--think-ms"), QStringLiteral("20"),
         QStringLiteral("--kill-every"), QStringLiteral("1"), QStringLiteral("--orders"),
         QStringLiteral("1000")},
        QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lastLine(run.output), QStringLiteral("invariants held"));
    EXPECT_TRUE(run.output.contains(QStringLiteral("sessions killed: ")))
        << run.output.toStdString();
}

// The server stopped and started while the workstations work: they report
// it, reconnect when it is back and lose nothing.
TEST(LoadFaults, AServerRestartedDuringTheRunLosesAndDoublesNothing) {
    const unsigned port = LaxServer::params().port;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // It comes back as it was: without strict mode, with TLS.
    env.insert(QStringLiteral("ZOMI_LOAD_SERVER_START"), QStringLiteral("--sql-mode= --tls"));
    const ToolRun run = runTool(
        {QStringLiteral("--scratch"), QStringLiteral("--database"),
         QStringLiteral("zomi_restarttest"), QStringLiteral("--port"), QString::number(port),
         QStringLiteral("--workstations"), QStringLiteral("5"), QStringLiteral("--seconds"),
         QStringLiteral("35"), QStringLiteral("--think-ms"), QStringLiteral("50"),
         QStringLiteral("--restart-at"), QStringLiteral("10"), QStringLiteral("--server-dir"),
         TestDatabase::sourceDir() + QStringLiteral("/.dbserver-lax"), QStringLiteral("--orders"),
         QStringLiteral("1000")},
        env);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lastLine(run.output), QStringLiteral("invariants held"));
    EXPECT_TRUE(run.output.contains(QStringLiteral("server restarted once")))
        << run.output.toStdString();
    LaxServer::start();
}

}  // namespace
}  // namespace zomi::load
