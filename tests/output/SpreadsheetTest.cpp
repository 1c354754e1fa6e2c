// The spreadsheet files, read back by readers that share no code with the
// writers: Python's standard library, from the published record layouts of
// BIFF2 and the Office Open XML schema.

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "output/Biff2Writer.h"
#include "output/XlsxExport.h"
#include "support/TestDatabase.h"

using namespace zomi;
using zomi::dbaccess::Connection;
using zomi::dbaccess::Query;
using zomi::test::TestDatabase;

// moc loses its way at backslashes and quotes inside a raw string: the scripts spell them with
// chr().
namespace {

// Prints {"codepage", "widths": {col: chars}, "cells": [[row, col, kind, value, bold, font,
// height]]}.
const char* const kBiff2Reader = R"PY(
import json, struct, sys
data = open(sys.argv[1], 'rb').read()
pos, fonts, xfs, cells, widths, codepage, dims = 0, [], [], [], {}, None, None
rid, size = struct.unpack_from('<HH', data, 0)
assert rid == 0x0009 and struct.unpack_from('<HH', data, 4) == (2, 0x10), 'not a BIFF2 worksheet'
while True:
    rid, size = struct.unpack_from('<HH', data, pos)
    body = data[pos + 4:pos + 4 + size]
    pos += 4 + size
    if rid == 0x000A:
        break
    if rid == 0x0042:
        codepage = struct.unpack('<H', body)[0]
    elif rid == 0x0031:
        height, flags = struct.unpack_from('<HH', body)
        name = body[5:5 + body[4]].decode('latin-1')
        fonts.append({'bold': bool(flags & 1), 'name': name, 'height': height})
    elif rid == 0x0043:
        xfs.append(body[0])
    elif rid == 0x0024:
        first, last, width = struct.unpack('<BBH', body)
        for c in range(first, last + 1):
            widths[str(c)] = width / 256
    elif rid == 0x0000:
        dims = list(struct.unpack('<HHHH', body))
    elif rid in (0x0001, 0x0003, 0x0004, 0x0005):
        row, col = struct.unpack_from('<HH', body)
        xf = body[4] & 0x3F
        # Excel 2 reads the font from the cell, later readers from the XF: they must agree.
        assert body[5] >> 6 == xfs[xf], 'cell font differs from its XF'
        font = fonts[xfs[xf]]
        if rid == 0x0001:
            kind, value = 'blank', None
        elif rid == 0x0003:
            kind, value = 'number', struct.unpack_from('<d', body, 7)[0]
        elif rid == 0x0004:
            kind, value = 'text', body[8:8 + body[7]].decode('cp%d' % codepage)
            assert len(body) == 8 + body[7], 'label length'
        else:
            assert body[8] == 0, 'error cell'
            kind, value = 'bool', bool(body[7])
        cells.append([row, col, kind, value, font['bold'], font['name'], font['height']])
assert pos == len(data), 'data after EOF'
print(json.dumps({'codepage': codepage, 'widths': widths, 'dims': dims, 'cells': cells}))
)PY";

// Prints {"frozen": [ySplit, state], "widths": {col: width}, "cells": [[row, col, kind, value,
// bold, numFmt]]}; numbers in a date or time format come back as ISO text computed from Excel's
// serial.
const char* const kXlsxReader = R"PY(
import datetime, json, re, sys, zipfile
import xml.etree.ElementTree as ET
M = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
R = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
book = ET.fromstring(z.read('xl/workbook.xml'))
sheets = book.find(M + 'sheets').findall(M + 'sheet')
assert len(sheets) == 1
rels = ET.fromstring(z.read('xl/_rels/workbook.xml.rels'))
target = [r.get('Target') for r in rels if r.get('Id') == sheets[0].get(R + 'id')][0]
sheet = ET.fromstring(z.read('xl/' + target.lstrip('/').replace('xl/', '', 1)))
shared = []
if 'xl/sharedStrings.xml' in z.namelist():
    for si in ET.fromstring(z.read('xl/sharedStrings.xml')).findall(M + 'si'):
        shared.append(''.join(t.text or '' for t in si.iter(M + 't')))
styles = ET.fromstring(z.read('xl/styles.xml'))
formats = {0: 'General'}
nf = styles.find(M + 'numFmts')
for f in (nf if nf is not None else []):
    formats[int(f.get('numFmtId'))] = f.get('formatCode')
