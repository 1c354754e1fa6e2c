#pragma once

// A single-sheet workbook in BIFF2, the oldest Excel worksheet format: a
// stream of little-endian records without the compound-document container of
// later versions. Cells use Arial 10 point, plain or bold; texts are written in
// code page 1250, which the file declares.

#include <QByteArray>
#include <QString>
#include <vector>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"

namespace zomi {

class Biff2Writer {
  public:
    // The format addresses rows and columns with 14 and 8 bits.
    static constexpr int kMaxRows = 16384;
    static constexpr int kMaxColumns = 256;
    static constexpr int kMaxTextLength = 255;

    // Width in characters; columns without one keep the reader's default.
    void setColumnWidth(int column, int characters);

    // Each throws std::out_of_range for a cell outside the sheet.
    void writeNumber(int row, int column, double value, bool bold = false);
    void writeBool(int row, int column, bool value, bool bold = false);
    // Cut to kMaxTextLength characters; throws EncodingError for a character
    // that code page 1250 cannot hold.
    void writeText(int row, int column, const QString& text, bool bold = false);
    void writeBlank(int row, int column, bool bold = false);

    // The complete file: the workbook records, then the cells in the order written.
    QByteArray bytes() const;

  private:
    void beginCell(quint16 id, int row, int column, bool bold, int dataSize);

    QByteArray cells_;
    std::vector<int> widths_;  // 0: default width
    int rows_ = 0;
    int columns_ = 0;
};

// The ticked columns of the dataset as a workbook: a bold header row of the
// display labels, then a row per record. Numeric fields become number cells,
// boolean values logical cells, everything else the text the grid shows, and
// NULL a blank cell. The file replaces fileName only once it is complete.
// Throws std::runtime_error for an empty dataset or one beyond the format's
// limits, FileError when the file cannot be written, EncodingError for a text
// that code page 1250 cannot hold.
void WriteBiff2File(dbaccess::Dataset& dataset, const std::vector<int>& columns,
                    const QString& fileName, const Progress& progress);

// Writes bytes to fileName through a temporary file beside it, so that an
// existing file is replaced only by a complete one. Throws FileError.
void ReplaceFileContents(const QString& fileName, const QByteArray& bytes);

}  // namespace zomi
