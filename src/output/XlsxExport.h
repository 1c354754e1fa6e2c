#pragma once

// An Office Open XML workbook (.xlsx) of the ticked columns, for the
// spreadsheet programs that no longer open BIFF2 files.

#include <QString>
#include <vector>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"

namespace zomi {

// Whether the name asks for an .xlsx workbook (any letter case).
bool IsXlsxFileName(const QString& fileName);

// One sheet: a bold, frozen header row of the display labels, then a row per
// record. Numbers are number cells in the grid's amount format, dates, times
// and date-times are date cells shown as the grid shows them, NULL is a blank
// cell, everything else is text. Columns are as wide as their content (within
// limits). The file replaces fileName only once it is complete. Throws
// FileError when the file cannot be written and std::runtime_error when the
// data does not fit a sheet.
void WriteXlsxFile(dbaccess::Dataset& dataset, const std::vector<int>& columns,
                   const QString& fileName, const Progress& progress);

}  // namespace zomi
