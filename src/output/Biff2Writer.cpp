#include "output/Biff2Writer.h"

#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "output/DelimitedExport.h"

namespace zomi {

using dbaccess::Dataset;
using dbaccess::FieldKind;

namespace {

enum : quint16 {
    kDimensions = 0x0000,
    kBlank = 0x0001,
    kNumber = 0x0003,
    kLabel = 0x0004,
    kBoolErr = 0x0005,
    kBof = 0x0009,
    kEof = 0x000A,
    kFormat = 0x001E,
    kColWidth = 0x0024,
    kFont = 0x0031,
    kCodePage = 0x0042,
    kXf = 0x0043,
};

// XF and FONT records are addressed by their position: 0 plain, 1 bold.
constexpr quint8 kPlain = 0;
constexpr quint8 kBold = 1;
constexpr quint16 kTenPoints = 200;  // in twentieths of a point

void put16(QByteArray& out, quint16 value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putRecord(QByteArray& out, quint16 id, const QByteArray& data) {
    put16(out, id);
    put16(out, static_cast<quint16>(data.size()));
    out += data;
}

QByteArray byteString(const QByteArray& text) {
    QByteArray out;
    out += static_cast<char>(text.size());
    out += text;
    return out;
}

QByteArray fontRecord(bool bold) {
    QByteArray data;
    put16(data, kTenPoints);
    put16(data, bold ? 0x0001 : 0x0000);
    data += byteString("Arial");
    return data;
}

QByteArray xfRecord(quint8 font) {
    QByteArray data;
    data += static_cast<char>(font);
    data += '\0';
    data += static_cast<char>(0x40);  // format 0 ("General"), cell locked as Excel's default
    data += '\0';                     // general alignment, no borders
    return data;
}

}  // namespace

void Biff2Writer::setColumnWidth(int column, int characters) {
    if (column < 0 || column >= kMaxColumns) throw std::out_of_range("BIFF2 column out of range");
    if (static_cast<int>(widths_.size()) <= column)
        widths_.resize(static_cast<size_t>(column) + 1, 0);
    widths_[static_cast<size_t>(column)] = std::clamp(characters, 1, 255);
}

void Biff2Writer::beginCell(quint16 id, int row, int column, bool bold, int dataSize) {
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns)
        throw std::out_of_range("BIFF2 cell out of range");
    rows_ = std::max(rows_, row + 1);
    columns_ = std::max(columns_, column + 1);
    put16(cells_, id);
    put16(cells_, static_cast<quint16>(7 + dataSize));
    put16(cells_, static_cast<quint16>(row));
    put16(cells_, static_cast<quint16>(column));
    // Cell attributes repeat what the XF record says: Excel 2 reads them from
    // here, later readers from the XF record.
    const quint8 xf = bold ? kBold : kPlain;
    cells_ += static_cast<char>(xf);
    cells_ += static_cast<char>(static_cast<quint8>(xf << 6));  // font in bits 7-6, format 0
    cells_ += '\0';
}

void Biff2Writer::writeNumber(int row, int column, double value, bool bold) {
    beginCell(kNumber, row, column, bold, 8);
    char raw[8];
    static_assert(sizeof(double) == 8);
    std::memcpy(raw, &value, 8);
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    std::reverse(raw, raw + 8);
#endif
    cells_.append(raw, 8);
}

void Biff2Writer::writeBool(int row, int column, bool value, bool bold) {
    beginCell(kBoolErr, row, column, bold, 2);
    cells_ += static_cast<char>(value ? 1 : 0);
    cells_ += '\0';  // a logical value, not an error code
}

void Biff2Writer::writeText(int row, int column, const QString& text, bool bold) {
    const QByteArray encoded = ToCp1250(text.left(kMaxTextLength));
    beginCell(kLabel, row, column, bold, 1 + static_cast<int>(encoded.size()));
    cells_ += byteString(encoded);
}

void Biff2Writer::writeBlank(int row, int column, bool bold) {
    beginCell(kBlank, row, column, bold, 0);
}

QByteArray Biff2Writer::bytes() const {
    QByteArray out;
    QByteArray bof;
    put16(bof, 0x0002);  // Excel 2
    put16(bof, 0x0010);  // a worksheet
    putRecord(out, kBof, bof);
    QByteArray codePage;
    put16(codePage, 1250);
    putRecord(out, kCodePage, codePage);
    putRecord(out, kFormat, byteString("General"));
    putRecord(out, kFont, fontRecord(false));
    putRecord(out, kFont, fontRecord(true));
    for (size_t i = 0; i < widths_.size(); ++i) {
        if (widths_[i] == 0) continue;
        QByteArray width;
        width += static_cast<char>(i);
        width += static_cast<char>(i);
        put16(width, static_cast<quint16>(widths_[i] * 256));
        putRecord(out, kColWidth, width);
    }
    putRecord(out, kXf, xfRecord(kPlain));
    putRecord(out, kXf, xfRecord(kBold));
    QByteArray dimensions;
    put16(dimensions, 0);
    put16(dimensions, static_cast<quint16>(rows_));
    put16(dimensions, 0);
    put16(dimensions, static_cast<quint16>(columns_));
    putRecord(out, kDimensions, dimensions);
    out += cells_;
    putRecord(out, kEof, QByteArray());
    return out;
}

void ReplaceFileContents(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 file nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(QStringLiteral("A(z) %1 file nem írható: %2")
                            .arg(fileName, WriteFailureReason(fileName, file.errorString())));
}

void WriteBiff2File(Dataset& dataset, const std::vector<int>& columns, const QString& fileName,
                    const Progress& progress) {
    const int count = dataset.recordCount();
    if (count == 0)
        throw std::runtime_error(
            QStringLiteral("Az adathalmaz üres, Excel munkalapba nincs mit exportálni.")
                .toStdString());
    if (count + 1 > Biff2Writer::kMaxRows)
        throw std::runtime_error(
            QStringLiteral("Az Excel munkalap (*.xls) legfeljebb %1 adatsort tud "
                           "tárolni, az export %2 sort tartalmaz. Válassza az Excel "
                           "munkafüzet (*.xlsx) formátumot.")
                .arg(Biff2Writer::kMaxRows - 1)
                .arg(count)
                .toStdString());
    if (static_cast<int>(columns.size()) > Biff2Writer::kMaxColumns)
        throw std::runtime_error(
            QStringLiteral("Az Excel munkalap (*.xls) legfeljebb %1 oszlopot tud "
                           "tárolni, az export %2 oszlopot tartalmaz.")
                .arg(Biff2Writer::kMaxColumns)
                .arg(columns.size())
                .toStdString());

    Biff2Writer sheet;
    std::vector<int> widths(columns.size(), 0);
    auto fit = [&](size_t c, const QString& text, int extra) {
        widths[c] =
            std::max(widths[c], static_cast<int>(std::min<qsizetype>(text.size(), 60)) + extra);
    };
    auto cellError = [&](const EncodingError& error, int row, int column) {
        return EncodingError(QStringLiteral("A(z) %1. rekord „%2” mezőjében: %3")
                                 .arg(row + 1)
                                 .arg(dataset.field(column).name, error.message()));
    };

    for (size_t c = 0; c < columns.size(); ++c) {
        const QString title = FieldTitle(dataset.field(columns[c]));
        try {
            sheet.writeText(0, static_cast<int>(c), title, true);
        } catch (const EncodingError& error) {
            throw EncodingError(QStringLiteral("A fejlécben: ") + error.message());
        }
        fit(c, title, 2);
    }
    if (progress.setMaximum) progress.setMaximum(count);
    for (int row = 0; row < count; ++row) {
        for (size_t c = 0; c < columns.size(); ++c) {
            const int column = columns[c];
            const int col = static_cast<int>(c);
            if (dataset.isNullAt(row, column)) {
                sheet.writeBlank(row + 1, col);
                continue;
            }
            const QVariant value = dataset.valueAt(row, column);
            if (dataset.field(column).isNumeric()) {
                sheet.writeNumber(row + 1, col, value.toDouble());
                fit(c, dataset.displayText(row, column), 1);
            } else if (value.typeId() == QMetaType::Bool) {
                sheet.writeBool(row + 1, col, value.toBool());
                fit(c, QStringLiteral("FALSE"), 1);
            } else {
                const QString text = dataset.displayText(row, column);
                try {
                    sheet.writeText(row + 1, col, text);
                } catch (const EncodingError& error) {
                    throw cellError(error, row, column);
                }
                fit(c, text, 1);
            }
        }
        if (progress.setPosition) progress.setPosition(row + 1);
    }
    for (size_t c = 0; c < columns.size(); ++c)
        sheet.setColumnWidth(static_cast<int>(c), widths[c]);
    ReplaceFileContents(fileName, sheet.bytes());
}

}  // namespace zomi
