// The register over a large database: how long from a keystroke (or a tab
// or title click) until the list is narrowed, positioned and repainted, how
// soon a tab shows its first screenful and its whole list, how long the
// event loop is ever blocked while the user types, the memory the list
// takes and the bytes it received; and the stock client's time for the
// same queries beside them.
//
//   bench_register [database]     (default zomi_bench; scripts/bench prepares it)

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "BenchServer.h"
#include "RegisterStart.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "common/SearchFilter.h"
#include "common/Settings.h"

using namespace zomi;

namespace {

// Sleeps until an event comes or ms pass and handles what came. Waiting
// must leave the processor to the server: processEvents with a time limit
// never sleeps, and its spinning slowed the server's answers measured here.
void waitForEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}

double msSince(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Kilobytes of the process from /proc (VmRSS, VmHWM); 0 where there is none.
long memoryKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(qstrlen(key)))
                .trimmed()
                .split(' ')
                .value(0)
                .toLong();
    return 0;
}

class Bench {
  public:
    Bench(Tfrm_Main& window, const dbaccess::ConnectionParams& server)
        : window_(window), server_(server) {}

    // The step's answer, repainted; longest (when asked) is the longest time
    // meanwhile that the event loop could not run a timer of 1 ms.
    double repainted(const std::function<void()>& step, double* longest = nullptr) {
        double worst = 0;
        QElapsedTimer gap;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            worst = std::max(worst, msSince(gap));
            gap.restart();
        });
        QElapsedTimer t;
        t.start();
        if (longest) ticker.start();
        gap.start();
        step();
        // The rows a long list finds in a thread, and the jump to the first
        // row beginning with the text, are part of the key's answer.
        QCoreApplication::processEvents();
        while (window_.liveList().deriving() || window_.liveList().locating())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QCoreApplication::processEvents();
        window_.grid()->viewport()->repaint();
        const double ms = msSince(t);
        if (longest) *longest = std::max(worst, msSince(gap));
        return ms;
    }

    // The key's answer, and the longest block of the event loop meanwhile.
    void key(const QString& label, const std::function<void()>& step) {
        double longest = 0;
        const double ms = repainted(step, &longest);
        std::printf("  %-34s %7.1f ms  %7d rows   (longest block %.1f ms)\n", qPrintable(label), ms,
                    window_.list().recordCount(), longest);
    }

    // Until the server's answer to what is shown is in (no fetch, no check due).
    double untilServerAnswered() {
        QElapsedTimer t;
        t.start();
        while (window_.liveList().fetcher().busy() || window_.liveList().checkPending())
            waitForEvents(5);
        return msSince(t);
    }

    void tab(int index, const char* label) {
        QElapsedTimer t;
        t.start();
        window_.yearTabs()->setCurrentIndex(index);
        const int screenful = window_.grid()->viewport()->height() /
                              std::max(1, window_.grid()->verticalHeader()->defaultSectionSize());
        while (window_.list().recordCount() < screenful && !window_.liveList().isLoaded())
            waitForEvents(1);
        window_.grid()->viewport()->repaint();
        const double first = msSince(t);
        while (!window_.liveList().isLoaded()) waitForEvents(5);
        window_.grid()->viewport()->repaint();
        const double whole = msSince(t);
        const QString sql = window_.list().sql().join(QLatin1Char(' '));
        const double client = clientMs(sql);
        std::printf(
            "%s: %d rows\n  tab switch to first screenful      %7.1f ms\n"
            "  tab switch to whole list           %7.1f ms   (mariadb --batch %.1f ms, "
            "ratio %.2f)\n  bytes received                     %7.1f MB\n",
            label, window_.list().recordCount(), first, whole, client, whole / client,
            static_cast<double>(window_.liveList().bytesReceived()) / 1e6);
        numbered();
    }

    // Over long lists the values searched are numbered in the background
    // once the rows are in; the user's first look at the list gives it time.
    void numbered() {
        if (window_.list().recordCount() < 100000) return;
        QElapsedTimer t;
        t.start();
        while (!window_.liveList().searchesByValues() && t.elapsed() < 5000) waitForEvents(5);
        if (window_.liveList().searchesByValues())
            std::printf("  values numbered for the search     %7.1f ms later\n", msSince(t));
        else
            std::printf("  values numbered for the search     not within 5 s\n");
    }

    void typing() {
        QLineEdit* box = window_.searchBox();
        box->setFocus();
        for (const char c : QByteArray("utca"))
            key(QStringLiteral("type \"%1\"").arg(box->text() + QLatin1Char(c)),
                [&] { QTest::keyClick(box, c); });
        const double answered = untilServerAnswered();
        std::printf("  server's answer after last key    %7.1f ms   (mariadb --batch %.1f ms)\n",
                    answered, clientMs(window_.list().sql().join(QLatin1Char(' '))));
        key(QStringLiteral("remove a letter"), [&] { QTest::keyClick(box, Qt::Key_Backspace); });
        key(QStringLiteral("remove another"), [&] { QTest::keyClick(box, Qt::Key_Backspace); });
        key(QStringLiteral("add a word (\" b\")"),
            [&] { QTest::keyClicks(box, QStringLiteral(" b")); });
        key(QStringLiteral("clear the search"), [&] { box->clear(); });
        untilServerAnswered();
        QHeaderView* header = window_.grid()->horizontalHeader();
        key(QStringLiteral("title click (Vállalkozó)"), [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(6) + 5, 5));
        });
        key(QStringLiteral("type \"k\" after it"), [&] { QTest::keyClick(box, 'k'); });
        key(QStringLiteral("title click (Dátum)"), [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, 5));
        });
        key(QStringLiteral("clear the search"), [&] { box->clear(); });
        key(QStringLiteral("title click (Sorszám)"), [&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + 5, 5));
        });
        untilServerAnswered();
        std::printf("  longest block of the event loop    %7.1f ms   (typing at 8 keys/s)\n",
                    longestBlock());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(6) + 5, 5));
        untilServerAnswered();
        std::printf("  the same, ordered by Vállalkozó    %7.1f ms\n", longestBlock());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, 5));
        untilServerAnswered();
    }

    // Typing paced like a person while the answers come and go, with a
    // timer that notes the longest gap between its ticks.
    double longestBlock() {
        QLineEdit* box = window_.searchBox();
        const QString keys = QStringLiteral("szőlő utca\b\b\b\b\bkft");
        double longest = 0;
        QElapsedTimer gap;
        gap.start();
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, msSince(gap));
            gap.restart();
        });
        int next = 0;
        QTimer typist;
        typist.setInterval(125);
        QObject::connect(&typist, &QTimer::timeout, [&] {
            if (next >= keys.size()) {
                typist.stop();
                return;
            }
            const QChar c = keys.at(next++);
            if (c == QLatin1Char('\b')) {
                QTest::keyClick(box, Qt::Key_Backspace);
            } else {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(box, &press);
            }
        });
        ticker.start();
        typist.start();
        gap.restart();
        while (typist.isActive() || window_.liveList().fetcher().busy() ||
               window_.liveList().checkPending())
            waitForEvents(1);
        box->clear();
        untilServerAnswered();
        return longest;
    }

    double clientMs(const QString& sql) {
        QProcess client;
        QStringList args = bench::ClientArguments(server_);
        args << QStringLiteral("--batch") << QStringLiteral("--compress") << server_.database
             << QStringLiteral("-e") << sql;
        QElapsedTimer t;
        t.start();
        client.start(QStringLiteral("mariadb"), args);
        client.waitForFinished(-1);
        const double ms = msSince(t);
        client.readAllStandardOutput();
        if (client.exitCode() != 0)
            std::fprintf(stderr, "mariadb client failed: %s\n",
                         client.readAllStandardError().constData());
        return ms;
    }

  private:
    Tfrm_Main& window_;
    dbaccess::ConnectionParams server_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    const dbaccess::ConnectionParams server = bench::ServerParams(database);
    QTemporaryDir dir;
    bench::PrepareRegisterStart(dir.path(), server);
    Tfrm_Main window;
    QElapsedTimer timer;
    timer.start();
    if (!window.startUp()) return 1;
    window.show();
    const int screenful = window.grid()->viewport()->height() /
                          std::max(1, window.grid()->verticalHeader()->defaultSectionSize());
    while (window.list().recordCount() < screenful && !window.liveList().isLoaded())
        waitForEvents(1);
    window.grid()->viewport()->repaint();
    std::printf("database %s: start-up to the first screenful of the year %.0f ms\n",
                qPrintable(database), msSince(timer));
    window.settleList();
    std::printf("  start-up to the whole year, checked with the server %.0f ms\n", msSince(timer));

    Bench bench(window, server);
    QTabBar* tabs = window.yearTabs();
    bench.tab(1, "year tab (second)");
    // Back to the start-up's year: its rows were kept and are checked with
    // the server, so "whole list" is the time until that check answered.
    bench.tab(0, "year tab (first, kept)");
    bench.typing();

    const long before = memoryKb("VmRSS:");
    bench.tab(tabs->count() - 1, "\"Összes\"");
    const long after = memoryKb("VmRSS:");
    // Counted from the rows' own buffers, beside what the process grew by
    // (which the kept rows of the years and freed memory blur).
    const auto countedMb = [&] {
        return static_cast<double>(window.liveList().memoryOfRows()) / 1e6;
    };
    const double received = static_cast<double>(window.liveList().bytesReceived()) / 1e6;
    std::printf("  memory of the rows, counted        %7.1f MB   for %.1f MB received (%.2f x)\n",
                countedMb(), received, countedMb() / received);
    bench.typing();
    std::printf("  memory after the title clicks      %7.1f MB   (their orders kept)\n",
                countedMb());
    std::printf("  rows kept of the years shown       %7.1f MB\n",
                static_cast<double>(window.liveList().memoryOfKeptRows()) / 1e6);
    std::printf("  process grew by                    %7.1f MB   (peak of the process %.1f MB)\n",
                static_cast<double>(after - before) / 1024.0,
                static_cast<double>(memoryKb("VmHWM:")) / 1024.0);
    window.close();
    return 0;
}
