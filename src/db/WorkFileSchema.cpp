#include "db/WorkFileSchema.h"

#include <algorithm>

#include "common/Text.h"
#include "dbaccess/Connection.h"

namespace zomi {

const QString kAttachmentTable = QStringLiteral("zomi_csatolmany");
const QString kAttachmentPieceTable = QStringLiteral("zomi_csatolmany_resz");
const QString kHistoryTable = QStringLiteral("zomi_elozmeny");
const QString kHistoryOffVariable = QStringLiteral("@zomi_elozmeny_ki");

namespace {

// The work order's columns the history follows: every column the stock
// schema gives zomi, the key too (a program may renumber it), not the
// derived invisible ones.
const QStringList& trackedColumns() {
    static const QStringList columns = {
        QStringLiteral("zomi"),       QStringLiteral("datum"),       QStringLiteral("ido"),
        QStringLiteral("sorszam"),    QStringLiteral("vallalkozo"),  QStringLiteral("ktgh"),
        QStringLiteral("kiad_datum"), QStringLiteral("hatar_datum"), QStringLiteral("alairas"),
        QStringLiteral("munka"),      QStringLiteral("munkadij1"),   QStringLiteral("munkadij2"),
        QStringLiteral("munkadij3"),  QStringLiteral("munkadij4"),   QStringLiteral("kiszdij1"),
        QStringLiteral("kiszdij2"),   QStringLiteral("kiszdij3"),    QStringLiteral("kiszdij4"),
        QStringLiteral("anyag3"),     QStringLiteral("anyag4"),      QStringLiteral("ossz"),
        QStringLiteral("statusz"),    QStringLiteral("afas")};
    return columns;
}

const QString kInsertTrigger = QStringLiteral("zomi_elozmeny_uj");
const QString kUpdateTrigger = QStringLiteral("zomi_elozmeny_modosit");
const QString kDeleteTrigger = QStringLiteral("zomi_elozmeny_torol");

// One history row: the server fills in the time; the session's variables
// name the Zomi user and workstation, USER() the server account and host.
QString historyInsert(const QString& key, char action, const QString& column,
                      const QString& oldValue, const QString& newValue) {
    return QStringLiteral(
               "INSERT INTO zomi_elozmeny (zomi, muvelet, oszlop, regi, uj, felhasznalo, gep, "
               "fiok, kapcsolat) VALUES (%1, '%2', '%3', %4, %5, @zomi_felhasznalo, @zomi_gep, "
               "USER(), CONNECTION_ID());")
        .arg(key, QChar::fromLatin1(action), column, oldValue, newValue);
}

QString triggerStatement(const QString& name, const QString& event, const QString& body) {
    return QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS %1 AFTER %2 ON zomi FOR EACH ROW\n"
               "BEGIN\n  IF %3 IS NULL THEN\n%4  END IF;\nEND")
        .arg(name, event, kHistoryOffVariable, body);
}

// Codes with which a server refuses a trigger for want of a right: the
// TRIGGER privilege, or SUPER while the binary log is on.
bool isMissingRight(int code) { return code == 1142 || code == 1227 || code == 1419; }

}  // namespace

const QStringList& WorkFileTables() {
    static const QStringList tables = {kAttachmentTable, kAttachmentPieceTable, kHistoryTable};
    return tables;
}

bool IsWorkFileTable(const QString& table) {
    return WorkFileTables().contains(table, Qt::CaseInsensitive);
}

