#pragma once

#include <QString>

namespace zomi::dbaccess {

enum class FieldKind {
    Integer,
    LargeInt,
    Float,
    Decimal,
    Date,
    Time,
    DateTime,
    Text,
    Memo,
    Binary,
};

// Description of one column of a dataset, as the server declared it, plus
// what the windows attach to it (label, display format, tag).
struct Field {
    QString name;
    QString label;  // column title; the name unless a window sets one
    FieldKind kind = FieldKind::Text;
    int size = 0;  // characters for Text, otherwise the server's display width
    bool primaryKey = false;
    bool autoIncrement = false;
    bool singlePrecision = false;  // a FLOAT column: the server sends six digits of it
    bool notNull = false;
    bool hasDefault = true;
    unsigned collationId = 0;  // the server's number of the column's collation
    QString displayFormat;     // amount pattern such as "### ### ##0" for numeric fields
    int tag = 0;
    bool visible = true;

    bool isNumeric() const {
        return kind == FieldKind::Integer || kind == FieldKind::LargeInt ||
               kind == FieldKind::Float || kind == FieldKind::Decimal;
    }
    bool isTextual() const { return kind == FieldKind::Text || kind == FieldKind::Memo; }
};

}  // namespace zomi::dbaccess
