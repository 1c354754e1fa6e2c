#include "costreport/CostChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCursor>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "common/AmountFormat.h"

namespace zomi::costreport {

namespace {

constexpr int kLabelLength = 30;

QString shortLabel(const QString& label) {
    return label.size() <= kLabelLength ? label : label.left(kLabelLength - 1) + QChar(0x2026);
}

// The same colours for the same stacks every time.
QColor stackColour(int index) {
    static const QColor colours[] = {
        QColor(70, 120, 190),  QColor(230, 140, 50), QColor(90, 170, 90),   QColor(200, 70, 70),
        QColor(140, 100, 180), QColor(150, 110, 80), QColor(220, 120, 180), QColor(120, 120, 120),
        QColor(180, 180, 60),  QColor(60, 180, 190), QColor(40, 80, 140),   QColor(190, 190, 190)};
    return colours[index % 12];
}

void formatAxis(QValueAxis* axis, const QString& amountPattern) {
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setTickCount(4);
    axis->applyNiceNumbers();
    (void)amountPattern;
    axis->setTitleText(QStringLiteral("bruttó"));
}

}  // namespace

CostChart::CostChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumWidth(320);
    resetChart(QString());
}

void CostChart::resetChart(const QString& title) {
    auto* chart = new QChart();
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QChart* old = this->chart();
    setChart(chart);
    delete old;
}

void CostChart::showMessage(const QString& message) {
    data_ = {};
    resetChart(message);
}

void CostChart::showData(const ChartData& data, const QString& amountPattern) {
    data_ = data;
    resetChart(QString());
    if (data_.bars.empty()) {
        chart()->setTitle(QStringLiteral("Nincs megjeleníthető adat"));
        return;
    }
    if (data_.monthLine)
        showLine(amountPattern);
    else
        showBars(amountPattern);
}

QString CostChart::tip(int bar, int stack, const QString& amountPattern) const {
    const ChartBar& b = data_.bars.at(static_cast<size_t>(bar));
    double total = 0;
    for (double part : b.parts) total += part;
    QString text = b.label;
    if (stack >= 0 && stack < static_cast<int>(data_.stackNames.size()))
        text += QStringLiteral(" – ") + data_.stackNames[static_cast<size_t>(stack)] +
                QStringLiteral(": ") +
                FormatAmount(b.parts[static_cast<size_t>(stack)], amountPattern);
    text += QStringLiteral("\nBruttó összesen: ") + FormatAmount(total, amountPattern);
    if (data_.hasEarlier)
        text += QStringLiteral("\nEgy évvel korábban: ") + FormatAmount(b.earlier, amountPattern);
    if (!b.rest) text += QStringLiteral("\nKattintásra a munkalapok listája");
    return text;
}

