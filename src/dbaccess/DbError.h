#pragma once

#include <QString>
#include <stdexcept>

namespace zomi::dbaccess {

// Every failure of the data-access layer: the server's own message where the
// server gave one, so that the window showing it can pass it on unchanged.
class DbError : public std::runtime_error {
  public:
    // Codes of our own, outside the server's and the client library's ranges.
    enum : unsigned {
        kEncoding = 90001,     // a character code page 1250 cannot hold
        kRowChanged = 90002,   // the row was changed or deleted by someone else
        kNotEditable = 90003,  // an edit operation on a read-only dataset
        kState = 90004,        // an operation that the dataset's state does not allow
        kLocate = 90005,       // a locate value that does not fit the field
        kInvalidArgument = 90006,
        kStoredChanged = 90007,  // a write stored, but with a value the server changed
    };

    DbError(unsigned code, const QString& message, const QString& sqlState = QString());

    unsigned code() const { return code_; }
    const QString& message() const { return message_; }
    const QString& sqlState() const { return sqlState_; }

  private:
    unsigned code_;
    QString message_;
    QString sqlState_;
};

}  // namespace zomi::dbaccess
