#include "output/rptZomi.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPrinterInfo>

#include "common/AmountFormat.h"
#include "common/Beall.h"
#include "common/Folders.h"
#include "db/DbRoutines.h"
#include "output/Hatarolt.h"
#include "output/NyomValaszt.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/RightsGuard.h"

namespace zomi {

using report::Align;
using report::ShapeKind;
using report::TextFormat;

namespace {

// The band fills the printable area of the page but for a few tenths.
constexpr double kBandWidth = 190.0;
constexpr double kBandHeight = 274.9;
// Rules, frames and ruled rows span this much of the band.
constexpr double kRuleWidth = 189.4;
constexpr double kRuleBoxHeight = 2.6;
constexpr double kThickPen = 3;
constexpr double kAmountWidth = 21.4;
// Where the right-aligned underscore texts of the cost rows end.
constexpr double kCostTextRight = 185.0;

TextFormat text(double pointSize, Align align = Align::Left) {
    TextFormat f;
    f.pointSize = pointSize;
    f.align = align;
    return f;
}

TextFormat bold(double pointSize, Align align = Align::Left) {
    TextFormat f = text(pointSize, align);
    f.bold = true;
    return f;
}

TextFormat italic(double pointSize, Align align = Align::Left) {
    TextFormat f = text(pointSize, align);
    f.italic = true;
    return f;
}

TextFormat signatureCaption(TextFormat f) {
    f.topLine = true;
    return f;
}

QRectF at(double left, double top, double width = 0, double height = 0) {
    return QRectF(left, top, width, height);
}

// Centred on the page: across the band's full width.
QRectF centred(double top) { return at(0, top, kBandWidth); }

const QString kTulajdonos = QStringLiteral("tulajdonos");

}  // namespace

const QStringList TqrZomi::kSql = {
    QStringLiteral("SELECT"),
    QStringLiteral(" zomi.zomi, zomi.datum, zomi.ido, zomi.sorszam, zomi.vallalkozo, zomi.ktgh,"),
    QStringLiteral(" zomi.kiad_datum, zomi.hatar_datum, zomi.alairas,"),
    QStringLiteral(" ktgh.cim,"),
    QStringLiteral(" vallalkozo.vallalkozo_nev,"),
    QStringLiteral(" alairas.alairas_nev,"),
    QStringLiteral(" ktgh.kepviselo,"),
    QStringLiteral(" ktgh.telefon,"),
    QStringLiteral(" ktgh.kepviselo_cim,"),
    QStringLiteral(" zomi.munka,"),
    QStringLiteral(" zomi.munkadij1, zomi.munkadij2, zomi.munkadij3, zomi.munkadij4,"),
    QStringLiteral(" zomi.kiszdij1, zomi.kiszdij2, zomi.kiszdij3, zomi.kiszdij4,"),
    QStringLiteral(" zomi.anyag3, zomi.anyag4, zomi.ossz,"),
    QStringLiteral(" fn_sorszamstr(zomi.sorszam, YEAR(zomi.datum)) sorszamstr,"),
    QStringLiteral(" COALESCE(zomi.munkadij3, 0) + COALESCE(zomi.kiszdij3, 0) + "
                   "COALESCE(zomi.anyag3, 0) netto"),
    QStringLiteral("FROM zomi"),
    QStringLiteral(" LEFT JOIN ktgh ON (zomi.ktgh=ktgh.ktgh)"),
    QStringLiteral(" LEFT JOIN vallalkozo ON (zomi.vallalkozo=vallalkozo.vallalkozo)"),
    QStringLiteral(" LEFT JOIN alairas ON (zomi.alairas=alairas.alairas)"),
    QStringLiteral("WHERE zomi.zomi=:pzomi"),
    QStringLiteral("ORDER BY 1;"),
};

TqrZomi::TqrZomi(dbaccess::Connection* connection)
    : QryZomi(std::make_unique<dbaccess::Query>(connection)),
      TblTulajdonos(std::make_unique<dbaccess::Table>(connection)) {
    QryZomi->setSql(kSql);
    QryZomi->setKeyField(QStringLiteral("zomi"));
    TblTulajdonos->setTableName(kTulajdonos);
    report_.setTitle(QStringLiteral("Munkalap"));
    // The layout is measured in Arial: the amount boxes stand over the
    // underscore runs of Arial's widths. Where Arial is missing, a face made
    // to the same widths keeps them there.
    report_.setFontFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    report_.setDataset(QryZomi.get());
    buildSheet();
}

TqrZomi::~TqrZomi() = default;

void TqrZomi::open(int key) {
    close();
    QryZomi->setParam(QStringLiteral("pzomi"), key);
    QryZomi->open();
    // The fields exist once the query has been opened; nothing is shown
    // before the formats are in place.
    SetAmountFormats(*QryZomi, false);
    const struct {
        const char* name;
        const char* label;
    } labels[] = {
        {"zomi", "kód"},
        {"datum", "dátum"},
        {"ido", "idő"},
        {"sorszam", "sorszám"},
        {"kiad_datum", "kiadva"},
        {"hatar_datum", "határidő"},
        {"cim", "cím"},
        {"vallalkozo_nev", "vállalkozó"},
        {"alairas_nev", "aláírás"},
    };
    for (const auto& l : labels)
        QryZomi->fieldByName(QString::fromUtf8(l.name)).label = QString::fromUtf8(l.label);
    TblTulajdonos->open();
    // The name of the preview window and of the printer's queue entry.
    const QString number = sorszam();
    report_.setTitle(number.isEmpty() ? QStringLiteral("Munkalap")
                                      : QStringLiteral("Munkalap ") + number);
}

void TqrZomi::close() {
    QryZomi->close();
    TblTulajdonos->close();
}

QString TqrZomi::sorszam() const {
    if (!QryZomi->isOpen() || QryZomi->isEmpty()) return QString();
    return QryZomi->value(QStringLiteral("sorszamstr")).toString();
}

void TqrZomi::buildSheet() {
    report::Band& b = report_.detail();
    b.setHeight(kBandHeight);
    dbaccess::Dataset* z = QryZomi.get();
    dbaccess::Dataset* t = TblTulajdonos.get();
    const auto thickRule = [&](double top) {
        b.addShape(ShapeKind::HorizontalLine, at(0, top, kRuleWidth, kRuleBoxHeight), kThickPen);
    };

    // Letterhead and title.
    b.addField(t, QStringLiteral("tulajdonos"), at(0.0, 1.3), bold(11));
    b.addField(t, QStringLiteral("cim"), at(0.0, 7.9), bold(9));
    b.addField(t, QStringLiteral("telefon"), at(0.0, 11.9), bold(9));
    b.addField(z, QStringLiteral("datum"), at(152.1, 6.6, 33.3), bold(9, Align::Center));
    b.addField(z, QStringLiteral("ido"), at(152.1, 13.2, 33.3), bold(9, Align::Center));
    b.addLabel(QStringLiteral("MUNKALAP"), centred(10.6), bold(16, Align::Center));
    thickRule(17.2);
    b.addLabel(QStringLiteral("MEGRENDELÉS"), centred(21.2), bold(11, Align::Center));

    // Order block.
    b.addLabel(QStringLiteral("Munkalap száma"), at(1.3, 30.4), text(9));
    b.addField(z, QStringLiteral("sorszamstr"), at(35.7, 30.4, 47.9), bold(11, Align::Center));
    b.addLabel(QStringLiteral("Ktgh"), at(103.2, 30.4), text(9));
    b.addField(z, QStringLiteral("ktgh"), at(131.0, 30.4, 18.8), bold(11));
    b.addLabel(QStringLiteral("Költséghely"), at(103.2, 37.0), text(9));
    b.addField(z, QStringLiteral("cim"), at(131.0, 37.0, 54.5), bold(10));
    b.addLabel(QStringLiteral("Vállalkozó neve"), at(1.3, 43.7), text(9));
    b.addField(z, QStringLiteral("vallalkozo_nev"), at(35.7, 43.7, 47.9), bold(10, Align::Center));
    b.addLabel(QStringLiteral("Küldött"), at(103.2, 43.7), text(9));
    b.addField(z, QStringLiteral("kepviselo"), at(131.0, 43.7, 54.5), bold(10));
    b.addField(z, QStringLiteral("kepviselo_cim"), at(131.0, 50.3, 54.5), bold(10));
    b.addField(z, QStringLiteral("telefon"), at(131.0, 56.9, 54.5), bold(10));
    b.addLabel(QStringLiteral("Megrendeljük az alábbi munka elvégzését"), at(1.3, 63.5), text(9));
    b.addShape(ShapeKind::Rectangle, at(0.0, 68.8, kRuleWidth, 24.1));
    b.addField(z, QStringLiteral("munka"), at(2.6, 71.4, 184.1, 18.8), bold(9));
    b.addLabel(QStringLiteral("Kiadás időpontja"), at(1.3, 96.6), text(9));
    b.addField(z, QStringLiteral("kiad_datum"), at(35.7, 96.6, 47.9), bold(10, Align::Center));
    b.addLabel(QStringLiteral("Határideje"), at(1.3, 103.2), text(9));
    b.addField(z, QStringLiteral("hatar_datum"), at(35.7, 103.2, 47.9), bold(10, Align::Center));
    b.addLabel(QStringLiteral("Munkalap átvétele"), at(109.8, 96.6), text(9));
    b.addLabel(QStringLiteral("20______ év _____ hó ____ nap"), at(138.9, 96.6), text(9));
    b.addLabel(QStringLiteral("Átvevő aláírása"), at(109.8, 103.2), text(9));
    b.addLabel(QStringLiteral("___________________________"), at(138.9, 103.2), text(9));

    // Signature row.
    b.addLabel(QStringLiteral("Kiadta:"), at(0.0, 119.1, 28.0),
               signatureCaption(text(9, Align::Center)));
    b.addField(z, QStringLiteral("alairas_nev"), at(27.8, 119.1, 62.4),
               signatureCaption(bold(9, Align::Center)));
    b.addLabel(QStringLiteral("Küldött"), at(127.0, 119.1, 62.4),
               signatureCaption(text(9, Align::Center)));

    // Cost block.
    thickRule(125.7);
    b.addLabel(QStringLiteral("KÖLTSÉG"), centred(129.6), bold(11, Align::Center));
    b.addLabel(QStringLiteral("A munka elvégzése"), at(1.3, 134.9), text(9));
    b.addShape(ShapeKind::HorizontalLine, at(34.4, 136.3, kRuleWidth - 34.4, kRuleBoxHeight));
    b.addShape(ShapeKind::TopAndBottomLines, at(0.0, 144.2, kRuleWidth, 6.9));

    TextFormat underscores = text(9, Align::Right);
    underscores.wordWrap = false;
    const auto costText = [&](const QString& caption, double top) {
        b.addLabel(caption, at(kCostTextRight - 150.0, top, 150.0), underscores);
    };
    TextFormat amount = bold(10, Align::Center);
    amount.transparent = true;
    amount.wordWrap = false;
    const auto amountField = [&](const char* column, double left, double top) {
        return &b.addField(z, QString::fromLatin1(column), at(left, top, kAmountWidth), amount);
    };
    // Hours and call-outs keep their decimals, or 1.5 hours would print as 2
    // beside the fee they give.
    const auto quantityField = [&](const char* column, double left, double top) {
        amountField(column, left, top)->setValueText([](const QVariant& value) {
            return QuantityText(value.toDouble());
        });
    };

    b.addLabel(QStringLiteral("Munkadíj"), at(1.3, 153.5), text(9));
    costText(QStringLiteral(
                 "____________ óra _______________ Ft / óra = ______________ Ft _____________ Ft"),
             153.5);
    quantityField("munkadij2", 62.2, 152.1);
    amountField("munkadij1", 93.9, 152.1);
    amountField("munkadij3", 132.3, 152.1);
    amountField("munkadij4", 160.1, 152.1);

    b.addLabel(QStringLiteral("Kiszállási díj"), at(1.3, 161.4), text(9));
    costText(QStringLiteral(
                 "____________ db  _______________ Ft / óra = ______________ Ft _____________ Ft"),
             161.4);
    quantityField("kiszdij2", 62.2, 160.1);
    amountField("kiszdij1", 93.9, 160.1);
    amountField("kiszdij3", 132.3, 160.1);
    amountField("kiszdij4", 160.1, 160.1);

    b.addLabel(QStringLiteral("Anyagfelhasználás"), at(1.3, 169.3), text(9));
    costText(QStringLiteral("______________ Ft _____________ Ft"), 169.3);
    amountField("anyag3", 132.3, 168.0);
    amountField("anyag4", 160.1, 168.0);

    costText(QStringLiteral("Összesen : ______________ Ft _____________ Ft"), 175.9);
    amountField("netto", 132.3, 174.6);
    amountField("ossz", 160.1, 174.6);

    b.addLabel(QStringLiteral("nettó"), at(132.3, 181.2, kAmountWidth), italic(9, Align::Center));
    b.addLabel(QStringLiteral("bruttó"), at(160.1, 181.2, kAmountWidth), italic(9, Align::Center));

    b.addLabel(QStringLiteral("Felhasznált anyagok"), at(1.3, 177.3), text(9));
    b.addShape(ShapeKind::TopAndBottomLines, at(1.3, 185.2, 83.6, 6.9));
    b.addShape(ShapeKind::TopAndBottomLines, at(1.3, 198.4, 83.6, 6.9));

    b.addLabel(QStringLiteral("vállalkozási díj"), at(90.0, 190.5), text(9));
    b.addLabel(QStringLiteral("munkadíj +\nanyagfelhasználás\n+ ÁFA"), at(90.0, 194.5, 29.4),
               italic(9));
    b.addShape(ShapeKind::Rectangle, at(120.4, 190.5, 65.1, 14.8));
    b.addField(z, QStringLiteral("ossz"), at(122.0, 194.5, 60.9), bold(18, Align::Center));

    b.addLabel(QStringLiteral("Helység 20_____ év _____ hó ______ nap"), at(1.3, 213.0), text(9));
    b.addLabel(QStringLiteral("vállalkozó"), at(113.8, 213.0, 73.0),
               signatureCaption(text(9, Align::Center)));

    // Certification block.
    thickRule(218.3);
    b.addLabel(QStringLiteral("IGAZOLÁS"), centred(222.2), bold(11, Align::Center));
    b.addLabel(QStringLiteral(
                   "A vállalkozó számláján szereplő anyagok beépítését, a munkavégzésre fordított "
                   "munkaidőt elfogadjuk. Igazoljuk a megrendelt munka elvégzését, a hiba "
                   "elhárítását. A munklap határidejének lejárta után minden megkezdett nap a "
                   "vállalkozó vállalkozási díját 5 %-al csökkenti. A vállalkozó kijelenti, hogy "
                   "az elvégzett munka, a felhasznált anyag és alkatrész a hatályos előírásoknak "
                   "megfelel, rendeltetésszerű használatra alkalmas."),
               at(2.6, 228.9, 184.1, 25.4), text(9));
    b.addLabel(QStringLiteral("Helység 20_____ év _____ hó ______ nap"), at(2.6, 256.6), text(9));
    b.addLabel(QStringLiteral("Vállalkozó"), at(2.6, 268.6, 58.5),
               signatureCaption(text(9, Align::Center)));
    b.addLabel(QStringLiteral("Küldött"), at(66.1, 268.6, 58.5),
               signatureCaption(text(9, Align::Center)));
    b.addLabel(QStringLiteral("Műszaki szervezet"), at(128.3, 268.6, 58.5),
               signatureCaption(text(9, Align::Center)));
}

QString QuantityText(double value) {
    // The amount pattern groups the digits and drops the trailing zeros; its
    // decimal point is the workstation's, which is made the comma.
    QString text = FormatAmount(value, QStringLiteral("### ### ##0.###"));
    for (QChar& c : text) {
        if (!c.isDigit() && !c.isSpace() && c != QLatin1Char('-')) c = QLatin1Char(',');
    }
    return text;
}

QString PdfFileName(const QString& sorszam) {
    QString name = sorszam.trimmed();
    if (name.isEmpty()) return QStringLiteral("Munkalap.pdf");
    for (QChar& c : name) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 0x20) c = QLatin1Char('_');
    }
    return name + QStringLiteral(".pdf");
}

