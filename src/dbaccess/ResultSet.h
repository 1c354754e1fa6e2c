#pragma once

#include <memory>
#include <vector>

#include "dbaccess/Field.h"
#include "dbaccess/PackedRows.h"

struct st_mysql_res;

namespace zomi::dbaccess {

// A complete result fetched from the server, its rows packed into one
// buffer (the client library's copy is freed at once).
class ResultSet {
  public:
    explicit ResultSet(st_mysql_res* result);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // The columns of a result as the server declared them.
    static std::vector<Field> describeFields(st_mysql_res* result);

    const std::vector<Field>& fields() const { return fields_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    RowRef row(int index) const { return rows_[static_cast<size_t>(index)]; }

  private:
    std::vector<Field> fields_;
    PackedRows packed_;
    std::vector<RowRef> rows_;
};

using ResultSetPtr = std::shared_ptr<const ResultSet>;

}  // namespace zomi::dbaccess
