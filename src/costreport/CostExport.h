#pragma once

// What leaves the cost summary window: the table as an xlsx workbook or a
// CSV file, the chart as a PNG picture or a PDF page, and the printed
// one-page report through the print choice.

#include <QString>
#include <QStringList>

#include "costreport/CostTable.h"

class QWidget;

namespace zomi::costreport {

class CostChart;

// Both throw FileError when the file cannot be written.
void SaveTableXlsx(const CostTable& table, const QString& amountPattern, const QString& fileName);
void SaveTableCsv(const CostTable& table, const QString& amountPattern, const QString& fileName);
// A PDF for a name ending in ".pdf", otherwise a PNG picture.
void SaveChart(CostChart& chart, const QString& fileName);

// The save dialog, in the documents folder with the proposed name; empty
// when the user cancels.
QString ChooseSaveFile(QWidget* owner, const QString& caption, const QString& proposal,
                       const QStringList& filters, const QString& suffix);

// The print choice, then the preview, the printer, the export window or a PDF.
void PrintCostReport(const CostTable& table, const QString& parameters, CostChart& chart,
                     QWidget* owner);

}  // namespace zomi::costreport
