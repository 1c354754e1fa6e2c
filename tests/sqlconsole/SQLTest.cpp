// The SQL console against a real database, driven by its keys: queries,
// scripts, "Eredmény", table mode with editing in the grid, the copy, the
// export, script files and a run that is stopped or closed.

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest/QtTest>

#include "common/Codepage.h"
#include "dbaccess/Dataset.h"
#include "output/Hatarolt.h"
#include "sqlconsole/SQL.h"
#include "sqlconsole/SqlEditor.h"
#include "sqlconsole/SqlGrid.h"
#include "support/WindowTestSupport.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QString serverText(const QString& sql) { return QueryText(sql, QStringLiteral("<none>")); }

}  // namespace

class SQLTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        fixture_ = std::make_unique<WindowFixture>();
        SetDataDir(fixture_->settingsDir.path());
        window_ = std::make_unique<Tfrm_SQL>();
        window_->show();
        Activate(window_.get());
    }
    void cleanup() {
        window_.reset();
        fixture_.reset();
    }

    void aLowerCaseQueryShowsItsRowsAtOneWidth() {
        run(QStringLiteral("select * from statusz"));
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsEredmeny);
        QCOMPARE(window_->DBGrid1->ShownDataset(), window_->Qry);
        QCOMPARE(window_->Qry->recordCount(), 6);
        QCOMPARE(window_->StatusPanel1->text(), QStringLiteral("6: 1"));
        for (int c = 0; c < window_->DBGrid1->horizontalHeader()->count(); ++c)
            QCOMPARE(window_->DBGrid1->columnWidth(c), 100);
        QVERIFY(window_->aExport->isEnabled() && window_->aMasol->isEnabled());
        QVERIFY(fixture_->boxes.shown.isEmpty());
        // Ctrl+Tab goes back and forth between the pages, whichever control has the keys.
        QTest::keyClick(window_->DBGrid1, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsSQL);
        QTest::keyClick(window_->Memo1, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsEredmeny);
    }

    void anythingButSelectAndShowRunsAsAScript_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("comment first") << "-- rows\nSELECT * FROM statusz;\nUPDATE statusz SET "
                                          "statusz_nev = 'x' WHERE statusz = 1";
        QTest::newRow("parenthesis")
            << "(SELECT * FROM statusz);\nUPDATE statusz SET statusz_nev = 'x' WHERE statusz = 1;";
        QTest::newRow("other keyword")
            << "UPDATE statusz SET statusz_nev = 'x' WHERE statusz = 1;\nSET @a := 1; SELECT @a;";
    }
    void anythingButSelectAndShowRunsAsAScript() {
        QFETCH(QString, text);
        run(text);
        QCOMPARE(fixture_->boxes.texts(), QStringList{QStringLiteral("SQL futtatás kész.")});
        QCOMPARE(serverText(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 1")),
                 QStringLiteral("x"));
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsSQL);
        QVERIFY(!window_->Qry->isOpen());
        QVERIFY(!window_->ProgressBar1->isVisible());
    }

    void aRefusedStatementStopsTheScriptAndShowsItsLine() {
        run(
            QStringLiteral("UPDATE statusz SET statusz_nev = 'x' WHERE statusz = 1;\n\nINSERT INTO "
                           "nincs\n  VALUES (1);\n"
                           "UPDATE statusz SET statusz_nev = 'y' WHERE statusz = 2;"));
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QCOMPARE(fixture_->boxes.shown.at(0).caption, QStringLiteral("Hiba"));
        QVERIFY2(fixture_->boxes.lastText().startsWith(QStringLiteral("Hiba: ")) &&
                     fixture_->boxes.lastText().contains(QStringLiteral("nincs")),
                 qPrintable(fixture_->boxes.lastText()));
        int line = -1;
        int index = -1;
        window_->Memo1->getCursorPosition(&line, &index);
        QCOMPARE(line, 2);
        QCOMPARE(window_->Memo1->selectedText(), QStringLiteral("INSERT INTO nincs"));
        QVERIFY(!window_->ProgressBar1->isVisible());
        QCOMPARE(serverText(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 1")),
                 QStringLiteral("x"));
        QVERIFY(serverText(QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = 2")) !=
                QStringLiteral("y"));
    }

    // Typing over a selection leaves no selection behind: what was typed runs.
    void textTypedOverASelectionRunsAtOnce() {
        window_->Memo1->setText(QStringLiteral("régi szöveg"));
        window_->Memo1->selectAll();
        QTest::keyClicks(window_->Memo1, QStringLiteral("select 1 as egy;"));
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QVERIFY2(fixture_->boxes.shown.isEmpty(), qPrintable(fixture_->boxes.lastText()));
        QVERIFY(window_->Qry->isOpen());
        QCOMPARE(window_->Qry->fieldNames(), QStringList{QStringLiteral("egy")});
    }

    void aTextWithoutStatementsSaysThereWasNothingToRun_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("only comments") << "-- semmi\n/* még ez sem */\n#\n";
        QTest::newRow("blank") << "  \n\n";
    }
    void aTextWithoutStatementsSaysThereWasNothingToRun() {
        QFETCH(QString, text);
        run(text);
        QCOMPARE(fixture_->boxes.texts(),
                 QStringList{QStringLiteral("Nem volt mit futtatni: a szöveg (vagy a kijelölés) "
                                            "üres, vagy csak megjegyzést tartalmaz.")});
        QVERIFY(!window_->ProgressBar1->isVisible());
    }

    void resultShowsTheFirstOfTwoQueries() {
        window_->Memo1->setText(QStringLiteral("SELECT 'a;b' AS elso;\nSELECT 2 AS masodik;"));
        QTest::keyClick(window_->Memo1, Qt::Key_F9);
        QCOMPARE(window_->Qry->fieldNames(), QStringList{QStringLiteral("elso")});
        QCOMPARE(window_->Qry->textAt(0, 0), QStringLiteral("a;b"));
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsEredmeny);
    }

    void aRefusedQueryShowsTheServersMessage() {
        run(QStringLiteral("SELECT * FROM nincs"));
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QVERIFY(fixture_->boxes.lastText().startsWith(QStringLiteral("SQL hiba:\r\n")));
        QVERIFY(fixture_->boxes.lastText().contains(QStringLiteral("nincs")));
        QCOMPARE(window_->PageControl1->currentWidget(), window_->tsSQL);
    }

    void aSelectionRunsButTableModeLooksAtTheFirstLine() {
        window_->Memo1->setText(QStringLiteral("SELECT 1 AS egy;\nSELECT 2 AS ketto;"));
        window_->Memo1->setSelection(1, 0, 1, 17);
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QCOMPARE(window_->Qry->fieldNames(), QStringList{QStringLiteral("ketto")});

        window_->Memo1->setText(QStringLiteral("table: statusz\nSELECT 2 AS ketto;"));
        window_->Memo1->setSelection(1, 0, 1, 17);
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QCOMPARE(window_->DBGrid1->ShownDataset(), window_->Tbl);
        QCOMPARE(window_->Tbl->recordCount(), 6);
        for (int c = 0; c < window_->DBGrid1->horizontalHeader()->count(); ++c)
            QVERIFY(window_->DBGrid1->columnWidth(c) <= 100);
    }

    void aTableIsEditedRowByRowInTheGrid() {
        run(QStringLiteral("TABLE: statusz"));
        TSqlGrid* grid = window_->DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 1));
        const QString nameOfFirst =
            QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = ") +
            window_->Tbl->textAt(0, 0);
        QTest::keyClick(grid, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(qobject_cast<QLineEdit*>(editor));
        static_cast<QLineEdit*>(editor)->setText(QStringLiteral("Új név"));
        QTest::keyClick(editor, Qt::Key_Return);
        // Stored when the row is left, not before.
        QVERIFY(serverText(nameOfFirst) != QStringLiteral("Új név"));
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(serverText(nameOfFirst), QStringLiteral("Új név"));
        QCOMPARE(window_->StatusPanel1->text(), QStringLiteral("6: 2"));

        // Insert adds a row, stored when it is left; Ctrl+Delete deletes it after the question.
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(window_->StatusPanel1->text(), QStringLiteral("7: 7"));
        grid->setCurrentIndex(grid->model()->index(6, 1));
        QTest::keyClick(grid, Qt::Key_F2);
        static_cast<QLineEdit*>(QApplication::focusWidget())->setText(QStringLiteral("Hetedik"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(serverText(
                     QStringLiteral("SELECT COUNT(*) FROM statusz WHERE statusz_nev = 'Hetedik'")),
                 QStringLiteral("1"));
        QTest::keyClick(grid, Qt::Key_Down);
        fixture_->boxes.answers << true;
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.lastText(), QStringLiteral("Valóban töröljem a sort?"));
        QCOMPARE(serverText(QStringLiteral("SELECT COUNT(*) FROM statusz")), QStringLiteral("6"));
        QCOMPARE(window_->StatusPanel1->text(), QStringLiteral("6: 6"));
    }

    void aRowTheServerRefusesKeepsItsValuesUntilEsc() {
        run(QStringLiteral("table: statusz"));
        TSqlGrid* grid = window_->DBGrid1;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 0));
        const QString key = window_->Tbl->textAt(0, 0);
        const QString taken = window_->Tbl->textAt(1, 0);
        QTest::keyClick(grid, Qt::Key_F2);
        static_cast<QLineEdit*>(QApplication::focusWidget())->setText(taken);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("Duplicate")),
                 qPrintable(fixture_->boxes.lastText()));
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), taken);
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(grid->model()->index(0, 0).data().toString(), key);
        QVERIFY(window_->isVisible());
    }

    void copyWritesTabsAfterEveryFieldAndCommasForSemicolons() {
        run(QStringLiteral("SELECT 'a;b' AS x, NULL AS y UNION ALL SELECT 'c', 'd'"));
        QTest::keyClick(window_->DBGrid1, Qt::Key_F3);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("x\ty\t\r\na,b\t\t\r\nc\td\t\r\n"));
        QCOMPARE(window_->Qry->currentRow(), 1);
        QVERIFY(fixture_->boxes.shown.isEmpty());
    }

    void exportOpensTheExportWindowOverTheShownResult() {
        run(QStringLiteral("SELECT statusz, statusz_nev FROM statusz"));
        int columns = -1;
        QString file;
        OnModal([&](QWidget* modal) {
            auto* exporter = As<Tfrm_Hatarolt>(modal);
            if (!exporter) return;
            columns = exporter->CheckListBox1->count();
            file = exporter->Edit1->text();
        });
        QTest::keyClick(window_->Memo1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(columns, 2);
        QVERIFY2(file.endsWith(QStringLiteral("File001.csv")), qPrintable(file));
    }

    void scriptFilesAreSavedAndOpenedInTheScriptFolder() {
        const QString folder = DataDir() + QStringLiteral("/SQL");
        window_->Memo1->setText(QStringLiteral("SELECT 'árvíztűrő';"));
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("SQL mentése"));
            QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(folder).absolutePath());
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QStringLiteral("proba"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::keyClick(window_->Memo1, Qt::Key_S, Qt::ControlModifier);
        const QString saved = folder + QStringLiteral("/proba.sql");
        QCOMPARE(window_->FileName(), saved);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ToCp1250(QStringLiteral("SELECT 'árvíztűrő';")));

        Activate(window_.get());  // the closed dialog does not hand the activation back offscreen
        QFile dump(folder + QStringLiteral("/dump.sql"));
        QVERIFY(dump.open(QIODevice::WriteOnly));
        dump.write(QStringLiteral("SET NAMES utf8mb4;\nSELECT 'tűrő';\n").toUtf8());
        dump.close();
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("SQL megnyitás"));
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QStringLiteral("dump.sql"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::keyClick(window_->Memo1, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(window_->Memo1->text(), QStringLiteral("SET NAMES utf8mb4;\nSELECT 'tűrő';\n"));
        QCOMPARE(window_->FileName(), folder + QStringLiteral("/dump.sql"));
        Activate(window_.get());
        // Ctrl+N empties the text and keeps the name.
        QTest::keyClick(window_->Memo1, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(window_->Memo1->text().isEmpty());
        QCOMPARE(window_->FileName(), folder + QStringLiteral("/dump.sql"));
    }

    void escDuringARunAsksAndStopsAfterTheCurrentStatement() {
        window_->Memo1->setText(slowScript(30));
        bool secondRunStarted = false;
        QTimer::singleShot(150, [&] {
            // A second run cannot start while one goes on.
            secondRunStarted = window_->aFuttat->isEnabled();
            window_->aFuttat->trigger();
            fixture_->boxes.answers << true;
            QTest::keyClick(window_->Memo1, Qt::Key_Escape);
        });
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QVERIFY(!secondRunStarted);
        QCOMPARE(fixture_->boxes.texts(),
                 (QStringList{
                     QStringLiteral("Fut egy SQL szkript. Leállítsam a most futó utasítás után?"),
                     QStringLiteral("SQL futtatás leállítva.")}));
        const int ran =
            serverText(
                QStringLiteral("SELECT COUNT(*) FROM alairas WHERE alairas_nev LIKE 'lassú%'"))
                .toInt();
        QVERIFY2(ran > 0 && ran < 30, qPrintable(QString::number(ran)));
        QVERIFY(window_->aFuttat->isEnabled());
        QVERIFY(window_->isVisible());
    }

    // The tool bar's "Bezár" asks as the window's close box does.
    void bezarDuringARunAsksAndClosesOnceTheRunStopped() {
        window_->Memo1->setText(slowScript(30));
        QTimer::singleShot(150, [&] {
            fixture_->boxes.answers << true;
            QTest::mouseClick(window_->ToolBar1->widgetForAction(window_->aBezar), Qt::LeftButton);
        });
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QCOMPARE(fixture_->boxes.texts(),
                 QStringList{
                     QStringLiteral("Fut egy SQL szkript. Leállítsam a most futó utasítás után?")});
        QVERIFY(!window_->isVisible());
    }

    void closingDuringARunClosesOnceTheRunStopped() {
        window_->Memo1->setText(slowScript(30));
        QTimer::singleShot(150, [&] {
            fixture_->boxes.answers << false << true;
            window_->close();  // "no": the run goes on
            QVERIFY(window_->isVisible());
            window_->close();
        });
        QTest::keyClick(window_->Memo1, Qt::Key_F5);
        QVERIFY(!window_->isVisible());
        QCOMPARE(fixture_->boxes.shown.size(), 2);
        const int ran =
            serverText(
                QStringLiteral("SELECT COUNT(*) FROM alairas WHERE alairas_nev LIKE 'lassú%'"))
                .toInt();
        QVERIFY(ran < 30);
    }

  private:
    void run(const QString& text) {
        window_->Memo1->setText(text);
        QTest::keyClick(window_->Memo1, Qt::Key_Return, Qt::ControlModifier);
    }

    static QString slowScript(int statements) {
        QString text;
        for (int i = 0; i < statements; ++i)
            text += QStringLiteral(
                "INSERT INTO alairas (alairas_nev) SELECT CONCAT('lassú', SLEEP(0.02));\n");
        return text;
    }

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<Tfrm_SQL> window_;
};

QTEST_MAIN(SQLTest)
#include "SQLTest.moc"
