// The work-order sheet of the demo data written to PDF and read back with
// poppler's tools: every text where the layout places it, amounts in the
// amount format, the rules and frames, and the sheets of incomplete work orders.

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/Beall.h"
#include "db/DbRoutines.h"
#include "output/rptZomi.h"
#include "report/PdfText.h"
#include "support/TestDatabase.h"

using namespace zomi;
using zomi::test::FindPhrase;
using zomi::test::PdfWord;
using zomi::test::ReadPdfWords;
using zomi::test::TestDatabase;
using zomi::test::WordsIn;

namespace {

constexpr double kMargin = 10.0;
constexpr double kTolerance = 1.0;  // millimetres
// The demo work order 2026/00084: Antal Építőipari Kft., VAT charged, 12 hours,
// 2 call-outs and 108 000 Ft of materials.
constexpr int kDemoKey = 309;

QString q(const char* text) { return QString::fromUtf8(text); }

// Where the box of an item lies on the page, in millimetres.
QRectF onPage(double left, double top, double width, double height) {
    return QRectF(kMargin + left, kMargin + top, width, height);
}

// The text of the field whose box starts at that place: the words on its line
// within its width (not those of the underscore text beneath it).
QString fieldText(const QList<PdfWord>& words, double left, double top, double width) {
    QStringList line;
    for (const PdfWord& w : zomi::test::InReadingOrder(words)) {
        if (std::abs(w.box.top() - (kMargin + top)) < 0.6 && w.box.right() > kMargin + left &&
            w.box.left() < kMargin + left + width)
            line << w.text;
    }
    return line.join(QLatin1Char(' '));
}

int darkRun(const QImage& page, double xMm, double fromMm, double toMm) {
    int count = 0;
    for (int y = qRound(fromMm * 10); y <= qRound(toMm * 10); ++y)
        count += qGray(page.pixel(qRound(xMm * 10), y)) < 128 ? 1 : 0;
    return count;
}

}  // namespace

class SheetTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> c_;
    QString demoFile_;
    QList<PdfWord> demo_;

    QString render(int key, const QString& name) {
        TqrZomi sheet(c_.get());
        sheet.open(key);
        const QString file = dir_.filePath(name);
        sheet.report().exportPdf(file);
        return file;
    }
    int insertWorkOrder(const QString& columns, const QString& values) {
        ExecSql(QStringLiteral("INSERT INTO zomi (") + columns + QStringLiteral(") VALUES (") +
                values + QStringLiteral(");"));
        return QueryInt(QStringLiteral("SELECT MAX(zomi) FROM zomi;"), -1);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        Beall.Format = QStringLiteral("### ### ##0");
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Demo);
        c_ = db_->connect();
        SetMainConnection(c_.get());
        demoFile_ = render(kDemoKey, QStringLiteral("demo.pdf"));
        demo_ = ReadPdfWords(demoFile_);
        // Set ZOMI_SHOT_DIR to look at the sheet.
        const QString shotDir = QString::fromLocal8Bit(qgetenv("ZOMI_SHOT_DIR"));
        if (!shotDir.isEmpty()) {
            QDir().mkpath(shotDir);
            QFile::remove(shotDir + QStringLiteral("/munkalap.pdf"));
            QFile::copy(demoFile_, shotDir + QStringLiteral("/munkalap.pdf"));
        }
        QVERIFY2(!demo_.isEmpty(), "pdftotext read nothing");
    }
    void cleanupTestCase() { SetMainConnection(nullptr); }

    // anchor: "L" the text starts at left, "C" it is centred in the box of
    // that width, "R" it ends at left + width.
    void textsStandWhereTheLayoutPlacesThem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("anchor");
        const auto row = [](const char* text, double left, double top, double width,
                            const char* anchor) {
            QTest::addRow("%s @ %.1f, %.1f", text, left, top)
                << q(text) << left << top << width << QString::fromLatin1(anchor);
        };
        // Letterhead and title.
        row("Józsefvárosi Házkezelő Iroda", 0.0, 1.3, 0, "L");
        row("1082 Budapest, Baross utca 63.", 0.0, 7.9, 0, "L");
        row("+36 1 459 2100", 0.0, 11.9, 0, "L");
        row("2026.12.04.", 152.1, 6.6, 33.3, "C");
        row("10:04:00", 152.1, 13.2, 33.3, "C");
        row("MUNKALAP", 0.0, 10.6, 190.0, "C");
        row("MEGRENDELÉS", 0.0, 21.2, 190.0, "C");
        // Order block.
        row("Munkalap száma", 1.3, 30.4, 0, "L");
        row("2026/00084", 35.7, 30.4, 47.9, "C");
        row("Ktgh", 103.2, 30.4, 0, "L");
        row("12", 131.0, 30.4, 0, "L");
        row("Költséghely", 103.2, 37.0, 0, "L");
        row("Budapest, Erkel utca 14.", 131.0, 37.0, 0, "L");
        row("Vállalkozó neve", 1.3, 43.7, 0, "L");
        row("Antal Építőipari Kft.", 35.7, 43.7, 47.9, "C");
        row("Küldött", 103.2, 43.7, 0, "L");
        row("Simon Péter", 131.0, 43.7, 0, "L");
        row("Budapest, Erkel utca 14", 131.0, 50.3, 0, "L");
        row("+36 30 415 0596", 131.0, 56.9, 0, "L");
        row("Megrendeljük az alábbi munka elvégzését", 1.3, 63.5, 0, "L");
        row("Kémény fejének átrakása.", 2.6, 71.4, 0, "L");
        row("Kiadás időpontja", 1.3, 96.6, 0, "L");
        row("2026.12.05.", 35.7, 96.6, 47.9, "C");
        row("Határideje", 1.3, 103.2, 0, "L");
        row("2026.12.24.", 35.7, 103.2, 47.9, "C");
        row("Munkalap", 109.8, 96.6, 0, "L");
        row("Átvevő aláírása", 109.8, 103.2, 0, "L");
        row("___________________________", 138.9, 103.2, 0, "L");
        // Signature row.
        row("Kiadta:", 0.0, 119.1, 28.0, "C");
        row("Fehér Ildikó", 27.8, 119.1, 62.4, "C");
        row("Küldött", 127.0, 119.1, 62.4, "C");
        // Cost block: the underscore texts end at 185 mm, the amounts in the
        // amount format over them.
        row("KÖLTSÉG", 0.0, 129.6, 190.0, "C");
        row("A munka elvégzése", 1.3, 134.9, 0, "L");
        row("Munkadíj", 1.3, 153.5, 0, "L");
        row("Ft / óra = ______________ Ft _____________ Ft", 35.0, 153.5, 150.0, "R");
        row("12", 62.2, 152.1, 21.4, "C");
        row("7 087", 93.9, 152.1, 21.4, "C");
        row("85 039", 132.3, 152.1, 21.4, "C");
        row("108 000", 160.1, 152.1, 21.4, "C");
        row("Kiszállási díj", 1.3, 161.4, 0, "L");
        row("Ft / óra = ______________ Ft _____________ Ft", 35.0, 161.4, 150.0, "R");
        row("2", 62.2, 160.1, 21.4, "C");
        row("4 724", 93.9, 160.1, 21.4, "C");
        row("9 449", 132.3, 160.1, 21.4, "C");
        row("12 000", 160.1, 160.1, 21.4, "C");
        row("Anyagfelhasználás", 1.3, 169.3, 0, "L");
        row("______________ Ft _____________ Ft", 35.0, 169.3, 150.0, "R");
        row("108 000", 132.3, 168.0, 21.4, "C");
        row("137 160", 160.1, 168.0, 21.4, "C");
        row("Összesen : ______________ Ft _____________ Ft", 35.0, 175.9, 150.0, "R");
        row("202 488", 132.3, 174.6, 21.4, "C");
        row("257 160", 160.1, 174.6, 21.4, "C");
        row("nettó", 132.3, 181.2, 21.4, "C");
        row("bruttó", 160.1, 181.2, 21.4, "C");
        row("Felhasznált anyagok", 1.3, 177.3, 0, "L");
        row("vállalkozási díj", 90.0, 190.5, 0, "L");
        row("munkadíj +", 90.0, 194.5, 0, "L");
        row("257 160", 122.0, 194.5, 60.9, "C");
        row("Helység 20_____ év _____ hó ______ nap", 1.3, 213.0, 0, "L");
        row("vállalkozó", 113.8, 213.0, 73.0, "C");
        // Certification block.
        row("IGAZOLÁS", 0.0, 222.2, 190.0, "C");
        row("A vállalkozó számláján", 2.6, 228.9, 0, "L");
        row("Helység 20_____ év _____ hó ______ nap", 2.6, 256.6, 0, "L");
        row("Vállalkozó", 2.6, 268.6, 58.5, "C");
        row("Küldött", 66.1, 268.6, 58.5, "C");
        row("Műszaki szervezet", 128.3, 268.6, 58.5, "C");
    }

    void textsStandWhereTheLayoutPlacesThem() {
        QFETCH(QString, text);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(double, width);
        QFETCH(QString, anchor);
        const double wantX = kMargin + (anchor == QLatin1String("L")   ? left
                                        : anchor == QLatin1String("C") ? left + width / 2
                                                                       : left + width);
        const double wantY = kMargin + top;
        const QList<PdfWord> found = FindPhrase(demo_, text);
        QVERIFY2(!found.isEmpty(), "not printed");
        double best = 1e9;
        QString where;
        for (const PdfWord& w : found) {
            const double x = anchor == QLatin1String("L")   ? w.box.left()
                             : anchor == QLatin1String("C") ? w.box.center().x()
                                                            : w.box.right();
            const double miss = std::max(std::abs(x - wantX), std::abs(w.box.top() - wantY));
            if (miss < best) {
                best = miss;
                where = QStringLiteral("%1, %2")
                            .arg(x - kMargin, 0, 'f', 2)
                            .arg(w.box.top() - kMargin, 0, 'f', 2);
            }
        }
        QVERIFY2(best <= kTolerance, qPrintable(QStringLiteral("printed at ") + where));
    }

    void fixedTextsArePrintedWhole() {
        // The page read in order between the certification heading and the place line.
        const QString certification =
            q("A vállalkozó számláján szereplő anyagok beépítését, a munkavégzésre fordított "
              "munkaidőt "
              "elfogadjuk. Igazoljuk a megrendelt munka elvégzését, a hiba elhárítását. A munklap "
              "határidejének lejárta után minden megkezdett nap a vállalkozó vállalkozási díját 5 "
              "%-al "
              "csökkenti. A vállalkozó kijelenti, hogy az elvégzett munka, a felhasznált anyag és "
              "alkatrész a hatályos előírásoknak megfelel, rendeltetésszerű használatra alkalmas.");
        const QStringList inBox = WordsIn(demo_, onPage(2.6, 228.9, 184.1, 25.4));
        QCOMPARE(inBox.join(QLatin1Char(' ')), certification);
        QCOMPARE(WordsIn(demo_, onPage(90.0, 194.5, 29.4, 12)).join(QLatin1Char(' ')),
                 q("munkadíj + anyagfelhasználás + ÁFA"));
    }

    void rulesAndFramesAreDrawn() {
        const QImage page = zomi::test::RenderPdfPage(demoFile_, 1, 254);
        QVERIFY(std::abs(page.height() - 2970) <= 1);  // A4 at ten pixels a millimetre
        // The three thick rules, 3 screen pixels (0.8 mm), through the middle of
        // their 2.6 mm boxes, across the page from 0 to 189.4.
        for (double rule : {17.2, 125.7, 218.3}) {
            const double middle = kMargin + rule + 1.3;
            for (double x : {kMargin + 1.0, kMargin + 100.0, kMargin + 188.5}) {
                const int run = darkRun(page, x, middle - 1.2, middle + 1.2);
                QVERIFY2(run >= 6 && run <= 10,
                         qPrintable(QStringLiteral("%1 at %2: %3").arg(rule).arg(x).arg(run)));
            }
            QCOMPARE(darkRun(page, kMargin + 190.5, middle - 1.2, middle + 1.2), 0);
        }
        // The thin line after "A munka elvégzése" starts at 34.4.
        QVERIFY(darkRun(page, kMargin + 100, kMargin + 137.1, kMargin + 138.1) > 0);
        QCOMPARE(darkRun(page, kMargin + 33.0, kMargin + 137.1, kMargin + 138.1), 0);
        // The signature line of the signatory ends with its box at 90.2.
        QVERIFY(darkRun(page, kMargin + 89.5, kMargin + 118.6, kMargin + 119.6) > 0);
        QCOMPARE(darkRun(page, kMargin + 91.5, kMargin + 118.6, kMargin + 119.6), 0);
    }

    void amountsFollowTheAmountFormat() {
        Beall.Format = QStringLiteral("### ### ##0.00");
        const QList<PdfWord> words =
            ReadPdfWords(render(kDemoKey, QStringLiteral("ket-tizedes.pdf")));
        Beall.Format = QStringLiteral("### ### ##0");
        QCOMPARE(fieldText(words, 93.9, 152.1, 21.4), QStringLiteral("7 086,61"));
        QCOMPARE(fieldText(words, 132.3, 174.6, 21.4), QStringLiteral("202 488,19"));
        QCOMPARE(fieldText(words, 122.0, 194.5, 60.9), QStringLiteral("257 160,00"));
    }

    // Hours and call-outs read as a Hungarian reads numbers, whatever the
    // locale: "4.000" would be four thousand.
    void hoursAndCallOutsPrintAsHungarianNumbers_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("printed");
        for (const char* locale : {"en_US", "hu_HU"}) {
            const auto row = [locale](double value, const char* printed) {
                QTest::addRow("%s %g", locale, value)
                    << QString::fromLatin1(locale) << value << QString::fromLatin1(printed);
            };
            row(4, "4");
            row(1.5, "1,5");
            row(0.25, "0,25");
            row(12.75, "12,75");
            row(1000, "1 000");
        }
    }

    void hoursAndCallOutsPrintAsHungarianNumbers() {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, printed);
        const int serial =
            QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = 2026;"), 0) +
            1;
        const int key = insertWorkOrder(
            QStringLiteral("datum, sorszam, munkadij1, munkadij2, munkadij3, kiszdij2"),
            QStringLiteral("'2026-06-02', %1, 9055, %2, %3, %2")
                .arg(serial)
                .arg(value)
                .arg(9055 * value));
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const QList<PdfWord> words = ReadPdfWords(render(key, QStringLiteral("orak.pdf")));
        QLocale::setDefault(before);
        QCOMPARE(fieldText(words, 62.2, 152.1, 21.4), printed);
        QCOMPARE(fieldText(words, 62.2, 160.1, 21.4), printed);
        // The fee beside them stays in the amount format.
        QCOMPARE(fieldText(words, 93.9, 152.1, 21.4), QStringLiteral("9 055"));
    }

    void missingSiteContractorAndSignatoryPrintEmpty() {
        // A contractor left empty, a site key and a signatory key without rows.
        const int key = insertWorkOrder(
            QStringLiteral(
                "datum, ido, sorszam, vallalkozo, ktgh, kiad_datum, hatar_datum, alairas, munka"),
            q("'2026-05-06', '08:15:00', 501, NULL, 998, '2026-05-06', '2026-05-20', 99, 'Árva "
              "munkalap'"));
        const QList<PdfWord> words = ReadPdfWords(render(key, QStringLiteral("arva.pdf")));
        QVERIFY(!FindPhrase(words, QStringLiteral("2026/00501")).isEmpty());
        QVERIFY(!FindPhrase(words, q("Árva munkalap")).isEmpty());
        QCOMPARE(WordsIn(words, onPage(131.0, 30.9, 18.8, 2)), QStringList{QStringLiteral("998")});
        const struct {
            const char* what;
            QRectF box;
        } empty[] = {
            {"cim", onPage(131.0, 37.5, 54.5, 3)},
            {"kepviselo", onPage(131.0, 44.2, 54.5, 3)},
            {"kepviselo_cim", onPage(131.0, 50.8, 54.5, 3)},
            {"telefon", onPage(131.0, 57.4, 54.5, 3)},
            {"vallalkozo_nev", onPage(35.7, 44.2, 47.9, 3)},
            {"alairas_nev", onPage(27.8, 119.6, 62.4, 3)},
        };
        for (const auto& e : empty) QVERIFY2(WordsIn(words, e.box).isEmpty(), e.what);
        // The captions beside them still print.
        for (const char* caption : {"Költséghely", "Vállalkozó neve", "Kiadta:"})
            QVERIFY2(!FindPhrase(words, q(caption)).isEmpty(), caption);
    }

    void nettoAddsTheNetsWithEmptyOnesAsZero_data() {
        QTest::addColumn<QString>("nets");  // munkadij3, kiszdij3, anyag3
        QTest::addColumn<QString>("ossz");
        QTest::addColumn<double>("netto");
        QTest::addColumn<QString>("nettoText");
        QTest::addColumn<QString>("osszText");
        QTest::newRow("all three") << "1000.4, 300.2, 250.3"
                                   << "5" << 1550.9 << "1 551"
                                   << "5";
        QTest::newRow("call-out empty") << "1000.4, NULL, 250.3"
                                        << "1588.389" << 1250.7 << "1 251"
                                        << "1 588";
        QTest::newRow("only materials") << "NULL, NULL, 70000"
                                        << "NULL" << 70000.0 << "70 000"
                                        << "";
        QTest::newRow("none") << "NULL, NULL, NULL"
                              << "0" << 0.0 << "0"
                              << "0";
    }

    void nettoAddsTheNetsWithEmptyOnesAsZero() {
        QFETCH(QString, nets);
        QFETCH(QString, ossz);
        QFETCH(double, netto);
        QFETCH(QString, nettoText);
        QFETCH(QString, osszText);
        const int serial =
            QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = 2026;"), 0) +
            1;
        const int key =
            insertWorkOrder(QStringLiteral("datum, sorszam, munkadij3, kiszdij3, anyag3, ossz"),
                            QStringLiteral("'2026-06-01', %1, %2, %3").arg(serial).arg(nets, ossz));
        TqrZomi sheet(c_.get());
        sheet.open(key);
        QCOMPARE(sheet.QryZomi->recordCount(), 1);
        QVERIFY(
            qFuzzyCompare(sheet.QryZomi->value(QStringLiteral("netto")).toDouble() + 1, netto + 1));
        const QString file = dir_.filePath(QStringLiteral("netto.pdf"));
        sheet.report().exportPdf(file);
        const QList<PdfWord> words = ReadPdfWords(file);
        QCOMPARE(fieldText(words, 132.3, 174.6, 21.4), nettoText);
        // The gross total prints as stored, whatever the nets add up to.
        QCOMPARE(fieldText(words, 160.1, 174.6, 21.4), osszText);
        QCOMPARE(fieldText(words, 122.0, 194.5, 60.9), osszText);
    }

    void textOfTheOtherClientsPrints() {
        // The bytes a code-page-1250 workstation stores, written by the stock client.
        const QString script = dir_.filePath(QStringLiteral("raw.sql"));
        {
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                "INSERT INTO zomi (datum, sorszam, munka) VALUES "
                "('2026-07-01', 777, 'Kiss \x96 Nagy \x84id\xE9zet\x94 5 \x80 \x8A');\n");
        }
        db_->loadFile(script);
        const int key = QueryInt(QStringLiteral("SELECT MAX(zomi) FROM zomi;"), -1);
        const QList<PdfWord> words = ReadPdfWords(render(key, QStringLiteral("cp1250.pdf")));
        QVERIFY(!FindPhrase(words, q("Kiss – Nagy „idézet” 5 € Š")).isEmpty());
    }

    void keyWithoutRowGivesAnEmptyPage() {
        const QString file = render(987654, QStringLiteral("ures.pdf"));
        QCOMPARE(zomi::test::PdfPageCount(file), 1);
        QVERIFY(ReadPdfWords(file).isEmpty());
    }
};

QTEST_MAIN(SheetTest)
#include "SheetTest.moc"
