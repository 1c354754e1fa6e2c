#include "costreport/CostPrint.h"

#include <QFontMetricsF>
#include <algorithm>

namespace zomi::costreport {

namespace {

constexpr double kPageWidth = 190;
constexpr double kTableTop = 22;
constexpr double kTableHeight = 140;
constexpr double kChartTop = 172;
constexpr double kChartHeight = 105;
constexpr double kMmPerPoint = 25.4 / 72.0;

// A smaller type for a wider table, so that every column fits the page.
double tablePointSize(size_t columns) {
    return std::clamp(8.0 * 9.0 / static_cast<double>(std::max<size_t>(columns, 9)), 5.0, 8.0);
}
double rowHeight(double pointSize) { return pointSize * kMmPerPoint * 1.45; }

// Rows that fit under the header with room for the totals row.
int rowsThatFit(const CostTable& table) {
    const double h = rowHeight(tablePointSize(table.columns.size()));
    // The header takes two lines; the "more" line, the totals and the note one each.
    const int fit = static_cast<int>(kTableHeight / h) - 6;
    return std::min(static_cast<int>(table.rows.size()), std::max(fit, 0));
}

class TableItem : public report::Item {
  public:
    TableItem(const CostTable& table, const QString& pattern, const QRectF& box)
        : Item(box), table_(table), pattern_(pattern) {}

    void paint(const report::PaintContext& context) const override {
        QPainter& p = *context.painter;
        const double pt = tablePointSize(table_.columns.size());
        QFont font;
        font.setFamilies(context.fontFamilies);
        font.setPointSizeF(pt);
        const double h = rowHeight(pt);
        // The name takes what the figures leave.
        const size_t n = table_.columns.size();
        const double figureWidth =
            std::min(24.0, (kPageWidth * 0.62) / static_cast<double>(std::max<size_t>(n - 1, 1)));
        const double nameWidth = kPageWidth - figureWidth * static_cast<double>(n - 1);
        const auto columnLeft = [&](size_t c) {
            return c == 0 ? 0.0 : nameWidth + figureWidth * static_cast<double>(c - 1);
        };
        const auto columnWidth = [&](size_t c) { return c == 0 ? nameWidth : figureWidth; };
        double y = box().top();
        const auto line = [&](const std::vector<QVariant>& cells, bool header, bool bold) {
            QFont f = font;
            f.setBold(bold);
            p.setFont(f);
            const QFontMetricsF metrics(f, p.device());
            for (size_t c = 0; c < n; ++c) {
                const QRectF mm(box().left() + columnLeft(c) + 0.5, y, columnWidth(c) - 1, h);
                const QRectF r = context.rect(mm);
                QString text = header ? table_.columns[c].title
                                      : CellText(c < cells.size() ? cells[c] : QVariant(),
                                                 table_.columns[c].kind, pattern_);
                const int align = (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
                if (header) {
                    p.drawText(r, align | Qt::TextWordWrap, text);
                } else {
                    // Only a name is shortened; a figure is never cut.
                    p.drawText(r, align,
                               c == 0 ? metrics.elidedText(text, Qt::ElideRight, r.width()) : text);
                }
            }
            y += header ? h * 2 : h;
            p.setPen(QPen(Qt::black, context.penWidth(header || bold ? 1 : 0.3)));
            p.drawLine(QPointF(context.x(box().left()), context.y(y)),
                       QPointF(context.x(box().right()), context.y(y)));
        };
        p.save();
        p.setPen(Qt::black);
        line({}, true, true);
        const int fit = rowsThatFit(table_);
        for (int r = 0; r < fit; ++r) line(table_.rows[static_cast<size_t>(r)].cells, false, false);
        if (fit < static_cast<int>(table_.rows.size())) {
            std::vector<QVariant> more{
                QStringLiteral("… és még %1 sor (a teljes táblázat exportálható)")
                    .arg(table_.rows.size() - static_cast<size_t>(fit))};
            line(more, false, false);
        }
        line(table_.totals, false, true);
        p.restore();
    }

  private:
    CostTable table_;
    QString pattern_;
};

class ChartItem : public report::Item {
  public:
    ChartItem(ChartPainter painter, const QRectF& box) : Item(box), painter_(std::move(painter)) {}
    void paint(const report::PaintContext& context) const override {
        if (!painter_) return;
        context.painter->save();
        painter_(*context.painter, context.rect(box()));
        context.painter->restore();
    }

  private:
    ChartPainter painter_;
};

}  // namespace

CostPrint::CostPrint(const CostTable& table, const QString& parameters,
                     const QString& amountPattern, ChartPainter chart)
    : page_(nullptr) {
    dbaccess::Field field;
    field.name = QStringLiteral("oldal");
    static const char* const kCell = "1";
    static const unsigned long kLength = 1;
    auto row = std::make_shared<dbaccess::PackedRows>(1);
    row->add(&kCell, &kLength);
    page_.present({field}, row->rows(), {row}, 0);
    report_.setTitle(QStringLiteral("Költségkimutatás"));
    report_.setFontFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    report_.setDataset(&page_);
    report::Band& band = report_.detail();
    band.setHeight(report::Report::PrintableSize().height());
    report::TextFormat title;
    title.pointSize = 16;
    title.bold = true;
    band.addLabel(QStringLiteral("Költségkimutatás"), QRectF(0, 0, kPageWidth, 9), title);
    report::TextFormat small;
    small.pointSize = 9;
    band.addLabel(parameters, QRectF(0, 10, kPageWidth, 11), small);
    band.addShape(report::ShapeKind::HorizontalLine, QRectF(0, 20.5, kPageWidth, 1), 1);
    rowsLeftOut_ = static_cast<int>(table.rows.size()) - rowsThatFit(table);
    // The table item keeps a copy: the report may outlive the caller's table.
    band.addItem(std::make_unique<TableItem>(table, amountPattern,
                                             QRectF(0, kTableTop, kPageWidth, kTableHeight)));
    if (!table.note.isEmpty()) {
        report::TextFormat note = small;
        note.italic = true;
        band.addLabel(table.note, QRectF(0, kChartTop - 10, kPageWidth, 9), note);
    }
    band.addItem(std::make_unique<ChartItem>(std::move(chart),
                                             QRectF(0, kChartTop, kPageWidth, kChartHeight)));
}

QString ParametersText(const CostParams& params, const QString& statusName,
                       const QString& contractorName) {
    const QString format = QStringLiteral("yyyy.MM.dd.");
    QString period;
    if (params.period.allDates())
        period = QStringLiteral("minden év");
    else
        period = params.period.from.toString(format) + QStringLiteral(" – ") +
                 params.period.to.toString(format);
    QString text = QStringLiteral("Időszak: %1; csoportosítás: %2")
                       .arg(period, GroupingCaption(params.first).toLower());
    if (params.second != Grouping::None && params.second != params.first)
        text += QStringLiteral(" × ") + GroupingCaption(params.second).toLower();
    if (params.statusFilter != kAll) text += QStringLiteral("; státusz: ") + statusName;
    if (params.contractorFilter != kAll) text += QStringLiteral("; vállalkozó: ") + contractorName;
    return text;
}

}  // namespace zomi::costreport
