#include "dbaccess/Dataset.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <array>
#include <charconv>

#include "common/AmountFormat.h"
#include "common/Codepage.h"
#include "common/Text.h"
#include "dbaccess/Halves.h"

namespace zomi::dbaccess {

const QString kDateDisplayFormat = QStringLiteral("yyyy.MM.dd.");
const QString kTimeDisplayFormat = QStringLiteral("hh:mm:ss");
const QString kDateTimeDisplayFormat = QStringLiteral("yyyy.MM.dd. hh:mm:ss");

namespace {

int digits(const char* p, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9') return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

QDate parseDate(const char* p, unsigned long n) {
    if (n < 10 || p[4] != '-' || p[7] != '-') return QDate();
    return QDate(digits(p, 4), digits(p + 5, 2), digits(p + 8, 2));
}

QTime parseTime(const char* p, unsigned long n) {
    if (n < 8 || p[2] != ':' || p[5] != ':') return QTime();
    int ms = 0;
    if (n > 9 && p[8] == '.') {
        const unsigned long fraction = std::min<unsigned long>(n - 9, 3);
        ms = digits(p + 9, static_cast<int>(fraction));
        for (unsigned long i = fraction; i < 3; ++i) ms *= 10;
    }
    return QTime(digits(p, 2), digits(p + 3, 2), digits(p + 6, 2), std::max(ms, 0));
}

QVariant decode(const Field& field, const char* p, unsigned long n) {
    if (!p) return QVariant();
    switch (field.kind) {
        case FieldKind::Integer:
        case FieldKind::LargeInt: {
            qlonglong v = 0;
            const auto r = std::from_chars(p, p + n, v);
            if (r.ec == std::errc()) return QVariant(v);
            // UNSIGNED BIGINT beyond the signed range.
            return QVariant(QByteArray(p, static_cast<qsizetype>(n)).toULongLong());
        }
        case FieldKind::Float:
        case FieldKind::Decimal: {
            double v = 0;
            std::from_chars(p, p + n, v);
            return QVariant(v);
        }
        case FieldKind::Date: {
            const QDate d = parseDate(p, n);
            return d.isValid() ? QVariant(d) : QVariant();  // "0000-00-00" is no date
        }
        case FieldKind::Time: {
            const QTime t = parseTime(p, n);
            // Durations beyond a day or negative ones stay text.
            return t.isValid() ? QVariant(t) : QVariant(FromCp1250(p, static_cast<qsizetype>(n)));
        }
        case FieldKind::DateTime: {
            const QDate d = parseDate(p, n);
            if (!d.isValid()) return QVariant();
            const QTime t = n >= 19 ? parseTime(p + 11, n - 11) : QTime(0, 0);
            // Naive wall-clock time: no zone, so no daylight-saving shifts on a round trip.
            return QVariant(QDateTime(d, t.isValid() ? t : QTime(0, 0), Qt::UTC));
        }
        case FieldKind::Text:
        case FieldKind::Memo:
            return QVariant(FromCp1250(p, static_cast<qsizetype>(n)));
        case FieldKind::Binary:
            return QVariant(QByteArray(p, static_cast<qsizetype>(n)));
    }
    return QVariant();
}

// The text form a value takes when a row of our own is stored in the buffer:
// the same form the server sends, so that decode() reads it back.
QByteArray wireText(const Field& field, const QVariant& value) {
    switch (field.kind) {
        case FieldKind::Binary:
            return value.toByteArray();
        case FieldKind::Date:
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
        case FieldKind::Time:
            return value.toTime().toString(QStringLiteral("hh:mm:ss")).toLatin1();
        case FieldKind::DateTime:
            return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1();
        default:
            return ToCp1250(ValueText(value));
    }
}

double toDouble(const QVariant& value, bool* ok) {
    if (value.typeId() == QMetaType::QString) {
        // Typed text: "27.000" is twenty-seven thousand, never twenty-seven.
        std::optional<double> amount;
        *ok = ReadAmountText(value.toString(), &amount) && amount;
        return amount.value_or(0);
    }
    return value.toDouble(ok);
}

qlonglong toInteger(const QVariant& value, bool* ok) {
    if (value.typeId() == QMetaType::QString) return value.toString().trimmed().toLongLong(ok);
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        *ok = d == static_cast<double>(static_cast<qlonglong>(d));
        return static_cast<qlonglong>(d);
    }
    return value.toLongLong(ok);
}

}  // namespace

Dataset::Dataset(Connection* connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

Dataset::~Dataset() = default;

void Dataset::requireConnection() const {
    if (!connection_)
        throw DbError(DbError::kState, QStringLiteral("Az adathalmaznak nincs kapcsolata."));
}

void Dataset::adoptFields(std::vector<Field> fields) {
    const std::vector<Field> previous = std::move(fields_);
    fields_ = std::move(fields);
    // Labels, formats and tags a window attached survive a reopen.
    for (Field& f : fields_) {
        for (const Field& old : previous) {
            if (old.name == f.name) {
                f.label = old.label;
                f.displayFormat = old.displayFormat;
                f.tag = old.tag;
                f.visible = old.visible;
                break;
            }
        }
    }
}

void Dataset::load(const ResultSetPtr& result) {
    rows_.clear();
    results_.clear();
    ownedRows_.clear();
    adoptFields(result ? result->fields() : std::vector<Field>());
    if (result) {
        rows_.reserve(static_cast<size_t>(result->rowCount()));
        for (int i = 0; i < result->rowCount(); ++i) rows_.push_back(result->row(i));
        results_.push_back(result);
    }
}

void Dataset::present(const std::vector<Field>& fields, std::vector<RowRef> rows,
                      std::vector<RowHolder> holders, int current) {
    if (state_ == State::Edit || state_ == State::Insert) cancel();
    const bool opening = !isOpen();
    emit aboutToReset();
    adoptFields(fields);
    rows_ = std::move(rows);
    results_ = std::move(holders);
    ownedRows_.clear();
    buffer_.clear();
    insertedRow_ = -1;
    state_ = State::Browse;
    emit rowsReset();
    if (opening) emit afterOpen();
    current_ = -2;  // the rows are new: tell of the current one even at the same number
    setCurrent(rows_.empty() ? -1 : std::clamp(current, 0, recordCount() - 1));
}

void Dataset::appendRows(const std::vector<RowRef>& rows, const RowHolder& holder) {
    if (rows.empty()) return;
    const int first = recordCount();
    emit aboutToAppendRows(first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    if (holder) results_.push_back(holder);
    emit rowsAppended();
    if (current_ < 0) setCurrent(0);
}

void Dataset::open() {
    if (isOpen()) return;
    requireConnection();
    const ResultSetPtr result = fetch();
    emit aboutToReset();
    load(result);
    state_ = State::Browse;
    emit rowsReset();
    current_ = -1;
    setCurrent(rows_.empty() ? -1 : 0);
    emit afterOpen();
}

void Dataset::close() {
    if (!isOpen()) return;
    emit aboutToReset();
    rows_.clear();
    results_.clear();
    ownedRows_.clear();
    buffer_.clear();
    current_ = -1;
    eof_ = true;
    insertedRow_ = -1;
    state_ = State::Inactive;
    emit rowsReset();
    emit afterClose();
}

QString Dataset::keyField() const {
    if (!keyField_.isEmpty()) return keyField_;
    const int key = keyColumn();
    return key >= 0 ? field(key).name : QString();
}

int Dataset::keyColumn() const {
    if (!keyField_.isEmpty()) return fieldIndex(keyField_);
    for (int i = 0; i < fieldCount(); ++i)
        if (field(i).primaryKey) return i;
    return -1;
}

void Dataset::refresh() {
    if (!isOpen()) {
        open();
        return;
    }
    if (state_ == State::Edit || state_ == State::Insert) cancel();
    const int key = keyColumn();
    QVariant keyValue;
    if (key >= 0 && current_ >= 0) keyValue = valueAt(current_, key);
    const int oldRow = current_;
    const ResultSetPtr result = fetch();
    emit aboutToReset();
    load(result);
    emit rowsReset();
    int row = -1;
    if (!keyValue.isNull()) {
        const int newKey = keyColumn();
        for (int i = 0; newKey >= 0 && i < recordCount(); ++i) {
            if (valueAt(i, newKey) == keyValue) {
                row = i;
                break;
            }
        }
    }
    if (row < 0 && !rows_.empty()) row = std::clamp(oldRow, 0, recordCount() - 1);
    current_ = -1;
    setCurrent(row);
}

void Dataset::setCurrent(int row) {
    eof_ = rows_.empty();
    if (row == current_) return;
    current_ = row;
    emit afterScroll();
}

void Dataset::requireBrowse(const char* operation) const {
    if (state_ != State::Browse)
        throw DbError(
            DbError::kState,
            QStringLiteral("A művelet (%1) most nem végezhető el: az adathalmaz %2.")
                .arg(QString::fromLatin1(operation),
                     state_ == State::Inactive ? QStringLiteral("nincs megnyitva")
                                               : QStringLiteral("szerkesztés alatt áll")));
}

void Dataset::first() {
    if (state_ == State::Edit || state_ == State::Insert) post();
    setCurrent(rows_.empty() ? -1 : 0);
}

void Dataset::next() {
    if (state_ == State::Edit || state_ == State::Insert) post();
    if (current_ + 1 < recordCount()) {
        setCurrent(current_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    if (state_ == State::Edit || state_ == State::Insert) post();
    if (current_ > 0) setCurrent(current_ - 1);
    eof_ = rows_.empty();
}

void Dataset::last() {
    if (state_ == State::Edit || state_ == State::Insert) post();
    setCurrent(recordCount() - 1);
}

void Dataset::moveTo(int row) {
    if (row < 0 || row >= recordCount()) return;
    eof_ = false;
    if (row == current_) return;
    if (state_ == State::Edit || state_ == State::Insert) post();
    setCurrent(row);
}

int Dataset::fieldIndex(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (field(i).name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Field& Dataset::fieldByName(const QString& name) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(DbError::kInvalidArgument, QStringLiteral("Nincs ilyen mező: %1").arg(name));
    return field(i);
}

QStringList Dataset::fieldNames() const {
    QStringList names;
    for (const Field& f : fields_) names << f.name;
    return names;
}

QVariant Dataset::valueAt(int row, int column) const {
    const RowRef r = rows_.at(static_cast<size_t>(row));
    return decode(field(column), r.cell(column), r.length(column));
}

bool Dataset::isNullAt(int row, int column) const {
    return rows_.at(static_cast<size_t>(row)).cell(column) == nullptr;
}

QString Dataset::textAt(int row, int column) const {
    const RowRef r = rows_.at(static_cast<size_t>(row));
    const char* p = r.cell(column);
    return p ? FromCp1250(p, static_cast<qsizetype>(r.length(column))) : QString();
}

QString Dataset::formatted(int row, int column, bool withFormat) const {
    const Field& f = field(column);
    const RowRef r = rows_.at(static_cast<size_t>(row));
    const char* p = r.cell(column);
    if (!p) return QString();
    const unsigned long n = r.length(column);
    switch (f.kind) {
        case FieldKind::Integer:
        case FieldKind::LargeInt:
        case FieldKind::Float:
        case FieldKind::Decimal:
            if (withFormat && !f.displayFormat.isEmpty())
                return FormatAmount(decode(f, p, n).toDouble(), f.displayFormat);
            // The server writes a double with all seventeen digits
            // ("26999.999999999996"); shown, it reads as the desktop shows floats.
            if (withFormat && f.kind == FieldKind::Float)
                return GeneralNumberText(decode(f, p, n).toDouble());
            // An exact decimal keeps every digit the server sent.
            if (withFormat && f.kind == FieldKind::Decimal)
                return QString::fromLatin1(p, static_cast<qsizetype>(n))
                    .replace(QLatin1Char('.'), QChar(kDecimalComma));
            return QString::fromLatin1(p, static_cast<qsizetype>(n));
        case FieldKind::Date: {
            const QDate d = parseDate(p, n);
            return d.isValid() ? d.toString(kDateDisplayFormat) : QString();
        }
        case FieldKind::Time: {
            const QTime t = parseTime(p, n);
            return t.isValid() ? t.toString(kTimeDisplayFormat)
                               : QString::fromLatin1(p, static_cast<qsizetype>(n));
        }
        case FieldKind::DateTime: {
            const QVariant v = decode(f, p, n);
            return v.isNull() ? QString() : v.toDateTime().toString(kDateTimeDisplayFormat);
        }
        case FieldKind::Binary:
            return QStringLiteral("(BLOB)");
        case FieldKind::Text:
        case FieldKind::Memo:
            break;
    }
    return FromCp1250(p, static_cast<qsizetype>(n));
}

QVariant Dataset::value(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DbError(DbError::kInvalidArgument,
                      QStringLiteral("Érvénytelen mezősorszám: %1").arg(column));
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_[static_cast<size_t>(column)];
    if (current_ < 0) return QVariant();
    return valueAt(current_, column);
}

QVariant Dataset::value(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(DbError::kInvalidArgument, QStringLiteral("Nincs ilyen mező: %1").arg(name));
    return value(i);
}

QVariant Dataset::convertForLocate(int column, const QVariant& value) const {
    const Field& f = field(column);
    bool ok = true;
    QVariant converted;
    switch (f.kind) {
        case FieldKind::Integer:
        case FieldKind::LargeInt:
            converted = toInteger(value, &ok);
            break;
        case FieldKind::Float:
        case FieldKind::Decimal:
            converted = toDouble(value, &ok);
            break;
        case FieldKind::Date: {
            QDate d = value.toDate();
            if (!d.isValid()) d = QDate::fromString(value.toString().trimmed(), kDateDisplayFormat);
            if (!d.isValid()) d = QDate::fromString(value.toString().trimmed(), Qt::ISODate);
            ok = d.isValid();
            converted = d;
            break;
        }
        case FieldKind::Time: {
            QTime t = value.toTime();
            if (!t.isValid()) t = QTime::fromString(value.toString().trimmed(), kTimeDisplayFormat);
            ok = t.isValid();
            converted = t;
            break;
        }
        case FieldKind::DateTime: {
            QDateTime t = value.toDateTime();
            ok = t.isValid();
            converted = QDateTime(t.date(), t.time(), Qt::UTC);
            break;
        }
        default:
            converted = value;
    }
    if (!ok)
        throw DbError(DbError::kLocate, QStringLiteral("\"%1\" nem érvényes érték a(z) %2 mezőben.")
                                            .arg(value.toString(), f.name));
    return converted;
}

bool Dataset::matches(int row, int column, const QVariant& wanted, LocateOptions options) const {
    if (isNullAt(row, column)) return wanted.isNull();
    if (!field(column).isTextual()) return valueAt(row, column) == wanted;
    const QString text = textAt(row, column);
    const QString key = wanted.toString();
    const Qt::CaseSensitivity cs =
        options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return options.partial ? text.startsWith(key, cs) : text.compare(key, cs) == 0;
}

namespace {

// Each byte of the code page is one character: the stored bytes are
// compared, folded as the decoded text would be, without decoding rows.
const std::array<char16_t, 256>& FoldedBytes() {
    static const std::array<char16_t, 256> folded = [] {
        std::array<char16_t, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            table[static_cast<size_t>(b)] = FromCp1250(&byte, 1).at(0).toCaseFolded().unicode();
        }
        return table;
    }();
    return folded;
}

}  // namespace

bool PrefixCanBeginWithin(const QString& prefix, const std::bitset<256>& bytes) {
    const std::array<char16_t, 256>& folded = FoldedBytes();
    for (const QChar c : prefix.toCaseFolded()) {
        bool held = false;
        for (size_t b = 0; b < 256 && !held; ++b) held = bytes[b] && folded[b] == c.unicode();
        if (!held) return false;
    }
    return true;
}

int Dataset::firstWithPrefix(int column, const QString& prefix, int fromRow) const {
    return static_cast<int>(FirstWithPrefix(rows_, static_cast<size_t>(column), prefix,
                                            static_cast<size_t>(std::max(fromRow, 0))));
}

FoldedPrefix::FoldedPrefix(const QString& prefix) : key_(prefix.toCaseFolded()) {}

bool FoldedPrefix::begins(const char* cell, unsigned long length) const {
    const std::array<char16_t, 256>& folded = FoldedBytes();
    const auto n = static_cast<unsigned long>(key_.size());
    if (!cell || length < n) return false;
    unsigned long k = 0;
    while (k < n && folded[static_cast<unsigned char>(cell[k])] ==
                        key_.at(static_cast<qsizetype>(k)).unicode())
        ++k;
    return k == n;
}

long long Dataset::FirstWithPrefix(const std::vector<RowRef>& rows, size_t column,
                                   const QString& prefix, size_t from,
                                   const std::atomic<bool>* cancelled) {
    const FoldedPrefix wanted(prefix);
    const auto hasPrefix = [&](size_t row) {
        return wanted.begins(rows[row].cell(column), rows[row].length(column));
    };
    // The row is mostly near the top; a search that finds none (the text
    // found in other columns only) reads a million rows on both cores.
    const size_t probed = std::min(rows.size(), from + kRowsPerThread / 16);
    for (size_t row = from; row < probed; ++row)
        if (hasPrefix(row)) return static_cast<long long>(row);
    constexpr size_t kRowsBetweenLooks = 4096;
    const std::vector<long long> firsts =
        InHalves(rows.size() - probed, [&](size_t begin, size_t end) {
            for (size_t row = probed + begin; row < probed + end; ++row) {
                if (cancelled && row % kRowsBetweenLooks == 0 && cancelled->load()) return -1LL;
                if (hasPrefix(row)) return static_cast<long long>(row);
            }
            return -1LL;
        });
    for (const long long first : firsts)
        if (first >= 0) return first;
    return -1;
}

bool Dataset::locate(const QString& fieldName, const QVariant& value, LocateOptions options,
                     int fromRow) {
    if (!isOpen()) return false;
    const int column = fieldIndex(fieldName);
    if (column < 0)
        throw DbError(DbError::kLocate, QStringLiteral("Nincs ilyen mező: %1").arg(fieldName));
    const QVariant wanted = value.isNull() ? QVariant() : convertForLocate(column, value);
    if (!wanted.isNull() && field(column).isTextual() && options.partial &&
        options.caseInsensitive) {
        const int row = firstWithPrefix(column, wanted.toString(), fromRow);
        if (row >= 0) moveTo(row);
        return row >= 0;
    }
    for (int row = std::max(fromRow, 0); row < recordCount(); ++row) {
        if (matches(row, column, wanted, options)) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

void Dataset::edit() {
    if (state_ == State::Edit) return;
    requireBrowse("edit");
    if (!editable())
        throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
    if (current_ < 0) throw DbError(DbError::kState, QStringLiteral("Nincs szerkeszthető sor."));
    buffer_.assign(fields_.size(), QVariant());
    for (int i = 0; i < fieldCount(); ++i) buffer_[static_cast<size_t>(i)] = valueAt(current_, i);
    assigned_.assign(fields_.size(), false);
    state_ = State::Edit;
}

void Dataset::append() {
    requireBrowse("append");
    if (!editable())
        throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
    rowBeforeInsert_ = current_;
    insertedRow_ = recordCount();
    buffer_.assign(fields_.size(), QVariant());
    assigned_.assign(fields_.size(), false);
    emit aboutToInsertRow(insertedRow_);
    rows_.push_back(ownRow(buffer_));
    state_ = State::Insert;
    emit rowInserted(insertedRow_);
    current_ = insertedRow_;
    emit afterScroll();
}

void Dataset::insert() {
    requireBrowse("insert");
    if (!editable())
        throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
    rowBeforeInsert_ = current_;
    insertedRow_ = std::max(current_, 0);
    buffer_.assign(fields_.size(), QVariant());
    assigned_.assign(fields_.size(), false);
    emit aboutToInsertRow(insertedRow_);
    rows_.insert(rows_.begin() + insertedRow_, ownRow(buffer_));
    state_ = State::Insert;
    emit rowInserted(insertedRow_);
    current_ = insertedRow_;
    emit afterScroll();
}

void Dataset::setValue(int column, const QVariant& value) {
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(DbError::kState, QStringLiteral("A sor nincs szerkesztés alatt."));
    if (column < 0 || column >= fieldCount())
        throw DbError(DbError::kInvalidArgument,
                      QStringLiteral("Érvénytelen mezősorszám: %1").arg(column));
    buffer_[static_cast<size_t>(column)] = value;
    assigned_[static_cast<size_t>(column)] = true;
}

void Dataset::setValue(const QString& name, const QVariant& value) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(DbError::kInvalidArgument, QStringLiteral("Nincs ilyen mező: %1").arg(name));
    setValue(i, value);
}

RowRef Dataset::ownRow(const std::vector<QVariant>& values) {
    const size_t n = fields_.size();
    std::vector<std::optional<QByteArray>> cells(n);
    for (size_t i = 0; i < n && i < values.size(); ++i)
        if (!values[i].isNull()) cells[i] = wireText(fields_[i], values[i]);
    PackedRows& owned = ownedRows_.emplace_back(n);
    owned.add(cells);
    return owned.rows().front();
}

void Dataset::replaceRow(int row, const ResultSetPtr& reread, const std::vector<QVariant>& values) {
    if (reread && reread->rowCount() > 0 &&
        static_cast<size_t>(reread->fields().size()) == fields_.size()) {
        rows_[static_cast<size_t>(row)] = reread->row(0);
        results_.push_back(reread);
    } else {
        rows_[static_cast<size_t>(row)] = ownRow(values);
    }
}

void Dataset::post() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    if (beforePost_) beforePost_(*this);
    if (state_ == State::Insert) {
        const ResultSetPtr stored = applyInsert(buffer_, assigned_);
        replaceRow(insertedRow_, stored, buffer_);
        state_ = State::Browse;
        const int row = insertedRow_;
        insertedRow_ = -1;
        emit rowChanged(row);
    } else {
        const ResultSetPtr stored = applyUpdate(current_, buffer_);
        replaceRow(current_, stored, buffer_);
        state_ = State::Browse;
        emit rowChanged(current_);
    }
    buffer_.clear();
}

void Dataset::cancel() {
    if (state_ == State::Insert) {
        emit aboutToRemoveRow(insertedRow_);
        rows_.erase(rows_.begin() + insertedRow_);
        const int removed = insertedRow_;
        insertedRow_ = -1;
        state_ = State::Browse;
        buffer_.clear();
        emit rowRemoved(removed);
        current_ = -2;  // force the scroll notification
        setCurrent(rows_.empty() ? -1 : std::clamp(rowBeforeInsert_, 0, recordCount() - 1));
    } else if (state_ == State::Edit) {
        state_ = State::Browse;
        buffer_.clear();
    }
}

void Dataset::remove() {
    requireBrowse("delete");
    if (!editable())
        throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
    if (current_ < 0) throw DbError(DbError::kState, QStringLiteral("Nincs törölhető sor."));
    applyDelete(current_);
    const int removed = current_;
    emit aboutToRemoveRow(removed);
    rows_.erase(rows_.begin() + removed);
    emit rowRemoved(removed);
    current_ = -2;
    setCurrent(rows_.empty() ? -1 : std::min(removed, recordCount() - 1));
}

ResultSetPtr Dataset::applyInsert(const std::vector<QVariant>&, const std::vector<bool>&) {
    throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
}

ResultSetPtr Dataset::applyUpdate(int, const std::vector<QVariant>&) {
    throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
}

void Dataset::applyDelete(int) {
    throw DbError(DbError::kNotEditable, QStringLiteral("Az adathalmaz csak olvasható."));
}

QString Dataset::quotedName(const QString& name) const {
    QString quoted = name;
    quoted.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + quoted + QLatin1Char('`');
}

QString Dataset::literal(int column, const QVariant& value) const {
    if (value.isNull()) return QStringLiteral("NULL");
    const Field& f = field(column);
    bool ok = true;
    QString text;
    switch (f.kind) {
        case FieldKind::Integer:
        case FieldKind::LargeInt:
            if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
                return QStringLiteral("NULL");
            text = QString::number(toInteger(value, &ok));
            break;
        case FieldKind::Float:
        case FieldKind::Decimal: {
            if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
                return QStringLiteral("NULL");
            const double d = toDouble(value, &ok);
            text = ValueText(QVariant(d));
            break;
        }
        case FieldKind::Date:
            if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
                const QDate d = value.toDate();
                if (!d.isValid()) return QStringLiteral("NULL");
                return QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd")) +
                       QLatin1Char('\'');
            }
            return SqlQuote(value);
        case FieldKind::Time:
            if (value.typeId() == QMetaType::QTime)
                return QLatin1Char('\'') + value.toTime().toString(QStringLiteral("hh:mm:ss")) +
                       QLatin1Char('\'');
            return SqlQuote(value);
        case FieldKind::DateTime:
            if (value.typeId() == QMetaType::QDateTime)
                return QLatin1Char('\'') +
                       value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                       QLatin1Char('\'');
            return SqlQuote(value);
        case FieldKind::Binary: {
            const QByteArray bytes = value.toByteArray();
            return bytes.isEmpty() ? QStringLiteral("''")
                                   : QStringLiteral("X'") + QString::fromLatin1(bytes.toHex()) +
                                         QLatin1Char('\'');
        }
        case FieldKind::Text:
        case FieldKind::Memo:
            return SqlQuote(value);
    }
    if (!ok)
        throw DbError(DbError::kInvalidArgument,
                      QStringLiteral("A(z) „%1” mezőbe számot kell írni (például 1500 vagy "
                                     "12,5); „%2” nem szám.")
                          .arg(f.label, value.toString()));
    return text;
}

// ---------------------------------------------------------------- Query

QString Query::expandedSql() const {
    const QString text = sql_.join(QLatin1Char('\n'));
    if (params_.isEmpty()) return text;
    QString out;
    out.reserve(text.size() + 16);
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == QLatin1Char('\\') && i + 1 < text.size()) {
                out += text.at(++i);
            } else if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            quote = c;
            out += c;
            continue;
        }
        const bool startsName =
            c == QLatin1Char(':') && i + 1 < text.size() &&
            (text.at(i + 1).isLetter() || text.at(i + 1) == QLatin1Char('_')) &&
            (i == 0 || (!text.at(i - 1).isLetterOrNumber() && text.at(i - 1) != QLatin1Char(':')));
        if (!startsName) {
            out += c;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() &&
               (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('_')))
            ++end;
        const QString name = text.mid(i + 1, end - i - 1);
        const auto it = params_.constFind(name);
        if (it == params_.constEnd()) {
            out += text.mid(i, end - i);
        } else if (it->isNull()) {
            out += QStringLiteral("NULL");
        } else if (it->typeId() == QMetaType::QString || it->typeId() == QMetaType::QDate ||
                   it->typeId() == QMetaType::QDateTime || it->typeId() == QMetaType::QTime) {
            out += SqlQuote(*it);
        } else {
            out += ValueText(*it);
        }
        i = end - 1;
    }
    return out;
}

ResultSetPtr Query::fetch() { return connection()->query(expandedSql()); }

// ---------------------------------------------------------------- Table

ResultSetPtr Table::fetch() {
    QString sql = QStringLiteral("SELECT * FROM ") + quotedName(tableName_);
    if (!orderBy_.isEmpty()) sql += QStringLiteral(" ORDER BY ") + orderBy_;
    return connection()->query(sql);
}

ResultSetPtr Table::reread(const QString& condition) {
    return connection()->query(QStringLiteral("SELECT * FROM ") + quotedName(tableName_) +
                               QStringLiteral(" WHERE ") + condition);
}

QString Table::keyCondition(int row) const {
    const int key = keyColumn();
    if (key < 0)
        throw DbError(DbError::kNotEditable,
                      QStringLiteral("A(z) %1 táblának nincs elsődleges kulcsa.").arg(tableName_));
    return quotedName(field(key).name) + QStringLiteral(" = ") + literal(key, valueAt(row, key));
}

QString Table::originalCondition(int row, int column) const {
    const QString name = quotedName(field(column).name);
    if (isNullAt(row, column)) return name + QStringLiteral(" IS NULL");
    const QVariant original = valueAt(row, column);
    switch (field(column).kind) {
        case FieldKind::Float: {
            // The server sends a DOUBLE in its shortest exact text, so only
            // the last bit may differ after the round trip; a FLOAT reaches
            // the client with six digits. A wider slack would let a
            // change of a large amount by a few units pass as no change.
            const QString v = literal(column, original);
            const char* slack = field(column).singlePrecision ? "1e-5" : "4e-16";
            return QStringLiteral("ABS(%1 - %2) <= %3 * GREATEST(1, ABS(%2))")
                .arg(name, v, QLatin1String(slack));
        }
        case FieldKind::Text:
        case FieldKind::Memo:
            // Byte-exact: the Hungarian collation ignores case and trailing blanks.
            return QStringLiteral("BINARY %1 = %2").arg(name, literal(column, original));
        default:
            return name + QStringLiteral(" = ") + literal(column, original);
    }
}

ResultSetPtr Table::applyInsert(const std::vector<QVariant>& values,
                                const std::vector<bool>& assigned) {
    QStringList names;
    QStringList literals;
    for (int i = 0; i < fieldCount(); ++i) {
        if (!assigned[static_cast<size_t>(i)]) continue;
        names << quotedName(field(i).name);
        literals << literal(i, values[static_cast<size_t>(i)]);
    }
    connection()->store(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quotedName(tableName_), names.join(QLatin1Char(',')),
                                 literals.join(QLatin1Char(','))));
    const int key = keyColumn();
    if (key < 0) return nullptr;
    QVariant keyValue = values[static_cast<size_t>(key)];
    if (field(key).autoIncrement &&
        (!assigned[static_cast<size_t>(key)] || keyValue.isNull() || keyValue.toLongLong() == 0))
        keyValue = QVariant(static_cast<qlonglong>(connection()->lastInsertId()));
    if (keyValue.isNull()) return nullptr;
    return reread(quotedName(field(key).name) + QStringLiteral(" = ") + literal(key, keyValue));
}

