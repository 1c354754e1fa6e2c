// The print-choice window driven with clicks and keys on the offscreen
// platform, and the printing operation over the demo data: what each choice
// opens, writes or reports.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/Folders.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "output/Hatarolt.h"
#include "output/NyomValaszt.h"
#include "output/rptZomi.h"
#include "report/PdfText.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"
#include "ui/Pictures.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

const QStringList kPrinters = {q("Irodai lézer"), q("Raktár címke")};

// Acts in a window once it is on the screen, from inside its modal loop; a
// dialog the action leaves open is closed, so that a failing test cannot hang.
// Keeps the names of every window shown meanwhile.
class Windows : public QObject {
  public:
    Windows() { qApp->installEventFilter(this); }

    void when(const QString& name, std::function<void(QWidget*)> act) {
        actions_.append({name, std::move(act)});
    }
    QStringList shown;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow() || widget->objectName().isEmpty()) return false;
        shown << widget->objectName();
        for (qsizetype i = 0; i < actions_.size(); ++i) {
            if (actions_.at(i).first != widget->objectName()) continue;
            auto act = actions_.takeAt(i).second;
            QPointer<QWidget> window = widget;
            QTimer::singleShot(0, this, [window, act] {
                if (!window) return;
                // Keys go where the user's would: to the focus of the active window.
                window->activateWindow();
                if (!QTest::qWaitForWindowActive(window))
                    qWarning("%s not active", qPrintable(window->objectName()));
                if (window) act(window);
                if (auto* dialog = qobject_cast<QDialog*>(window.data());
                    dialog && dialog->isVisible())
                    dialog->reject();
            });
            break;
        }
        return false;
    }

  private:
    QList<QPair<QString, std::function<void(QWidget*)>>> actions_;
};

void choose(Tfrm_NyomValaszt* w, int option) {
    QTest::mouseClick(w->RadioGroup1->buttons().at(option), Qt::LeftButton, {}, QPoint(6, 6));
}

bool noWindowLeft() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return false;
    return true;
}

}  // namespace

class NyomValasztTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> c_;
    std::unique_ptr<BoxRecorder> boxes_;
    std::unique_ptr<Tfrm_NyomValaszt> w_;

    Tfrm_NyomValaszt* open(const QStringList& printers, const QString& proposal) {
        w_ = std::make_unique<Tfrm_NyomValaszt>(printers, proposal);
        w_->show();
        w_->activateWindow();
        if (!QTest::qWaitForWindowActive(w_.get())) qWarning("print-choice window not active");
        return w_.get();
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
        c_ = db_->connect();
    }
    void init() {
        SetSettingsPath(dir_.filePath(QStringLiteral("Zomi.ini")));
        QFile::remove(SettingsPath());
        Beall.FontSize = 0;
        Beall.Format = QStringLiteral("### ### ##0");
        SetMainConnection(c_.get());
        boxes_ = std::make_unique<BoxRecorder>();
        boxes_->defaultAnswer = true;
    }
    void cleanup() {
        w_.reset();
        boxes_.reset();
        SetMainConnection(nullptr);
    }

    void opensWithThePreviewChosen() {
        Tfrm_NyomValaszt* w = open(kPrinters, QString());
        QCOMPARE(w->objectName(), QStringLiteral("frm_NyomValaszt"));
        QCOMPARE(w->windowTitle(), q("Nyomtatás típusa"));
        QCOMPARE(w->font().family(), QStringLiteral("Segoe UI"));
        QCOMPARE(w->font().pointSize(), 8);
        QVERIFY(w->width() >= 362 && w->height() >= 285);
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->RadioGroup1->title(), q("Nyomtatás típusa"));
        QStringList options;
        for (QAbstractButton* b : w->RadioGroup1->buttons()) options << b->text();
        QCOMPARE(options, (QStringList{q("Nyomtatási kép"), q("Nyomtatás"), q("Excelbe (CSV)"),
                                       q("PDF-be mentés")}));
        QCOMPARE(w->RadioGroup1->itemIndex(), 0);
        QVERIFY(w->Image1->isVisible() && !w->Image2->isVisible() && !w->Image3->isVisible() &&
                !w->Image4->isVisible());
        QCOMPARE(w->Image1->size(), QSize(96, 96));
        QVERIFY(!w->Label1->isEnabled() && !w->ComboBox1->isEnabled());
        QVERIFY(w->ComboBox1->isEditable());
        QCOMPARE(w->ComboBox1->count(), 2);
        QCOMPARE(w->ComboBox1->itemText(1), q("Raktár címke"));
        QVERIFY(!w->Label2->isVisible());
        QVERIFY(w->Button1->isDefault());

        // Tab: the option group, OK, "Mégsem", and the printer box when it may be used.
        choose(w, kNyomtatas);
        const QList<QWidget*> order{w->Button1, w->Button2, w->ComboBox1,
                                    w->RadioGroup1->buttons().at(1)};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        w_.reset();
        Beall.FontSize = 12;
        QCOMPARE(open(kPrinters, QString())->font().pointSize(), 12);
    }

    void layoutFitsTheWindow_data() {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<QStringList>("printers");
        QTest::newRow("design font") << 0 << kPrinters;
        QTest::newRow("design font, no printer") << 0 << QStringList();
        QTest::newRow("14 point, no printer") << 14 << QStringList();
    }

    void layoutFitsTheWindow() {
        QFETCH(int, fontSize);
        QFETCH(QStringList, printers);
        Beall.FontSize = fontSize;
        Tfrm_NyomValaszt* w = open(printers, QString());
        choose(w, kNyomtatas);
        // Set ZOMI_SHOT_DIR to look at the window.
        const QString shotDir = QString::fromLocal8Bit(qgetenv("ZOMI_SHOT_DIR"));
        if (!shotDir.isEmpty()) {
            QDir().mkpath(shotDir);
            w->grab().save(
                shotDir +
                QStringLiteral("/nyomvalaszt-%1-%2.png").arg(fontSize).arg(printers.size()));
            QImage strip(4 * 100, 100, QImage::Format_ARGB32);
            strip.fill(Qt::white);
            QPainter p(&strip);
            for (int option = 0; option < 4; ++option)
                p.drawPixmap(option * 100 + 2, 2,
                             PrintChoicePicture(static_cast<PrintChoice>(option), 96));
            p.end();
            strip.save(shotDir + QStringLiteral("/nyomvalaszt-kepek.png"));
        }
        // Every visible control lies inside the window and none covers another.
        QList<QWidget*> controls;
        for (QWidget* child : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (child->isVisible()) controls << child;
        QVERIFY(controls.size() >= 6);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QVERIFY2(w->rect().contains(controls[i]->geometry()),
                     qPrintable(controls[i]->objectName()));
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                         qPrintable(controls[i]->objectName() + QLatin1Char('/') +
                                    controls[j]->objectName()));
        }
        // The options' captions are not cut off.
        for (QAbstractButton* b : w->RadioGroup1->buttons())
            QVERIFY(b->width() >= b->sizeHint().width());
    }

    void printerBoxServesOnlyPrinting() {
        Tfrm_NyomValaszt* w = open(kPrinters, QString());
        QLabel* pictures[] = {w->Image1, w->Image2, w->Image3, w->Image4};
        const auto check = [&](int option) {
            QCOMPARE(w->RadioGroup1->itemIndex(), option);
            QCOMPARE(w->ComboBox1->isEnabled(), option == kNyomtatas);
            QCOMPARE(w->Label1->isEnabled(), option == kNyomtatas);
            for (int i = 0; i < 4; ++i) QCOMPARE(pictures[i]->isVisible(), i == option);
        };
        choose(w, kNyomtatas);
        check(kNyomtatas);
        // The arrow keys move through the options as the clicks do.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        check(kExcelbe);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        check(kPdfbe);
        choose(w, kNyomtatasiKep);
        check(kNyomtatasiKep);
        // The pictures differ from each other.
        QVERIFY(w->Image1->pixmap().toImage() != w->Image2->pixmap().toImage());
        QVERIFY(w->Image3->pixmap().toImage() != w->Image4->pixmap().toImage());
    }

    void printerIsProposed_data() {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("proposal");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing proposed: the first") << kPrinters << QString() << q("Irodai lézer");
        QTest::newRow("an installed one") << kPrinters << q("Raktár címke") << q("Raktár címke");
        QTest::newRow("one not installed") << kPrinters << q("Távoli") << q("Távoli");
        QTest::newRow("no printer at all") << QStringList() << QString() << QString();
    }

    void printerIsProposed() {
        QFETCH(QStringList, printers);
        QFETCH(QString, proposal);
        QFETCH(QString, shown);
        Tfrm_NyomValaszt* w = open(printers, proposal);
        QCOMPARE(w->ComboBox1->currentText(), shown);
        QCOMPARE(w->ComboBox1->count(), printers.size());
        // Without a printer the window says so, and the other choices stay open.
        QCOMPARE(w->Label2->isVisible(), printers.isEmpty());
        for (QAbstractButton* b : w->RadioGroup1->buttons()) QVERIFY(b->isEnabled());
    }

    void choiceReturnsTheOptionAndThePrinterText() {
        Windows windows;
        QString printer = q("Eredeti");
        // A typed printer name comes back even when the preview is chosen after it.
        windows.when(QStringLiteral("frm_NyomValaszt"), [](QWidget* window) {
            auto* w = static_cast<Tfrm_NyomValaszt*>(window);
            choose(w, kNyomtatas);
            w->ComboBox1->lineEdit()->selectAll();
            zomi::test::Type(w->ComboBox1->lineEdit(), q("Kézi nyomtató"));
            choose(w, kNyomtatasiKep);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(NyomtatasValaszt(printer), 0);
        QCOMPARE(printer, q("Kézi nyomtató"));

        windows.when(QStringLiteral("frm_NyomValaszt"), [](QWidget* window) {
            auto* w = static_cast<Tfrm_NyomValaszt*>(window);
            choose(w, kPdfbe);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
        });
        QCOMPARE(NyomtatasValaszt(printer), int(kPdfbe));

        // Esc, "Mégsem" and the close box cancel and leave the name alone.
        const std::function<void(Tfrm_NyomValaszt*)> cancels[] = {
            [](Tfrm_NyomValaszt*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
            [](Tfrm_NyomValaszt* w) { QTest::mouseClick(w->Button2, Qt::LeftButton); },
            [](Tfrm_NyomValaszt* w) { w->close(); },
        };
        for (const auto& cancel : cancels) {
            printer = q("Eredeti");
            windows.when(QStringLiteral("frm_NyomValaszt"), [&](QWidget* window) {
                auto* w = static_cast<Tfrm_NyomValaszt*>(window);
                choose(w, kNyomtatas);
                w->ComboBox1->setEditText(q("Más"));
                cancel(w);
            });
            QCOMPARE(NyomtatasValaszt(printer), -1);
            QCOMPARE(printer, q("Eredeti"));
        }
        QVERIFY(noWindowLeft());
    }

    void cancellingPrintsNothingAndLeavesNoWindow() {
        Windows windows;
        windows.when(QStringLiteral("frm_NyomValaszt"), [](QWidget*) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        MunkalapNyomtat(309);
        QCOMPARE(windows.shown, QStringList{QStringLiteral("frm_NyomValaszt")});
        QVERIFY(boxes_->shown.isEmpty());
        QVERIFY(noWindowLeft());
    }

    void excelOpensTheExportWindowOverTheSheetQuery() {
        Windows windows;
        windows.when(QStringLiteral("frm_NyomValaszt"), [](QWidget* window) {
            auto* w = static_cast<Tfrm_NyomValaszt*>(window);
            choose(w, kExcelbe);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
        });
        const QString file = dir_.filePath(QStringLiteral("munkalap.csv"));
        QStringList columns;
        bool allTicked = true;
        QString proposed;
        windows.when(QStringLiteral("frm_Hatarolt"), [&](QWidget* window) {
            QCOMPARE(QApplication::activeModalWidget(), window);
            auto* w = static_cast<Tfrm_Hatarolt*>(window);
            for (int i = 0; i < w->CheckListBox1->count(); ++i) {
                columns << w->CheckListBox1->item(i)->text();
                allTicked = allTicked && w->CheckListBox1->item(i)->checkState() == Qt::Checked;
            }
            proposed = w->Edit1->text();
            w->Edit1->setText(file);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
            w->reject();
        });
        MunkalapNyomtat(309);

        QCOMPARE(columns,
                 (QStringList{
                     "zomi",           "datum",       "ido",         "sorszam",   "vallalkozo",
                     "ktgh",           "kiad_datum",  "hatar_datum", "alairas",   "cim",
                     "vallalkozo_nev", "alairas_nev", "kepviselo",   "telefon",   "kepviselo_cim",
                     "munka",          "munkadij1",   "munkadij2",   "munkadij3", "munkadij4",
                     "kiszdij1",       "kiszdij2",    "kiszdij3",    "kiszdij4",  "anyag3",
                     "anyag4",         "ossz",        "sorszamstr",  "netto"}));
        QVERIFY(allTicked);
        const QString documents = DocumentsDir();
        QCOMPARE(proposed, documents.isEmpty() ? QStringLiteral("File001.csv")
                                               : QDir::toNativeSeparators(
                                                     documents + QStringLiteral("/File001.csv")));
        QCOMPARE(windows.shown,
                 (QStringList{QStringLiteral("frm_NyomValaszt"), QStringLiteral("frm_Hatarolt")}));

        // The header of the export carries the columns' labels.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = FromCp1250(f.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.value(0),
                 q("kód;dátum;idő;sorszám;vallalkozo;ktgh;kiadva;határidő;alairas;cím;vállalkozó;"
                   "aláírás;"
                   "kepviselo;telefon;kepviselo_cim;munka;munkadij1;munkadij2;munkadij3;munkadij4;"
                   "kiszdij1;"
                   "kiszdij2;kiszdij3;kiszdij4;anyag3;anyag4;ossz;sorszamstr;netto;"));
        QVERIFY2(lines.value(1).startsWith(
                     q("309;2026.12.04.;10:04:00;84;2;12;2026.12.05.;2026.12.24.;3;"
                       "Budapest, Erkel utca 14.;Antal Építőipari Kft.;Fehér Ildikó;")),
                 qPrintable(lines.value(1)));
        QVERIFY(lines.value(1).contains(q(";2026/00084;202488")));
        QVERIFY(noWindowLeft());
    }

    void previewShowsTheSheetModally() {
        Windows windows;
        windows.when(QStringLiteral("frm_NyomValaszt"), [](QWidget*) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        int pages = -1;
        bool modal = false;
        windows.when(QStringLiteral("frm_Nyomtatasikep"), [&](QWidget* window) {
            modal = QApplication::activeModalWidget() == window;
            if (auto* preview = window->findChild<QPrintPreviewWidget*>())
                pages = preview->pageCount();
        });
        MunkalapNyomtat(309);
        QVERIFY(modal);
        QCOMPARE(pages, 1);
        QVERIFY(boxes_->shown.isEmpty());
        QVERIFY(noWindowLeft());
    }

    void printingWithoutPrinterSaysSo() {
        if (!QPrinterInfo::availablePrinterNames().isEmpty()) QSKIP("this machine has printers");
        Windows windows;
        bool noted = false;
        QString boxText = q("nem üres");
        windows.when(QStringLiteral("frm_NyomValaszt"), [&](QWidget* window) {
            auto* w = static_cast<Tfrm_NyomValaszt*>(window);
            noted = w->Label2->isVisible();
            boxText = w->ComboBox1->currentText();
            choose(w, kNyomtatas);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
        });
        MunkalapNyomtat(309);
        QVERIFY(noted);
        QVERIFY(boxText.isEmpty());
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown.at(0).kind, BoxKind::Error);
        QCOMPARE(boxes_->lastText(), q("Nincs telepített nyomtató."));
        QVERIFY(noWindowLeft());
    }

    void pdfIsSavedUnderTheWorkOrdersNumber() {
        Windows windows;
        const auto choosePdf = [](QWidget* window) {
            auto* w = static_cast<Tfrm_NyomValaszt*>(window);
            choose(w, kPdfbe);
            QTest::mouseClick(w->Button1, Qt::LeftButton);
        };
        const QString file = dir_.filePath(QStringLiteral("kemeny.pdf"));
        QString proposed;
        QString folder;
        windows.when(QStringLiteral("frm_NyomValaszt"), choosePdf);
        windows.when(QStringLiteral("SavePdfDialog"), [&](QWidget* window) {
            auto* dialog = static_cast<QFileDialog*>(window);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            proposed = edit->text();
            folder = dialog->directory().absolutePath();
            edit->setText(file);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        MunkalapNyomtat(309);
        QCOMPARE(proposed, QStringLiteral("2026_00084.pdf"));
        if (QDir(DocumentsDir()).exists()) QCOMPARE(folder, QDir(DocumentsDir()).absolutePath());
        QVERIFY(
            !zomi::test::FindPhrase(zomi::test::ReadPdfWords(file), QStringLiteral("2026/00084"))
                 .isEmpty());
        QCOMPARE(boxes_->lastText(), QDir::toNativeSeparators(file) + q(" file kész."));

        // Cancelled: nothing is written, nothing is said.
        QFile::remove(file);
        boxes_->shown.clear();
        windows.when(QStringLiteral("frm_NyomValaszt"), choosePdf);
        windows.when(QStringLiteral("SavePdfDialog"),
                     [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); });
        MunkalapNyomtat(309);
        QVERIFY(!QFile::exists(file));
        QVERIFY(boxes_->shown.isEmpty());
        QVERIFY(noWindowLeft());
    }

    void failingQueryShowsTheServersMessage() {
        TestDatabase broken(TestDatabase::Content::Schema);
        auto connection = broken.connect();
        connection->exec(QStringLiteral("DROP TABLE alairas"));
        SetMainConnection(connection.get());
        Windows windows;
        MunkalapNyomtat(1);
        QCOMPARE(boxes_->shown.size(), 1);
        QCOMPARE(boxes_->shown.at(0).kind, BoxKind::Error);
        QVERIFY2(boxes_->lastText().contains(QStringLiteral("alairas")),
                 qPrintable(boxes_->lastText()));
        QVERIFY(windows.shown.isEmpty());
        SetMainConnection(nullptr);
    }
};

QTEST_MAIN(NyomValasztTest)
#include "NyomValasztTest.moc"
