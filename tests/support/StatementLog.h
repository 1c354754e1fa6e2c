#pragma once

#include <QByteArray>
#include <QList>
#include <memory>

#include "dbaccess/Connection.h"

namespace zomi::test {

// What the server itself received: its general log, kept as a table while
// the log exists and put back as it was afterwards. Needs the right to set
// global variables; available() says whether the server let it.
class StatementLog {
  public:
    explicit StatementLog(const dbaccess::ConnectionParams& server);
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    bool available() const { return available_; }
    // The statements one session sent, in order, as the server got them.
    QList<QByteArray> statementsOf(unsigned long threadId) const;

  private:
    std::unique_ptr<dbaccess::Connection> admin_;
    QByteArray formerOutput_;
    QByteArray formerState_;
    QByteArray since_;
    bool available_ = false;
};

}  // namespace zomi::test
