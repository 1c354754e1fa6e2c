#include "masterdata/WorkOrderUse.h"

#include "db/DbRoutines.h"

namespace zomi {

namespace {

const QString kQuestion = QStringLiteral("Valóban töröljem a sort?");

// A master-data table whose key column of the same name stands in the work
// orders, and how a work order shows the row once it is gone: the register's
// list, its exports and the printed sheet take the name through an outer
// join (empty), the editor puts its own "<nincs megadva>" there.
struct UsedTable {
    const char* table;
    const char* thisRow;  // accusative: "the one the work orders use"
    const char* what;     // nominative, with its article
    const char* where;    // where the empty name shows
};

const UsedTable kUsedTables[] = {
    {"vallalkozo", "Ezt a vállalkozót", "a vállalkozó",
     "a munkalapok listájában, az exportokban és a nyomtatott munkalapon"},
    {"ktgh", "Ezt a költséghelyet", "a költséghely",
     "a munkalapok listájában, az exportokban és a nyomtatott munkalapon"},
    {"alairas", "Ezt az aláírást", "az aláírás", "az exportokban és a nyomtatott munkalapon"},
    {"statusz", "Ezt a státuszt", "a státusz",
     "a munkalapok listájában, az exportokban és az állapotsor összesítőjében"},
};

const UsedTable* usedTable(const QString& table) {
    for (const UsedTable& used : kUsedTables)
        if (table == QLatin1String(used.table)) return &used;
    return nullptr;
}

}  // namespace

int WorkOrdersUsing(const QString& table, int key) {
    const UsedTable* used = usedTable(table);
    if (!used) return 0;
    return QueryInt(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE %1 = %2;")
                        .arg(QLatin1String(used->table))
                        .arg(key),
                    0);
}

QString DeleteQuestion(const QString& table, int workOrders) {
    const UsedTable* used = usedTable(table);
    if (!used || workOrders <= 0) return kQuestion;
    return QStringLiteral(
               "%1 %2 munkalap használja. Törlése után ezeken a munkalapokon %3 helye üres "
               "lesz %4, a munkalap szerkesztésekor pedig „<nincs megadva>” áll ott.\n\n")
               .arg(QString::fromUtf8(used->thisRow))
               .arg(workOrders)
               .arg(QString::fromUtf8(used->what), QString::fromUtf8(used->where)) +
           kQuestion;
}

}  // namespace zomi
