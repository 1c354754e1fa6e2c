#pragma once

// The delimited text that the export window writes to a file or puts on the
// clipboard, independent of the window: one header line, then one line per
// record, in the column order of the dataset.

#include <QChar>
#include <QString>
#include <functional>
#include <vector>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"

namespace zomi {

struct DelimitedOptions {
    std::vector<int> columns;  // ticked field indexes, in field order
    QChar delimiter = QLatin1Char(';');
    QChar quote;              // a null QChar writes the values bare
    bool memoText = true;     // memos as text; otherwise "BLOB" like other large objects
    bool fieldNames = false;  // header from the field names instead of the display labels
    bool noHeader = false;    // the header line is written empty
};

// The clipboard always uses tabs and no quotes, whatever the window's options say.
DelimitedOptions ClipboardOptions(DelimitedOptions options);

// Every field of the dataset, in order: what the window ticks when it opens.
std::vector<int> AllColumns(const dbaccess::Dataset& dataset);

// The field's title: its display label, or its name when it has no label.
QString FieldTitle(const dbaccess::Field& field);

// The value's plain text: integers and texts as stored, floating and decimal
// numbers in the general format with the workstation's decimal separator,
// dates and times in the application's display forms, NULL as empty text.
QString PlainValueText(const dbaccess::Dataset& dataset, int row, int column);

// The value as it stands in a line, before the quote characters are added.
QString DelimitedValue(const dbaccess::Dataset& dataset, int row, int column,
                       const DelimitedOptions& options);
QString DelimitedHeader(const dbaccess::Dataset& dataset, const DelimitedOptions& options);
QString DelimitedRecord(const dbaccess::Dataset& dataset, int row, const DelimitedOptions& options);

struct ExportOutcome {
    int records = 0;       // record lines written
    bool stopped = false;  // keepGoing said no before the last record
};

// Asked before every record; the window processes its pending events in it
// and answers false once "Megállít" has been pressed.
using KeepGoing = std::function<bool()>;

// Writes the header and the records to fileName in code page 1250, every line
// ending in CR LF. The text goes to a temporary file beside the target, which
// replaces the target only once everything is written, so a failure leaves an
// existing file as it was; a stop still keeps the records written so far.
// Leaves the dataset on its last record. Throws FileError when the file cannot
// be created or written and EncodingError (naming the record and the field)
// for a character that code page 1250 cannot hold.
ExportOutcome WriteDelimitedFile(dbaccess::Dataset& dataset, const DelimitedOptions& options,
                                 const QString& fileName, const Progress& progress,
                                 const KeepGoing& keepGoing);

// The same lines as one text, for the clipboard.
ExportOutcome DelimitedText(dbaccess::Dataset& dataset, const DelimitedOptions& options,
                            QString& text, const Progress& progress, const KeepGoing& keepGoing);

}  // namespace zomi
