#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QtTest>
#include <memory>

#include "common/Beall.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "masterdata/TorzsVallalkozo.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "workorders/AmountEdit.h"
#include "workorders/Szerkeszt.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

int serverYear() { return ServerDate().date().year(); }

QString printedNumber(int serial, int year) {
    return QueryText(QStringLiteral("SELECT fn_sorszamstr(%1, %2);").arg(serial).arg(year),
                     QString());
}

int countRows(const QString& where = QStringLiteral("1 = 1")) {
    return QueryInt(
        QStringLiteral("SELECT COUNT(*) FROM zomi WHERE ") + where + QStringLiteral(";"), -1);
}

QString column(int key, const QString& name) {
    return QueryText(
        QStringLiteral("SELECT IFNULL(%1, 'NULL') FROM zomi WHERE zomi = %2;").arg(name).arg(key),
        QStringLiteral("<no row>"));
}

double amount(int key, const QString& name) {
    return QueryFloat(QStringLiteral("SELECT %1 FROM zomi WHERE zomi = %2;").arg(name).arg(key),
                      -1);
}

// Every column of every work order but one, to show that nothing else moved.
QString rowsOtherThan(int key) {
    return QueryText(
        QStringLiteral(
            "SELECT GROUP_CONCAT(CONCAT_WS('|', zomi, IFNULL(datum,'-'), IFNULL(ido,'-'), "
            "IFNULL(sorszam,'-'), IFNULL(vallalkozo,'-'), IFNULL(ktgh,'-'), "
            "IFNULL(kiad_datum,'-'), IFNULL(hatar_datum,'-'), IFNULL(alairas,'-'), "
            "IFNULL(munka,'-'), IFNULL(munkadij1,'-'), IFNULL(ossz,'-'), "
            "IFNULL(statusz,'-'), IFNULL(afas,'-')) ORDER BY zomi SEPARATOR '\\n') "
            "FROM zomi WHERE zomi <> %1;")
            .arg(key),
        QString());
}

int insertWorkOrder(const QString& values) {
    ExecSql(QStringLiteral(
                "INSERT INTO zomi (datum, ido, sorszam, vallalkozo, ktgh, kiad_datum, hatar_datum, "
                "alairas, munka, statusz, afas) VALUES (") +
            values + QStringLiteral(");"));
    return QueryInt(QStringLiteral("SELECT MAX(zomi) FROM zomi;"), -1);
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// Typed as key presses, letters outside Latin-1 (ő, ű) included.
void typeKeys(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

void typeInto(QWidget* box, const QString& text) {
    box->setFocus();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box)) memo->moveCursor(QTextCursor::End);
    typeKeys(QApplication::focusWidget(), text);
}

// Acts for the user in a window once it is on the screen, from inside the
// modal loop that shows it.
class WhenShown : public QObject {
  public:
    WhenShown(const QString& name, std::function<void(QWidget*)> act)
        : name_(name), act_(std::move(act)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == name_ &&
            watched->isWidgetType()) {
            QPointer<QWidget> window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, this, [this, window] {
                if (window) act_(window);
            });
        }
        return false;
    }

  private:
    QString name_;
    std::function<void(QWidget*)> act_;
};

// The editor as the user sees it, with the master-data windows replaced by
// the answers a test gives.
struct Editor {
    Tfrm_Szerkeszt window;
    int contractor = 1;
    int site = 1;
    int signatory = 1;
    QString signatoryName = QStringLiteral("Kiss Anna");
    int status = 3;
    QString statusName = QStringLiteral("Elkészült");
    QStringList lookups;  // table/caption of each lookup chooser call

    Editor() {
        window.choosers().contractor = [this] { return contractor; };
        window.choosers().site = [this] { return site; };
        window.choosers().lookup = [this](const QString& table, const QString& caption,
                                          QString* name) {
            lookups << table + QLatin1Char('/') + caption;
            const bool isSignatory = table == QLatin1String("alairas");
            const int key = isSignatory ? signatory : status;
            if (key != -1) *name = isSignatory ? signatoryName : statusName;
            return key;
        };
    }

    bool open(int key) {
        if (!window.open(key)) return false;
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void chooseRequired() {
        click(window.BitBtn2);
        click(window.BitBtn1);
        click(window.BitBtn3);
    }

    // The key the opener would return.
    int confirm() {
        click(window.Button1);
        return window.isVisible() ? -2 : window.finish();
    }
};

}  // namespace

class SzerkesztTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newWorkOrdersAreNumberedFromOneEachYear();
    void missingRequiredColumnIsShownAndInputKept();
    void theMemoHoldsNoMoreThanItsColumn();
    void missingDeadlineCanBeGivenInThePicker();
    void chosenMasterDataAndComputedFeesAreStored();
    void choosersThatAreCancelledChangeNothing();
    void contractorWithoutRatesLeavesRateBoxesEmpty();
    void untickedVatMakesGrossEqualNet();
    void mistypedAmountIsReportedAndKept();
    void namesOfMissingRowsShowNotGiven();
    void enterAddsLineInMemoAndMovesOnElsewhere();
    void cancellingStoresNothing_data();
    void cancellingStoresNothing();
    void editingAnExistingWorkOrderChangesOnlyIt();
    void twoNewWorkOrdersOpenedAtOnceGetDifferentNumbers();
    void workOrderDeletedMeanwhileIsReported_data();
    void workOrderDeletedMeanwhileIsReported();
    void workOrderChangedMeanwhileIsReported();
    void workOrderGoneBeforeOpeningIsReported();
    void openerReturnsStoredKeyOrMinusOne();
    void contractorIsChosenInTheRealList();
    void layoutFitsTheWindow_data();
    void layoutFitsTheWindow();

  private:
    void useDemoData();

    QTemporaryDir settingsDir_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> connection_;
    // Every test answers its boxes: one shown for real would wait for a user.
    std::unique_ptr<BoxRecorder> boxes_;
};

void SzerkesztTest::initTestCase() {
    QVERIFY(settingsDir_.isValid());
    SetSettingsPath(settingsDir_.filePath(QStringLiteral("Zomi.ini")));
    Beall.Afakulcs = 1.27;
}

void SzerkesztTest::init() {
    boxes_ = std::make_unique<BoxRecorder>();
    Beall.FontSize = 9;
    db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Schema);
    connection_ = db_->connect();
    SetMainConnection(connection_.get());
    ExecSql(
        q("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev, oradij, kiszdij, afas) VALUES "
          "(1, 'Áfás Kft.', 127, 254, 'I'), (2, 'Alanyi Bt.', 5000, NULL, 'N'), "
          "(3, 'Díjtalan Bt.', 0, 0, 'I');"));
    ExecSql(
        q("INSERT INTO ktgh (ktgh, cim) VALUES (1, 'Budapest, Fő utca 1.'), (2, 'Budapest, Tűzoltó "
          "utca 3.');"));
    ExecSql(
        q("INSERT INTO alairas (alairas, alairas_nev) VALUES (1, 'Kiss Anna'), (2, 'Nagy Béla');"));
}

void SzerkesztTest::cleanup() {
    SetMainConnection(nullptr);
    connection_.reset();
    db_.reset();
    boxes_.reset();
}

void SzerkesztTest::useDemoData() {
    SetMainConnection(nullptr);
    connection_.reset();
    db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
    connection_ = db_->connect();
    SetMainConnection(connection_.get());
}

