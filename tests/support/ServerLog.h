#pragma once

#include <QString>

#include "common/Text.h"
#include "db/DbRoutines.h"

namespace zomi::test {

// What the server received on the main connection while this object lived,
// from the server's general log (kept in its table for the time being, and
// put back as it was afterwards). Tests run one at a time, so switching the
// server-wide log does not disturb another test.
class ServerLog {
  public:
    ServerLog()
        : output_(QueryText(QStringLiteral("SELECT @@GLOBAL.log_output;"), QString())),
          enabled_(QueryText(QStringLiteral("SELECT @@GLOBAL.general_log;"), QString())) {
        ExecSql(QStringLiteral("SET GLOBAL log_output = 'TABLE';"));
        ExecSql(QStringLiteral("SET GLOBAL general_log = 1;"));
    }
    ~ServerLog() {
        try {
            ExecSql(QStringLiteral("SET GLOBAL general_log = %1;").arg(enabled_));
            ExecSql(QStringLiteral("SET GLOBAL log_output = %1;").arg(SqlQuote(output_)));
            ExecSql(QStringLiteral("TRUNCATE TABLE mysql.general_log;"));
        } catch (...) {
        }
    }
    ServerLog(const ServerLog&) = delete;
    ServerLog& operator=(const ServerLog&) = delete;

    // Whether any statement of this session held the text. The text is given
    // to the server in halves, so that this very query does not count.
    bool received(const QString& text) const {
        const qsizetype half = text.size() / 2;
        return QueryInt(QStringLiteral("SELECT COUNT(*) FROM mysql.general_log WHERE thread_id = "
                                       "CONNECTION_ID() AND LOCATE(CONCAT(%1, %2), "
                                       "CONVERT(argument USING latin2)) > 0;")
                            .arg(SqlQuote(text.left(half)), SqlQuote(text.mid(half))),
                        0) > 0;
    }

  private:
    QString output_;
    QString enabled_;
};

}  // namespace zomi::test
