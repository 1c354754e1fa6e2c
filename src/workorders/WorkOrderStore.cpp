#include "workorders/WorkOrderStore.h"

#include <QDate>
#include <QTime>
#include <optional>
#include <tuple>
#include <utility>

#include "common/Codepage.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Connection.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DbError.h"
#include "workorders/FeeCalculation.h"

namespace zomi {

using dbaccess::DbError;

namespace {

constexpr unsigned kDuplicateKey = 1062;
constexpr unsigned kUnknownColumn = 1054;
// Each attempt finds the year's highest number anew; only a workstation
// storing faster than this one could keep taking it.
constexpr int kMaxAttempts = 100;
constexpr int kSerialLockSeconds = 10;

// Zomi's workstations store a year's new work orders one at a time, under a
// named lock of the server held from the choice of the number to the
// COMMIT: fifty clerks storing at once would otherwise keep taking each
// other's number, each retry racing the others again. The Windows clients
// take no such lock; the unique key and the retry still guard against them,
// and against a lock that was not had within its time.
class YearSerialLock {
  public:
    YearSerialLock(dbaccess::Connection* connection, int year)
        : connection_(connection),
          name_(QStringLiteral("CONCAT('zomi-sorszam-', MD5(DATABASE()), '-', %1)").arg(year)) {
        held_ =
            connection_
                ->scalar(
                    QStringLiteral("SELECT GET_LOCK(%1, %2);").arg(name_).arg(kSerialLockSeconds))
                .text == QLatin1String("1");
    }
    ~YearSerialLock() {
        if (!held_) return;
        try {
            connection_->scalar(QStringLiteral("SELECT RELEASE_LOCK(%1);").arg(name_));
        } catch (const DbError&) {
            // The store's own outcome is what the user reads; the server
            // frees the lock with the session that held it.
        }
    }
    YearSerialLock(const YearSerialLock&) = delete;
    YearSerialLock& operator=(const YearSerialLock&) = delete;

  private:
    dbaccess::Connection* connection_;
    QString name_;
    bool held_ = false;
};

// The editor needs its one row only; the register may hold years of them.
class WorkOrderTable : public dbaccess::Table {
  public:
    WorkOrderTable(dbaccess::Connection* connection, int key, QObject* parent)
        : Table(connection, parent), key_(key) {
        setObjectName(QStringLiteral("TblZomi"));
        setTableName(QStringLiteral("zomi"));
        setKeyField(QStringLiteral("zomi"));
    }

  protected:
    dbaccess::ResultSetPtr fetch() override {
        // No key may select a placeholder row: a new work order reads no row.
        const QString condition = key_ == -1 ? QStringLiteral("1 = 0")
                                             : QStringLiteral("zomi = ") + QString::number(key_);
        return connection()->query(QStringLiteral("SELECT * FROM zomi WHERE ") + condition);
    }