void SzerkesztTest::newWorkOrdersAreNumberedFromOneEachYear() {
    BoxRecorder& boxes = *boxes_;
    const int year = serverYear();
    // Last year's numbers do not count, however high.
    insertWorkOrder(
        QStringLiteral("'%1-06-01', '10:00', 41, 1, 1, '%1-06-01', '%1-06-08', 1, 'régi', 5, 'I'")
            .arg(year - 1));

    Editor first;
    QVERIFY(first.open(-1));
    QCOMPARE(first.window.Edit5->text(), printedNumber(1, year));
    QCOMPARE(first.window.DBEdit2->text(),
             QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
    QCOMPARE(first.window.Edit4->text(), q("Rögzítve"));
    first.chooseRequired();
    const int firstKey = first.confirm();
    QVERIFY(firstKey > 0);
    QCOMPARE(column(firstKey, QStringLiteral("sorszam")), QStringLiteral("1"));
    QCOMPARE(column(firstKey, QStringLiteral("YEAR(datum)")), QString::number(year));
    QCOMPARE(column(firstKey, QStringLiteral("statusz")), QStringLiteral("1"));
    QCOMPARE(column(firstKey, QStringLiteral("kiad_datum = datum AND hatar_datum = datum")),
             QStringLiteral("1"));
    QVERIFY(column(firstKey, QStringLiteral("ido")) != QLatin1String("NULL"));

    Editor second;
    QVERIFY(second.open(-1));
    QCOMPARE(second.window.Edit5->text(), printedNumber(2, year));
    second.chooseRequired();
    const int secondKey = second.confirm();
    QVERIFY(secondKey > firstKey);
    QCOMPARE(column(secondKey, QStringLiteral("sorszam")), QStringLiteral("2"));
    QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
}

void SzerkesztTest::missingRequiredColumnIsShownAndInputKept() {
    // The order of the check is the store's; the window shows its message,
    // leads to the control that sets the column and keeps what was typed.
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-01-05', '08:00', 1, 1, 1, '2026-01-05', '2026-01-09', NULL, 'eredeti', 1, 'N'"));
    const QString before = rowsOtherThan(-1);

    BoxRecorder& boxes = *boxes_;
    Editor editor;
    QVERIFY(editor.open(key));
    typeInto(editor.window.DBMemo1, QStringLiteral(" kiegészítve"));
    editor.click(editor.window.Button1);

    QCOMPARE(boxes.texts(), QStringList{q("Aláíró megadása kötelező")});
    QCOMPARE(boxes.shown.first().kind, BoxKind::Error);
    QCOMPARE(editor.window.focusWidget(), editor.window.BitBtn3);
    QVERIFY(editor.window.isVisible());
    QCOMPARE(editor.window.DBMemo1->toPlainText(), QStringLiteral("eredeti kiegészítve"));
    QCOMPARE(rowsOtherThan(-1), before);
}

void SzerkesztTest::theMemoHoldsNoMoreThanItsColumn() {
    // What the memo shows is what is stored, on a server that would cut it too.
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-01-05', '08:00', 1, 1, 1, '2026-01-05', '2026-01-09', 1, 'eleje', 1, 'N'"));
    Editor editor;
    QVERIFY(editor.open(key));
    QPlainTextEdit* memo = editor.window.DBMemo1;
    memo->moveCursor(QTextCursor::End);
    memo->insertPlainText(QString(300, QLatin1Char('x')));
    QCOMPARE(memo->toPlainText(), QStringLiteral("eleje") + QString(250, QLatin1Char('x')));
    memo->setFocus();
    memo->moveCursor(QTextCursor::Start);
    typeKeys(memo, QStringLiteral("z"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("eleje") + QString(250, QLatin1Char('x')));
    editor.click(editor.window.Button1);
    QVERIFY2(boxes_->shown.isEmpty(), qPrintable(boxes_->texts().join(QLatin1Char('\n'))));
    QCOMPARE(column(key, QStringLiteral("munka")), memo->toPlainText());
}

void SzerkesztTest::missingDeadlineCanBeGivenInThePicker() {
    const int key = insertWorkOrder(
        QStringLiteral("'2026-01-05', '08:00', 1, 1, 1, '2026-01-05', NULL, 1, 'x', 1, 'N'"));
    BoxRecorder& boxes = *boxes_;
    Editor editor;
    QVERIFY(editor.open(key));
    // No made-up date stands in for the missing one.
    QCOMPARE(editor.window.DateTimePicker3->text(), QStringLiteral("----.--.--"));
    editor.click(editor.window.Button1);
    QCOMPARE(boxes.lastText(), q("Határidő megadása kötelező"));
    QCOMPARE(QApplication::focusWidget(), editor.window.DateTimePicker3);

    editor.window.DateTimePicker3->setDate(QDate(2026, 1, 20));
    QCOMPARE(editor.confirm(), key);
    QCOMPARE(column(key, QStringLiteral("hatar_datum")), QStringLiteral("2026-01-20"));
    QCOMPARE(boxes.shown.size(), 1);
}

void SzerkesztTest::chosenMasterDataAndComputedFeesAreStored() {
    BoxRecorder& boxes = *boxes_;
    Editor editor;
    Tfrm_Szerkeszt& w = editor.window;
    QVERIFY(editor.open(-1));

    typeInto(w.DBEdit5, QStringLiteral("999"));  // replaced by the contractor's rate
    editor.click(w.BitBtn2);
    QCOMPARE(w.Edit2->text(), q("Budapest, Fő utca 1."));
    QCOMPARE(QApplication::focusWidget(), w.BitBtn1);
    editor.click(w.BitBtn1);
    QCOMPARE(w.Edit1->text(), q("Áfás Kft."));
    QCOMPARE(w.DBCheckBox1->checkState(), Qt::Checked);
    QCOMPARE(w.DBEdit5->text(), QStringLiteral("100"));
    QCOMPARE(w.DBEdit11->text(), QStringLiteral("200"));
    QVERIFY(QApplication::focusWidget() == w.DateTimePicker2 ||
            QApplication::focusWidget()->parentWidget() == w.DateTimePicker2);
    editor.signatory = 2;
    editor.signatoryName = q("Nagy Béla");
    editor.click(w.BitBtn3);
    QCOMPARE(w.Edit3->text(), q("Nagy Béla"));
    QCOMPARE(QApplication::focusWidget(), w.BitBtn8);
    editor.click(w.BitBtn8);
    QCOMPARE(w.Edit4->text(), q("Elkészült"));
    QCOMPARE(QApplication::focusWidget(), w.DBEdit5);
    QCOMPARE(editor.lookups, (QStringList{q("alairas/Aláírás"), q("statusz/Státusz")}));

    typeInto(w.DBEdit6, QStringLiteral("3"));
    typeInto(w.DBEdit12, QStringLiteral("2"));
    typeInto(w.DBMemo1, q("Csőtörés javítása"));
    // Nothing is derived until the buttons are pressed.
    QCOMPARE(w.DBEdit9->text(), QString());
    w.BitBtn5->setFocus();
    press(Qt::Key_Space);
    QCOMPARE(w.DBEdit9->text(), QStringLiteral("300"));
    QCOMPARE(QApplication::focusWidget(), w.DBEdit11);
    editor.click(w.BitBtn6);
    QCOMPARE(w.DBEdit13->text(), QStringLiteral("400"));
    QCOMPARE(QApplication::focusWidget(), w.DBEdit17);
    editor.click(w.BitBtn7);
    QCOMPARE(w.DBEdit15->text(), QStringLiteral("889"));
    QCOMPARE(QApplication::focusWidget(), w.Button1);

    const int key = editor.confirm();
    QVERIFY(key > 0);
    QCOMPARE(column(key, QStringLiteral("vallalkozo")), QStringLiteral("1"));
    QCOMPARE(column(key, QStringLiteral("ktgh")), QStringLiteral("1"));
    QCOMPARE(column(key, QStringLiteral("alairas")), QStringLiteral("2"));
    QCOMPARE(column(key, QStringLiteral("statusz")), QStringLiteral("3"));
    QCOMPARE(column(key, QStringLiteral("afas")), QStringLiteral("I"));
    QCOMPARE(column(key, QStringLiteral("munka")), q("Csőtörés javítása"));
    QCOMPARE(amount(key, QStringLiteral("munkadij1")), 100.0);
    QCOMPARE(amount(key, QStringLiteral("munkadij2")), 3.0);
    QCOMPARE(amount(key, QStringLiteral("kiszdij1")), 200.0);
    QCOMPARE(amount(key, QStringLiteral("munkadij3")), 300.0);
    QCOMPARE(amount(key, QStringLiteral("kiszdij3")), 400.0);
    QCOMPARE(amount(key, QStringLiteral("munkadij4")), 381.0);
    QCOMPARE(amount(key, QStringLiteral("kiszdij4")), 508.0);
    QCOMPARE(amount(key, QStringLiteral("anyag4")), 0.0);
    QCOMPARE(amount(key, QStringLiteral("ossz")), 889.0);
    QCOMPARE(column(key, QStringLiteral("anyag3")), QStringLiteral("NULL"));
    QVERIFY(boxes.shown.isEmpty());
}

void SzerkesztTest::choosersThatAreCancelledChangeNothing() {
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-02-01', '09:30', 4, 2, 2, '2026-02-01', '2026-02-10', 2, 'x', 2, 'N'"));
    ExecSql(QStringLiteral("UPDATE zomi SET munkadij1 = 4500 WHERE zomi = %1;").arg(key));
    Editor editor;
    editor.contractor = editor.site = editor.signatory = editor.status = -1;
    QVERIFY(editor.open(key));
    const QStringList names{editor.window.Edit1->text(), editor.window.Edit2->text(),
                            editor.window.Edit3->text(), editor.window.Edit4->text()};
    for (QPushButton* chooser : {editor.window.BitBtn1, editor.window.BitBtn2,
                                 editor.window.BitBtn3, editor.window.BitBtn8})
        editor.click(chooser);
    QCOMPARE((QStringList{editor.window.Edit1->text(), editor.window.Edit2->text(),
                          editor.window.Edit3->text(), editor.window.Edit4->text()}),
             names);
    QCOMPARE(editor.confirm(), key);
    QCOMPARE(
        column(key, QStringLiteral(
                        "CONCAT_WS(',', vallalkozo, ktgh, alairas, statusz, munkadij1, afas)")),
        QStringLiteral("2,2,2,2,4500,N"));
}

void SzerkesztTest::contractorWithoutRatesLeavesRateBoxesEmpty() {
    Editor editor;
    QVERIFY(editor.open(-1));
    typeInto(editor.window.DBEdit11, QStringLiteral("123"));
    editor.contractor = 2;  // no VAT, no call-out fee
    editor.click(editor.window.BitBtn1);
    QCOMPARE(editor.window.DBEdit5->text(), QStringLiteral("5 000"));
    QCOMPARE(editor.window.DBEdit11->text(), QString());
    QCOMPARE(editor.window.DBCheckBox1->checkState(), Qt::Unchecked);
    editor.contractor = 3;  // rates of 0
    editor.click(editor.window.BitBtn1);
    QCOMPARE(editor.window.DBEdit5->text(), QString());
    QCOMPARE(editor.window.DBEdit11->text(), QString());
    editor.click(editor.window.BitBtn2);
    editor.click(editor.window.BitBtn3);
    const int key = editor.confirm();
    QVERIFY(key > 0);
    QCOMPARE(
        column(key,
               QStringLiteral(
                   "CONCAT_WS(',', IFNULL(munkadij1, 'null'), IFNULL(kiszdij1, 'null'), afas)")),
        QStringLiteral("null,null,I"));
}

void SzerkesztTest::untickedVatMakesGrossEqualNet() {
    Editor editor;
    Tfrm_Szerkeszt& w = editor.window;
    QVERIFY(editor.open(-1));
    editor.chooseRequired();
    QCOMPARE(w.DBCheckBox1->checkState(), Qt::Checked);
    w.DBCheckBox1->setFocus();
    press(Qt::Key_Space);
    QCOMPARE(w.DBCheckBox1->checkState(), Qt::Unchecked);
    // Unticking recomputes nothing by itself.
    QCOMPARE(w.DBEdit5->text(), QStringLiteral("100"));
    typeInto(w.DBEdit6, QStringLiteral("3"));
    typeInto(w.DBEdit12, QStringLiteral("2"));
    typeInto(w.DBEdit17, QStringLiteral("1000,5"));
    editor.click(w.BitBtn5);
    editor.click(w.BitBtn6);
    editor.click(w.BitBtn7);
    const int key = editor.confirm();
    QVERIFY(key > 0);
    QCOMPARE(column(key, QStringLiteral("afas")), QStringLiteral("N"));
    QCOMPARE(amount(key, QStringLiteral("munkadij4")), 300.0);
    QCOMPARE(amount(key, QStringLiteral("kiszdij4")), 400.0);
    QCOMPARE(amount(key, QStringLiteral("anyag4")), 1000.5);
    QCOMPARE(amount(key, QStringLiteral("ossz")), 1700.5);
}

void SzerkesztTest::mistypedAmountIsReportedAndKept() {
    BoxRecorder& boxes = *boxes_;
    Editor editor;
    Tfrm_Szerkeszt& w = editor.window;
    QVERIFY(editor.open(-1));
    editor.chooseRequired();
    typeInto(w.DBEdit6, QStringLiteral("3 óra"));
    editor.click(w.BitBtn5);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.lastText().contains(q("„Óra”")), qPrintable(boxes.lastText()));
    QCOMPARE(w.DBEdit9->text(), QString());
    QCOMPARE(QApplication::focusWidget(), w.DBEdit6);

    editor.click(w.Button1);
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY(w.isVisible());
    QCOMPARE(w.DBEdit6->text(), q("3 óra"));
    QCOMPARE(countRows(), 0);

    w.DBEdit6->selectAll();
    typeKeys(w.DBEdit6, QStringLiteral("2,5"));
    const int key = editor.confirm();
    QVERIFY(key > 0);
    QCOMPARE(amount(key, QStringLiteral("munkadij2")), 2.5);
}

void SzerkesztTest::namesOfMissingRowsShowNotGiven() {
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-03-01', '10:00', 9, 999, NULL, '2026-03-01', '2026-03-02', 99, NULL, 99, NULL"));
    Editor editor;
    QVERIFY(editor.open(key));
    for (QLineEdit* box :
         {editor.window.Edit1, editor.window.Edit2, editor.window.Edit3, editor.window.Edit4})
        QCOMPARE(box->text(), QStringLiteral("<nincs megadva>"));
    QCOMPARE(editor.window.DBCheckBox1->checkState(), Qt::PartiallyChecked);
}

void SzerkesztTest::enterAddsLineInMemoAndMovesOnElsewhere() {
    BoxRecorder& boxes = *boxes_;
    Editor editor;
    Tfrm_Szerkeszt& w = editor.window;
    QVERIFY(editor.open(-1));

    typeInto(w.DBMemo1, QStringLiteral("első"));
    press(Qt::Key_Return);
    typeKeys(QApplication::focusWidget(), QStringLiteral("második"));
    QCOMPARE(w.DBMemo1->toPlainText(), q("első\nmásodik"));
    QCOMPARE(QApplication::focusWidget(), w.DBMemo1);

    const auto focusedIs = [](QWidget* widget) {
        QWidget* focus = QApplication::focusWidget();
        return focus == widget || (focus && focus->parentWidget() == widget);
    };
    const QList<QList<QWidget*>> runs{
        {w.DateTimePicker1, w.BitBtn2},
        {w.DateTimePicker2, w.DateTimePicker3, w.DBCheckBox1, w.BitBtn3},
        {w.DBEdit5, w.DBEdit6, w.BitBtn5},
        {w.DBEdit9, w.DBEdit11, w.DBEdit12, w.BitBtn6},
        {w.DBEdit13, w.DBEdit17, w.BitBtn7},
        {w.DBEdit15, w.Button1}};
    for (const QList<QWidget*>& run : runs) {
        run.first()->setFocus();
        for (qsizetype i = 1; i < run.size(); ++i) {
            press(Qt::Key_Return);
            QVERIFY2(focusedIs(run[i]),
                     qPrintable(run[i]->objectName() + QStringLiteral(" after ") +
                                run[i - 1]->objectName()));
        }
    }
    // Enter moved on without pressing anything: no check ran.
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(w.isVisible());
    // On a focused button it presses that button, not another one.
    w.BitBtn2->setFocus();
    press(Qt::Key_Return);
    QCOMPARE(w.Edit2->text(), q("Budapest, Fő utca 1."));
    QCOMPARE(w.Edit1->text(), QStringLiteral("<nincs megadva>"));
    QVERIFY(boxes.shown.isEmpty());
}

void SzerkesztTest::cancellingStoresNothing_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Esc") << 0;
    QTest::newRow("Mégsem") << 1;
    QTest::newRow("close box") << 2;
}

