// The register over a large database: how long from a keystroke (or a tab
// or title click) until the list is filtered, positioned and repainted.
//
//   bench_register [database]     (default zomi_bench; scripts/bench prepares it)

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "BenchServer.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "common/Settings.h"

using namespace zomi;

namespace {

template <typename Step>
double measure(Tfrm_Main& window, Step&& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    window.grid()->viewport()->repaint();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString database =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("zomi_bench");
    QTemporaryDir dir;
    SettleDataDir(dir.path());
    WriteBoolSetting(kFullScreen, false);
    WriteScrambledSetting(
        QString::fromLatin1(kProfileSection), ProfileKey(1),
        QStringList{database, bench::Env("ZOMI_DB_HOST", "127.0.0.1"),
                    bench::Env("ZOMI_DB_PORT", "33306"), bench::Env("ZOMI_DB_USER", "zomi"),
                    bench::Env("ZOMI_DB_PASSWORD", "zomi"), QStringLiteral("Benchmark")}
            .join(QLatin1Char(';')));
    Tfrm_Main window;
    QElapsedTimer timer;
    timer.start();
    if (!window.startUp()) return 1;
    window.show();
    QCoreApplication::processEvents();
    std::printf("start-up and first year shown: %.0f ms (%d rows)\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6, window.list().recordCount());

    QLineEdit* box = window.searchBox();
    const double yearKey = measure(window, [&] { QTest::keyClick(box, 'u'); });
    std::printf("keystroke on the first year tab: %.0f ms, %d rows\n", yearKey,
                window.list().recordCount());
    measure(window, [&] { box->clear(); });

    QTabBar* tabs = window.yearTabs();
    const double all = measure(window, [&] { tabs->setCurrentIndex(tabs->count() - 1); });
    std::printf("\"Összes\" tab: %.0f ms for %d rows\n", all, window.list().recordCount());

    const QString word = QStringLiteral("utca");
    for (int i = 0; i < word.size(); ++i) {
        const double ms = measure(window, [&] { QTest::keyClick(box, word.at(i).toLatin1()); });
        std::printf("keystroke %d (\"%s\"): %.0f ms, %d rows\n", i + 1, qPrintable(box->text()), ms,
                    window.list().recordCount());
    }
    const double cleared = measure(window, [&] { box->clear(); });
    std::printf("search cleared: %.0f ms, %d rows\n", cleared, window.list().recordCount());

    QHeaderView* header = window.grid()->horizontalHeader();
    const double sorted = measure(window, [&] {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(6) + 5, 5));
    });
    std::printf("title click (Vállalkozó): %.0f ms, %d rows\n", sorted,
                window.list().recordCount());
    const double typed = measure(window, [&] { QTest::keyClick(box, 'k'); });
    std::printf("keystroke after sorting: %.0f ms, %d rows\n", typed, window.list().recordCount());
    return 0;
}
