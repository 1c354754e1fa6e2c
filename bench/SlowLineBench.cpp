// The program over a branch office's line: the steps a clerk waits for, at
// 0 and at 30 ms round trip (a relay on the loopback interface holding each
// direction back by half of it), each with the round trips it took, counted
// at the relay over every session of the program.
//
//   bench_slowline [database]     (default zomi_bench; scripts/bench prepares it)

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "BenchServer.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "common/Settings.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/LiveList.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/Torzsadat.h"
#include "support/SlowLine.h"
#include "workorders/Szerkeszt.h"

using namespace zomi;

namespace {

void waitForEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}

class Steps {
  public:
    explicit Steps(test::SlowLine& line) : line_(line) {}

    void step(const char* label, const std::function<void()>& action) {
        line_.resetRoundTrips();
        QElapsedTimer t;
        t.start();
        action();
        QCoreApplication::processEvents();
        std::printf("  %-40s %8.1f ms %6ld round trips\n", label,
                    static_cast<double>(t.nsecsElapsed()) / 1e6, line_.roundTrips());
    }

    // Until the list shows what the server holds (not timed).
    static void settle(Tfrm_Main& window) {
        while (window.liveList().fetcher().busy() || window.liveList().checkPending())
            waitForEvents(5);
    }

  private:
    test::SlowLine& line_;
};

void runAt(const dbaccess::ConnectionParams& server, int roundTripMs) {
    test::SlowLine line(server.host.toLatin1(), server.port, roundTripMs / 2);
    std::printf("round trip %d ms (relay on 127.0.0.1:%u)\n", roundTripMs, line.port());
    QTemporaryDir dir;
    SettleDataDir(dir.path());
    WriteBoolSetting(kFullScreen, false);
    WriteScrambledSetting(
        QString::fromLatin1(kProfileSection), ProfileKey(1),
        QStringList{server.database, QStringLiteral("127.0.0.1"), QString::number(line.port()),
                    server.user, server.password, QStringLiteral("Fiók")}
            .join(QLatin1Char(';')));
    Steps steps(line);
    auto window = std::make_unique<Tfrm_Main>();
    bool started = false;
    steps.step("start-up to first screenful", [&] {
        started = window->startUp();
        if (!started) return;
        window->show();
        while (window->list().recordCount() < 30 && !window->liveList().isLoaded())
            waitForEvents(1);
    });
    if (!started) return;
    Steps::settle(*window);
    const int key = window->list().value(QStringLiteral("zomi")).toInt();
    {
        Tfrm_Szerkeszt editor;
        steps.step("open a work order", [&] {
            editor.open(key);
            editor.show();
        });
        editor.DBMemo1->setPlainText(editor.DBMemo1->toPlainText() + QStringLiteral(" (fiók)"));
        steps.step("save it", [&] { editor.Button1Click(); });
        editor.finish();
    }
    Steps::settle(*window);
    QLineEdit* box = window->searchBox();
    box->setFocus();
    steps.step("search keystroke", [&] { QTest::keyClick(box, 'u'); });
    steps.step("  the server's answer after it", [&] { Steps::settle(*window); });
    box->clear();
    Steps::settle(*window);
    steps.step("open the contractors", [&] {
        Tfrm_TorzsVallalkozo w(-1, false);
        w.show();
    });
    steps.step("open the sites", [&] {
        Tfrm_TorzsKtgh w(-1, false);
        w.show();
    });
    steps.step("open the signatories", [&] {
        Tfrm_Torzsadat w(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírók"));
        w.show();
    });
    steps.step("open the statuses", [&] {
        Tfrm_Torzsadat w(-1, false, QStringLiteral("statusz"), QStringLiteral("Státuszok"));
        w.show();
    });
    window->close();
    window.reset();
}

}  // namespace

int main(int argc, char** argv) {
    // The version and news requests go to a closed local port.
    qputenv("ZOMI_VENDOR_URL", "http://127.0.0.1:9");
    QApplication app(argc, argv);
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    const dbaccess::ConnectionParams server = bench::ServerParams(database);
    std::printf("database %s over a slow line\n", qPrintable(database));
    for (int roundTrip : {0, 30}) runAt(server, roundTrip);
    return 0;
}