namespace {

// The save dialog for the PDF file, starting in the documents folder with
// the proposed name; empty when the user cancels.
QString choosePdfFile(QWidget* owner, const QString& proposal) {
    QFileDialog dialog(owner, QStringLiteral("Mentés PDF-be"));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("PDF állományok (*.pdf)"), QStringLiteral("Minden állomány (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString folder = DocumentsDir();
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.selectFile(proposal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

// The box's printer becomes the report's when it is an installed one; any
// other name leaves the report on the default printer.
void usePrinter(report::Report& report, const QString& name) {
    const bool installed = !name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name);
    report.setPrinterName(installed ? name : QString());
}

}  // namespace

void MunkalapNyomtat(int key) {
    QWidget* owner = QApplication::activeWindow();
    if (!CheckRight(Right::Print, owner)) return;
    Guarded(owner, [&] {
        TqrZomi qrZomi(MainConnection());
        qrZomi.open(key);
        // Qt keeps no printer of its own for the application: the current
        // printer is the system's default one.
        QString printer = QPrinterInfo::defaultPrinterName();
        // The sheet is printed while the choice window is still open: one the
        // printer refuses is reported over it, and the user chooses again.
        const auto printOn = [&qrZomi](const QString& chosen) {
            usePrinter(qrZomi.report(), chosen);
            return Guarded(QApplication::activeWindow(), [&] { qrZomi.report().print(); });
        };
        const int choice = NyomtatasValaszt(printer, printOn);
        usePrinter(qrZomi.report(), printer);
        switch (choice) {
            case kNyomtatasiKep:
                qrZomi.report().preview(owner);
                break;
            case kExcelbe:
                HataroltExport(qrZomi.QryZomi.get(), QString());
                break;
            case kPdfbe: {
                const QString fileName = choosePdfFile(owner, PdfFileName(qrZomi.sorszam()));
                if (fileName.isEmpty()) break;
                qrZomi.report().exportPdf(fileName);
                InfoBox(QDir::toNativeSeparators(fileName) + QStringLiteral(" file kész."), owner);
                break;
            }
            default:  // printed already, or cancelled
                break;
        }
        qrZomi.close();
    });
}

}  // namespace zomi
