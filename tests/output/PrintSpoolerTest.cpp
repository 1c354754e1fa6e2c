// The sheet printed through a CUPS spooler of the test's own, as an office
// prints it: a queue that writes PDF files, one that refuses jobs and one
// whose printer is off. A refused job is reported and the choice window stays
// open; a job the spooler took is its business.

#include <QAbstractButton>
#include <QComboBox>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/Beall.h"
#include "output/Hatarolt.h"
#include "output/NyomValaszt.h"
#include "output/rptZomi.h"
#include "report/PdfText.h"
#include "support/PrivateSpooler.h"
#include "support/WindowTestSupport.h"

using namespace zomi;
using zomi::test::As;
using zomi::test::OnModal;
using zomi::test::PrivateSpooler;
using zomi::test::WindowFixture;

namespace {

// The demo work order 2026/00084.
constexpr int kDemoKey = 309;
const QString kPdfQueue = QStringLiteral("Pdf");
const QString kRejecting = QStringLiteral("Elutasito");
const QString kDead = QStringLiteral("Kikapcsolt");

// "OK" on "Nyomtatás" with the printer typed into the box.
void printOn(Tfrm_NyomValaszt* w, const QString& printer) {
    QTest::mouseClick(w->RadioGroup1->buttons().at(kNyomtatas), Qt::LeftButton, {}, QPoint(6, 6));
    w->ComboBox1->setEditText(printer);
    QTest::mouseClick(w->Button1, Qt::LeftButton);
}

QString pdfInfo(const QString& file) {
    return QString::fromLocal8Bit(zomi::test::RunTool(QStringLiteral("pdfinfo"), {file}));
}

QString queuedJobs(const QString& queue) {
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
    lpstat.waitForFinished(10000);
    return QString::fromLocal8Bit(lpstat.readAll());
}

}  // namespace

class PrintSpoolerTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<PrivateSpooler> spooler_;
    std::unique_ptr<WindowFixture> fixture_;
    QTemporaryDir out_;
    QString pdf_;

  private slots:
    void initTestCase() {
        spooler_ = std::make_unique<PrivateSpooler>();
        if (!spooler_->started())
            QSKIP(
                qPrintable(QStringLiteral("no spooler of the test's own: ") + spooler_->problem()));
        pdf_ = out_.filePath(QStringLiteral("munkalap.pdf"));
        QVERIFY2(spooler_->addFileQueue(kPdfQueue, pdf_) &&
                     spooler_->addRejectingQueue(kRejecting) && spooler_->addDeadQueue(kDead),
                 qPrintable(spooler_->problem()));
        QCOMPARE(QPrinterInfo::availablePrinterNames().size(), 3);
        fixture_ = std::make_unique<WindowFixture>();
        Beall.Format = QStringLiteral("### ### ##0");
        Beall.FontSize = 0;
    }
    void cleanupTestCase() {
        fixture_.reset();
        spooler_.reset();
    }

    void refusedJobIsReportedAndAnotherPrinterCanBeChosen() {
        bool openAfterRefusal = false;
        bool closedAfterPrinting = false;
        QString refusal;
        BoxKind kind = BoxKind::Info;
        OnModal([&](QWidget* window) {
            auto* w = As<Tfrm_NyomValaszt>(window);
            printOn(w, kRejecting);
            openAfterRefusal = w->isVisible();
            if (!fixture_->boxes.shown.isEmpty()) {
                refusal = fixture_->boxes.lastText();
                kind = fixture_->boxes.shown.last().kind;
            }
            printOn(w, kPdfQueue);
            closedAfterPrinting = !w->isVisible();
        });
        MunkalapNyomtat(kDemoKey);

        QVERIFY(openAfterRefusal);
        QCOMPARE(kind, BoxKind::Error);
        QVERIFY2(refusal.startsWith(QStringLiteral("A(z) Elutasito nyomtató nem fogadta el a "
                                                   "nyomtatási feladatot")),
                 qPrintable(refusal));
        // The spooler's own reason follows.
        const QString reason = refusal.section(QStringLiteral("A nyomtatási sor válasza: "), 1);
        QVERIFY2(reason.contains(kRejecting), qPrintable(refusal));
        QVERIFY(closedAfterPrinting);
        QCOMPARE(fixture_->boxes.shown.size(), 1);

        // The PDF queue wrote the sheet: one A4 page.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(pdf_), 20000);
        QCOMPARE(zomi::test::PdfPageCount(pdf_), 1);
        QVERIFY2(pdfInfo(pdf_).contains(QStringLiteral("(A4)")), qPrintable(pdfInfo(pdf_)));
        QVERIFY(
            !zomi::test::FindPhrase(zomi::test::ReadPdfWords(pdf_), QStringLiteral("2026/00084"))
                 .isEmpty());
    }

    void jobWaitingForAPrinterThatIsOffSaysNothing() {
        fixture_->boxes.shown.clear();
        bool closed = false;
        OnModal([&](QWidget* window) {
            auto* w = As<Tfrm_NyomValaszt>(window);
            printOn(w, kDead);
            closed = !w->isVisible();
        });
        MunkalapNyomtat(kDemoKey);
        QVERIFY(closed);
        QVERIFY2(fixture_->boxes.shown.isEmpty(), qPrintable(fixture_->boxes.lastText()));
        QVERIFY2(queuedJobs(kDead).contains(kDead + QLatin1Char('-')),
                 qPrintable(spooler_->log().right(2000)));
    }

    // Set ZOMI_SHOT_DIR to look at the refusal as the user sees it: the error
    // box over the choice window. The boxes are real ones here, so it goes last.
    void refusalAsTheUserSeesIt() {
        const QString shotDir = QString::fromLocal8Bit(qgetenv("ZOMI_SHOT_DIR"));
        if (shotDir.isEmpty()) QSKIP("ZOMI_SHOT_DIR is not set");
        SetBoxResponder({});
        bool shot = false;
        OnModal([&](QWidget* window) {
            auto* w = As<Tfrm_NyomValaszt>(window);
            zomi::test::WhenModal([&](QWidget* box) {
                shot = zomi::test::WindowWithBox(w, box).save(shotDir +
                                                              QStringLiteral("/elutasitva.png"));
            });
            printOn(w, kRejecting);
        });
        MunkalapNyomtat(kDemoKey);
        QVERIFY(shot);
    }
};

QTEST_MAIN(PrintSpoolerTest)
#include "PrintSpoolerTest.moc"
