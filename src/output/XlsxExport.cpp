#include "output/XlsxExport.h"

#include <xlsxwriter.h>

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "common/AmountFormat.h"
#include "common/FileProblems.h"
#include "output/DelimitedExport.h"

namespace zomi {

using dbaccess::Dataset;
using dbaccess::Field;
using dbaccess::FieldKind;

namespace {

constexpr int kMaxCellText = 32767;  // Excel's limit for one cell
constexpr double kMinWidth = 6;
constexpr double kMaxWidth = 60;
// Doubles hold integers exactly up to here; larger keys are written as text
// so that no digit changes.
constexpr double kExactInteger = 9007199254740992.0;

// The application's display forms of dates and times, in Excel's notation
// (a dot is a decimal point there unless escaped).
const char* const kDateFormat = "yyyy\\.mm\\.dd\\.";
const char* const kTimeFormat = "hh:mm:ss";
const char* const kDateTimeFormat = "yyyy\\.mm\\.dd\\. hh:mm:ss";

// Excel counts days from 1899-12-30 for every date after its phantom
// 1900-02-29; earlier dates would come out one day off, so they stay text.
const QDate kFirstSerialDate(1900, 3, 1);
const qint64 kSerialBase = QDate(1899, 12, 30).toJulianDay();

[[noreturn]] void fail(const QString& what, lxw_error error) {
    throw std::runtime_error((QStringLiteral("Az Excel munkafüzet nem írható (%1): %2")
                                  .arg(what, QString::fromUtf8(lxw_strerror(error))))
                                 .toStdString());
}

void check(lxw_error error, const char* what) {
    if (error != LXW_NO_ERROR) fail(QString::fromLatin1(what), error);
}

// Closes the workbook on every way out; libxlsxwriter frees it only there.
class Workbook {
  public:
    Workbook(const QByteArray& path, const QByteArray& tmpdir) : tmpdir_(tmpdir) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;  // rows go to disk as written: 200,000 rows stay small
        options.tmpdir = tmpdir_.data();
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(path.constData(), &options);
        if (!book_)
            throw std::runtime_error(
                QStringLiteral("Az Excel munkafüzet nem hozható létre.").toStdString());
    }
    ~Workbook() {
        if (book_) workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return book_; }
    void close() {
        lxw_workbook* book = book_;
        book_ = nullptr;
        check(workbook_close(book), "workbook_close");
    }

  private:
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
};

class ColumnFormats {
  public:
    explicit ColumnFormats(lxw_workbook* book) : book_(book) {}

    lxw_format* numeric(const QString& pattern) {
        const QString excel = ExcelNumberFormat(pattern);
        if (excel.isEmpty()) return nullptr;
        auto it = numeric_.constFind(excel);
        if (it != numeric_.constEnd()) return it.value();
        lxw_format* format = workbook_add_format(book_);
        format_set_num_format(format, excel.toUtf8().constData());
        numeric_.insert(excel, format);
        return format;
    }
    lxw_format* fixed(const char* numFormat) {
        lxw_format* format = workbook_add_format(book_);
        format_set_num_format(format, numFormat);
        return format;
    }

  private:
    lxw_workbook* book_;
    QHash<QString, lxw_format*> numeric_;
};

double serialDate(const QDate& date) {
    return static_cast<double>(date.toJulianDay() - kSerialBase);
}

double dayFraction(const QTime& time) { return time.msecsSinceStartOfDay() / 86400000.0; }

void copyInto(const QString& source, QSaveFile& target, const QString& fileName) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Az ideiglenes munkafüzet nem olvasható: %1").arg(in.errorString()));
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFile::NoError)
            throw FileError(
                QStringLiteral("Az ideiglenes munkafüzet nem olvasható: %1").arg(in.errorString()));
        if (target.write(block) != block.size())
            throw FileError(QStringLiteral("A(z) %1 file nem írható: %2")
                                .arg(fileName, WriteFailureReason(fileName, target.errorString())));
    }
}

}  // namespace

bool IsXlsxFileName(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
}