void SzerkesztTest::cancellingStoresNothing() {
    QFETCH(int, how);
    const int existing = insertWorkOrder(QStringLiteral(
        "'2026-04-01', '10:00', 1, 1, 1, '2026-04-01', '2026-04-02', 1, 'marad', 1, 'I'"));
    const QString before = rowsOtherThan(-1);
    const auto cancel = [how](Editor& editor) {
        if (how == 0) {
            editor.window.DBEdit6->setFocus();
            press(Qt::Key_Escape);
        } else if (how == 1) {
            editor.click(editor.window.Button2);
        } else {
            editor.window.close();
        }
    };

    Editor fresh;
    QVERIFY(fresh.open(-1));
    fresh.chooseRequired();
    typeInto(fresh.window.DBMemo1, QStringLiteral("elvetve"));
    cancel(fresh);
    QVERIFY(!fresh.window.isVisible());
    QCOMPARE(fresh.window.finish(), -1);

    Editor changed;
    QVERIFY(changed.open(existing));
    typeInto(changed.window.DBMemo1, QStringLiteral(" elvetve"));
    changed.contractor = 2;
    changed.click(changed.window.BitBtn1);
    cancel(changed);
    QCOMPARE(changed.window.finish(), -1);

    QCOMPARE(rowsOtherThan(-1), before);
}

