#include "output/DelimitedExport.h"

#include <QLocale>
#include <QSaveFile>
#include <algorithm>

#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "common/Text.h"

namespace zomi {

using dbaccess::Dataset;
using dbaccess::Field;
using dbaccess::FieldKind;

namespace {

const QString kBlob = QStringLiteral("BLOB");

// Exact decimals keep every digit the server sent; only the zeros after the
// last significant decimal go, as in the general format.
QString decimalNumber(QString text, const QString& decimalPoint) {
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
        if (decimalPoint != QLatin1String(".")) text.replace(QLatin1Char('.'), decimalPoint);
    }
    return text;
}

// The encoder names only the character; the user also needs to know where it is.
[[noreturn]] void rethrowWithPlace(const EncodingError& error, const Dataset& dataset, int row,
                                   const DelimitedOptions& options) {
    if (row < 0) throw EncodingError(QStringLiteral("A fejlécben: ") + error.message());
    // Find the first field whose text cannot be written, to name it.
    for (int column : options.columns) {
        if (!FitsCp1250(DelimitedValue(dataset, row, column, options)))
            throw EncodingError(QStringLiteral("A(z) %1. rekord „%2” mezőjében: %3")
                                    .arg(row + 1)
                                    .arg(dataset.field(column).name, error.message()));
    }
    throw EncodingError(QStringLiteral("A(z) %1. rekordban: %2").arg(row + 1).arg(error.message()));
}

// Runs the header and the records through one sink; the file and the
// clipboard differ only in where the lines go.
template <typename Sink>
ExportOutcome exportLines(Dataset& dataset, const DelimitedOptions& options,
                          const Progress& progress, const KeepGoing& keepGoing, Sink&& sink) {
    ExportOutcome outcome;
    const int count = dataset.recordCount();
    dataset.first();
    if (progress.setMaximum) progress.setMaximum(count);
    sink(DelimitedHeader(dataset, options), -1);
    for (int row = 0; row < count; ++row) {
        if (keepGoing && !keepGoing()) {
            outcome.stopped = true;
            break;
        }
        sink(DelimitedRecord(dataset, row, options), row);
        ++outcome.records;
        if (progress.setPosition) progress.setPosition(row + 1);
    }
    if (outcome.stopped) {
        if (outcome.records > 0) dataset.moveTo(outcome.records - 1);
    } else {
        dataset.last();
        dataset.next();
    }
    return outcome;
}

}  // namespace

DelimitedOptions ClipboardOptions(DelimitedOptions options) {
    options.delimiter = QLatin1Char('\t');
    options.quote = QChar();
    return options;
}

std::vector<int> AllColumns(const Dataset& dataset) {
    std::vector<int> columns;
    for (int i = 0; i < dataset.fieldCount(); ++i) columns.push_back(i);
    return columns;
}

QString FieldTitle(const Field& field) { return field.label.isEmpty() ? field.name : field.label; }

QString PlainValueText(const Dataset& dataset, int row, int column) {
    const Field& field = dataset.field(column);
    switch (field.kind) {
        case FieldKind::Float: {
            if (dataset.isNullAt(row, column)) return QString();
            return GeneralNumberText(dataset.valueAt(row, column).toDouble(),
                                     QLocale().decimalPoint());
        }
        case FieldKind::Decimal:
            return decimalNumber(dataset.textAt(row, column), QLocale().decimalPoint());
        default:
            return dataset.asText(row, column);
    }
}

QString DelimitedValue(const Dataset& dataset, int row, int column,
                       const DelimitedOptions& options) {
    const Field& field = dataset.field(column);
    if (field.kind == FieldKind::Binary || (field.kind == FieldKind::Memo && !options.memoText))
        return kBlob;
    QString text = PlainValueText(dataset, row, column);
    // OneLineText changes only texts that hold one of these; most values hold
    // none, and passing them by saves a third of a large export's time.
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('\\') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    if (!plain) text = OneLineText(text);
    if (field.kind == FieldKind::Memo) text.replace(options.delimiter, QLatin1Char(','));
    return text;
}

QString DelimitedHeader(const Dataset& dataset, const DelimitedOptions& options) {
    if (options.noHeader) return QString();
    QString line;
    for (int column : options.columns) {
        const Field& field = dataset.field(column);
        if (!options.quote.isNull()) line += options.quote;
        line += options.fieldNames ? field.name : FieldTitle(field);
        if (!options.quote.isNull()) line += options.quote;
        line += options.delimiter;
    }
    return line;
}

QString DelimitedRecord(const Dataset& dataset, int row, const DelimitedOptions& options) {
    QString line;
    for (int column : options.columns) {
        if (!options.quote.isNull()) line += options.quote;
        line += DelimitedValue(dataset, row, column, options);
        if (!options.quote.isNull()) line += options.quote;
        line += options.delimiter;
    }
    line.chop(1);
    return line;
}

ExportOutcome WriteDelimitedFile(Dataset& dataset, const DelimitedOptions& options,
                                 const QString& fileName, const Progress& progress,
                                 const KeepGoing& keepGoing) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 file nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));

    QByteArray chunk;
    constexpr qsizetype kChunk = 1 << 16;
    chunk.reserve(kChunk + 4096);
    auto flush = [&] {
        if (file.write(chunk) != chunk.size())
            throw FileError(QStringLiteral("A(z) %1 file nem írható: %2")
                                .arg(fileName, WriteFailureReason(fileName, file.errorString())));
        chunk.clear();
    };
    const ExportOutcome outcome =
        exportLines(dataset, options, progress, keepGoing, [&](const QString& line, int row) {
            try {
                chunk += ToCp1250(line);
            } catch (const EncodingError& error) {
                rethrowWithPlace(error, dataset, row, options);
            }
            chunk += "\r\n";
            if (chunk.size() >= kChunk) flush();
        });
    flush();
    if (!file.commit())
        throw FileError(QStringLiteral("A(z) %1 file nem írható: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    return outcome;
}

ExportOutcome DelimitedText(Dataset& dataset, const DelimitedOptions& options, QString& text,
                            const Progress& progress, const KeepGoing& keepGoing) {
    QString lines;
    const ExportOutcome outcome =
        exportLines(dataset, options, progress, keepGoing, [&](const QString& line, int) {
            lines += line;
            lines += QLatin1String("\r\n");
        });
    text = lines;
    return outcome;
}

}  // namespace zomi
