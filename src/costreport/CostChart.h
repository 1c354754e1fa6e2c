#pragma once

// The chart of the cost summary window: horizontal bars per group (stacked by
// the second grouping), or the months as a line with last year's beside it.
// Hovering shows a bar's figures; a click names the bar (and stack) clicked.

#include <QChartView>
#include <QString>

#include "costreport/CostTable.h"

namespace zomi::costreport {

class CostChart : public QChartView {
    Q_OBJECT

  public:
    explicit CostChart(QWidget* parent = nullptr);

    void showData(const ChartData& data, const QString& amountPattern);
    // An empty chart with a word in its title (while counting, or when empty).
    void showMessage(const QString& message);
    const ChartData& data() const { return data_; }
    // Paints the chart into the rectangle of any painter (print, PDF).
    void paintInto(QPainter& painter, const QRectF& target);

  signals:
    // stack: the stack's index, or -1 for a whole bar or a point of the line.
    void barClicked(int bar, int stack);

  private:
    void showBars(const QString& amountPattern);
    void showLine(const QString& amountPattern);
    QString tip(int bar, int stack, const QString& amountPattern) const;
    void resetChart(const QString& title);

    ChartData data_;
};

}  // namespace zomi::costreport
