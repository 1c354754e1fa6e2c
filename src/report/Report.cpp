#include "report/Report.h"

#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "common/FileProblems.h"
#include "dbaccess/Dataset.h"
#include "report/Spooler.h"
#include "ui/ErrorDisplay.h"

namespace zomi::report {

namespace {

// Fine enough that text and hairlines land where the layout puts them to a
// fraction of a tenth of a millimetre.
constexpr int kPdfResolution = 1200;

const QString kPreviewCaption = QStringLiteral("Nyomtatási kép");

QPen pen(const PaintContext& context, double screenPixels) {
    return QPen(Qt::black, context.penWidth(screenPixels), Qt::SolidLine, Qt::FlatCap,
                Qt::MiterJoin);
}

// The layout's page on a printer. Size and orientation are set apart from
// the margins: a printer that cannot print as close to the edge as 10 mm keeps
// its own margins rather than losing the A4 page with them.
void applyPageLayout(QPrinter& printer) {
    printer.setFullPage(false);
    const QPageLayout layout = Report::PageLayout();
    printer.setPageSize(layout.pageSize());
    printer.setPageOrientation(layout.orientation());
    printer.setPageMargins(layout.margins(), layout.units());
}

void usePrinter(QPrinter& printer, const QString& name) {
    if (name.isEmpty()) return;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (!info.isNull()) printer.setPrinterName(info.printerName());
}

// That a printer's queue did not take a job, with the spooler's reason when it
// gave one.
QString PrintRefused(const QString& printerName, const QString& reason) {
    QString message =
        QStringLiteral(
            "A(z) %1 nyomtató nem fogadta el a nyomtatási feladatot, így semmi sem került "
            "nyomtatásra.")
            .arg(printerName);
    if (!reason.isEmpty()) message += QStringLiteral("\nA nyomtatási sor válasza: ") + reason;
    return message;
}

// The report's dataset back on the row the caller had.
class RowKeeper {
  public:
    explicit RowKeeper(dbaccess::Dataset* dataset)
        : dataset_(dataset), row_(dataset && dataset->isOpen() ? dataset->currentRow() : -1) {}
    ~RowKeeper() {
        if (dataset_ && dataset_->isOpen() && row_ >= 0 && row_ < dataset_->recordCount() &&
            dataset_->currentRow() != row_)
            dataset_->moveTo(row_);
    }
    RowKeeper(const RowKeeper&) = delete;
    RowKeeper& operator=(const RowKeeper&) = delete;