bool Table::editChangesRow() const {
    if (state() != State::Edit) return false;
    const int row = currentRow();
    for (int i = 0; i < fieldCount(); ++i)
        if (literal(i, value(i)) != literal(i, valueAt(row, i))) return true;
    return false;
}

ResultSetPtr Table::applyUpdate(int row, const std::vector<QVariant>& values) {
    QStringList assignments;
    QStringList conditions{keyCondition(row)};
    const int key = keyColumn();
    QVariant keyValue = valueAt(row, key);
    for (int i = 0; i < fieldCount(); ++i) {
        const QVariant& now = values[static_cast<size_t>(i)];
        const QString newLiteral = literal(i, now);
        if (newLiteral == literal(i, valueAt(row, i))) continue;
        assignments << quotedName(field(i).name) + QStringLiteral(" = ") + newLiteral;
        if (i != key) conditions << originalCondition(row, i);
        if (i == key) keyValue = now;
    }
    if (assignments.isEmpty()) return nullptr;
    connection()->store(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(quotedName(tableName_), assignments.join(QStringLiteral(", ")),
                                 conditions.join(QStringLiteral(" AND "))));
    if (connection()->affectedRows() == 0)
        throw DbError(DbError::kRowChanged,
                      QStringLiteral("A sort időközben egy másik felhasználó módosította vagy "
                                     "törölte, ezért a változtatás nem menthető. Frissítse a "
                                     "listát, és végezze el újra a módosítást."));
    return reread(quotedName(field(key).name) + QStringLiteral(" = ") + literal(key, keyValue));
}

void Table::applyDelete(int row) {
    connection()->exec(
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(quotedName(tableName_), keyCondition(row)));
    if (connection()->affectedRows() == 0)
        throw DbError(DbError::kRowChanged,
                      QStringLiteral("A sort időközben egy másik felhasználó már törölte."));
}

}  // namespace zomi::dbaccess
