// The delimited text format, written through the library without the window.

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/Codepage.h"
#include "output/Biff2Writer.h"
#include "output/DelimitedExport.h"
#include "support/TestDatabase.h"

using namespace zomi;
using zomi::dbaccess::Connection;
using zomi::dbaccess::Query;
using zomi::test::TestDatabase;

class DelimitedExportTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<Connection> c_;
    QTemporaryDir dir_;

    std::unique_ptr<Query> query(const QString& sql) {
        auto q = std::make_unique<Query>(c_.get());
        q->setSql(sql);
        q->open();
        return q;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    static QByteArray read(const QString& fileName) {
        QFile f(fileName);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Expected file contents, written as Unicode and compared as code page 1250 bytes.
    static QByteArray cp1250(const QString& text) { return ToCp1250(text); }
    QByteArray exportOf(zomi::dbaccess::Dataset& q, const DelimitedOptions& options) {
        const QString name = path(QStringLiteral("out.csv"));
        WriteDelimitedFile(q, options, name, {}, {});
        return read(name);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
        c_ = db_->connect();
        c_->exec(QStringLiteral(
            "CREATE TABLE munka (kod INT, munka VARCHAR(200), megj TEXT, ar DOUBLE, nap DATE, "
            "ido TIME, kep BLOB) CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
        c_->exec(QStringLiteral(
            "INSERT INTO munka VALUES "
            "(1, 'Csap\\tcsere; \"sürgős\"', 'első\\tsor\\r\\nmásodik; sor', 1234.5, '2024-03-05', "
            "'07:08:09', X'00FF'),"
            "(2, 'C:\\\\Munka\\\\lap', 'egy\\nlf', -0.25, NULL, NULL, NULL),"
            "(3, NULL, NULL, 1e20, '1999-12-31', '23:59:59', NULL)"));
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void workedExampleByteForByte() {
        auto q = query(QStringLiteral("SELECT 12 AS kod, 'Ajtó\\r\\njavítása' AS munka"));
        q->field(0).label = QStringLiteral("kód");
        q->field(1).label = QStringLiteral("munka");
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        options.delimiter = QLatin1Char(';');
        options.quote = QLatin1Char('\'');
        QCOMPARE(exportOf(*q, options), QByteArray("'k\xf3"
                                                   "d';'munka';\r\n"
                                                   "'12';'Ajt\xf3\\njav\xedt\xe1sa'\r\n"));
    }

    void everyColumnUnticked() {
        auto q = query(QStringLiteral("SELECT * FROM munka"));
        DelimitedOptions options;
        options.quote = QLatin1Char('"');
        QCOMPARE(exportOf(*q, options), QByteArray("\r\n\r\n\r\n\r\n"));
    }

    void valuesStayOnOneLine() {
        auto q = query(QStringLiteral("SELECT munka, megj FROM munka ORDER BY kod"));
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        options.delimiter = QLatin1Char('\t');
        options.noHeader = true;
        const QByteArray expected = cp1250(
            // An ordinary text keeps the delimiter and quotes; a memo's tabs become commas,
            // its CR LF the two characters \n.
            QStringLiteral("\r\n"
                           "Csap\tcsere; \"sürgős\"\telső,sor\\nmásodik; sor\r\n"
                           // Backslashes doubled; a lone line feed disappears.
                           "C:\\\\Munka\\\\lap\tegylf\r\n"
                           "\t\r\n"));
        QCOMPARE(exportOf(*q, options), expected);
    }

    void memoAndBlobMarkers() {
        auto q = query(QStringLiteral("SELECT megj, kep FROM munka ORDER BY kod"));
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        options.quote = QLatin1Char('"');
        options.noHeader = true;
        options.memoText = false;
        // A large object is "BLOB" whatever it holds, even NULL.
        QCOMPARE(exportOf(*q, options), QByteArray("\r\n\"BLOB\";\"BLOB\"\r\n\"BLOB\";\"BLOB\"\r\n"
                                                   "\"BLOB\";\"BLOB\"\r\n"));
        // With memos written, a memo's delimiter turns into a comma.
        options.memoText = true;
        options.columns = {0};
        QVERIFY(
            exportOf(*q, options).contains(cp1250(QStringLiteral("\"első\tsor\\nmásodik, sor\""))));
    }

    void numbersDatesAndTimes() {
        auto q =
            query(QStringLiteral("SELECT kod, ar, nap, ido, CAST(ar AS DECIMAL(30,4)) AS pontos "
                                 "FROM munka ORDER BY kod"));
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        options.noHeader = true;

        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        QCOMPARE(exportOf(*q, options),
                 QByteArray("\r\n"
                            "1;1234,5;2024.03.05.;07:08:09;1234,5\r\n"
                            "2;-0,25;;;-0,25\r\n"
                            "3;1E20;1999.12.31.;23:59:59;100000000000000000000\r\n"));
        QLocale::setDefault(QLocale::c());
        QVERIFY(exportOf(*q, options).contains("\r\n2;-0.25;;;-0.25\r\n"));
    }

    void stoppedExportKeepsTheRecordsSoFar() {
        auto q = query(QStringLiteral("SELECT kod FROM munka ORDER BY kod"));
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        int asked = 0;
        int lastPosition = -1;
        int maximum = -1;
        Progress progress{[&](int m) { maximum = m; }, [&](int p) { lastPosition = p; }};
        const QString name = path(QStringLiteral("stopped.csv"));
        const ExportOutcome outcome =
            WriteDelimitedFile(*q, options, name, progress, [&] { return ++asked <= 2; });
        QVERIFY(outcome.stopped);
        QCOMPARE(outcome.records, 2);
        QCOMPARE(read(name), QByteArray("kod;\r\n1\r\n2\r\n"));
        QCOMPARE(maximum, 3);
        QCOMPARE(lastPosition, 2);
        QCOMPARE(q->currentRow(), 1);  // on the last record written

        // A full run reads to the end and leaves the dataset there.
        QCOMPARE(WriteDelimitedFile(*q, options, name, progress, [] { return true; }).records, 3);
        QVERIFY(q->eof());
        QCOMPARE(q->currentRow(), 2);
    }

    void bytesOfTheOtherClientsExportAsTheyAre() {
        // Written by the stock client exactly as a code-page-1250 workstation sends it.
        const QByteArray raw("Kiss \x96 Nagy \x84id\xE9zet\x94 5 \x80 \x8A");
        const QString script = path(QStringLiteral("raw.sql"));
        {
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("INSERT INTO munka (kod, munka) VALUES (4, '" + raw + "');\n");
        }
        db_->loadFile(script);
        auto q = query(QStringLiteral("SELECT munka FROM munka WHERE kod = 4"));
        const QString text = QStringLiteral("Kiss – Nagy „idézet” 5 € Š");
        QCOMPARE(q->displayText(0, 0), text);

        DelimitedOptions options;
        options.columns = AllColumns(*q);
        options.noHeader = true;
        QCOMPARE(exportOf(*q, options), QByteArray("\r\n") + raw + QByteArray("\r\n"));
        QString clipboard;
        DelimitedText(*q, ClipboardOptions(options), clipboard, {}, {});
        QCOMPARE(clipboard, QStringLiteral("\r\n") + text + QStringLiteral("\r\n"));
        const QString sheet = path(QStringLiteral("raw.xls"));
        WriteBiff2File(*q, {0}, sheet, {});
        QVERIFY(read(sheet).contains(raw));
        c_->exec(QStringLiteral("DELETE FROM munka WHERE kod = 4"));
    }

    void failedExportLeavesTheOldFile() {
        // Every stored byte has its character in code page 1250; a title need not.
        auto q = query(QStringLiteral("SELECT kod, munka FROM munka ORDER BY kod"));
        q->field(1).label = QString::fromUtf8("munka \xF0\x9F\x98\x80");
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("jo.csv"));
        {
            QFile good(name);
            QVERIFY(good.open(QIODevice::WriteOnly));
            good.write("good\r\n");
        }
        DelimitedOptions options;
        options.columns = AllColumns(*q);
        try {
            WriteDelimitedFile(*q, options, name, {}, {});
            QFAIL("the export should have failed");
        } catch (const EncodingError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("A fejlécben")),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("U+1F600")),
                     qPrintable(error.message()));
        }
        QCOMPARE(read(name), QByteArray("good\r\n"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("jo.csv")});
    }
};

QTEST_MAIN(DelimitedExportTest)
#include "DelimitedExportTest.moc"
