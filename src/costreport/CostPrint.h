#pragma once

// The printed cost summary: one A4 page with the title, the parameters, the
// table (as many rows as fit, the totals always) and the chart under it,
// through the report engine, so that it previews, prints and goes to PDF
// like the work-order sheet.

#include <QPainter>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>

#include "costreport/CostTable.h"
#include "dbaccess/Dataset.h"
#include "report/Report.h"

namespace zomi::costreport {

// Paints the chart into the rectangle (device units of the painter).
using ChartPainter = std::function<void(QPainter&, const QRectF&)>;

class CostPrint {
  public:
    CostPrint(const CostTable& table, const QString& parameters, const QString& amountPattern,
              ChartPainter chart);
    report::Report& report() { return report_; }
    // The table rows the page had no room for.
    int rowsLeftOut() const { return rowsLeftOut_; }

  private:
    dbaccess::Query page_;  // one record, so that the page's band prints once
    report::Report report_;
    int rowsLeftOut_ = 0;
};

// The text of the parameters line: period, groupings, filters.
QString ParametersText(const CostParams& params, const QString& statusName,
                       const QString& contractorName);

}  // namespace zomi::costreport
