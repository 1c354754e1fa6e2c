// The report engine: its pages written to PDF and read back with poppler's
// tools, words for the texts and pixels for the lines.

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "dbaccess/Dataset.h"
#include "report/PdfText.h"
#include "report/Report.h"
#include "support/TestDatabase.h"

using namespace zomi;
using namespace zomi::report;
using zomi::test::FindPhrase;
using zomi::test::PdfWord;
using zomi::test::ReadPdfWords;
using zomi::test::TestDatabase;

namespace {

constexpr double kMargin = 10.0;
// 254 dots per inch: ten pixels to the millimetre.
constexpr int kDpi = 254;
constexpr int kPxPerMm = 10;

int px(double pageMm) { return static_cast<int>(pageMm * kPxPerMm); }

// Ink within two pixels of the point: the rasteriser snaps hairlines to its grid.
bool dark(const QImage& page, double xMm, double yMm) {
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy)
            if (qGray(page.pixel(px(xMm) + dx, px(yMm) + dy)) < 128) return true;
    return false;
}

// How many pixels of a vertical cut through the page are dark between two heights.
int darkRun(const QImage& page, double xMm, double fromMm, double toMm) {
    int count = 0;
    for (int y = px(fromMm); y <= px(toMm); ++y)
        count += qGray(page.pixel(px(xMm), y)) < 128 ? 1 : 0;
    return count;
}

TextFormat format(Align align, bool wrap = true) {
    TextFormat f;
    f.align = align;
    f.wordWrap = wrap;
    return f;
}

// Acts in the window once it is on the screen, from inside its modal loop.
class WhenShown : public QObject {
  public:
    WhenShown(const QString& name, std::function<void(QWidget*)> act)
        : name_(name), act_(std::move(act)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            watched->objectName() == name_) {
            QPointer<QWidget> window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, this, [this, window] {
                if (!window) return;
                act_(window);
                if (auto* dialog = qobject_cast<QDialog*>(window.data());
                    dialog && dialog->isVisible())
                    dialog->reject();
            });
        }
        return false;
    }

  private:
    QString name_;
    std::function<void(QWidget*)> act_;
};

}  // namespace

class ReportTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> c_;
    std::unique_ptr<dbaccess::Query> rows_;
    std::unique_ptr<dbaccess::Query> none_;
    QTemporaryDir dir_;

    QString pdf(const Report& report, const QString& name = QStringLiteral("r.pdf")) {
        const QString path = dir_.filePath(name);
        report.exportPdf(path);
        return path;
    }
    // The nearest place where the phrase stands to the expected one (page millimetres).
    static PdfWord nearest(const QList<PdfWord>& words, const QString& phrase, QPointF expected) {
        PdfWord best;
        double distance = 1e9;
        for (const PdfWord& w : FindPhrase(words, phrase)) {
            const double d = QLineF(w.box.topLeft(), expected).length();
            if (d < distance) {
                distance = d;
                best = w;
            }
        }
        return best;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
        c_ = db_->connect();
        c_->exec(
            QStringLiteral("CREATE TABLE r (n INT, t VARCHAR(200), a DOUBLE, d DATE) "
                           "CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
        c_->exec(
            QStringLiteral("INSERT INTO r VALUES (1, 'Első', 1234.5, '2026-03-01'), "
                           "(2, 'Második', NULL, NULL), (3, 'Harmadik', -0.4, '2027-12-31')"));
        rows_ = std::make_unique<dbaccess::Query>(c_.get());
        rows_->setSql(QStringLiteral("SELECT * FROM r ORDER BY n"));
        rows_->open();
        rows_->fieldByName(QStringLiteral("a")).displayFormat = QStringLiteral("### ### ##0");
        none_ = std::make_unique<dbaccess::Query>(c_.get());
        none_->setSql(QStringLiteral("SELECT * FROM r WHERE n < 0"));
        none_->open();
    }

    void detailBandRepeatsPerRecordOverPages() {
        Report report;
        report.setDataset(rows_.get());
        report.detail().setHeight(100);
        report.detail().addField(rows_.get(), QStringLiteral("t"), QRectF(5, 20, 0, 0));
        report.detail().addField(rows_.get(), QStringLiteral("a"), QRectF(60, 20, 30, 0),
                                 format(Align::Right));
        report.detail().addField(rows_.get(), QStringLiteral("d"), QRectF(100, 20, 0, 0));
        rows_->moveTo(1);
        const QString file = pdf(report);
        QCOMPARE(rows_->currentRow(), 1);  // the caller's row is kept

        // Two bands of 100 mm fit in the 277 mm of a page; the third starts the next.
        QCOMPARE(zomi::test::PdfPageCount(file), 2);
        const QList<PdfWord> words = ReadPdfWords(file);
        const struct {
            const char* text;
            int page;
            double top;
        } expected[] = {{"Első", 1, 20}, {"Második", 1, 120}, {"Harmadik", 2, 20}};
        for (const auto& e : expected) {
            const PdfWord w =
                nearest(words, QString::fromUtf8(e.text), QPointF(kMargin + 5, kMargin + e.top));
            QCOMPARE(w.page, e.page);
            QVERIFY2(std::abs(w.box.left() - (kMargin + 5)) < 0.5, e.text);
            QVERIFY2(std::abs(w.box.top() - (kMargin + e.top)) < 0.5, e.text);
        }
        // Display format for amounts, the application's date form, NULL as nothing.
        const PdfWord amount =
            nearest(words, QStringLiteral("1 235"), QPointF(kMargin + 60, kMargin + 20));
        QCOMPARE(amount.page, 1);
        QVERIFY(std::abs(amount.box.right() - (kMargin + 90)) < 0.5);
        QCOMPARE(nearest(words, QStringLiteral("2026.03.01."), {}).page, 1);
        QCOMPARE(nearest(words, QStringLiteral("0"), {}).page, 2);
        // The second record's empty amount and date.
        QVERIFY(zomi::test::WordsIn(words, QRectF(kMargin + 55, kMargin + 118, 140, 8)).isEmpty());
    }

    void noRecordsGiveOneEmptyPage() {
        Report report;
        report.setDataset(none_.get());
        report.detail().setHeight(50);
        report.detail().addLabel(QStringLiteral("Fejléc"), QRectF(0, 0, 0, 0));
        const QString file = pdf(report);
        QCOMPARE(zomi::test::PdfPageCount(file), 1);
        QVERIFY(ReadPdfWords(file).isEmpty());
    }

    void textsAlignInTheirBoxes() {
        Report report;
        report.setDataset(rows_.get());
        report.detail().setHeight(270);
        Band& b = report.detail();
        b.addLabel(QStringLiteral("Balra"), QRectF(20, 10, 100, 0), format(Align::Left));
        b.addLabel(QStringLiteral("Középre"), QRectF(20, 20, 100, 0), format(Align::Center));
        b.addLabel(QStringLiteral("Jobbra"), QRectF(20, 30, 100, 0), format(Align::Right));
        b.addLabel(QStringLiteral("Lapközép"), QRectF(0, 40, Report::PrintableSize().width(), 0),
                   format(Align::Center));
        TextFormat big = format(Align::Left);
        big.pointSize = 18;
        big.bold = true;
        b.addLabel(QStringLiteral("Nagy"), QRectF(3, 50, 0, 0), big);
        // Wrapped at word boundaries within 40 mm, on as many lines as it takes.
        b.addLabel(
            QStringLiteral("egy kettő három négy öt hat hét nyolc kilenc tíz tizenegy tizenkettő"),
            QRectF(10, 70, 40, 0), format(Align::Left));
        // The same in a box one line high shows only that line.
        b.addLabel(QStringLiteral("alfa béta gamma delta epszilon zéta éta théta"),
                   QRectF(10, 120, 40, 4), format(Align::Left));
        const QString file = pdf(report);
        const QList<PdfWord> words = ReadPdfWords(file);

        const PdfWord left = nearest(words, QStringLiteral("Balra"), {30, 20});
        QVERIFY(std::abs(left.box.left() - 30) < 0.5);
        const PdfWord centre = nearest(words, QStringLiteral("Középre"), {70, 30});
        QVERIFY(std::abs(centre.box.center().x() - 80) < 0.5);
        const PdfWord right = nearest(words, QStringLiteral("Jobbra"), {120, 40});
        QVERIFY(std::abs(right.box.right() - 130) < 0.5);
        const PdfWord page = nearest(words, QStringLiteral("Lapközép"), {105, 50});
        QVERIFY(std::abs(page.box.center().x() - 105) < 0.5);  // the middle of the A4 sheet
        const PdfWord large = nearest(words, QStringLiteral("Nagy"), {13, 60});
        QVERIFY(std::abs(large.box.top() - 60) < 0.7);
        QVERIFY(large.box.height() > 2 * left.box.height() * 0.9);  // 18 point against 9

        QSet<int> lines;
        for (const QString& w :
             QStringLiteral("egy kettő három négy öt hat hét nyolc kilenc tíz tizenegy tizenkettő")
                 .split(QLatin1Char(' '))) {
            const PdfWord found = nearest(words, w, {20, 80});
            QVERIFY2(found.page == 1, qPrintable(w));
            QVERIFY2(found.box.left() >= 20 - 0.3 && found.box.right() <= 60 + 0.3, qPrintable(w));
            lines.insert(qRound(found.box.top() * 10));
        }
        QVERIFY(lines.size() >= 3);

        const QImage image = zomi::test::RenderPdfPage(file, 1, kDpi);
        QCOMPARE(image.width(), px(210));
        bool inked = false;
        for (double x = 20; x < 60 && !inked; x += 0.1) inked = darkRun(image, x, 130, 131.5) > 0;
        QVERIFY(inked);  // the first line
        for (double x = 15; x < 65; x += 0.1)
            QVERIFY2(darkRun(image, x, 134.5, 150) == 0, "clipped lines show");
    }

    void shapesAndLinesKeepTheirPenWidths() {
        Report report;
        report.setDataset(rows_.get());
        report.detail().setHeight(270);
        Band& b = report.detail();
        b.addShape(ShapeKind::HorizontalLine, QRectF(0, 10, 100, 4), 3);  // line at 12
        b.addShape(ShapeKind::HorizontalLine, QRectF(0, 30, 100, 6), 1);  // line at 33
        b.addShape(ShapeKind::Rectangle, QRectF(20, 50, 60, 20), 1);
        b.addShape(ShapeKind::TopAndBottomLines, QRectF(20, 90, 60, 7), 1);
        TextFormat signature = format(Align::Center);
        signature.topLine = true;
        b.addLabel(QStringLiteral("aláírás"), QRectF(120, 110, 50, 0), signature);
        // An opaque text box hides the thick line under it, a transparent one does not.
        TextFormat opaque = format(Align::Left);
        opaque.transparent = false;
        b.addLabel(QString(), QRectF(60, 10, 20, 4), opaque);
        b.addLabel(QString(), QRectF(30, 10, 20, 4), format(Align::Left));
        const QImage page = zomi::test::RenderPdfPage(pdf(report), 1, kDpi);

        // 3 screen pixels are 0.79 mm, one 0.26 mm.
        const int thick = darkRun(page, kMargin + 50, kMargin + 10, kMargin + 14);
        const int thin = darkRun(page, kMargin + 50, kMargin + 30, kMargin + 36);
        QVERIFY2(thick >= 6 && thick <= 10, qPrintable(QString::number(thick)));
        QVERIFY2(thin >= 2 && thin <= 4, qPrintable(QString::number(thin)));
        // Through the middle of the box (the rasteriser may snap a hairline by a pixel).
        QVERIFY(darkRun(page, kMargin + 50, kMargin + 11.7, kMargin + 12.3) > 0);
        QVERIFY(darkRun(page, kMargin + 50, kMargin + 10, kMargin + 11.3) == 0);
        QVERIFY(darkRun(page, kMargin + 50, kMargin + 32.7, kMargin + 33.3) > 0);
        QVERIFY(darkRun(page, kMargin + 50, kMargin + 30, kMargin + 32.4) == 0);
        QVERIFY(!dark(page, kMargin + 101, kMargin + 12));  // ends with its box
        QVERIFY(dark(page, kMargin + 40, kMargin + 12) && !dark(page, kMargin + 70, kMargin + 12));

        // A rectangle has all four sides; the ruled row only its top and bottom.
        QVERIFY(dark(page, kMargin + 50, kMargin + 50) && dark(page, kMargin + 50, kMargin + 70));
        QVERIFY(dark(page, kMargin + 20, kMargin + 60) && dark(page, kMargin + 80, kMargin + 60));
        QVERIFY(!dark(page, kMargin + 50, kMargin + 60));
        QVERIFY(dark(page, kMargin + 50, kMargin + 90) && dark(page, kMargin + 50, kMargin + 97));
        QVERIFY(!dark(page, kMargin + 20, kMargin + 93.5) &&
                !dark(page, kMargin + 80, kMargin + 93.5));

        // The signature line runs the width of its box above the caption.
        QVERIFY(dark(page, kMargin + 121, kMargin + 110) &&
                dark(page, kMargin + 169, kMargin + 110));
        QVERIFY(!dark(page, kMargin + 119, kMargin + 110) &&
                !dark(page, kMargin + 171, kMargin + 110));
    }

    void pdfThatCannotBeWrittenIsReported() {
        Report report;
        report.setDataset(rows_.get());
        report.detail().setHeight(50);
        try {
            report.exportPdf(dir_.filePath(QStringLiteral("nincs/ilyen/mappa.pdf")));
            QFAIL("no error");
        } catch (const ReportError& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("mappa.pdf")));
        }

        // A band that fails half-way leaves the earlier file as it was.
        const QString file = dir_.filePath(QStringLiteral("megvan.pdf"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("korábbi");
        }
        report.detail().addField(rows_.get(), QStringLiteral("nincs_ilyen"), QRectF(0, 0, 0, 0));
        try {
            report.exportPdf(file);
            QFAIL("no error");
        } catch (const ReportError& e) {
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("nincs_ilyen")));
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("korábbi"));
    }

    void previewShowsThePagesModally() {
        Report report;
        report.setTitle(QStringLiteral("Próba"));
        report.setDataset(rows_.get());
        report.detail().setHeight(100);
        report.detail().addField(rows_.get(), QStringLiteral("t"), QRectF(0, 0, 0, 0));
        bool seen = false;
        WhenShown act(QStringLiteral("frm_Nyomtatasikep"), [&](QWidget* window) {
            seen = true;
            QCOMPARE(QApplication::activeModalWidget(), window);
            QCOMPARE(window->windowTitle(), QStringLiteral("Nyomtatási kép – Próba"));
            auto* pages = window->findChild<QPrintPreviewWidget*>();
            QVERIFY(pages);
            QCOMPARE(pages->pageCount(), 2);
        });
        report.preview(nullptr);
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
