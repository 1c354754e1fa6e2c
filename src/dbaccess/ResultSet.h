#pragma once

#include <memory>
#include <vector>

#include "dbaccess/Field.h"

struct st_mysql_res;

namespace zomi::dbaccess {

// One row as the dataset sees it: a cell pointer per column (nullptr for
// NULL) and the byte length of each cell. The bytes stay owned by whoever
// produced them (a stored result or an edited row) for the dataset's life.
struct RowRef {
    const char* const* cells = nullptr;
    const unsigned long* lengths = nullptr;
};

// A complete result fetched from the server and kept as the client library
// stored it, so that 200,000 rows cost one allocation per row, not per cell.
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
    st_mysql_res* result_;
    std::vector<Field> fields_;
    std::vector<RowRef> rows_;
    std::vector<unsigned long> lengths_;
};

using ResultSetPtr = std::shared_ptr<const ResultSet>;

}  // namespace zomi::dbaccess