void SzerkesztTest::editingAnExistingWorkOrderChangesOnlyIt() {
    const int first = insertWorkOrder(QStringLiteral(
        "'2026-05-01', '07:45:30', 1, 1, 1, '2026-05-01', '2026-05-03', 1, 'egy', 1, 'I'"));
    const int second = insertWorkOrder(QStringLiteral(
        "'2026-05-02', '08:00', 2, 1, 1, '2026-05-02', '2026-05-04', 1, 'kettő', 1, 'I'"));
    const QString others = rowsOtherThan(second);
    Editor editor;
    QVERIFY(editor.open(second));
    QCOMPARE(editor.window.Edit5->text(), printedNumber(2, 2026));
    QCOMPARE(editor.window.DateTimePicker1->time(), QTime(8, 0));
    QCOMPARE(editor.window.DateTimePicker2->date(), QDate(2026, 5, 2));
    typeInto(editor.window.DBMemo1, QStringLiteral(" és három"));
    QCOMPARE(editor.confirm(), second);
    QCOMPARE(column(second, QStringLiteral("munka")), q("kettő és három"));
    QCOMPARE(
        column(second, QStringLiteral("CONCAT_WS(',', sorszam, ido, kiad_datum, hatar_datum)")),
        QStringLiteral("2,08:00:00,2026-05-02,2026-05-04"));
    QCOMPARE(rowsOtherThan(second), others);
    QCOMPARE(column(first, QStringLiteral("ido")), QStringLiteral("07:45:30"));
}

