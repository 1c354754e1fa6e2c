#pragma once

// What the user reads when the server or the connection refuses a statement.
// The server's own text is English and names columns and keys; the common
// refusals lead instead with a Hungarian sentence that names the box the user
// sees, and keep the server's text on a second line.

#include <QString>
#include <exception>

namespace zomi::dbaccess {

class Dataset;

// For a duplicate key, a row that others still refer to, a reference to a
// missing row, a text too long, a required value left empty, a number out of
// range and a lost connection: the Hungarian sentence, a line break and the
// server's text. Columns are named by the label of the dataset's field when
// the dataset has one (the primary key for "PRIMARY"), else by their own
// name. Any other error gives its own message.
QString RefusalText(const std::exception& error, const Dataset* dataset = nullptr);

}  // namespace zomi::dbaccess
