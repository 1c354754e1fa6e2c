#include "LoadRun.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>

#include "../BenchServer.h"
#include "Figures.h"
#include "Invariants.h"
#include "Journal.h"
#include "app/RegisterList.h"
#include "dbaccess/Connection.h"
#include "dbaccess/DbError.h"

namespace zomi::load {

namespace {

QProcessEnvironment serverEnvironment(const LoadOptions& o) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZOMI_DB_HOST"), o.server.host);
    env.insert(QStringLiteral("ZOMI_DB_PORT"), QString::number(o.server.port));
    env.insert(QStringLiteral("ZOMI_DB_USER"), o.server.user);
    env.insert(QStringLiteral("ZOMI_DB_PASSWORD"), o.server.password);
    if (!o.serverDir.isEmpty()) env.insert(QStringLiteral("ZOMI_DB_DIR"), o.serverDir);
    return env;
}

// Runs a program of the source tree or the stock client; false with its output on failure.
bool runTool(const LoadOptions& o, const QString& program, const QStringList& arguments,
             const QByteArray& input = QByteArray()) {
    QProcess p;
    p.setProcessEnvironment(serverEnvironment(o));
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    const bool ok =
        p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const QByteArray output = p.readAll();
    if (!ok)
        std::fprintf(stderr, "%s %s failed:\n%s\n", qPrintable(program),
                     qPrintable(arguments.join(QLatin1Char(' '))), output.constData());
    return ok;
}

QString sourcePath(const char* relative) {
    return QStringLiteral(ZOMI_SOURCE_DIR "/") + QString::fromLatin1(relative);
}

std::unique_ptr<dbaccess::Connection> connectTo(const LoadOptions& o, const QString& database) {
    auto c = std::make_unique<dbaccess::Connection>();
    dbaccess::ConnectionParams p = o.server;
    p.database = database;
    c->setParams(p);
    c->open();
    return c;
}

// Makes the database from the schema with generated master data and work
// orders when it does not exist yet.
bool prepareDatabase(const LoadOptions& o) {
    auto server = connectTo(o, QString());
    const dbaccess::ScalarValue exists =
        server->scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                                      "SCHEMA_NAME = '%1'")
                           .arg(o.server.database));
    if (exists.text.toInt() > 0) return true;
    std::printf("making database %s with %d work orders\n", qPrintable(o.server.database),
                o.orders);
    std::fflush(stdout);
    server->exec(
        QStringLiteral("CREATE DATABASE `%1` CHARACTER SET latin2 COLLATE latin2_hungarian_ci")
            .arg(o.server.database));
    QFile schema(sourcePath("db/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) return false;
    return runTool(o, QStringLiteral("mariadb"),
                   bench::ClientArguments(o.server) << o.server.database, schema.readAll()) &&
           runTool(o, sourcePath("scripts/gen-data"),
                   {o.server.database, QString::number(o.orders)});
}

QList<int> keysOf(dbaccess::Connection& c, const QString& sql) {
    QList<int> keys;
    const dbaccess::ResultSetPtr r = c.query(sql);
    for (int i = 0; r && i < r->rowCount(); ++i) keys << QByteArray(r->row(i).cell(0)).toInt();
    return keys;
}

// Several workstations on the same few work orders of the current year and
// the same few contractors, where conflicts arise.
void chooseHotRows(dbaccess::Connection& c, LoadOptions& o) {
    if (o.hotOrders.isEmpty())
        o.hotOrders = keysOf(c, QStringLiteral("SELECT zomi FROM zomi WHERE %1 ORDER BY zomi "
                                               "LIMIT 8")
                                    .arg(YearCondition(QDate::currentDate().year())));
    if (o.hotContractors.isEmpty())
        o.hotContractors = keysOf(
            c, QStringLiteral("SELECT vallalkozo FROM vallalkozo WHERE vallalkozo > 0 ORDER BY "
                              "vallalkozo LIMIT 4"));
}

class Faults {
  public:
    Faults(const LoadOptions& o, dbaccess::Connection& admin) : options_(o), admin_(admin) {}

    // Kills the session of one workstation, chosen at random.
    void killOne() {
        try {
            const QList<int> sessions = keysOf(
                admin_, QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE DB = "
                                       "'%1' AND ID <> CONNECTION_ID() AND COMMAND <> 'Killed'")
                            .arg(options_.server.database));
            if (sessions.isEmpty()) return;
            const int id = sessions.at(QRandomGenerator::global()->bounded(sessions.size()));
            admin_.exec(QStringLiteral("KILL CONNECTION %1").arg(id));
            ++kills_;
        } catch (const dbaccess::DbError& e) {
            // The server may be down for its restart; the next tick tries again.
            ++failedKills_;
            (void)e;
        }
    }

    void restartServer() {
        QElapsedTimer t;
        t.start();
        std::printf("restarting the server (%s)\n", qPrintable(options_.serverDir));
        std::fflush(stdout);
        const QString script = sourcePath("scripts/dbserver");
        runTool(options_, script, {QStringLiteral("stop")});
        QStringList start{QStringLiteral("start")};
        start << qEnvironmentVariable("ZOMI_LOAD_SERVER_START")
                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        runTool(options_, script, start);
        downMs_ = t.elapsed();
        restarted_ = true;
    }

    void report() const {
        if (options_.killEverySeconds > 0)
            std::printf("sessions killed: %d (%d attempts while the server was away)\n", kills_,
                        failedKills_);
        if (restarted_) std::printf("server restarted once, away for %lld ms\n", downMs_);
    }

  private:
    const LoadOptions& options_;
    dbaccess::Connection& admin_;
    int kills_ = 0;
    int failedKills_ = 0;
    qint64 downMs_ = 0;
    bool restarted_ = false;
};