void CostChart::showBars(const QString& amountPattern) {
    // An "Egyéb" of many groups would dwarf every bar: its figure goes into
    // the title instead.
    if (data_.bars.size() > 1 && data_.bars.back().rest) {
        const auto sum = [](const ChartBar& b) {
            double total = 0;
            for (double part : b.parts) total += part;
            return total;
        };
        double largest = 0;
        for (size_t b = 0; b + 1 < data_.bars.size(); ++b)
            largest = std::max(largest, sum(data_.bars[b]));
        if (sum(data_.bars.back()) > 2 * largest) {
            chart()->setTitle(QStringLiteral("A %1 legnagyobb csoport; a többi összesen: %2")
                                  .arg(data_.bars.size() - 1)
                                  .arg(FormatAmount(sum(data_.bars.back()), amountPattern)));
            data_.bars.pop_back();
        }
    }
    const bool stacked = !data_.stackNames.empty();
    QAbstractBarSeries* series =
        stacked ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries())
                : new QHorizontalBarSeries();
    const int stacks = stacked ? static_cast<int>(data_.stackNames.size()) : 1;
    // Horizontal bars run from the bottom up: the first group goes last.
    const int bars = static_cast<int>(data_.bars.size());
    QStringList categories;
    for (int b = bars - 1; b >= 0; --b)
        categories << shortLabel(data_.bars[static_cast<size_t>(b)].label);
    for (int s = 0; s < stacks; ++s) {
        auto* set = new QBarSet(stacked ? shortLabel(data_.stackNames[static_cast<size_t>(s)])
                                        : QStringLiteral("Bruttó"));
        set->setColor(stackColour(s));
        set->setBorderColor(stackColour(s).darker(130));
        for (int b = bars - 1; b >= 0; --b) *set << data_.bars[static_cast<size_t>(b)].parts[s];
        const int stack = stacked ? s : -1;
        connect(set, &QBarSet::hovered, this, [this, stack, bars, amountPattern](bool on, int i) {
            if (on)
                QToolTip::showText(QCursor::pos(), tip(bars - 1 - i, stack, amountPattern), this);
            else
                QToolTip::hideText();
        });
        connect(set, &QBarSet::clicked, this,
                [this, stack, bars](int i) { emit barClicked(bars - 1 - i, stack); });
        series->append(set);
    }
    series->setBarWidth(0.75);
    chart()->addSeries(series);
    auto* axisY = new QBarCategoryAxis();
    axisY->append(categories);
    chart()->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    auto* axisX = new QValueAxis();
    chart()->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    formatAxis(axisX, amountPattern);
    chart()->legend()->setVisible(stacked);
}

void CostChart::showLine(const QString& amountPattern) {
    auto* now = new QLineSeries();
    now->setName(QStringLiteral("Bruttó"));
    now->setPointsVisible(true);
    QLineSeries* before = nullptr;
    if (data_.hasEarlier) {
        before = new QLineSeries();
        before->setName(QStringLiteral("Egy évvel korábban"));
        before->setPointsVisible(true);
        QPen pen(QColor(150, 150, 150), 2, Qt::DashLine);
        before->setPen(pen);
    }
    QStringList categories;
    for (size_t b = 0; b < data_.bars.size(); ++b) {
        const ChartBar& bar = data_.bars[b];
        categories << bar.label;
        now->append(static_cast<double>(b), bar.parts.empty() ? 0 : bar.parts[0]);
        if (before) before->append(static_cast<double>(b), bar.earlier);
    }
    const auto index = [this](const QPointF& point) {
        const int i = static_cast<int>(std::lround(point.x()));
        return std::clamp(i, 0, static_cast<int>(data_.bars.size()) - 1);
    };
    for (QLineSeries* series : {now, before}) {
        if (!series) continue;
        chart()->addSeries(series);
        connect(series, &QLineSeries::hovered, this,
                [this, index, amountPattern](const QPointF& point, bool on) {
                    if (on)
                        QToolTip::showText(QCursor::pos(), tip(index(point), -1, amountPattern),
                                           this);
                    else
                        QToolTip::hideText();
                });
        connect(series, &QLineSeries::clicked, this,
                [this, index](const QPointF& point) { emit barClicked(index(point), -1); });
    }
    auto* axisX = new QBarCategoryAxis();
    axisX->append(categories);
    chart()->addAxis(axisX, Qt::AlignBottom);
    auto* axisY = new QValueAxis();
    chart()->addAxis(axisY, Qt::AlignLeft);
    for (QLineSeries* series : {now, before}) {
        if (!series) continue;
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    axisY->setMin(0);
    formatAxis(axisY, amountPattern);
    axisX->setLabelsAngle(categories.size() > 6 ? -60 : 0);
}

void CostChart::paintInto(QPainter& painter, const QRectF& target) {
    // Rendered from the scene, so lines and texts stay sharp on paper and in PDF.
    scene()->render(&painter, target, chart()->geometry(), Qt::KeepAspectRatio);
}

}  // namespace zomi::costreport
