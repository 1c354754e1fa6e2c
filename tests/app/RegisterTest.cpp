// The register window against a real database: start-up, year tabs, search,
// ordering, typing in the grid, the summary, deletion and the font size.

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "app/Init.h"
#include "app/Main.h"
#include "app/RegisterList.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "sqlconsole/SQL.h"
#include "sqlconsole/SqlEditor.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"
#include "workorders/Szerkeszt.h"

using namespace zomi;
using test::BoxRecorder;
using test::TestDatabase;

namespace {

QString profileOf(const TestDatabase& db, const QString& name = QStringLiteral("Teszt")) {
    const dbaccess::ConnectionParams p = db.params();
    return QStringList{p.database, p.host, QString::number(p.port), p.user, p.password, name}.join(
        QLatin1Char(';'));
}

// A data folder of its own with one profile for the test database.
struct Installation {
    explicit Installation(const TestDatabase& db) {
        SettleDataDir(dir.path());
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1), profileOf(db));
        WriteBoolSetting(kFullScreen, false);
    }
    QTemporaryDir dir;
};

QStringList column(const dbaccess::Query& q, const QString& field) {
    QStringList values;
    const int f = q.fieldIndex(field);
    for (int row = 0; row < q.recordCount(); ++row) values << q.textAt(row, f);
    return values;
}

// A key with its text, for letters QTest has no key code for (ő, ű).
void typeCharacter(QWidget* widget, const QString& character) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

int serverCount(const TestDatabase& db, const QString& sql) {
    return db.connect()->scalar(sql).text.toInt();
}

}  // namespace

class RegisterTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        Beall = TBeall();
        QGuiApplication::setApplicationDisplayName(QString());
    }

    void startsWithOneGoodProfileAndNoChooser() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        BoxRecorder boxes;
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        QVERIFY(boxes.shown.isEmpty());
        // The platform shows it beside the caption of every window.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Zomi - Teszt"));
        QVERIFY(window.windowTitle().startsWith(QStringLiteral("Zomi: [")));
        QCOMPARE(window.connection().scalar(QStringLiteral("SELECT @@collation_connection")).text,
                 QStringLiteral("latin2_hungarian_ci"));
        QCOMPARE(Beall.Felhasznalo, QStringLiteral("rendszergazda"));
        QVERIFY(Beall.Rendszergazda && Beall.TorzsSzerkeszt && Beall.Nyomtathat);
    }

    void unreadableAmountPatternFallsBackOnceAtStartAndStaysInTheFile() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        const QString pattern = QStringLiteral("### ##0 'Ft");  // the quote is never closed
        WriteSetting(kFormat, pattern);
        BoxRecorder boxes;
        {
            Tfrm_Main window;
            QVERIFY(window.startUp());
            window.settleList();
            window.show();
            QCOMPARE(Beall.Format, QStringLiteral("### ### ##0"));
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(boxes.shown.first().caption, QStringLiteral("Figyelmeztetés"));
            QVERIFY2(boxes.lastText().contains(pattern), qPrintable(boxes.lastText()));
            window.close();
        }
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(ReadSetting(kFormat), pattern);
    }

    void secondStartDuringTheChooserLeavesTheStartUpAlone() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(2),
                              profileOf(db, QStringLiteral("Másik")));
        BoxRecorder boxes;
        Tfrm_Main window;
        bool chooserInFront = false;
        test::OnModal([&](QWidget* chooser) {
            window.bringToFront();  // what a second start of the program asks for
            chooserInFront = chooser->isVisible() && QApplication::activeModalWidget() == chooser;
            QVERIFY(!window.isVisible());
            QTest::mouseClick(chooser->findChild<QPushButton*>(QStringLiteral("Button1")),
                              Qt::LeftButton);
        });
        QVERIFY(window.startUp());
        window.settleList();
        QVERIFY(chooserInFront);
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
        window.show();
        QVERIFY(!window.summaryText().isEmpty());
        window.bringToFront();
        QVERIFY(window.isVisible());
    }

    void yearTabsAreTheYearsOfEveryDate() {
        TestDatabase db(TestDatabase::Content::Schema);
        auto c = db.connect();
        // Zero months and days, the year zero, no date, far years, this year.
        c->exec(QStringLiteral(
            "INSERT INTO zomi (datum, sorszam) VALUES ('2024-00-00', 1), ('0000-00-00', 2), "
            "(NULL, 3), ('1999-00-05', 4), ('1999-12-31', 5), ('9999-12-31', 6), "
            "('2000-01-01', 7), (CURDATE(), 8), (CURDATE() - INTERVAL 1 DAY, 9)"));
        SetMainConnection(c.get());
        QStringList expected;
        FillFromQuery(expected, QStringLiteral("SELECT DISTINCT YEAR(datum) FROM zomi WHERE "
                                               "YEAR(datum) <> YEAR(CURDATE()) UNION ALL SELECT "
                                               "YEAR(CURDATE()) ORDER BY 1 DESC;"));
        QStringList tabs;
        FillFromQuery(tabs, YearTabsSql());
        SetMainConnection(nullptr);
        QCOMPARE(tabs, expected);
        QVERIFY2(expected.contains(QStringLiteral("0")), qPrintable(expected.join(',')));
    }

    void firstScreenfulFromTheIndexIsTheListsOwnFirstRows() {
        TestDatabase db(TestDatabase::Content::Schema);
        auto c = db.connect();
        // Serials against the keys' and the dates' order, across a year's
        // end, undated ones and ones with no serial, more than a screenful.
        c->exec(QStringLiteral(
            "INSERT INTO zomi (datum, sorszam) SELECT '2024-01-01' + INTERVAL (seq * 7) % 360 DAY, "
            "(seq * 37) % 211 + 1 FROM seq_0_to_210"));
        c->exec(QStringLiteral(
            "INSERT INTO zomi (datum, sorszam) VALUES ('2023-12-31', 5), ('2025-01-01', 1), "
            "(NULL, 3), (NULL, NULL), ('2024-00-00', 999), ('2023-00-00', NULL)"));
        const auto rowsOf = [&](const QString& sql) {
            QStringList rows;
            const auto result = c->query(sql);
            for (int r = 0; r < result->rowCount(); ++r) {
                QStringList cells;
                for (size_t f = 0; f < result->fields().size(); ++f)
                    cells << QString::fromLatin1(result->row(r).cell(f));
                rows << cells.join(QLatin1Char('|'));
            }
            return rows;
        };
        for (const QString& condition : {YearCondition(2024), YearCondition(2023),
                                         YearCondition(2026), QStringLiteral("(1=1)")}) {
            const QString sql = RegisterFirstScreenfulSql(condition, QStringLiteral("sorszamstr"));
            QVERIFY(!sql.isEmpty());
            QCOMPARE(rowsOf(sql),
                     rowsOf(QStringLiteral("SELECT * FROM vw_zomi WHERE ") + condition +
                            QStringLiteral(" ORDER BY sorszamstr LIMIT 100")));
        }
        QVERIFY(RegisterFirstScreenfulSql(YearCondition(2024), QStringLiteral("cim")).isEmpty());
        QVERIFY(
            RegisterFirstScreenfulSql(YearCondition(2024) + QStringLiteral(" AND (cim LIKE 'a')"),
                                      QStringLiteral("sorszamstr"))
                .isEmpty());
        QVERIFY(!RegisterFirstScreenful(c.get())(YearCondition(2024), QStringLiteral("sorszamstr"))
                     .isEmpty());
        // The Windows clients' work orders have no year column.
        c->exec(QStringLiteral("ALTER TABLE zomi DROP INDEX ev_sorszam, DROP COLUMN ev"));
        auto stock = db.connect();
        QVERIFY(
            RegisterFirstScreenful(stock.get())(YearCondition(2024), QStringLiteral("sorszamstr"))
                .isEmpty());
    }

    void yearTabsPutTheFutureFirstAndAllYearsLast() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        BoxRecorder boxes;
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        QTabBar* tabs = window.yearTabs();
        const QStringList years = [&] {
            QStringList y;
            for (int i = 0; i < tabs->count(); ++i) y << tabs->tabText(i);
            return y;
        }();
        const QString thisYear =
            db.connect()->scalar(QStringLiteral("SELECT YEAR(CURDATE())")).text;
        QVERIFY2(years.contains(thisYear), qPrintable(years.join(',')));
        QCOMPARE(years.last(), QStringLiteral("Összes"));
        QStringList numeric = years.mid(0, years.size() - 1);
        QStringList sorted = numeric;
        std::sort(sorted.begin(), sorted.end(), std::greater<QString>());
        QCOMPARE(numeric, sorted);
        QCOMPARE(window.list().recordCount(),
                 serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi WHERE YEAR(datum) = ") +
                                     years.first()));
        QVERIFY(!tabs->tabIcon(0).isNull());
        QVERIFY(!tabs->tabIcon(tabs->count() - 1).isNull());

        tabs->setCurrentIndex(tabs->count() - 1);
        window.settleList();
        QCOMPARE(window.baseFilter(), QStringLiteral("(1=1)"));
        QCOMPARE(window.list().recordCount(),
                 serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi")));
        QVERIFY(column(window.list(), QStringLiteral("datum"))
                    .contains(QString()));  // undated rows too
    }

    void emptyDatabaseShowsTheCurrentYearAndAll() {
        TestDatabase db;
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        QCOMPARE(window.yearTabs()->count(), 2);
        QCOMPARE(window.yearTabs()->tabText(1), QStringLiteral("Összes"));
        QCOMPARE(window.currentKey(), -1);
    }

    void searchNarrowsByEveryWordAndClearsOnTabChange() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.yearTabs()->setCurrentIndex(window.yearTabs()->count() - 1);
        window.settleList();
        auto c = db.connect();
        const QString site =
            c->scalar(QStringLiteral(
                          "SELECT cim FROM vw_zomi WHERE cim LIKE '% %' ORDER BY zomi LIMIT 1"))
                .text;
        const QString firstWord = site.section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(','));
        const QString contractor =
            c->scalar(QStringLiteral("SELECT vallalkozo_nev FROM vw_zomi WHERE cim = '%1' AND "
                                     "vallalkozo_nev IS NOT NULL LIMIT 1")
                          .arg(site))
                .text;
        const QString secondWord = contractor.section(QLatin1Char(' '), 0, 0);

        QLineEdit* box = window.searchBox();
        box->setFocus();
        QTest::keyClicks(box, firstWord + QStringLiteral(", ") + secondWord);
        const int expected = serverCount(
            db, QStringLiteral("SELECT COUNT(*) FROM vw_zomi WHERE (sorszamstr LIKE '%%1%' OR cim "
                               "LIKE '%%1%' OR vallalkozo_nev LIKE '%%1%' "
                               "OR statusz_nev LIKE '%%1%') AND (sorszamstr LIKE '%%2%' OR cim "
                               "LIKE '%%2%' OR vallalkozo_nev LIKE '%%2%' "
                               "OR statusz_nev LIKE '%%2%')")
                    .arg(firstWord, secondWord));
        QVERIFY(expected > 0);
        QCOMPARE(window.list().recordCount(), expected);
        QCOMPARE(window.counterText(), QStringLiteral("%1: 1").arg(expected));

        // A fifth word is ignored: four words that all match keep the same rows.
        box->clear();
        QTest::keyClicks(box, QStringLiteral("%1 %1 %1 %1 nincsilyenszo").arg(firstWord));
        QCOMPARE(window.list().recordCount(),
                 serverCount(
                     db, QStringLiteral("SELECT COUNT(*) FROM vw_zomi WHERE sorszamstr LIKE '%%1%' "
                                        "OR cim LIKE '%%1%' OR vallalkozo_nev LIKE '%%1%' "
                                        "OR statusz_nev LIKE '%%1%'")
                             .arg(firstWord)));
        box->clear();
        QTest::keyClicks(box, QStringLiteral("nincsilyenszo"));
        QCOMPARE(window.list().recordCount(), 0);
        QCOMPARE(window.currentKey(), -1);

        window.yearTabs()->setCurrentIndex(0);
        window.settleList();
        QCOMPARE(box->text(), QString());
        QVERIFY(window.list().recordCount() > 0);
    }

    void searchPositionsOnTheSortColumn() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.yearTabs()->setCurrentIndex(window.yearTabs()->count() - 1);
        window.settleList();
        const QString number =
            db.connect()
                ->scalar(
                    QStringLiteral("SELECT sorszamstr FROM vw_zomi ORDER BY sorszamstr LIMIT 5, 1"))
                .text;
        QTest::keyClicks(window.searchBox(), number);
        QCOMPARE(window.list().value(QStringLiteral("sorszamstr")).toString(), number);
    }

    void titleClickOrdersAndMarksTheColumn() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.yearTabs()->setCurrentIndex(window.yearTabs()->count() - 1);
        window.settleList();
        QAbstractItemModel* model = window.grid()->model();
        const QColor yellow(255, 255, 185);
        QCOMPARE(model->data(model->index(0, 0), Qt::BackgroundRole).value<QColor>(), yellow);

        const int cim = 5;
        QCOMPARE(model->headerData(cim, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Cím"));
        QTest::mouseClick(
            window.grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(window.grid()->horizontalHeader()->sectionViewportPosition(cim) + 5, 5));
        QCOMPARE(window.sortField(), QStringLiteral("cim"));
        QCOMPARE(model->data(model->index(0, cim), Qt::BackgroundRole).value<QColor>(), yellow);
        QVERIFY(model->data(model->index(0, 0), Qt::BackgroundRole).value<QColor>() != yellow);
        QVERIFY(window.searchBox()->hasFocus() ||
                QApplication::focusWidget() == window.searchBox() || !window.isActiveWindow());
        const QStringList got = column(window.list(), QStringLiteral("cim"));
        auto c = db.connect();
        const auto ordered = c->query(QStringLiteral("SELECT cim FROM vw_zomi ORDER BY cim"));
        QStringList expected;
        for (int i = 0; i < ordered->rowCount(); ++i)
            expected << (ordered->row(i).cell(0)
                             ? FromCp1250(ordered->row(i).cell(0), ordered->row(i).length(0))
                             : QString());
        QCOMPARE(got, expected);
    }

    void letterTypedInTheGridStartsANewSearchInLowerCase() {
        TestDatabase db(TestDatabase::Content::Demo);
        db.connect()->exec(QStringLiteral("UPDATE ktgh SET cim = CONCAT(', ', cim)"));
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.searchBox()->setText(QStringLiteral("régi"));
        window.grid()->setFocus();
        QTest::keyClick(window.grid(), Qt::Key_B, Qt::ShiftModifier);
        QCOMPARE(window.searchBox()->text(), QStringLiteral("b"));
        QTest::keyClick(window.searchBox(), Qt::Key_U);
        QCOMPARE(window.searchBox()->text(),
                 QStringLiteral("bu"));  // typing goes on after the letter
        window.grid()->setFocus();
        typeCharacter(window.grid(), QStringLiteral("Ő"));
        QCOMPARE(window.searchBox()->text(), QStringLiteral("ő"));
        // Punctuation does nothing, not even the grid's own jump to a row
        // whose cell starts with it.
        window.searchBox()->clear();
        const int cim = 5;
        window.grid()->setCurrentIndex(window.grid()->model()->index(0, cim));
        const int key = window.currentKey();
        window.grid()->setFocus();
        QTest::keyClick(window.grid(), Qt::Key_Comma);
        QCOMPARE(window.searchBox()->text(), QString());
        QCOMPARE(window.currentKey(), key);
    }

    void currentRowStaysSelectedWhateverIsClicked() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        test::Activate(&window);
        QTableView* grid = window.grid();
        QVERIFY(window.list().recordCount() >= 2);
        window.list().moveTo(1);
        const auto selected = [grid] {
            QList<int> rows;
            for (const QModelIndex& index : grid->selectionModel()->selectedRows())
                rows << index.row();
            return rows;
        };
        QCOMPARE(selected(), QList<int>{1});
        // Under the last row, then Ctrl on the selected row itself.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(20, grid->viewport()->height() - 5));
        QCOMPARE(selected(), QList<int>{1});
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          grid->visualRect(grid->model()->index(1, 1)).center());
        QCOMPARE(selected(), QList<int>{1});
        QCOMPARE(window.list().currentRow(), 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, 1)).center());
        QCOMPARE(selected(), QList<int>{0});
        QCOMPARE(window.list().currentRow(), 0);
    }

    void columnsFitBesideTheRowNumbersOfALongList() {
        TestDatabase db;
        db.connect()->exec(QStringLiteral(
            "INSERT INTO zomi (sorszam, statusz) SELECT seq, 1 FROM seq_1_to_12000"));
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.yearTabs()->setCurrentIndex(window.yearTabs()->count() - 1);
        window.settleList();
        QCOMPARE(window.list().recordCount(), 12000);
        QTableView* grid = window.grid();
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible());
        const int last = grid->model()->columnCount() - 1;
        QCOMPARE(grid->model()->headerData(last, Qt::Horizontal).toString(),
                 QStringLiteral("Státusz"));
        QVERIFY2(grid->columnViewportPosition(last) + grid->columnWidth(last) <=
                     grid->viewport()->width(),
                 qPrintable(QString::number(grid->viewport()->width())));
        QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    }

    void rowsTakeTheColourOfTheirClass() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.yearTabs()->setCurrentIndex(window.yearTabs()->count() - 1);
        window.settleList();
        const dbaccess::Query& list = window.list();
        const int szin = list.fieldIndex(QStringLiteral("szin"));
        QAbstractItemModel* model = window.grid()->model();
        const QMap<int, QColor> colours{{2, QColor(196, 224, 255)}, {3, QColor(255, 210, 255)},
                                        {4, QColor(193, 255, 224)}, {5, QColor(255, 221, 221)},
                                        {6, QColor(255, 255, 185)}, {7, QColor(233, 233, 233)}};
        QSet<int> seen;
        for (int row = 0; row < list.recordCount(); ++row) {
            const QVariant background = model->data(model->index(row, 1), Qt::BackgroundRole);
            const int cls = list.isNullAt(row, szin) ? -1 : list.valueAt(row, szin).toInt();
            if (colours.contains(cls)) {
                QCOMPARE(background.value<QColor>(), colours.value(cls));
                seen << cls;
            } else {
                QVERIFY(!background.isValid());
            }
        }
        QVERIFY(seen.size() >= 3);
    }

    void summaryListsEveryStatusWithCountAndSum() {
        TestDatabase db;
        auto c = db.connect();
        c->exec(QStringLiteral(
            "INSERT INTO zomi (datum, sorszam, statusz, ossz) VALUES "
            "(CURDATE(), 1, 1, 100), (CURDATE(), 2, 1, 50.5), (CURDATE(), 3, 3, NULL)"));
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        const QString first =
            c->scalar(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 1")).text;
        const QString third =
            c->scalar(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 3")).text;
        QCOMPARE(window.summaryText(),
                 QStringLiteral("%1 (2) : 150,5; %2 (1) : ; ").arg(first, third));
    }

    void deleteAsksFirstAndNoKeepsTheRow() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        const int key = window.currentKey();
        QVERIFY(key > 0);
        const int before = serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi"));
        BoxRecorder boxes;
        boxes.answers << false;
        window.action(QStringLiteral("aTorol"))->trigger();
        window.settleList();
        QCOMPARE(boxes.lastText(), QStringLiteral("Valóban töröljem a sort?"));
        QCOMPARE(boxes.shown.last().caption, QStringLiteral("Megerősítés"));
        QCOMPARE(serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi")), before);

        boxes.answers << true;
        window.action(QStringLiteral("aTorol"))->trigger();
        window.settleList();
        QCOMPARE(serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi")), before - 1);
        QCOMPARE(
            serverCount(db, QStringLiteral("SELECT COUNT(*) FROM zomi WHERE zomi = %1").arg(key)),
            0);
        QVERIFY(window.currentKey() != key);
    }

    void refreshKeepsTheRowAndShowsOtherUsersChanges() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.list().moveTo(3);
        const int key = window.currentKey();
        const int before = window.list().recordCount();
        db.connect()->exec(
            QStringLiteral("DELETE FROM zomi WHERE zomi <> %1 AND YEAR(datum) = %2 LIMIT 1")
                .arg(key)
                .arg(window.yearTabs()->tabText(0)));
        QTest::keyClick(&window, Qt::Key_F5);
        window.settleList();
        QCOMPARE(window.list().recordCount(), before - 1);
        QCOMPARE(window.currentKey(), key);
    }

    void fontSizeStaysBetweenEightAndTen() {
        TestDatabase db;
        Installation installation(db);
        WriteIntSetting(kFontSize, 12);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        QCOMPARE(Beall.FontSize, 12);
        window.action(QStringLiteral("aBetuNovel"))->trigger();
        QCOMPARE(Beall.FontSize, 12);
        for (int i = 0; i < 5; ++i) window.action(QStringLiteral("aBetuCsokkent"))->trigger();
        QCOMPARE(Beall.FontSize, 8);
        QCOMPARE(window.searchBox()->font().pointSize(), 8);
        for (int i = 0; i < 5; ++i) window.action(QStringLiteral("aBetuNovel"))->trigger();
        QCOMPARE(Beall.FontSize, 10);
    }

    void fullScreenFrameCoversTheWorkArea() {
        TestDatabase db;
        Installation installation(db);
        WriteBoolSetting(kFullScreen, true);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A window manager frames the window a moment after it is shown.
        const QWindow* frame = window.windowHandle();
        QTRY_VERIFY(!frame->frameMargins().isNull());
        // Once the window has stopped following it, the frame stays put.
        QTRY_VERIFY(!window.findChild<QObject*>(QStringLiteral("FrameFitter")));
        const QRect area = WorkArea();
        QCOMPARE(frame->frameGeometry(), QRect(0, 0, area.right() + 1, area.bottom() + 1));
    }

    void exitWritesTheSettingsAndThePlacement() {
        TestDatabase db;
        Installation installation(db);
        const QString file = SettingsPath();
        {
            Tfrm_Main window;
            QVERIFY(window.startUp());
            window.settleList();
            window.show();
            window.close();
        }
        QCOMPARE(IniReadString(file, "Defaults", "Format", "x"), QStringLiteral("### ### ##0"));
        QCOMPARE(IniReadString(file, "Defaults", "FontSize", "x"), QStringLiteral("9"));
        QCOMPARE(IniReadString(file, "Screen", "FullScreen", "x"), QStringLiteral("0"));
        QVERIFY(IniKeyExists(file, "Screen", "Width"));
        QVERIFY(ReadFloatSetting(kAfakulcs) == 1.27);
        QVERIFY(IniKeyExists(file, "Lang", "File"));
        for (const char* key : {"Left", "Top", "Width", "Height"})
            QVERIFY(IniKeyExists(file, "frm_Main", key));
        QVERIFY(!IniKeyExists(file, "Defaults", "HtmlPath"));
    }

    void statusKeyAssignsTheChosenStatus() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        test::Activate(&window);
        window.list().moveTo(1);
        const int key = window.currentKey();
        const QString wanted =
            db.connect()
                ->scalar(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 6"))
                .text;
        bool chose = false;
        test::OnModal([&](QWidget* list) {
            QCOMPARE(list->objectName(), QStringLiteral("frm_Torzsadat"));
            auto* search = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
            QVERIFY(search);
            test::Type(search, wanted);
            QTest::keyClick(search, Qt::Key_Return);
            chose = true;
        });
        QTest::keyClick(window.grid(), Qt::Key_F4);
        window.settleList();
        QVERIFY(chose);
        QCOMPARE(
            serverCount(db, QStringLiteral("SELECT statusz FROM zomi WHERE zomi = %1").arg(key)),
            6);
        QCOMPARE(window.currentKey(), key);
        QCOMPARE(window.list().value(QStringLiteral("statusz_nev")).toString(), wanted);
    }

    void newWorkOrderIsSelectedInTheReopenedListAndCounted() {
        TestDatabase db;
        auto c = db.connect();
        c->exec(
            QStringLiteral("INSERT INTO vallalkozo (vallalkozo_nev, afas, oradij, kiszdij) VALUES "
                           "('Kovács Bt.', 'N', 1000, 500)"));
        c->exec(QStringLiteral("INSERT INTO ktgh (cim) VALUES ('Budapest, Fő utca 1.')"));
        c->exec(QStringLiteral("INSERT INTO alairas (alairas_nev) VALUES ('Nagy Ilona')"));
        // Next year's tab comes first; the new work order is of this year.
        c->exec(
            QStringLiteral("INSERT INTO zomi (datum, sorszam, statusz) VALUES (CURDATE() + "
                           "INTERVAL 1 YEAR, 1, 3)"));
        const QString thisYear = c->scalar(QStringLiteral("SELECT YEAR(CURDATE())")).text;
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        test::Activate(&window);
        const QString before = window.summaryText();
        test::OnModal([&](QWidget* modal) {
            auto* editor = qobject_cast<Tfrm_Szerkeszt*>(modal);
            QVERIFY(editor);
            editor->choosers().contractor = [] { return 1; };
            editor->choosers().site = [] { return 1; };
            editor->choosers().lookup = [](const QString& table, const QString&, QString* name) {
                if (name)
                    *name = table == QLatin1String("alairas") ? QStringLiteral("Nagy Ilona")
                                                              : QString();
                return 1;
            };
            editor->BitBtn1->click();
            editor->BitBtn2->click();
            editor->BitBtn3->click();
            editor->BitBtn8->click();
            editor->DBMemo1->setFocus();
            QTest::keyClicks(editor->DBMemo1, QStringLiteral("Csaptelep csere"));
            editor->Button1->click();
        });
        window.action(QStringLiteral("aUj"))->trigger();
        window.settleList();
        const int stored = serverCount(db, QStringLiteral("SELECT MAX(zomi) FROM zomi"));
        QVERIFY(stored > 0);
        QCOMPARE(window.yearTabs()->tabText(window.yearTabs()->currentIndex()), thisYear);
        QCOMPARE(window.currentKey(), stored);
        QCOMPARE(window.list().recordCount(), 1);
        QVERIFY(window.summaryText() != before);
        QVERIFY(window.summaryText().contains(QStringLiteral("(1)")));
    }

    void exportReturnsToTheRememberedRow() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        window.list().moveTo(1);
        const int key = window.currentKey();
        int exportedRows = -1;
        test::OnModal([&](QWidget* modal) {
            QCOMPARE(modal->objectName(), QStringLiteral("frm_Hatarolt"));
            exportedRows = window.list().recordCount();
        });
        window.action(QStringLiteral("aExcelbe"))->trigger();
        QCOMPARE(exportedRows, window.list().recordCount());
        QCOMPARE(window.currentKey(), key);
    }

    void printOpensTheChoiceForTheSelectedWorkOrder() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        test::Activate(&window);
        QString opened;
        test::OnModal([&](QWidget* modal) { opened = modal->objectName(); });
        QTest::keyClick(window.grid(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(opened, QStringLiteral("frm_NyomValaszt"));
    }

    void aScriptInTheConsoleLeavesTheRegistersSessionAsItWas() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        BoxRecorder boxes;
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        window.show();
        QAction* console = window.action(QStringLiteral("aSQL"));
        QVERIFY(console->isEnabled());
        test::OnModal([](QWidget* modal) {
            auto* sql = test::As<Tfrm_SQL>(modal);
            if (!sql) return;
            sql->Memo1->setText(
                QStringLiteral("SET NAMES utf8;\nUPDATE ktgh SET cim = 'Árvíztűrő tükörfúrógép';"));
            QTest::keyClick(sql->Memo1, Qt::Key_F5);
            sql->close();
        });
        console->trigger();
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("SQL futtatás kész.")});
        window.list().refresh();
        QVERIFY(column(window.list(), QStringLiteral("cim"))
                    .contains(QStringLiteral("Árvíztűrő tükörfúrógép")));
    }

    void statusListRunsTheStatusProcedureAfterwards() {
        TestDatabase db;
        auto c = db.connect();
        Installation installation(db);
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        c->exec(
            QStringLiteral("INSERT INTO zomi (datum, sorszam, statusz, hatar_datum) VALUES "
                           "(CURDATE(), 1, 1, CURDATE() - INTERVAL 2 DAY)"));
        test::OnModal(
            [](QWidget* modal) { QCOMPARE(modal->objectName(), QStringLiteral("frm_Torzsadat")); });
        window.action(QStringLiteral("aStatusz"))->trigger();
        QCOMPARE(serverCount(db, QStringLiteral("SELECT statusz FROM zomi")), 4);
    }

    void firstStartWithoutSettingsOpensTheSetUpAndCancelWritesNothing() {
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        BoxRecorder boxes;
        QString opened;
        test::OnModal([&](QWidget* modal) {
            opened = modal->objectName();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        Tfrm_Main window;
        QVERIFY(!window.startUp());
        QCOMPARE(opened, QStringLiteral("frm_Init"));
        window.close();
        QVERIFY(!IniKeyExists(SettingsPath(), "Adatbazis", "ConStr1"));
        QVERIFY(!IniKeyExists(SettingsPath(), "Defaults", "Format"));
        QVERIFY(!IniKeyExists(SettingsPath(), "frm_Main", "Left"));
    }

    void deletingEveryProfileInTheProfileWindowLeadsToTheFirstRunSetUp() {
        TestDatabase db(TestDatabase::Content::Demo);
        Installation installation(db);
        BoxRecorder boxes;
        boxes.defaultAnswer = true;
        {
            Tfrm_Main window;
            QVERIFY(window.startUp());
            window.settleList();
            QAction* profiles = window.findChild<QAction*>(QStringLiteral("aAdatbazis"));
            QVERIFY(profiles->isEnabled());
            QString opened;
            test::OnModal([&](QWidget* modal) {
                opened = modal->objectName();
                QTest::keyClick(modal, Qt::Key_Delete, Qt::ControlModifier);
                QTest::keyClick(modal, Qt::Key_Escape);
            });
            profiles->trigger();
            QCOMPARE(opened, QStringLiteral("frm_Adatbazis"));
            window.close();
        }
        for (int n = 0; n <= 100; ++n)
            QVERIFY(!IniKeyExists(SettingsPath(), "Adatbazis", ProfileKey(n)));
        QString next;
        test::OnModal([&](QWidget* modal) { next = modal->objectName(); });
        Tfrm_Main again;
        QVERIFY(!again.startUp());
        QCOMPARE(next, QStringLiteral("frm_Init"));
    }

    void profileThatCannotOpenTheMainConnectionEndsTheStart() {
        TestDatabase db;
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        BoxRecorder boxes;
        test::OnModal([&](QWidget* modal) {
            auto* setUp = qobject_cast<Tfrm_Init*>(modal);
            QVERIFY(setUp);
            const dbaccess::ConnectionParams p = db.params();
            setUp->Edit3->setText(p.user);
            setUp->Edit6->setText(QStringLiteral("rossz jelszó"));
            setUp->Edit1->setText(p.database);
            setUp->Edit4->setText(QStringLiteral("Rossz"));
            setUp->Edit5->setText(QString::number(p.port));
            setUp->Edit2->setText(p.host);
            setUp->Edit2->setFocus();
            // Ctrl+Enter confirms without a test, so the wrong password reaches the start-up.
            QTest::keyClick(setUp->Edit2, Qt::Key_Return, Qt::ControlModifier);
        });
        Tfrm_Main window;
        QVERIFY(!window.startUp());
        QVERIFY(!boxes.shown.isEmpty());
        QVERIFY2(boxes.lastText().startsWith(QStringLiteral("Adatbázis megnyitás sikertelen")),
                 qPrintable(boxes.lastText()));
        QCOMPARE(boxes.shown.last().caption, QStringLiteral("Hiba"));
        QVERIFY(
            IniKeyExists(SettingsPath(), "Adatbazis", "ConStr1"));  // the set-up stored it as typed
        window.close();
        QVERIFY(!IniKeyExists(SettingsPath(), "frm_Main", "Left"));
    }

    void failedStartSavesNothing() {
        TestDatabase db;
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        // A profile the chooser's test connection accepts cannot fail later, so
        // use one whose display name is the only field: it is listed, tested and refused.
        const dbaccess::ConnectionParams server = TestDatabase::serverParams();
        WriteScrambledSetting(
            QString::fromLatin1(kProfileSection), ProfileKey(1),
            QStringList{QStringLiteral("nincs_ilyen_db"), server.host, QString::number(server.port),
                        server.user, server.password, QStringLiteral("Rossz")}
                .join(QLatin1Char(';')));
        BoxRecorder boxes;
        // The chooser comes up after the failed test; leave it with Esc.
        QTimer::singleShot(200, [] {
            if (QWidget* w = QApplication::activeModalWidget()) QTest::keyClick(w, Qt::Key_Escape);
        });
        Tfrm_Main window;
        QVERIFY(!window.startUp());
        QVERIFY(window.startFailed());
        QVERIFY(boxes.lastText().startsWith(QStringLiteral("Hiba: ")));
        window.close();
        // The chooser keeps its own placement; the register's settings stay unwritten.
        for (const char* section : {"Defaults", "Screen", "Afa", "Lang", "frm_Main"})
            QVERIFY2(IniReadString(SettingsPath(), section, "Left", "-") == "-" &&
                         IniReadString(SettingsPath(), section, "Format", "-") == "-" &&
                         IniReadString(SettingsPath(), section, "Afakulcs", "-") == "-" &&
                         IniReadString(SettingsPath(), section, "File", "-") == "-",
                     section);
    }
};

QTEST_MAIN(RegisterTest)
#include "RegisterTest.moc"