void SzerkesztTest::twoNewWorkOrdersOpenedAtOnceGetDifferentNumbers() {
    BoxRecorder& boxes = *boxes_;
    const int year = serverYear();
    Editor here;
    Editor there;
    QVERIFY(here.open(-1));
    QVERIFY(there.open(-1));
    QCOMPARE(here.window.Edit5->text(), printedNumber(1, year));
    QCOMPARE(there.window.Edit5->text(), printedNumber(1, year));

    for (Editor* editor : {&here, &there}) {
        editor->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor->window));
        editor->chooseRequired();
    }
    typeInto(there.window.DBMemo1, q("a második szerkesztő szövege"));
    typeInto(there.window.DBEdit6, QStringLiteral("4"));

    here.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&here.window));
    const int hereKey = here.confirm();
    QVERIFY(hereKey > 0);
    QVERIFY(boxes.shown.isEmpty());

    there.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&there.window));
    const int thereKey = there.confirm();
    QVERIFY(thereKey > 0);
    QCOMPARE(column(hereKey, QStringLiteral("sorszam")), QStringLiteral("1"));
    QCOMPARE(column(thereKey, QStringLiteral("sorszam")), QStringLiteral("2"));
    QCOMPARE(column(thereKey, QStringLiteral("munka")), q("a második szerkesztő szövege"));
    QCOMPARE(amount(thereKey, QStringLiteral("munkadij2")), 4.0);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().kind, BoxKind::Warning);
    QVERIFY2(boxes.lastText().contains(printedNumber(2, year)) &&
                 boxes.lastText().contains(printedNumber(1, year)),
             qPrintable(boxes.lastText()));
    QCOMPARE(there.window.Edit5->text(), printedNumber(2, year));
}

