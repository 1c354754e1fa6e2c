#include "support/StatementLog.h"

namespace zomi::test {

using dbaccess::DbError;

namespace {

QByteArray cell(const dbaccess::RowRef& row, int column) {
    return QByteArray(row.cell(column), static_cast<qsizetype>(row.length(column)));
}

}  // namespace

StatementLog::StatementLog(const dbaccess::ConnectionParams& server)
    : admin_(std::make_unique<dbaccess::Connection>()) {
    admin_->setParams(server);
    admin_->open();
    // The log's own reading stays out of it.
    admin_->exec(QStringLiteral("SET SESSION sql_log_off = 1"));
    const dbaccess::ResultSetPtr former =
        admin_->query(QStringLiteral("SELECT @@GLOBAL.log_output, @@GLOBAL.general_log"));
    formerOutput_ = cell(former->row(0), 0);
    formerState_ = cell(former->row(0), 1);
    try {
        admin_->exec(QStringLiteral("SET GLOBAL log_output = 'TABLE', general_log = 1"));
        available_ = true;
    } catch (const DbError&) {
        available_ = false;
    }
}

StatementLog::~StatementLog() {
    if (!available_) return;
    try {
        admin_->exec(
            QStringLiteral("SET GLOBAL general_log = %1, log_output = '%2'")
                .arg(QString::fromLatin1(formerState_), QString::fromLatin1(formerOutput_)));
    } catch (const DbError&) {
        // The server keeps logging until it restarts; nothing a test can do more.
    }
}

QList<QByteArray> StatementLog::statementsOf(unsigned long threadId) const {
    const dbaccess::ResultSetPtr rows = admin_->query(
        QStringLiteral("SELECT argument FROM mysql.general_log WHERE thread_id = %1 AND "
                       "command_type = 'Query' AND event_time >= '%2'")
            .arg(threadId)
            .arg(QString::fromLatin1(since_)));
    QList<QByteArray> statements;
    for (int i = 0; i < rows->rowCount(); ++i) statements << cell(rows->row(i), 0);
    return statements;
}

}  // namespace zomi::test