void WriteXlsxFile(Dataset& dataset, const std::vector<int>& columns, const QString& fileName,
                   const Progress& progress) {
    const int count = dataset.recordCount();
    if (count + 1 > LXW_ROW_MAX)
        throw std::runtime_error(
            QStringLiteral("Egy Excel munkalap legfeljebb %1 adatsort tud tárolni, "
                           "az export %2 sort tartalmaz.")
                .arg(LXW_ROW_MAX - 1)
                .arg(count)
                .toStdString());
    if (static_cast<int>(columns.size()) > LXW_COL_MAX)
        throw std::runtime_error(
            QStringLiteral("Egy Excel munkalap legfeljebb %1 oszlopot tud tárolni, "
                           "az export %2 oszlopot tartalmaz.")
                .arg(LXW_COL_MAX)
                .arg(columns.size())
                .toStdString());

    // The target is claimed first, so that a name that cannot be written is
    // reported before the work, and replaced only by a complete workbook.
    QSaveFile target(fileName);
    if (!target.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("A(z) %1 file nem hozható létre: %2")
                            .arg(fileName, WriteFailureReason(fileName, target.errorString())));
    QTemporaryDir work;
    if (!work.isValid())
        throw FileError(
            QStringLiteral("Ideiglenes mappa nem hozható létre: %1").arg(work.errorString()));
    const QString temporary = work.filePath(QStringLiteral("export.xlsx"));

    Workbook book(QFile::encodeName(temporary), QFile::encodeName(work.path()));
    lxw_worksheet* sheet = workbook_add_worksheet(book.get(), nullptr);
    if (!sheet)
        throw std::runtime_error(
            QStringLiteral("Az Excel munkalap nem hozható létre.").toStdString());

    lxw_format* header = workbook_add_format(book.get());
    format_set_bold(header);
    ColumnFormats formats(book.get());
    lxw_format* dateFormat = formats.fixed(kDateFormat);
    lxw_format* timeFormat = formats.fixed(kTimeFormat);
    lxw_format* dateTimeFormat = formats.fixed(kDateTimeFormat);
    std::vector<lxw_format*> numberFormats(columns.size(), nullptr);
    std::vector<double> widths(columns.size(), kMinWidth);

    auto fit = [&](size_t c, qsizetype characters, double extra) {
        widths[c] =
            std::max(widths[c], std::min(kMaxWidth, static_cast<double>(characters) + extra));
    };

    for (size_t c = 0; c < columns.size(); ++c) {
        const Field& field = dataset.field(columns[c]);
        if (field.isNumeric()) numberFormats[c] = formats.numeric(field.displayFormat);
        const QString title = FieldTitle(field);
        check(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                     title.toUtf8().constData(), header),
              "worksheet_write_string");
        fit(c, title.size(), 2.5);  // bold letters are wider
    }
    worksheet_freeze_panes(sheet, 1, 0);

    if (progress.setMaximum) progress.setMaximum(count);
    for (int row = 0; row < count; ++row) {
        const auto r = static_cast<lxw_row_t>(row + 1);
        for (size_t c = 0; c < columns.size(); ++c) {
            const int column = columns[c];
            const auto col = static_cast<lxw_col_t>(c);
            const Field& field = dataset.field(column);
            // A blank without a format is no cell at all in the file, which
            // is exactly how a spreadsheet shows an empty value.
            if (dataset.isNullAt(row, column)) continue;
            const QVariant value = dataset.valueAt(row, column);
            auto writeText = [&](QString text) {
                // Spreadsheet programs break lines in a cell at a line feed alone;
                // a carriage return before it would show as a stray character.
                text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
                if (text.size() > kMaxCellText)
                    throw std::runtime_error(
                        QStringLiteral("A(z) %1. rekord „%2” mezője %3 karakter hosszú; "
                                       "egy Excel cellába legfeljebb %4 karakter fér.")
                            .arg(row + 1)
                            .arg(field.name)
                            .arg(text.size())
                            .arg(kMaxCellText)
                            .toStdString());
                check(worksheet_write_string(sheet, r, col, text.toUtf8().constData(), nullptr),
                      "worksheet_write_string");
                qsizetype longest = 0;
                for (const QString& line : text.split(QLatin1Char('\n')))
                    longest = std::max(longest, line.size());
                fit(c, longest, 1);
            };

            if (value.typeId() == QMetaType::Bool) {
                check(worksheet_write_boolean(sheet, r, col, value.toBool(), nullptr),
                      "worksheet_write_boolean");
                fit(c, 5, 1);
            } else if (field.isNumeric()) {
                const double number = value.toDouble();
                if (std::fabs(number) >= kExactInteger &&
                    (field.kind == FieldKind::Integer || field.kind == FieldKind::LargeInt)) {
                    writeText(dataset.textAt(row, column));
                } else {
                    check(worksheet_write_number(sheet, r, col, number, numberFormats[c]),
                          "worksheet_write_number");
                    fit(c, dataset.displayText(row, column).size(), 1.5);
                }
            } else if (field.kind == FieldKind::Date && value.typeId() == QMetaType::QDate &&
                       value.toDate() >= kFirstSerialDate) {
                check(worksheet_write_number(sheet, r, col, serialDate(value.toDate()), dateFormat),
                      "worksheet_write_number");
                fit(c, 11, 1.5);
            } else if (field.kind == FieldKind::Time && value.typeId() == QMetaType::QTime) {
                check(
                    worksheet_write_number(sheet, r, col, dayFraction(value.toTime()), timeFormat),
                    "worksheet_write_number");
                fit(c, 8, 1.5);
            } else if (field.kind == FieldKind::DateTime &&
                       value.typeId() == QMetaType::QDateTime &&
                       value.toDateTime().date() >= kFirstSerialDate) {
                const QDateTime when = value.toDateTime();
                check(worksheet_write_number(sheet, r, col,
                                             serialDate(when.date()) + dayFraction(when.time()),
                                             dateTimeFormat),
                      "worksheet_write_number");
                fit(c, 20, 1.5);
            } else {
                writeText(dataset.displayText(row, column));
            }
        }
        if (progress.setPosition) progress.setPosition(row + 1);
    }
    for (size_t c = 0; c < columns.size(); ++c)
        check(worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                   std::ceil(widths[c]), nullptr),
              "worksheet_set_column");
    book.close();

    copyInto(temporary, target, fileName);
    if (!target.commit())
        throw FileError(QStringLiteral("A(z) %1 file nem írható: %2")
                            .arg(fileName, WriteFailureReason(fileName, target.errorString())));
}

}  // namespace zomi