void SzerkesztTest::workOrderDeletedMeanwhileIsReported_data() {
    QTest::addColumn<bool>("typed");
    QTest::newRow("with changes") << true;
    QTest::newRow("without changes") << false;
}

void SzerkesztTest::workOrderDeletedMeanwhileIsReported() {
    QFETCH(bool, typed);
    for (int i = 1; i <= 3; ++i)
        insertWorkOrder(
            QStringLiteral(
                "'2026-06-0%1', '10:00', %1, 1, 1, '2026-06-01', '2026-06-09', 1, 'sor %1', 1, 'I'")
                .arg(i));
    const int victim = QueryInt(QStringLiteral("SELECT zomi FROM zomi WHERE sorszam = 2;"), -1);
    const QString others = rowsOtherThan(victim);

    BoxRecorder& boxes = *boxes_;
    Editor editor;
    QVERIFY(editor.open(victim));
    auto otherWorkstation = db_->connect();
    otherWorkstation->exec(QStringLiteral("DELETE FROM zomi WHERE zomi = %1").arg(victim));
    if (typed) typeInto(editor.window.DBMemo1, QStringLiteral(" módosítva"));
    editor.click(editor.window.Button1);

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().kind, BoxKind::Error);
    QVERIFY2(boxes.lastText().contains(q("egy másik felhasználó törölte")),
             qPrintable(boxes.lastText()));
    QVERIFY(editor.window.isVisible());
    QCOMPARE(rowsOtherThan(victim), others);
    QCOMPARE(countRows(), 2);
    if (typed) QCOMPARE(editor.window.DBMemo1->toPlainText(), q("sor 2 módosítva"));
    editor.click(editor.window.Button2);
    QCOMPARE(editor.window.finish(), -1);
}

void SzerkesztTest::workOrderChangedMeanwhileIsReported() {
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-07-01', '10:00', 1, 1, 1, '2026-07-01', '2026-07-09', 1, 'eredeti', 1, 'I'"));
    BoxRecorder& boxes = *boxes_;
    Editor editor;
    QVERIFY(editor.open(key));
    auto otherWorkstation = db_->connect();
    otherWorkstation->exec(q("UPDATE zomi SET munka = 'másik gépen' WHERE zomi = %1").arg(key));
    typeInto(editor.window.DBMemo1, QStringLiteral(" itt"));
    editor.click(editor.window.Button1);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.lastText().contains(q("módosította")), qPrintable(boxes.lastText()));
    QVERIFY(editor.window.isVisible());
    QCOMPARE(column(key, QStringLiteral("munka")), q("másik gépen"));
}

void SzerkesztTest::workOrderGoneBeforeOpeningIsReported() {
    BoxRecorder& boxes = *boxes_;
    const int key = insertWorkOrder(QStringLiteral(
        "'2026-07-01', '10:00', 1, 1, 1, '2026-07-01', '2026-07-09', 1, 'x', 1, 'I'"));
    ExecSql(QStringLiteral("DELETE FROM zomi WHERE zomi = %1;").arg(key));
    Tfrm_Szerkeszt window;
    QVERIFY(!window.open(key));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.lastText().contains(q("törölte")), qPrintable(boxes.lastText()));
    QCOMPARE(MunkalapSzerkeszt(key), -1);
    QCOMPARE(countRows(), 0);
}