bold = [f.find(M + 'b') is not None for f in styles.find(M + 'fonts')]
xfs = [(int(x.get('numFmtId', 0)), int(x.get('fontId', 0))) for x in styles.find(M + 'cellXfs')]
def place(ref):
    letters, digits = re.match('([A-Z]+)([0-9]+)', ref).groups()
    col = 0
    for ch in letters:
        col = col * 26 + ord(ch) - 64
    return int(digits) - 1, col - 1
def is_date(code):
    backslash, quote = chr(92), chr(34)
    # Escaped characters and quoted texts are literal text, not date parts.
    bare = re.sub('[' + backslash + '].|' + quote + '[^' + quote + ']*' + quote, '', code)
    return re.search(r'[ydhs]', bare) is not None
def unescape(text):
    # Characters XML cannot carry stand as _xHHHH_ in the workbook's strings.
    return re.sub('_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), text)
cells = []
for c in sheet.iter(M + 'c'):
    row, col = place(c.get('r'))
    fmt_id, font_id = xfs[int(c.get('s', 0))]
    code = formats.get(fmt_id, 'builtin %d' % fmt_id)
    t = c.get('t', 'n')
    v = c.find(M + 'v')
    if t == 's':
        kind, value = 'text', unescape(shared[int(v.text)])
    elif t == 'inlineStr':
        kind, value = 'text', unescape(''.join(x.text or '' for x in c.find(M + 'is').iter(M + 't')))
    elif t == 'str':
        kind, value = 'text', unescape(v.text or '')
    elif t == 'b':
        kind, value = 'bool', v.text == '1'
    elif v is None:
        kind, value = 'blank', None
    else:
        kind, value = 'number', float(v.text)
        if is_date(code):
            when = datetime.datetime(1899, 12, 30) + datetime.timedelta(seconds=round(value * 86400))
            kind, value = 'date', when.isoformat(timespec='seconds')
    cells.append([row, col, kind, value, bold[font_id], code])
pane = sheet.find(M + 'sheetViews').find(M + 'sheetView').find(M + 'pane')
frozen = [pane.get('ySplit'), pane.get('state'), pane.get('topLeftCell')] if pane is not None else None
widths = {}
cols = sheet.find(M + 'cols')
for col in (cols if cols is not None else []):
    for i in range(int(col.get('min')), int(col.get('max')) + 1):
        widths[str(i - 1)] = float(col.get('width'))
print(json.dumps({'frozen': frozen, 'widths': widths, 'cells': cells}))
)PY";

}  // namespace

class SpreadsheetTest : public QObject {
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

