#include "db/RightsSetting.h"

#include "db/DbRoutines.h"
#include "dbaccess/DbError.h"

namespace zomi {

namespace {

constexpr unsigned kNoSuchTable = 1146;  // ER_NO_SUCH_TABLE

}  // namespace

bool ReadRightsEnforced() {
    try {
        return QueryText(QStringLiteral("SELECT kotelezo FROM jogosultsag;"), QString()) ==
               QStringLiteral("I");
    } catch (const dbaccess::DbError& error) {
        if (error.code() == kNoSuchTable) return false;
        throw;
    }
}

void StoreRightsEnforced(bool enforced) {
    // The same structure as db/schema.sql gives the table.
    ExecSql(
        QStringLiteral("CREATE TABLE IF NOT EXISTS jogosultsag ("
                       "jogosultsag TINYINT NOT NULL DEFAULT 1, "
                       "kotelezo VARCHAR(1) NOT NULL DEFAULT 'N', "
                       "PRIMARY KEY (jogosultsag), "
                       "CONSTRAINT jogosultsag_egy_sor CHECK (jogosultsag = 1)"
                       ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci;"));
    const QString value = enforced ? QStringLiteral("'I'") : QStringLiteral("'N'");
    ExecSql(QStringLiteral("INSERT INTO jogosultsag (jogosultsag, kotelezo) VALUES (1, %1) "
                           "ON DUPLICATE KEY UPDATE kotelezo = %1;")
                .arg(value));
}

}  // namespace zomi