QStringList WorkFileTableStatements() {
    // Every table InnoDB with a primary key, as a cluster needs. A file's name
    // is kept as UTF-8 bytes: a name may hold letters no code page has.
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS zomi_csatolmany (\n"
                           "  csatolmany  INT           NOT NULL AUTO_INCREMENT,\n"
                           "  zomi        INT           NOT NULL,\n"
                           "  nev         VARBINARY(1020) NOT NULL,\n"
                           "  tipus       VARCHAR(100)  CHARACTER SET ascii NOT NULL DEFAULT '',\n"
                           "  meret       BIGINT        NOT NULL,\n"
                           "  sha256      CHAR(64)      CHARACTER SET ascii NOT NULL,\n"
                           "  reszek      INT           NOT NULL,\n"
                           "  felhasznalo VARCHAR(50)   NULL,\n"
                           "  gep         VARCHAR(100)  NULL,\n"
                           "  felveve     DATETIME      NOT NULL DEFAULT CURRENT_TIMESTAMP,\n"
                           "  PRIMARY KEY (csatolmany),\n"
                           "  KEY zomi (zomi)\n"
                           ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS zomi_csatolmany_resz (\n"
                           "  csatolmany  INT         NOT NULL,\n"
                           "  resz        INT         NOT NULL,\n"
                           "  adat        MEDIUMBLOB  NOT NULL,\n"
                           "  PRIMARY KEY (csatolmany, resz)\n"
                           ") ENGINE=InnoDB"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS zomi_elozmeny (\n"
                           "  elozmeny    BIGINT        NOT NULL AUTO_INCREMENT,\n"
                           "  zomi        INT           NOT NULL,\n"
                           "  mikor       DATETIME(6)   NOT NULL DEFAULT CURRENT_TIMESTAMP(6),\n"
                           "  kapcsolat   BIGINT        NOT NULL,\n"
                           "  muvelet     CHAR(1)       NOT NULL,\n"
                           "  oszlop      VARCHAR(64)   NOT NULL,\n"
                           "  regi        TEXT          NULL,\n"
                           "  uj          TEXT          NULL,\n"
                           "  felhasznalo VARCHAR(50)   NULL,\n"
                           "  gep         VARCHAR(100)  NULL,\n"
                           "  fiok        VARCHAR(200)  NOT NULL,\n"
                           "  PRIMARY KEY (elozmeny),\n"
                           "  KEY zomi (zomi, elozmeny)\n"
                           ") ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci")};
}

QStringList HistoryTriggerStatements() {
    // 'U' a new work order (its values set), 'M' a change (each changed
    // column), 'T' a deletion (the values it had).
    QString inserted, changed, deleted;
    for (const QString& c : trackedColumns()) {
        inserted += QStringLiteral("    IF NEW.%1 IS NOT NULL THEN %2 END IF;\n")
                        .arg(c, historyInsert(QStringLiteral("NEW.zomi"), 'U', c,
                                              QStringLiteral("NULL"), QStringLiteral("NEW.") + c));
        changed +=
            QStringLiteral("    IF NOT (OLD.%1 <=> NEW.%1) THEN %2 END IF;\n")
                .arg(c, historyInsert(QStringLiteral("NEW.zomi"), 'M', c,
                                      QStringLiteral("OLD.") + c, QStringLiteral("NEW.") + c));
        deleted += QStringLiteral("    IF OLD.%1 IS NOT NULL THEN %2 END IF;\n")
                       .arg(c, historyInsert(QStringLiteral("OLD.zomi"), 'T', c,
                                             QStringLiteral("OLD.") + c, QStringLiteral("NULL")));
    }
    return {triggerStatement(kInsertTrigger, QStringLiteral("INSERT"), inserted),
            triggerStatement(kUpdateTrigger, QStringLiteral("UPDATE"), changed),
            triggerStatement(kDeleteTrigger, QStringLiteral("DELETE"), deleted)};
}

QStringList DataTables(dbaccess::Connection& connection) {
    QStringList tables = connection.baseTables();
    tables.erase(std::remove_if(tables.begin(), tables.end(), IsWorkFileTable), tables.end());
    return tables;
}

WorkFileState ReadWorkFileState(dbaccess::Connection& connection) {
    WorkFileState state;
    QStringList found;
    const auto tables = connection.query(QStringLiteral(
        "SELECT LOWER(TABLE_NAME) FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
        "DATABASE() AND TABLE_NAME IN ('zomi_csatolmany', 'zomi_csatolmany_resz', "
        "'zomi_elozmeny')"));
    for (int r = 0; r < tables->rowCount(); ++r)
        found << QString::fromLatin1(tables->row(r).cell(0));
    state.attachments = found.contains(kAttachmentTable) && found.contains(kAttachmentPieceTable);
    state.history = found.contains(kHistoryTable);
    return state;
}

WorkFileInstall InstallWorkFile(dbaccess::Connection& connection) {
    WorkFileInstall install;
    for (const QString& statement : WorkFileTableStatements()) connection.exec(statement);
    try {
        for (const QString& statement : HistoryTriggerStatements()) connection.exec(statement);
    } catch (const dbaccess::DbError& e) {
        if (!isMissingRight(e.code())) throw;
        install.historyNote =
            QStringLiteral(
                "A csatolmányok táblái elkészültek, de a változások előzményeit a kiszolgáló "
                "nem engedte rögzíteni: ehhez a(z) %1 fióknak TRIGGER jogosultság kell az "
                "adatbázisra (bináris napló mellett SUPER jog, vagy a "
                "log_bin_trust_function_creators beállítás). A kiszolgáló válasza:\n%2")
                .arg(connection.params().user, e.message());
    }
    install.state = ReadWorkFileState(connection);
    return install;
}

QString WorkFileOfferText() {
    return QStringLiteral(
        "A munkalapok csatolmányaihoz (számlák, fényképek) és a változások előzményeihez a "
        "Zomi saját táblákat ad az adatbázishoz:\n"
        "  zomi_csatolmany, zomi_csatolmany_resz: a csatolt fájlok,\n"
        "  zomi_elozmeny: ki, mikor, mit változtatott a munkalapokon,\n"
        "és három triggert a zomi táblán, amelyek minden program változtatását az előzmények "
        "közé írják. A meglévő táblák és adatok nem változnak; a Windows-os programok ugyanúgy "
        "használhatják az adatbázist.\n\n"
        "Ha most nem, a Zomi belépéskor nem kérdezi újra ennél az adatbázisnál; később a "
        "„Rendszer” menü „Csatolmányok és előzmények...” pontjából adhatók hozzá.\n\n"
        "Hozzáadjam ezeket az adatbázishoz?");
}

void NameSessionUser(dbaccess::Connection& connection, const QString& user, const QString& host) {
    connection.exec(QStringLiteral("SET @zomi_felhasznalo = %1, @zomi_gep = %2")
                        .arg(SqlQuote(user.left(50)), SqlQuote(host.left(100))));
}

}  // namespace zomi