    QJsonObject readBack(const char* script, const QString& fileName) {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty()) {
            qWarning("python3 is needed to read the files back");
            return {};
        }
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), fileName});
        if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
            qWarning("reader failed: %s", reader.readAllStandardError().constData());
            return {};
        }
        return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    }
    static QJsonArray slice(const QJsonArray& array, int from, int count = -1) {
        QJsonArray part;
        for (int i = from; i < array.size() && (count < 0 || i < from + count); ++i)
            part.append(array.at(i));
        return part;
    }
    // The cell at (row, col) from a reader's list, or an empty array.
    static QJsonArray cell(const QJsonObject& book, int row, int col) {
        for (const QJsonValue& v : book.value(QStringLiteral("cells")).toArray()) {
            const QJsonArray c = v.toArray();
            if (c.at(0).toInt() == row && c.at(1).toInt() == col) return c;
        }
        return {};
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
        c_ = db_->connect();
        c_->exec(QStringLiteral(
            "CREATE TABLE munka (kod INT, nev VARCHAR(300), ar DOUBLE, nap DATE, ido TIME, "
            "mikor DATETIME, nagy BIGINT UNSIGNED, megj MEDIUMTEXT) "
            "CHARACTER SET latin2 COLLATE latin2_hungarian_ci"));
        c_->exec(QStringLiteral(
            "INSERT INTO munka VALUES "
            "(12, 'Tűzfal őrzése', 1234.5, '2024-03-05', '07:08:09', '2024-03-05 13:14:15', "
            "9007199254740993, 'két\\r\\nsor'),"
            "(-3, REPEAT('x', 300), NULL, NULL, NULL, NULL, 1, NULL)"));
    }

    void biff2ReadsBackWithTheSameCells() {
        auto q = query(
            QStringLiteral("SELECT kod, nev, ar, nap, ido, megj FROM munka ORDER BY kod DESC"));
        q->field(0).label = QStringLiteral("Kód");
        q->field(2).displayFormat = QStringLiteral("### ### ##0");
        const QString name = path(QStringLiteral("a.xls"));
        int steps = 0;
        WriteBiff2File(*q, {0, 1, 2, 3, 4, 5}, name, Progress{{}, [&](int p) { steps = p; }});
        QCOMPARE(steps, 2);

        const QJsonObject book = readBack(kBiff2Reader, name);
        QVERIFY(!book.isEmpty());
        QCOMPARE(book.value(QStringLiteral("codepage")).toInt(), 1250);
        QCOMPARE(book.value(QStringLiteral("dims")).toArray(), (QJsonArray{0, 3, 0, 6}));
        // Header: display labels, Arial 10 bold.
        QCOMPARE(cell(book, 0, 0), (QJsonArray{0, 0, "text", "Kód", true, "Arial", 200}));
        QCOMPARE(cell(book, 0, 5), (QJsonArray{0, 5, "text", "megj", true, "Arial", 200}));
        // Records: numbers as numbers (not as the grid shows them), plain Arial 10.
        QCOMPARE(cell(book, 1, 0), (QJsonArray{1, 0, "number", 12.0, false, "Arial", 200}));
        QCOMPARE(cell(book, 1, 1),
                 (QJsonArray{1, 1, "text", "Tűzfal őrzése", false, "Arial", 200}));
        QCOMPARE(cell(book, 1, 2).at(3).toDouble(), 1234.5);
        QCOMPARE(cell(book, 1, 3).at(3).toString(), QStringLiteral("2024.03.05."));
        QCOMPARE(cell(book, 1, 4).at(3).toString(), QStringLiteral("07:08:09"));
        QCOMPARE(cell(book, 1, 5).at(3).toString(), QStringLiteral("két\r\nsor"));
        QCOMPARE(cell(book, 2, 0).at(3).toDouble(), -3.0);
        // Texts are cut to 255 characters; NULL is a blank cell.
        QCOMPARE(cell(book, 2, 1).at(3).toString(), QString(255, QLatin1Char('x')));
        for (int col : {2, 3, 4, 5})
            QCOMPARE(cell(book, 2, col).at(2).toString(), QStringLiteral("blank"));
        QCOMPARE(book.value(QStringLiteral("cells")).toArray().size(), 18);
        // Widths follow the content.
        const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
        QVERIFY(widths.value(QStringLiteral("1")).toDouble() >
                widths.value(QStringLiteral("0")).toDouble());
    }

    void biff2LogicalCells() {
        Biff2Writer sheet;
        sheet.writeBool(0, 0, true, true);
        sheet.writeBool(0, 1, false);
        const QString name = path(QStringLiteral("bool.xls"));
        ReplaceFileContents(name, sheet.bytes());
        const QJsonObject book = readBack(kBiff2Reader, name);
        QCOMPARE(cell(book, 0, 0), (QJsonArray{0, 0, "bool", true, true, "Arial", 200}));
        QCOMPARE(cell(book, 0, 1), (QJsonArray{0, 1, "bool", false, false, "Arial", 200}));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, sheet.writeBlank(Biff2Writer::kMaxRows, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, sheet.writeBlank(0, Biff2Writer::kMaxColumns));
    }

    void biff2RefusesWhatItCannotHold() {
        const QString name = path(QStringLiteral("nem.xls"));
        auto empty = query(QStringLiteral("SELECT kod FROM munka WHERE kod > 100"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, WriteBiff2File(*empty, {0}, name, {}));
        // One row more than the sheet holds besides its header.
        auto many = query(QStringLiteral("SELECT seq FROM seq_1_to_16384"));
        try {
            WriteBiff2File(*many, {0}, name, {});
            QFAIL("16,384 records do not fit");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("xlsx")),
                     error.what());
        }
        QVERIFY(!QFileInfo::exists(name));
    }

    void xlsxReadsBackTyped() {
        auto q = query(QStringLiteral(
            "SELECT kod, nev, ar, nap, ido, mikor, nagy, megj FROM munka ORDER BY kod DESC"));
        q->field(0).label = QStringLiteral("Kód");
        q->field(2).displayFormat = QStringLiteral("### ### ##0.00");
        const QString name = path(QStringLiteral("a.xlsx"));
        WriteXlsxFile(*q, {0, 1, 2, 3, 4, 5, 6, 7}, name, {});

        const QJsonObject book = readBack(kXlsxReader, name);
        QVERIFY(!book.isEmpty());
        QCOMPARE(book.value(QStringLiteral("frozen")).toArray(), (QJsonArray{"1", "frozen", "A2"}));
        QCOMPARE(slice(cell(book, 0, 0), 2, 3), (QJsonArray{"text", "Kód", true}));
        QCOMPARE(slice(cell(book, 0, 7), 2, 3), (QJsonArray{"text", "megj", true}));
        QCOMPARE(slice(cell(book, 1, 0), 2, 3), (QJsonArray{"number", 12.0, false}));
        QCOMPARE(cell(book, 1, 1).at(3).toString(), QStringLiteral("Tűzfal őrzése"));
        QCOMPARE(slice(cell(book, 1, 2), 2), (QJsonArray{"number", 1234.5, false, "#,##0.00"}));
        QCOMPARE(slice(cell(book, 1, 3), 2, 2), (QJsonArray{"date", "2024-03-05T00:00:00"}));
        QCOMPARE(cell(book, 1, 3).at(5).toString(), QStringLiteral("yyyy\\.mm\\.dd\\."));
        QCOMPARE(slice(cell(book, 1, 4), 2, 2), (QJsonArray{"date", "1899-12-30T07:08:09"}));
        QCOMPARE(slice(cell(book, 1, 5), 2, 2), (QJsonArray{"date", "2024-03-05T13:14:15"}));
        // An integer beyond a double's exact range keeps every digit as text.
        QCOMPARE(slice(cell(book, 1, 6), 2, 2), (QJsonArray{"text", "9007199254740993"}));
        // A line break inside a cell is a line feed alone in a workbook.
        QCOMPARE(cell(book, 1, 7).at(3).toString(), QStringLiteral("két\nsor"));
        // NULLs are empty cells; long texts stay whole.
        QCOMPARE(cell(book, 2, 1).at(3).toString(), QString(300, QLatin1Char('x')));
        for (int col : {2, 3, 4, 5, 7}) QVERIFY(cell(book, 2, col).isEmpty());
        const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
        QCOMPARE(widths.size(), 8);
        QVERIFY(widths.value(QStringLiteral("1")).toDouble() >= 60);  // the 300 x's, capped
        QVERIFY(widths.value(QStringLiteral("5")).toDouble() >= 20);  // "2024.03.05. 13:14:15"
        QVERIFY(widths.value(QStringLiteral("0")).toDouble() < 10);
    }

    void xlsxFailureLeavesTheOldFile() {
        auto q = query(QStringLiteral("SELECT kod, REPEAT('y', 40000) AS hosszu FROM munka"));
        const QString name = path(QStringLiteral("regi.xlsx"));
        {
            QFile old(name);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        try {
            WriteXlsxFile(*q, {0, 1}, name, {});
            QFAIL("a cell of 40,000 characters does not fit");
        } catch (const std::runtime_error& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("1. rekord „hosszu”")),
                     error.what());
        }
        QFile old(name);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QVERIFY_THROWS_EXCEPTION(FileError,
                                 WriteXlsxFile(*q, {0}, path(QStringLiteral("nincs/x.xlsx")), {}));
    }

    void excelNumberFormats_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("excel");
        QTest::newRow("settings default") << "### ### ##0"
                                          << "#,##0";
        QTest::newRow("three decimals") << "### ### ##0.000"
                                        << "#,##0.000";
        QTest::newRow("optional decimals") << "# ##0.0#"
                                           << "#,##0.0#";
        QTest::newRow("padded grouped") << "# #00 000"
                                        << "00,000";
        QTest::newRow("literal text") << "### ### ##0 Ft"
                                      << "#,##0\" Ft\"";
        QTest::newRow("sections") << "0.0;(0.0);"
                                  << "0.0;\"(\"0.0\")\";0.0";
        QTest::newRow("none") << ""
                              << "";
    }
    void excelNumberFormats() {
        QFETCH(QString, pattern);
        QFETCH(QString, excel);
        QCOMPARE(ExcelNumberFormat(pattern), excel);
    }
};

QTEST_MAIN(SpreadsheetTest)
#include "SpreadsheetTest.moc"
