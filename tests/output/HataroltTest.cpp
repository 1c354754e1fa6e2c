// The export window driven with clicks and keys on the offscreen platform,
// over a dataset of the test server.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "common/Beall.h"
#include "common/Folders.h"
#include "common/Settings.h"
#include "output/Hatarolt.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using zomi::dbaccess::Connection;
using zomi::dbaccess::Query;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

// Runs action on the first modal window of the given class once it is up;
// a window the action leaves open is closed, so that a failing test cannot hang.
void whenModal(const char* className, std::function<void(QWidget*)> action,
               int attemptsLeft = 500) {
    QTimer::singleShot(10, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !modal->inherits(className)) {
            if (attemptsLeft > 0) whenModal(className, action, attemptsLeft - 1);
            return;
        }
        action(modal);
        QPointer<QWidget> guard(modal);
        QTimer::singleShot(0, [guard] {
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()); dialog && dialog->isVisible())
                dialog->reject();
        });
    });
}

// A tick box reacts to clicks on its box and caption, not on the empty space
// the layout gives it beyond them.
void tick(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QByteArray read(const QString& fileName) {
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class Opened : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls << url; }
};

class HataroltTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<Connection> c_;
    std::unique_ptr<Query> q_;
    QTemporaryDir dir_;
    std::unique_ptr<BoxRecorder> boxes_;
    std::unique_ptr<Tfrm_Hatarolt> w_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    Tfrm_Hatarolt* open(const QString& fileName, zomi::dbaccess::Dataset* dataset = nullptr) {
        w_ = std::make_unique<Tfrm_Hatarolt>(dataset ? dataset : q_.get(), fileName);
        w_->show();
        w_->activateWindow();
        if (!QTest::qWaitForWindowActive(w_.get())) qWarning("export window not active");
        return w_.get();
    }
    std::unique_ptr<Query> query(const QString& sql) {
        auto q = std::make_unique<Query>(c_.get());
        q->setSql(sql);
        q->open();
        return q;
    }
    void typeFileName(Tfrm_Hatarolt* w, const QString& name) {
        w->Edit1->setFocus();
        QTest::keyClick(w->Edit1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w->Edit1, Qt::Key_Delete);
        QTest::keyClicks(w->Edit1, name);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QDir::setCurrent(dir_.path());
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
        c_ = db_->connect();
        c_->exec(
            QStringLiteral("CREATE TABLE t (kod INT, munka VARCHAR(50), megj TEXT) "
                           "CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
        c_->exec(QStringLiteral("INSERT INTO t VALUES (1, 'Ajtó', 'a;b'), (2, 'Zár', NULL)"));
        q_ = query(QStringLiteral("SELECT * FROM t ORDER BY kod"));
        q_->field(0).label = QStringLiteral("Kód");
    }
    void init() {
        SetSettingsPath(path(QStringLiteral("Zomi.ini")));
        QFile::remove(SettingsPath());
        Beall.FontSize = 0;
        boxes_ = std::make_unique<BoxRecorder>();
        boxes_->defaultAnswer = true;
    }
    void cleanup() {
        w_.reset();
        boxes_.reset();
    }

    void opensWithTheDefaults() {
        Tfrm_Hatarolt* w = open(QStringLiteral("Munkalapok.csv"));
        QCOMPARE(w->objectName(), QStringLiteral("frm_Hatarolt"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Határolt szöveg export"));
        QCOMPARE(w->font().family(), QStringLiteral("Segoe UI"));
        QCOMPARE(w->font().pointSize(), 8);
        QVERIFY(w->width() >= 763 && w->height() >= 452);
        QCOMPARE(w->minimumSize(), w->maximumSize());  // a fixed dialog border
        QCOMPARE(w->CheckListBox1->count(), 3);
        QCOMPARE(w->CheckListBox1->item(0)->text(), QStringLiteral("kod"));  // names, not labels
        const DelimitedOptions o = w->options();
        QCOMPARE(o.columns, (std::vector<int>{0, 1, 2}));
        QCOMPARE(o.delimiter, QLatin1Char(';'));
        QVERIFY(o.quote.isNull());
        QVERIFY(o.memoText && !o.fieldNames && !o.noHeader && !w->CheckBox4->isChecked());
        QVERIFY(!w->Button3->isEnabled());
        QCOMPARE(w->Edit1->text(), QStringLiteral("Munkalapok.csv"));

        // Tab walks the controls in the window's order; the speed button is skipped.
        const QList<QWidget*> order{w->Button4,
                                    w->Button5,
                                    w->RadioGroup2->buttons().at(0),
                                    w->RadioGroup1->buttons().at(2),
                                    w->CheckBox1,
                                    w->CheckBox2,
                                    w->CheckBox3,
                                    w->CheckBox4,
                                    w->Edit1,
                                    w->Button1,
                                    w->Button2,
                                    w->BitBtn1,
                                    w->CheckListBox1};
        QCOMPARE(QApplication::focusWidget(), w->CheckListBox1);
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void chosenOptionsShapeTheFile() {
        Tfrm_Hatarolt* w = open(QString());
        QTest::mouseClick(w->Button5, Qt::LeftButton);
        QVERIFY(w->options().columns.empty());
        QTest::mouseClick(w->Button4, Qt::LeftButton);
        // Space on the current entry unticks it.
        w->CheckListBox1->setFocus();
        w->CheckListBox1->setCurrentRow(1);
        QTest::keyClick(w->CheckListBox1, Qt::Key_Space);
        QCOMPARE(w->options().columns, (std::vector<int>{0, 2}));
        // Arrow keys move within an option group: three steps down is "Cső (|)".
        w->RadioGroup2->buttons().at(0)->setFocus();
        for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(w->RadioGroup2->itemIndex(), 3);
        QTest::mouseClick(w->RadioGroup1->buttons().at(0), Qt::LeftButton);  // the double quote
        tick(w->CheckBox2);
        tick(w->CheckBox1);
        const QString name = path(QStringLiteral("valasztott.txt"));
        typeFileName(w, name);
        QTest::mouseClick(w->Button1, Qt::LeftButton);

        QCOMPARE(read(name),
                 QByteArray("\"kod\"|\"megj\"|\r\n\"1\"|\"BLOB\"\r\n\"2\"|\"BLOB\"\r\n"));
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown.at(0).caption, QStringLiteral("Üzenet"));
        QCOMPARE(boxes_->lastText(), name + QStringLiteral(" file kész."));
        QVERIFY(w->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->Button1);  // back where it was before the export

        // "Fejléc nem kell": the first line is empty.
        tick(w->CheckBox3);
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QVERIFY(read(name).startsWith("\r\n\"1\"|"));
    }

    void clipboardIgnoresDelimiterAndQuote() {
        Tfrm_Hatarolt* w = open(path(QStringLiteral("nem.csv")));
        QTest::mouseClick(w->RadioGroup1->buttons().at(0), Qt::LeftButton);
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Kód\tmunka\tmegj\t\r\n1\tAjtó\ta;b\r\n2\tZár\t\r\n"));
        QCOMPARE(boxes_->texts(), QStringList{QStringLiteral("Adatok vágólapra másolása kész.")});
        QVERIFY(!QFileInfo::exists(w->Edit1->text()));
        QVERIFY(w->isVisible());
    }

    void extensionChoosesTheFormat() {
        Tfrm_Hatarolt* w = open(path(QStringLiteral("lista.xml")));
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown.at(0).caption, QStringLiteral("Hiba"));
        QCOMPARE(boxes_->lastText(), QStringLiteral("Ebben a verzióban ez nem támogatott."));
        QVERIFY(!QFileInfo::exists(w->Edit1->text()));
        QVERIFY(w->isVisible());

        // Spreadsheets are written without a completion message.
        const QString xls = path(QStringLiteral("LISTA.XLS"));
        typeFileName(w, xls);
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(read(xls).left(8),
                 QByteArray("\x09\x00\x04\x00\x02\x00\x10\x00", 8));  // a BIFF2 BOF
        const QString xlsx = path(QStringLiteral("lista.Xlsx"));
        typeFileName(w, xlsx);
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(read(xlsx).left(2), QByteArray("PK"));
        QCOMPARE(boxes_->shown.size(), 1);

        // An empty dataset cannot become a BIFF2 sheet: the general error display says why.
        auto empty = query(QStringLiteral("SELECT * FROM t WHERE kod < 0"));
        w = open(path(QStringLiteral("ures.xls")), empty.get());
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(boxes_->shown.size(), 2);
        QVERIFY(boxes_->lastText().contains(QStringLiteral("üres")));
        QVERIFY(!QFileInfo::exists(w->Edit1->text()));
        QVERIFY(w->Button1->isEnabled());
    }

    void stopButtonAndEscStopTheExport() {
        auto many = query(QStringLiteral("SELECT seq, 'sor' AS szoveg FROM seq_1_to_20000"));
        const QString name = path(QStringLiteral("megallitott.csv"));
        Tfrm_Hatarolt* w = open(name, many.get());
        bool othersDisabled = false;
        // The press arrives among the events that the export processes between records.
        auto pressAt = [&](int position, std::function<void()> press) {
            return connect(
                w->ProgressBar1, &QProgressBar::valueChanged, w, [=, &othersDisabled](int value) {
                    if (value != position) return;
                    othersDisabled = w->Button3->isEnabled() && !w->Button1->isEnabled() &&
                                     !w->BitBtn1->isEnabled() && !w->CheckListBox1->isEnabled();
                    QMetaObject::invokeMethod(w, press, Qt::QueuedConnection);
                });
        };
        for (auto press : std::vector<std::function<void()>>{
                 [w] { QTest::mouseClick(w->Button3, Qt::LeftButton); },
                 [w] { QTest::keyClick(w, Qt::Key_Escape); }}) {
            const QMetaObject::Connection c = pressAt(100, press);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
            disconnect(c);
            QVERIFY(othersDisabled);
            const QByteArray text = read(name);
            const qsizetype lines = text.count("\r\n");
            QVERIFY2(lines > 100 && lines < 20001, QByteArray::number(lines));
            QVERIFY(text.endsWith("sor\r\n"));
            QCOMPARE(boxes_->lastText(), name + QStringLiteral(" file kész."));
            QVERIFY(w->isVisible());  // Esc stopped the export, not the window
            QVERIFY(!w->Button3->isEnabled() && w->Button1->isEnabled());
            QCOMPARE(w->ProgressBar1->value(), 0);
        }
    }

    void failuresSayHibaAndChangeNothing() {
        const QString folder = path(QStringLiteral("nincs"));
        Tfrm_Hatarolt* w = open(folder + QStringLiteral("/x.csv"));
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown.at(0).caption, QStringLiteral("Hiba"));
        QVERIFY2(boxes_->lastText().startsWith(QStringLiteral("Hiba: ")),
                 qPrintable(boxes_->lastText()));
        QVERIFY(boxes_->lastText().contains(w->Edit1->text()));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(w->isVisible() && w->Button1->isEnabled() && !w->Button3->isEnabled());
    }

    void saveDialogChoosesTheName() {
        Tfrm_Hatarolt* w = open(QString());
        // Cancelled: nothing starts.
        whenModal("QFileDialog", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QVERIFY(boxes_->shown.isEmpty());
        QVERIFY(w->Edit1->text().isEmpty());

        // A name typed without an extension gets "csv", and the export starts at once.
        QStringList filters;
        QString suffix;
        whenModal("QFileDialog", [&](QWidget* widget) {
            auto* dialog = static_cast<QFileDialog*>(widget);
            filters = dialog->nameFilters();
            QCOMPARE(dialog->selectedNameFilter(), filters.value(0));
            suffix = dialog->defaultSuffix();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QStringLiteral("uj"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QCOMPARE(filters, Tfrm_Hatarolt::kSaveFilters);
        QCOMPARE(filters.value(1), QStringLiteral("Excel munkafüzet (*.xlsx)"));
        QCOMPARE(suffix, QStringLiteral("csv"));
        QCOMPARE(w->Edit1->text(), QDir::toNativeSeparators(path(QStringLiteral("uj.csv"))));
        QCOMPARE(boxes_->lastText(), w->Edit1->text() + QStringLiteral(" file kész."));

        // "…" starts from the name in Edit1; picking a type gives its extension.
        whenModal("QFileDialog", [&](QWidget* widget) {
            auto* dialog = static_cast<QFileDialog*>(widget);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QCOMPARE(edit->text(), QStringLiteral("uj.csv"));
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);  // "Excel munkafüzet (*.xlsx)"
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("tabla"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::mouseClick(w->SpeedButton1, Qt::LeftButton);
        QCOMPARE(w->Edit1->text(), QDir::toNativeSeparators(path(QStringLiteral("tabla.xlsx"))));
        QVERIFY(!QFileInfo::exists(w->Edit1->text()));  // choosing a name writes nothing
    }

    void placementFontAndFocusColour() {
        WriteSetting(QStringLiteral("frm_Hatarolt"), QStringLiteral("Left"), QStringLiteral("120"));
        WriteSetting(QStringLiteral("frm_Hatarolt"), QStringLiteral("Top"), QStringLiteral("90"));
        Beall.FontSize = 12;
        Tfrm_Hatarolt* w = open(QStringLiteral("a.csv"));
        QCOMPARE(w->pos(), QPoint(120, 90));
        QCOMPARE(w->font().pointSize(), 12);
        QCOMPARE(w->Edit1->font().pointSize(), 12);

        QTest::mouseClick(w->Edit1, Qt::LeftButton);
        QCOMPARE(w->Edit1->palette().color(QPalette::Base), FocusColor());
        QTest::keyClick(w->Edit1, Qt::Key_Tab);
        QVERIFY(w->Edit1->palette().color(QPalette::Base) != FocusColor());

        w->move(200, 150);
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Hatarolt"), QStringLiteral("Left"), 0), 200);
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Hatarolt"), QStringLiteral("Top"), 0), 150);
    }

    void openAfterExportClosesTheWindow() {
        Opened opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        const QString name = path(QStringLiteral("nyit.csv"));
        Tfrm_Hatarolt* w = open(name);
        tick(w->CheckBox4);
        QTest::mouseClick(w->Button1, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(name)});
        QCOMPARE(boxes_->lastText(), name + QStringLiteral(" file kész."));
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
    }

    void openerProposesANameAndReturnsWhenClosed() {
        QString proposed;
        whenModal("zomi::Tfrm_Hatarolt", [&](QWidget* window) {
            proposed = static_cast<Tfrm_Hatarolt*>(window)->Edit1->text();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        HataroltExport(q_.get(), QString());
        QCOMPARE(proposed,
                 QDir::toNativeSeparators(DocumentsDir() + QStringLiteral("/File001.csv")));

        whenModal("zomi::Tfrm_Hatarolt", [&](QWidget* window) {
            proposed = static_cast<Tfrm_Hatarolt*>(window)->Edit1->text();
            QTest::mouseClick(static_cast<Tfrm_Hatarolt*>(window)->Button2, Qt::LeftButton);
        });
        HataroltExport(q_.get(), QStringLiteral("Munkalapok.csv"));
        QCOMPARE(proposed, QStringLiteral("Munkalapok.csv"));
    }
};

QTEST_MAIN(HataroltTest)
#include "HataroltTest.moc"
