#include "costreport/CostExport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QSaveFile>

#include "common/Beall.h"
#include "common/Folders.h"
#include "costreport/CostChart.h"
#include "costreport/CostPrint.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "output/DelimitedExport.h"
#include "output/Hatarolt.h"
#include "output/NyomValaszt.h"
#include "output/XlsxExport.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"

namespace zomi::costreport {

namespace {

QString shown(const QString& fileName) { return QDir::toNativeSeparators(fileName); }

void savePdf(CostChart& chart, const QString& fileName) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 állomány nem hozható létre: %2")
                            .arg(shown(fileName), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Költségkimutatás"));
        writer.setCreator(QStringLiteral("Zomi"));
        QPainter painter;
        if (!painter.begin(&writer))
            throw FileError(QStringLiteral("A(z) %1 állomány nem írható.").arg(shown(fileName)));
        chart.paintInto(painter, QRectF(QPointF(0, 0), QSizeF(writer.width(), writer.height())));
        painter.end();
    }
    if (!file.commit())
        throw FileError(QStringLiteral("A(z) %1 állomány nem írható: %2")
                            .arg(shown(fileName), file.errorString()));
}

void savePng(CostChart& chart, const QString& fileName) {
    // Twice the size on the screen, sharp enough for a document.
    QImage image(chart.size() * 2, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        chart.paintInto(painter, QRectF(image.rect()));
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw FileError(QStringLiteral("A(z) %1 állomány nem írható: %2")
                            .arg(shown(fileName), file.errorString()));
}

}  // namespace

void SaveTableXlsx(const CostTable& table, const QString& amountPattern, const QString& fileName) {
    dbaccess::Query dataset(nullptr);
    PresentTable(table, amountPattern, dataset);
    WriteXlsxFile(dataset, AllColumns(dataset), fileName, {});
}

void SaveTableCsv(const CostTable& table, const QString& amountPattern, const QString& fileName) {
    dbaccess::Query dataset(nullptr);
    PresentTable(table, amountPattern, dataset);
    DelimitedOptions options;
    options.columns = AllColumns(dataset);
    options.quote = QLatin1Char('"');
    WriteDelimitedFile(dataset, options, fileName, {}, [] { return true; });
}

void SaveChart(CostChart& chart, const QString& fileName) {
    if (QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        savePdf(chart, fileName);
    else
        savePng(chart, fileName);
}

QString ChooseSaveFile(QWidget* owner, const QString& caption, const QString& proposal,
                       const QStringList& filters, const QString& suffix) {
    QFileDialog dialog(owner, caption);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix);
    const QString folder = DocumentsDir();
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    dialog.selectFile(proposal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

void PrintCostReport(const CostTable& table, const QString& parameters, CostChart& chart,
                     QWidget* owner) {
    CostPrint page(
        table, parameters, Beall.Format,
        [&chart](QPainter& painter, const QRectF& target) { chart.paintInto(painter, target); });
    QString printer = QPrinterInfo::defaultPrinterName();
    const auto usePrinter = [&page](const QString& name) {
        const bool installed =
            !name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name);
        page.report().setPrinterName(installed ? name : QString());
    };
    // Printed while the choice window is open: a refusal is reported over it.
    const auto printOn = [&page, &usePrinter](const QString& chosen) {
        usePrinter(chosen);
        return Guarded(QApplication::activeWindow(), [&] { page.report().print(); });
    };
    const int choice = NyomtatasValaszt(printer, printOn);
    usePrinter(printer);
    switch (choice) {
        case kNyomtatasiKep:
            page.report().preview(owner);
            break;
        case kExcelbe: {
            dbaccess::Query dataset(nullptr);
            PresentTable(table, Beall.Format, dataset);
            HataroltExport(&dataset, QStringLiteral("Koltsegkimutatas.csv"));
            break;
        }
        case kPdfbe: {
            const QString fileName = ChooseSaveFile(
                owner, QStringLiteral("Mentés PDF-be"), QStringLiteral("Koltsegkimutatas.pdf"),
                {QStringLiteral("PDF állományok (*.pdf)"), QStringLiteral("Minden állomány (*.*)")},
                QStringLiteral("pdf"));
            if (fileName.isEmpty()) break;
            page.report().exportPdf(fileName);
            InfoBox(shown(fileName) + QStringLiteral(" file kész."), owner);
            break;
        }
        default:  // printed already, or cancelled
            break;
    }
}

}  // namespace zomi::costreport
