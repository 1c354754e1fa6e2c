#pragma once

// A small banded report engine over QPainter. A report is an A4 portrait
// page measured in millimetres from the top-left corner of its printable area
// (10 mm margins on every side) and one detail band that is printed once per
// record of its dataset, bands following each other down the page and onto
// new pages. A band holds fixed texts, data fields bound to columns of a
// dataset, and shapes. The same rendering goes to the print preview, to a
// printer and to a PDF file.

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace zomi::dbaccess {
class Dataset;
}

namespace zomi::report {

// What the engine cannot do for its caller: no printer, a file it cannot
// write. The message is UTF-8, ready for the error box.
class ReportError : public std::runtime_error {
  public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Pen widths are given in screen pixels of 96 per inch, the way a layout
// designed on the screen states them; on paper they keep that physical width.
constexpr double kMmPerScreenPixel = 25.4 / 96.0;

enum class Align { Left, Center, Right };

struct TextFormat {
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
    Align align = Align::Left;
    // Breaks at word boundaries within the box's width; a word longer than the
    // width runs past it rather than being cut.
    bool wordWrap = true;
    // A line along the top edge of the box: a signature line above a caption.
    bool topLine = false;
    // An opaque text paints its box white first and so hides what lies under it.
    bool transparent = true;
};

// Everything needed to paint one band on one page.
struct PaintContext {
    QPainter* painter = nullptr;
    double unitsPerMm = 1;  // device units of the painter per millimetre
    double bandTop = 0;     // mm from the top of the printable area
    QStringList fontFamilies;

    double x(double mm) const { return mm * unitsPerMm; }
    double y(double mm) const { return (bandTop + mm) * unitsPerMm; }
    QRectF rect(const QRectF& mmBox) const;
    double penWidth(double screenPixels) const {
        return screenPixels * kMmPerScreenPixel * unitsPerMm;
    }
};

class Item {
  public:
    // Millimetres within the band. A width of 0 makes the box as wide as its
    // text, a height of 0 as tall as its lines; a given height also clips.
    explicit Item(const QRectF& box) : box_(box) {}
    virtual ~Item() = default;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    const QRectF& box() const { return box_; }
    virtual void paint(const PaintContext& context) const = 0;

  private:
    QRectF box_;
};

// A text in a box with its font and alignment: what fixed texts and data
// fields share.
class TextItem : public Item {
  public:
    TextItem(const QRectF& box, const TextFormat& format) : Item(box), format_(format) {}
    const TextFormat& format() const { return format_; }
    virtual QString text() const = 0;
    void paint(const PaintContext& context) const override;
    // The box the text takes in device units, as paint() lays it out.
    QRectF layoutRect(const PaintContext& context, const QString& text) const;
    QFont font(const QStringList& families) const;

  private:
    int flags() const;

    TextFormat format_;
};

class Label : public TextItem {
  public:
    Label(const QString& caption, const QRectF& box, const TextFormat& format)
        : TextItem(box, format), caption_(caption) {}
    QString text() const override { return caption_; }

  private:
    QString caption_;
};

// The value of one column in the dataset's current row, in the column's
// display form (its display format for amounts, the date and time forms of
// the application); an empty value, and a dataset without a current row,
// print nothing. The dataset must outlive the report.
class DataField : public TextItem {
  public:
    // Turns a value that is not empty into the text printed in place of the
    // column's display form.
    using ValueText = std::function<QString(const QVariant&)>;

    DataField(dbaccess::Dataset* dataset, const QString& column, const QRectF& box,
              const TextFormat& format)
        : TextItem(box, format), dataset_(dataset), column_(column) {}
    QString text() const override;
    const QString& column() const { return column_; }
    dbaccess::Dataset* dataset() const { return dataset_; }
    void setValueText(ValueText valueText) { valueText_ = std::move(valueText); }

  private:
    dbaccess::Dataset* dataset_;
    QString column_;
    ValueText valueText_;
};

enum class ShapeKind {
    HorizontalLine,  // through the middle of the box, across its width
    Rectangle,
    TopAndBottomLines,
};

class Shape : public Item {
  public:
    Shape(ShapeKind kind, const QRectF& box, double penPixels)
        : Item(box), kind_(kind), penPixels_(penPixels) {}
    void paint(const PaintContext& context) const override;
    ShapeKind kind() const { return kind_; }

  private:
    ShapeKind kind_;
    double penPixels_;
};

class Band {
  public:
    explicit Band(double height = 0) : height_(height) {}
    double height() const { return height_; }
    void setHeight(double height) { height_ = height; }

    Label& addLabel(const QString& caption, const QRectF& box, const TextFormat& format = {});
    DataField& addField(dbaccess::Dataset* dataset, const QString& column, const QRectF& box,
                        const TextFormat& format = {});
    Shape& addShape(ShapeKind kind, const QRectF& box, double penPixels = 1);
    // An item of the caller's own kind (a table, a chart).
    Item& addItem(std::unique_ptr<Item> item);

    const std::vector<std::unique_ptr<Item>>& items() const { return items_; }
    void paint(const PaintContext& context) const;

  private:
    double height_;
    std::vector<std::unique_ptr<Item>> items_;
};

class Report {
  public:
    Report();

    // A4 portrait with 10 mm margins.
    static QPageLayout PageLayout();
    // The printable area: 190 x 277 mm.
    static QSizeF PrintableSize();

    void setTitle(const QString& title) { title_ = title; }
    const QString& title() const { return title_; }
    // The font family of every text, with the families to use in its place,
    // in this order, where it is not installed; after them the platform's own
    // substitute. A substitute of the same widths keeps texts from running
    // into each other where the layout leaves little room.
    void setFontFamilies(const QStringList& families) { fontFamilies_ = families; }
    const QStringList& fontFamilies() const { return fontFamilies_; }

    // The detail band goes once per record of this dataset; without a dataset,
    // or with an empty one, the report is one empty page.
    void setDataset(dbaccess::Dataset* dataset) { dataset_ = dataset; }
    dbaccess::Dataset* dataset() const { return dataset_; }
    Band& detail() { return detail_; }
    const Band& detail() const { return detail_; }

    // The printer that print() uses and the preview starts with; empty means
    // the system's default printer. A name of no installed printer is ignored.
    void setPrinterName(const QString& name) { printerName_ = name; }
    const QString& printerName() const { return printerName_; }

    // Paints every page onto the device; the dataset is left on the row it was on.
    void render(QPagedPaintDevice* device) const;
    // Shows the pages in a modal preview window, from which the user may print.
    void preview(QWidget* parent) const;
    // One copy on the report's printer, without a print dialog. Throws
    // ReportError when the pages did not reach the printer's queue.
    void print() const;
    // Writes the pages to a PDF file; an existing file is replaced, and left
    // as it was when the new one cannot be written.
    void exportPdf(const QString& fileName) const;

  private:
    // False when ending the painting failed, that is when the pages did not go out.
    bool renderOn(QPagedPaintDevice* device, const QString& cannotStart) const;

    QString title_;
    QStringList fontFamilies_{QStringLiteral("Arial")};
    dbaccess::Dataset* dataset_ = nullptr;
    Band detail_;
    QString printerName_;
};

}  // namespace zomi::report