void SzerkesztTest::openerReturnsStoredKeyOrMinusOne() {
    BoxRecorder& boxes = *boxes_;
    const auto drive = [](bool confirm) {
        QTimer::singleShot(0, [confirm] {
            auto* window = qobject_cast<Tfrm_Szerkeszt*>(QApplication::activeModalWidget());
            if (!window) {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal) modal->close();
                return;
            }
            window->choosers().contractor = [] { return 1; };
            window->choosers().site = [] { return 2; };
            window->choosers().lookup = [](const QString&, const QString&, QString* name) {
                *name = QStringLiteral("Kiss Anna");
                return 1;
            };
            for (QPushButton* button : {window->BitBtn1, window->BitBtn2, window->BitBtn3})
                QTest::mouseClick(button, Qt::LeftButton);
            if (confirm) {
                QTest::mouseClick(window->Button1, Qt::LeftButton);
            } else {
                QTest::keyClick(window, Qt::Key_Escape);
            }
        });
    };
    drive(false);
    QCOMPARE(MunkalapSzerkeszt(-1), -1);
    QCOMPARE(countRows(), 0);
    drive(true);
    const int key = MunkalapSzerkeszt(-1);
    QVERIFY(key > 0);
    QCOMPARE(column(key, QStringLiteral("ktgh")), QStringLiteral("2"));
    drive(true);
    QCOMPARE(MunkalapSzerkeszt(key), key);
    QVERIFY(boxes.shown.isEmpty());
}

void SzerkesztTest::contractorIsChosenInTheRealList() {
    // The real contractor list in choosing mode: the user searches and
    // presses Enter.
    Editor editor;
    editor.window.choosers().contractor = [] { return VallalkozoLista(-1, true); };
    QVERIFY(editor.open(-1));
    bool listSeen = false;
    WhenShown driver(QStringLiteral("frm_TorzsVallalkozo"), [&](QWidget* list) {
        listSeen = true;
        auto* search = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        if (QTest::qWaitForWindowActive(list) && search) {
            typeKeys(search, QStringLiteral("Alanyi"));
            QTest::keyClick(search, Qt::Key_Return);
        }
        if (list->isVisible()) list->close();
    });
    editor.click(editor.window.BitBtn1);
    QVERIFY(listSeen);
    QCOMPARE(editor.window.Edit1->text(), QStringLiteral("Alanyi Bt."));
    QCOMPARE(editor.window.DBEdit5->text(), QStringLiteral("5 000"));
}

void SzerkesztTest::layoutFitsTheWindow_data() {
    QTest::addColumn<int>("fontSize");
    QTest::newRow("9 points") << 9;
    QTest::newRow("12 points") << 12;
}

void SzerkesztTest::layoutFitsTheWindow() {
    QFETCH(int, fontSize);
    useDemoData();
    Beall.FontSize = fontSize;
    Editor editor;
    const int key =
        QueryInt(QStringLiteral("SELECT zomi FROM zomi WHERE munka LIKE '%\\n%' LIMIT 1;"), -1);
    QVERIFY(key > 0);
    QVERIFY(editor.open(key));
    Tfrm_Szerkeszt& w = editor.window;
    // Set ZOMI_SHOT_DIR to look at the window.
    const QByteArray shotDir = qgetenv("ZOMI_SHOT_DIR");
    if (!shotDir.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(shotDir));
        w.grab().save(QString::fromLocal8Bit(shotDir) +
                      QStringLiteral("/editor-%1pt.png").arg(fontSize));
    }
    QVERIFY(w.width() >= 819 && w.height() >= 539);
    if (fontSize == 9) QCOMPARE(w.size(), QSize(819, 539));

    // Every control lies inside the window and none covers another.
    QList<QWidget*> controls;
    for (QWidget* child : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible()) controls << child;
    QVERIFY(controls.size() > 40);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        QVERIFY2(w.rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(controls[i]->objectName() + QLatin1Char('/') +
                                controls[j]->objectName() + QLatin1Char(' ') +
                                (qobject_cast<QLabel*>(controls[i])
                                     ? qobject_cast<QLabel*>(controls[i])->text()
                                     : QString())));
    }
    // A label that is cut off shows less than its text needs.
    for (QLabel* label : w.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()),
                     qPrintable(label->text()));
    QVERIFY(w.DBMemo1->toPlainText().contains(QLatin1Char('\n')));
}

QTEST_MAIN(SzerkesztTest)
#include "SzerkesztTest.moc"
