// The cost summary window over the demo data, driven by keys: what it counts
// when it opens, where a row leads, what a bad range shows, and what it
// remembers. ZOMI_SHOT_DIR, when set, receives a picture of the window.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>

#include "costreport/CostChart.h"
#include "costreport/KoltsegMunkalapok.h"
#include "costreport/Koltsegkimutatas.h"
#include "support/WindowTestSupport.h"

using namespace zomi;
using namespace zomi::costreport;
using zomi::test::WindowFixture;

class KoltsegkimutatasTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithThisYearBySite();
    void aRowLeadsToExactlyItsWorkOrders();
    void aBadRangeShowsANoteAndNoBox();
    void theParametersAreRemembered();
};

namespace {

void shoot(QWidget* window, const char* name) {
    const QByteArray dir = qgetenv("ZOMI_SHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) +
                            QStringLiteral(".png"));
}

}  // namespace

void KoltsegkimutatasTest::opensWithThisYearBySite() {
    WindowFixture f;
    Tfrm_Koltsegkimutatas w(0);
    w.show();
    w.waitForFigures();
    const int year = ServerDate().date().year();
    QCOMPARE(w.DateEdit1->date(), QDate(year, 1, 1));
    QCOMPARE(w.ComboCsop1->currentText(), QStringLiteral("Költséghely"));
    const CostTable& t = w.table();
    QVERIFY(!t.rows.empty());
    QCOMPARE(
        t.totals[static_cast<size_t>(t.countColumn)].toLongLong(),
        static_cast<qlonglong>(QueryInt(
            QStringLiteral("SELECT COUNT(*) FROM zomi WHERE YEAR(datum) = %1;").arg(year), -1)));
    // The table shows every group and the totals; the chart a bar per group (at most 15).
    QCOMPARE(w.DBGrid1->model()->rowCount(), static_cast<int>(t.rows.size()) + 1);
    QVERIFY(!w.Chart1->data().bars.empty());
    QVERIFY(f.boxes.texts().isEmpty());
    // The time taken is a Hungarian number, whatever the machine's locale.
    QVERIFY2(QRegularExpression(QStringLiteral(" \\d+,\\d\\d mp alatt$"))
                 .match(w.LblAllapot->text())
                 .hasMatch(),
             qPrintable(w.LblAllapot->text()));
    w.resize(1200, 700);
    shoot(&w, "koltsegkimutatas-demo");
}

void KoltsegkimutatasTest::aRowLeadsToExactlyItsWorkOrders() {
    WindowFixture f;
    Tfrm_Koltsegkimutatas w(0);
    w.show();
    test::Activate(&w);
    w.ComboCsop1->setCurrentIndex(1);  // contractor
    w.waitForFigures();
    QVERIFY(!w.table().rows.empty());
    const qlonglong expected =
        w.table().rows[0].cells[static_cast<size_t>(w.table().countColumn)].toLongLong();
    qlonglong listed = -1;
    test::OnModal([&](QWidget* window) {
        auto* list = test::As<Tfrm_KoltsegMunkalapok>(window);
        if (list) listed = list->list().recordCount();
    });
    w.DBGrid1->setFocus();
    w.DBGrid1->setCurrentIndex(w.DBGrid1->model()->index(0, 0));
    QTest::keyClick(w.DBGrid1, Qt::Key_Return);
    QCOMPARE(listed, expected);
}

void KoltsegkimutatasTest::aBadRangeShowsANoteAndNoBox() {
    WindowFixture f;
    Tfrm_Koltsegkimutatas w(0);
    w.show();
    w.waitForFigures();
    w.DateEdit1->setDate(QDate(2026, 5, 1));
    w.DateEdit2->setDate(QDate(2026, 4, 1));
    w.waitForFigures();
    QVERIFY(w.LblMegjegyzes->text().contains(QStringLiteral("későbbi")));
    QVERIFY(w.table().rows.empty());
    // A year without work orders: an empty table with its note.
    w.DateEdit2->setDate(QDate(1990, 12, 31));
    w.DateEdit1->setDate(QDate(1990, 1, 1));
    w.waitForFigures();
    QVERIFY(w.table().rows.empty());
    QVERIFY(w.LblMegjegyzes->text().contains(QStringLiteral("nincs")));
    QVERIFY(f.boxes.texts().isEmpty());
}

void KoltsegkimutatasTest::theParametersAreRemembered() {
    WindowFixture f;
    {
        Tfrm_Koltsegkimutatas w(2025);
        w.show();
        w.ComboGyors->setCurrentIndex(5);  // the register's year
        emit w.ComboGyors->activated(5);
        w.ComboCsop1->setCurrentIndex(2);  // month
        w.ComboCsop2->setCurrentIndex(1);  // site
        w.waitForFigures();
        QCOMPARE(w.params().period, (Period{QDate(2025, 1, 1), QDate(2025, 12, 31)}));
        QVERIFY(w.table().pivotColumns > 0);
        w.accept();
    }
    Tfrm_Koltsegkimutatas again(0);
    QCOMPARE(again.DateEdit1->date(), QDate(2025, 1, 1));
    QCOMPARE(again.params().first, Grouping::Month);
    QCOMPARE(again.params().second, Grouping::Site);
    again.waitForFigures();
}

QTEST_MAIN(KoltsegkimutatasTest)
#include "KoltsegkimutatasTest.moc"