// Starts the workstations and returns when every one has ended (or was
// stopped well after its time).
void runWorkstations(const LoadOptions& o, const QString& journalDir, Faults& faults) {
    std::vector<std::unique_ptr<QProcess>> processes;
    int running = 0;
    QEventLoop loop;
    for (int i = 0; i < o.workstations; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        QObject::connect(p.get(), &QProcess::finished, &loop, [&] {
            if (--running == 0) loop.quit();
        });
        p->start(QCoreApplication::applicationFilePath(),
                 WorkstationArguments(o, i, journalDir + QStringLiteral("/%1.log").arg(i)));
        ++running;
        processes.push_back(std::move(p));
    }
    QTimer kill;
    if (o.killEverySeconds > 0) {
        QObject::connect(&kill, &QTimer::timeout, [&] { faults.killOne(); });
        kill.start(o.killEverySeconds * 1000);
    }
    QTimer restart;
    restart.setSingleShot(true);
    if (o.restartAtSecond > 0) {
        QObject::connect(&restart, &QTimer::timeout, [&] { faults.restartServer(); });
        restart.start(o.restartAtSecond * 1000);
    }
    // A workstation past its time by this much is stopped.
    QTimer overdue;
    overdue.setSingleShot(true);
    QObject::connect(&overdue, &QTimer::timeout, [&] {
        std::fprintf(stderr, "workstations overdue: stopped\n");
        for (auto& p : processes) p->kill();
    });
    overdue.start((o.seconds + 120) * 1000);
    if (running > 0) loop.exec();
    kill.stop();
    for (auto& p : processes) p->waitForFinished(5000);
}

}  // namespace

int RunLoad(LoadOptions o) {
    // Values far above any fee a contractor's rates give, apart for every run.
    o.run = static_cast<int>(QDateTime::currentSecsSinceEpoch() % 99999) + 1;
    if (o.scratch)
        o.server.database += QStringLiteral("_%1").arg(QCoreApplication::applicationPid());
    try {
        if (!prepareDatabase(o)) {
            std::printf("invariants not checked: the database could not be made\n");
            return 2;
        }
        auto admin = connectTo(o, o.server.database);
        chooseHotRows(*admin, o);
        const StartState start = ReadStartState(*admin);
        QTemporaryDir journals;
        std::printf(
            "%d workstations, %d s, think time %d ms, seed %u, database %s (%d work "
            "orders); shared: work orders %d, contractors %d\n",
            o.workstations, o.seconds, o.thinkMs, o.seed, qPrintable(o.server.database),
            static_cast<int>(start.orderFees.size()), static_cast<int>(o.hotOrders.size()),
            static_cast<int>(o.hotContractors.size()));
        std::fflush(stdout);
        Faults faults(o, *admin);
        QElapsedTimer t;
        t.start();
        runWorkstations(o, journals.path(), faults);
        const double seconds = static_cast<double>(t.elapsed()) / 1000.0;
        Journal journal;
        for (int i = 0; i < o.workstations; ++i)
            ReadJournal(journals.path() + QStringLiteral("/%1.log").arg(i), journal);
        PrintFigures(journal, seconds);
        faults.report();
        const QStringList broken = CheckInvariants(*admin, start, journal);
        if (o.scratch) admin->exec(QStringLiteral("DROP DATABASE `%1`").arg(o.server.database));
        for (const QString& line : broken) std::printf("FAILED: %s\n", qPrintable(line));
        if (broken.isEmpty()) {
            std::printf("invariants held\n");
            return 0;
        }
        std::printf("invariants broken: %lld (first: %s)\n", static_cast<long long>(broken.size()),
                    qPrintable(broken.front()));
        return 1;
    } catch (const dbaccess::DbError& e) {
        std::printf("invariants not checked: %u %s\n", e.code(), qPrintable(e.message()));
        return 2;
    }
}

}  // namespace zomi::load