  private:
    int key_;
};

Amount amountOf(const dbaccess::Dataset& row, const QString& column) {
    const QVariant value = row.value(column);
    return value.isNull() ? Amount() : Amount(NullToFloat(value, 0));
}

QVariant variantOf(Amount amount) { return amount ? QVariant(*amount) : QVariant(); }

// A contractor's rate; 0 for none, as the register's fee items read it.
double RateOf(const dbaccess::RowRef& row, size_t column) {
    if (row.isNull(column)) return 0;
    bool ok = false;
    const double rate =
        QString::fromLatin1(row.cell(column), static_cast<qsizetype>(row.length(column)))
            .trimmed()
            .toDouble(&ok);
    return ok ? rate : 0;
}

// The texts of the number taken and of the number stored, in one round trip.
std::pair<QString, QString> NumberTexts(const QVariant& taken, const QVariant& stored, int year) {
    const QString y = QString::number(year);
    const dbaccess::ResultSetPtr texts = MainConnection()->query(
        QStringLiteral("SELECT fn_sorszamstr(%1, %3), fn_sorszamstr(%2, %3);")
            .arg(IdText(taken), IdText(stored), y));
    if (!texts || texts->rowCount() == 0) return {};
    const dbaccess::RowRef row = texts->row(0);
    const auto text = [&row](size_t c) {
        return row.isNull(c) ? QString() : FromCp1250(row.cell(c), row.length(c));
    };
    return {text(0), text(1)};
}

}  // namespace

int NextSerialNumber(int year) {
    const QString y = QString::number(year);
    // The year column of the unique key, in the databases Zomi creates,
    // finds the highest number at once; the Windows clients' databases have
    // none and are searched by the date, which reads every work order.
    try {
        return QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE ev = %1;").arg(y), 0) +
               1;
    } catch (const DbError& error) {
        if (error.code() != kUnknownColumn) throw;
    }
    return QueryInt(QStringLiteral("SELECT MAX(sorszam) FROM zomi WHERE YEAR(datum) = %1;").arg(y),
                    0) +
           1;
}

int FreeSerialNumber(int year, int wanted) {
    const QString y = QString::number(year);
    const QString n = QString::number(wanted);
    const QString sql = QStringLiteral(
        "SELECT IF(EXISTS(SELECT 1 FROM zomi WHERE %1 AND sorszam = %2), "
        "IFNULL((SELECT MAX(sorszam) FROM zomi WHERE %1), 0) + 1, %2);");
    try {
        return QueryInt(sql.arg(QStringLiteral("ev = ") + y, n), wanted);
    } catch (const DbError& error) {
        if (error.code() != kUnknownColumn) throw;
    }
    return QueryInt(sql.arg(QStringLiteral("YEAR(datum) = ") + y, n), wanted);
}

const QList<RequiredColumn>& RequiredColumns() {
    static const QList<RequiredColumn> columns{
        {QStringLiteral("datum"), QStringLiteral("Dátum megadása kötelező")},
        {QStringLiteral("ido"), QStringLiteral("Idő megadása kötelező")},
        {QStringLiteral("vallalkozo"), QStringLiteral("Vállalkozó megadása kötelező")},
        {QStringLiteral("ktgh"), QStringLiteral("Költséghely megadása kötelező")},
        {QStringLiteral("kiad_datum"), QStringLiteral("Kiadás dátum megadása kötelező")},
        {QStringLiteral("hatar_datum"), QStringLiteral("Határidő megadása kötelező")},
        {QStringLiteral("alairas"), QStringLiteral("Aláíró megadása kötelező")},
    };
    return columns;
}

WorkOrderStore::WorkOrderStore(dbaccess::Connection* connection, QObject* owner)
    : connection_(connection), owner_(owner) {}

WorkOrderStore::~WorkOrderStore() = default;

bool WorkOrderStore::open(int key) {
    key_ = key;
    table_ = new WorkOrderTable(connection_, key, owner_);
    if (!owner_) ownTable_.reset(table_);
    table_->open();
    if (key != -1) {
        if (table_->isEmpty()) return false;
        table_->edit();
        return true;
    }
    table_->append();
    const QDate today = QDate::currentDate();
    const QTime now = QTime::currentTime();
    table_->setValue(QStringLiteral("datum"), today);
    table_->setValue(QStringLiteral("ido"), QTime(now.hour(), now.minute(), now.second()));
    table_->setValue(QStringLiteral("kiad_datum"), today);
    table_->setValue(QStringLiteral("hatar_datum"), today);
    table_->setValue(QStringLiteral("statusz"), 1);
    table_->setValue(QStringLiteral("sorszam"), NextSerialNumber(ServerDate().date().year()));
    return true;
}

QString WorkOrderStore::numberExpression() const {
    const QVariant datum = table_->value(QStringLiteral("datum"));
    // Without a date the function shows its own "no year" form.
    const QString year =
        datum.isNull() ? QStringLiteral("NULL") : QString::number(datum.toDate().year());
    return QStringLiteral("fn_sorszamstr(") + IdText(table_->value(QStringLiteral("sorszam"))) +
           QStringLiteral(", ") + year + QStringLiteral(")");
}

QString WorkOrderStore::numberText() const {
    return QueryText(QStringLiteral("SELECT ") + numberExpression() + QStringLiteral(";"),
                     QString());
}

const RequiredColumn* WorkOrderStore::firstMissingColumn() const {
    for (const RequiredColumn& required : RequiredColumns())
        if (table_->isNull(required.column)) return &required;
    return nullptr;
}

void WorkOrderStore::takeContractor(int contractor, double afakulcs) {
    // Everything is read, in one round trip, before anything is set.
    const dbaccess::ResultSetPtr found =
        MainConnection()->query(QStringLiteral("SELECT afas, oradij, kiszdij FROM vallalkozo "
                                               "WHERE vallalkozo=") +
                                QString::number(contractor) + QStringLiteral(";"));
    QString afas;
    double oradij = 0;
    double kiszdij = 0;
    if (found && found->rowCount() > 0) {
        const dbaccess::RowRef row = found->row(0);
        afas = row.isNull(0) ? QString() : FromCp1250(row.cell(0), row.length(0));
        oradij = RateOf(row, 1);
        kiszdij = RateOf(row, 2);
    }
    const NetRates rates = RatesFromContractor(afas, oradij, kiszdij, afakulcs);
    table_->setValue(QStringLiteral("vallalkozo"), contractor);
    table_->setValue(QStringLiteral("afas"), afas);
    table_->setValue(QStringLiteral("munkadij1"), variantOf(rates.munkadij1));
    table_->setValue(QStringLiteral("kiszdij1"), variantOf(rates.kiszdij1));
}

void WorkOrderStore::computeNetLabourFee() {
    table_->setValue(QStringLiteral("munkadij3"),
                     NetLabourFee(amountOf(*table_, QStringLiteral("munkadij1")),
                                  amountOf(*table_, QStringLiteral("munkadij2"))));
}

void WorkOrderStore::computeNetCallOutFee() {
    table_->setValue(QStringLiteral("kiszdij3"),
                     NetCallOutFee(amountOf(*table_, QStringLiteral("kiszdij1")),
                                   amountOf(*table_, QStringLiteral("kiszdij2"))));
}

void WorkOrderStore::computeGrossAndTotal(double afakulcs) {
    const GrossAmounts gross = GrossAndTotal(
        amountOf(*table_, QStringLiteral("munkadij3")),
        amountOf(*table_, QStringLiteral("kiszdij3")), amountOf(*table_, QStringLiteral("anyag3")),
        NullToText(table_->value(QStringLiteral("afas")), QString()), afakulcs);
    table_->setValue(QStringLiteral("munkadij4"), gross.munkadij4);
    table_->setValue(QStringLiteral("kiszdij4"), gross.kiszdij4);
    table_->setValue(QStringLiteral("anyag4"), gross.anyag4);
    table_->setValue(QStringLiteral("ossz"), gross.ossz);
}

WorkOrderStore::StoreResult WorkOrderStore::store() {
    return isNew() ? storeNew() : storeExisting();
}

bool WorkOrderStore::postUnderYearLock(const QDate& datum) {
    // The lock is held only while the number is chosen and stored.
    std::optional<YearSerialLock> lock;
    bool renumbered = false;
    if (datum.isValid()) {
        lock.emplace(table_->connection(), datum.year());
        // Another workstation may have stored this number since it was
        // taken: the next free one is chosen now rather than after a
        // refused INSERT, so that the lock is held for fewer statements
        // while other workstations wait for it.
        const QVariant taken = table_->value(QStringLiteral("sorszam"));
        if (!taken.isNull()) {
            const int free = FreeSerialNumber(datum.year(), taken.toInt());
            if (free != taken.toInt()) {
                table_->setValue(QStringLiteral("sorszam"), free);
                renumbered = true;
            }
        }
    }
    // A save the server refused as a whole (a deadlock, or on a cluster a
    // node that certified another workstation's work order first) the
    // connection runs again itself; the number is then found taken here.
    for (int attempt = 1;; ++attempt) {
        try {
            table_->post();
            return renumbered;
        } catch (const DbError& error) {
            const bool numberTaken = error.code() == kDuplicateKey &&
                                     error.message().contains(QLatin1String("ev_sorszam"));
            if (!numberTaken || attempt == kMaxAttempts) throw;
            if (!datum.isValid()) continue;
            table_->setValue(QStringLiteral("sorszam"), NextSerialNumber(datum.year()));
            renumbered = true;
        }
    }
}

WorkOrderStore::StoreResult WorkOrderStore::storeNew() {
    // The number was taken when the window opened; another workstation may
    // have stored a work order with it since, which the database refuses.
    const QVariant takenSerial = table_->value(QStringLiteral("sorszam"));
    // The number must be free in the year of the row's own date, which is
    // the year the database holds it unique in.
    const QDate datum = table_->value(QStringLiteral("datum")).toDate();
    const bool renumbered = postUnderYearLock(datum);
    StoreResult result;
    if (renumbered) {
        result.outcome = Outcome::Renumbered;
        std::tie(result.takenNumber, result.storedNumber) =
            NumberTexts(takenSerial, table_->value(QStringLiteral("sorszam")), datum.year());
    }
    return result;
}

WorkOrderStore::StoreResult WorkOrderStore::storeExisting() {
    StoreResult result;
    // An update without changes is not even sent, so it cannot tell that the
    // row is gone: ask first. An update that is sent names the row's key and
    // read values, and changes no row when either changed meanwhile.
    if (!table_->editChangesRow() && !rowStillExists()) {
        result.outcome = Outcome::DeletedMeanwhile;
        return result;
    }
    try {
        table_->post();
    } catch (const DbError& error) {
        if (error.code() != DbError::kRowChanged) throw;
        result.outcome = rowStillExists() ? Outcome::ChangedMeanwhile : Outcome::DeletedMeanwhile;
    }
    return result;
}

bool WorkOrderStore::rowStillExists() const {
    return QueryInt(QStringLiteral("SELECT COUNT(*) FROM zomi WHERE zomi=") +
                        QString::number(key_) + QStringLiteral(";"),
                    0) > 0;
}

QString StoreOutcomeText(const WorkOrderStore::StoreResult& result) {
    switch (result.outcome) {
        case WorkOrderStore::Outcome::Stored:
            return QString();
        case WorkOrderStore::Outcome::Renumbered:
            return QStringLiteral(
                       "A munkalap sorszáma megváltozott: a(z) %1 sorszámot "
                       "időközben egy másik munkalap kapta meg, ezért ez a munkalap "
                       "a(z) %2 sorszámmal lett mentve.")
                .arg(result.takenNumber, result.storedNumber);
        case WorkOrderStore::Outcome::DeletedMeanwhile:
            return QStringLiteral(
                "Ezt a munkalapot időközben egy másik felhasználó törölte, ezért a változtatások "
                "nem menthetők, és más munkalap sem változott meg.\nA beírt szöveget még "
                "kimásolhatja; utána zárja be az ablakot a „Mégsem” gombbal.");
        case WorkOrderStore::Outcome::ChangedMeanwhile:
            return QStringLiteral(
                "Ezt a munkalapot időközben egy másik felhasználó módosította, ezért a "
                "változtatások nem menthetők.\nZárja be az ablakot a „Mégsem” gombbal, nyissa "
                "meg újra a munkalapot, és végezze el újra a módosítást.");
    }
    return QString();
}

int WorkOrderStore::finish(bool stored) {
    if (!table_) return -1;
    int key = -1;
    if (stored) {
        key = NullToInt(table_->value(QStringLiteral("zomi")), 0);
    } else {
        table_->cancel();
    }
    table_->close();
    return key;
}

}  // namespace zomi