  private:
    dbaccess::Dataset* dataset_;
    int row_;
};

}  // namespace

QRectF PaintContext::rect(const QRectF& mmBox) const {
    return QRectF(x(mmBox.left()), y(mmBox.top()), mmBox.width() * unitsPerMm,
                  mmBox.height() * unitsPerMm);
}

QFont TextItem::font(const QStringList& families) const {
    QFont f;
    f.setFamilies(families);
    f.setPointSizeF(format_.pointSize);
    f.setBold(format_.bold);
    f.setItalic(format_.italic);
    return f;
}

int TextItem::flags() const {
    int flags = Qt::AlignTop;
    switch (format_.align) {
        case Align::Left:
            flags |= Qt::AlignLeft;
            break;
        case Align::Center:
            flags |= Qt::AlignHCenter;
            break;
        case Align::Right:
            flags |= Qt::AlignRight;
            break;
    }
    // Only a box of a given width has a width to wrap in.
    if (format_.wordWrap && box().width() > 0) flags |= Qt::TextWordWrap;
    return flags;
}

QRectF TextItem::layoutRect(const PaintContext& context, const QString& text) const {
    const QFontMetricsF metrics(font(context.fontFamilies), context.painter->device());
    QRectF r = context.rect(box());
    constexpr double kUnbounded = 1e7;
    if (box().width() <= 0) {
        r.setWidth(
            metrics.boundingRect(QRectF(0, 0, kUnbounded, kUnbounded), flags(), text).width());
    }
    if (box().height() <= 0) {
        const QRectF lines =
            metrics.boundingRect(QRectF(0, 0, r.width(), kUnbounded), flags(), text);
        r.setHeight(std::max(lines.height(), metrics.height()));
    }
    return r;
}

void TextItem::paint(const PaintContext& context) const {
    const QString value = text();
    QPainter* p = context.painter;
    const QRectF r = layoutRect(context, value);
    p->save();
    if (!format_.transparent) p->fillRect(r, Qt::white);
    if (format_.topLine) {
        p->setPen(pen(context, 1));
        p->drawLine(r.topLeft(), r.topRight());
    }
    if (!value.isEmpty()) {
        p->setFont(font(context.fontFamilies));
        p->setPen(Qt::black);
        if (box().height() > 0) p->setClipRect(r, Qt::IntersectClip);
        p->drawText(r, flags(), value);
    }
    p->restore();
}

QString DataField::text() const {
    if (!dataset_ || !dataset_->isOpen()) return QString();
    const int column = dataset_->fieldIndex(column_);
    if (column < 0)
        throw ReportError(
            QStringLiteral("A(z) %1 mező nincs a jelentés adatai között.").arg(column_));
    const int row = dataset_->currentRow();
    if (row < 0) return QString();
    if (!valueText_) return dataset_->displayText(row, column);
    const QVariant value = dataset_->valueAt(row, column);
    return value.isNull() ? QString() : valueText_(value);
}

void Shape::paint(const PaintContext& context) const {
    QPainter* p = context.painter;
    const QRectF r = context.rect(box());
    p->save();
    p->setPen(pen(context, penPixels_));
    p->setBrush(Qt::NoBrush);
    switch (kind_) {
        case ShapeKind::HorizontalLine:
            p->drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
            break;
        case ShapeKind::Rectangle:
            p->drawRect(r);
            break;
        case ShapeKind::TopAndBottomLines:
            p->drawLine(r.topLeft(), r.topRight());
            p->drawLine(r.bottomLeft(), r.bottomRight());
            break;
    }
    p->restore();
}

Label& Band::addLabel(const QString& caption, const QRectF& box, const TextFormat& format) {
    auto item = std::make_unique<Label>(caption, box, format);
    Label& added = *item;
    items_.push_back(std::move(item));
    return added;
}

DataField& Band::addField(dbaccess::Dataset* dataset, const QString& column, const QRectF& box,
                          const TextFormat& format) {
    auto item = std::make_unique<DataField>(dataset, column, box, format);
    DataField& added = *item;
    items_.push_back(std::move(item));
    return added;
}

Shape& Band::addShape(ShapeKind kind, const QRectF& box, double penPixels) {
    auto item = std::make_unique<Shape>(kind, box, penPixels);
    Shape& added = *item;
    items_.push_back(std::move(item));
    return added;
}

Item& Band::addItem(std::unique_ptr<Item> item) {
    Item& added = *item;
    items_.push_back(std::move(item));
    return added;
}

void Band::paint(const PaintContext& context) const {
    for (const auto& item : items_) item->paint(context);
}

Report::Report() = default;

QPageLayout Report::PageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

QSizeF Report::PrintableSize() { return PageLayout().paintRect(QPageLayout::Millimeter).size(); }

void Report::render(QPagedPaintDevice* device) const {
    if (!renderOn(device, QStringLiteral("A nyomtatás nem indítható el.")))
        throw ReportError(QStringLiteral("A nyomtatás nem fejezhető be."));
}

bool Report::renderOn(QPagedPaintDevice* device, const QString& cannotStart) const {
    QPainter painter;
    if (!painter.begin(device)) throw ReportError(cannotStart);
    RowKeeper keeper(dataset_);
    PaintContext context;
    context.painter = &painter;
    context.unitsPerMm = device->logicalDpiY() / 25.4;
    context.fontFamilies = fontFamilies_;
    const double pageHeight = device->pageLayout().paintRect(QPageLayout::Millimeter).height();
    if (dataset_ && dataset_->isOpen()) {
        for (int row = 0; row < dataset_->recordCount(); ++row) {
            dataset_->moveTo(row);
            // A band that does not fit under the previous one starts a new page;
            // the first band of a page is printed even when it is too tall.
            constexpr double kTolerance = 0.01;
            if (context.bandTop > 0 &&
                context.bandTop + detail_.height() > pageHeight + kTolerance) {
                if (!device->newPage()) throw ReportError(QStringLiteral("Új oldal nem kezdhető."));
                context.bandTop = 0;
            }
            detail_.paint(context);
            context.bandTop += detail_.height();
        }
    }
    // Ending the painting sends the pages on: to the spooler, into the file.
    return painter.end();
}

void Report::preview(QWidget* parent) const {
    QPrinter printer(QPrinter::HighResolution);
    usePrinter(printer, printerName_);
    applyPageLayout(printer);
    printer.setDocName(title_);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("frm_Nyomtatasikep"));
    dialog.setWindowTitle(title_.isEmpty() ? kPreviewCaption
                                           : kPreviewCaption + QStringLiteral(" – ") + title_);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [this, &dialog](QPrinter* target) { Guarded(&dialog, [&] { render(target); }); });
    // A whole page at a readable size: most of the screen's height.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int height = area.height() * 9 / 10;
        dialog.resize(std::min(area.width(), height * 4 / 5), height);
    }
    dialog.exec();
}

void Report::print() const {
    QPrinterInfo info =
        printerName_.isEmpty() ? QPrinterInfo() : QPrinterInfo::printerInfo(printerName_);
    if (info.isNull()) info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
        if (!installed.isEmpty()) info = installed.first();
    }
    if (info.isNull()) throw ReportError(QStringLiteral("Nincs telepített nyomtató."));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setCopyCount(1);
    printer.setDocName(title_);
    applyPageLayout(printer);
    const QString name = info.printerName();
    const bool sent = renderOn(
        &printer, QStringLiteral("A(z) %1 nyomtatón nem indítható el a nyomtatás.").arg(name));
    // A job the spooler created is its business from here on, even one that
    // waits for a printer that is off; one it refused is lost unless told.
    const QString refusal = sent ? LastJobRefusal() : QString();
    if (!sent || !refusal.isEmpty()) throw ReportError(PrintRefused(name, refusal));
}

void Report::exportPdf(const QString& fileName) const {
    const QString shown = QDir::toNativeSeparators(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(QStringLiteral("A(z) %1 állomány nem hozható létre: %2")
                              .arg(shown, WriteFailureReason(fileName, file.errorString())));
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(PageLayout());
        writer.setTitle(title_);
        writer.setCreator(QStringLiteral("Zomi"));
        if (!renderOn(&writer, QStringLiteral("A(z) %1 állomány nem írható.").arg(shown)))
            throw ReportError(QStringLiteral("A(z) %1 állomány nem írható.").arg(shown));
    }
    if (!file.commit())
        throw ReportError(QStringLiteral("A(z) %1 állomány nem írható: %2")
                              .arg(shown, WriteFailureReason(fileName, file.errorString())));
}

}  // namespace zomi::report
