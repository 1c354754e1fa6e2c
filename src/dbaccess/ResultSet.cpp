#include "dbaccess/ResultSet.h"

#include <mysql.h>

#include <cstring>

#include "common/Codepage.h"

namespace zomi::dbaccess {

namespace {

constexpr unsigned kBinaryCharset = 63;

FieldKind kindOf(const MYSQL_FIELD& f) {
    switch (f.type) {
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_YEAR:
            return FieldKind::Integer;
        case MYSQL_TYPE_LONGLONG:
            return FieldKind::LargeInt;
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
            return FieldKind::Float;
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
            return FieldKind::Decimal;
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
            return FieldKind::Date;
        case MYSQL_TYPE_TIME:
            return FieldKind::Time;
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_TIMESTAMP:
            return FieldKind::DateTime;
        case MYSQL_TYPE_TINY_BLOB:
        case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB:
        case MYSQL_TYPE_BLOB:
            return f.charsetnr == kBinaryCharset ? FieldKind::Binary : FieldKind::Memo;
        case MYSQL_TYPE_BIT:
        case MYSQL_TYPE_GEOMETRY:
            return FieldKind::Binary;
        default:
            return f.charsetnr == kBinaryCharset ? FieldKind::Binary : FieldKind::Text;
    }
}

Field describe(const MYSQL_FIELD& f) {
    Field field;
    field.name = FromCp1250(f.name, f.name_length);
    field.label = field.name;
    field.kind = kindOf(f);
    // The session is single-byte, so the declared length is the character count.
    field.size = static_cast<int>(f.length);
    field.primaryKey = (f.flags & PRI_KEY_FLAG) != 0;
    field.autoIncrement = (f.flags & AUTO_INCREMENT_FLAG) != 0;
    field.singlePrecision = f.type == MYSQL_TYPE_FLOAT;
    field.notNull = (f.flags & NOT_NULL_FLAG) != 0;
    field.hasDefault = (f.flags & NO_DEFAULT_VALUE_FLAG) == 0;
    field.collationId = f.charsetnr;
    return field;
}

}  // namespace

std::vector<Field> ResultSet::describeFields(MYSQL_RES* result) {
    const unsigned columns = mysql_num_fields(result);
    MYSQL_FIELD* defs = mysql_fetch_fields(result);
    std::vector<Field> fields;
    fields.reserve(columns);
    for (unsigned i = 0; i < columns; ++i) fields.push_back(describe(defs[i]));
    return fields;
}

ResultSet::ResultSet(MYSQL_RES* result) : fields_(describeFields(result)), packed_(fields_.size()) {
    struct Release {
        MYSQL_RES* result;
        ~Release() { mysql_free_result(result); }
    } release{result};
    while (MYSQL_ROW cells = mysql_fetch_row(result))
        packed_.add(cells, mysql_fetch_lengths(result));
    packed_.shrink();
    rows_ = packed_.rows();
}

ResultSet::~ResultSet() = default;

}  // namespace zomi::dbaccess
