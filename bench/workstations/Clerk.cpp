#include "Clerk.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "app/RegisterList.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/DbError.h"
#include "dbaccess/LiveList.h"
#include "output/rptZomi.h"
#include "ui/EditWindow.h"
#include "users/Login.h"
#include "workorders/WorkOrderStore.h"

namespace zomi::load {

using dbaccess::DbError;

namespace {

// What a clerk types into the register's search box.
const char* const kSearchWords[] = {"utca", "kft", "kovács", "tér", "lépcső", "nagy", "bt"};
constexpr int kScreenful = 30;
// A first screenful that takes longer than this is reported as an error.
constexpr int kListTimeoutMs = 30000;

QString firstLine(const QString& text) {
    const QString line = text.section(QLatin1Char('\n'), 0, 0);
    return line.size() > 90 ? line.left(90) + QStringLiteral("...") : line;
}

QString tokenOf(const QVariant& value) {
    return value.isNull() ? QStringLiteral("NULL") : NumberToken(value.toDouble());
}

Outcome outcomeOf(WorkOrderStore::Outcome outcome) {
    switch (outcome) {
        case WorkOrderStore::Outcome::Stored:
        case WorkOrderStore::Outcome::Renumbered:
            return Outcome::Acknowledged;
        case WorkOrderStore::Outcome::DeletedMeanwhile:
            return Outcome::Deleted;
        case WorkOrderStore::Outcome::ChangedMeanwhile:
            return Outcome::Conflict;
    }
    return Outcome::Unknown;
}

// The fee, the hours and the deadline as the clerk types them, and the sums
// the editor's buttons derive from them.
void changeFeeAndDeadline(WorkOrderStore& store, const QString& fee, int hours, int days) {
    dbaccess::Table& row = store.row();
    row.setValue(QStringLiteral("munkadij1"), fee.toDouble());
    row.setValue(QStringLiteral("munkadij2"), hours);
    row.setValue(QStringLiteral("hatar_datum"), QDate::currentDate().addDays(days));
    store.computeNetLabourFee();
    store.computeNetCallOutFee();
    store.computeGrossAndTotal(Beall.Afakulcs);
}

}  // namespace

Clerk::Clerk(const LoadOptions& options)
    : options_(options),
      journal_(options.journal),
      random_(options.seed * 7919u + static_cast<quint32>(options.workstationIndex)),
      list_(&connection_),
      totals_(&connection_) {
    endAt_ = QDateTime::currentMSecsSinceEpoch() + qint64(options.seconds) * 1000;
    dbaccess::ConnectionParams params = options.server;
    connection_.setParams(params);
    list_.setSql(RegisterQueryLines());
    list_.setKeyField(QStringLiteral("zomi"));
    totals_.setSql(TotalsQueryLines());
    live_ = std::make_unique<dbaccess::LiveList>(&list_, &connection_);
    live_->setSearchFields(RegisterSearchFields());
    live_->setFirstScreenfulQuery(true);
    live_->setFirstScreenfulSql(RegisterFirstScreenful(&connection_));
    live_->setErrorHandler([this](const std::exception& e) {
        listError_ = QString::fromUtf8(e.what());
        if (const auto* db = dynamic_cast<const DbError*>(&e)) listError_ = db->message();
        noteError(QStringLiteral("register (background)"), e);
    });
}

Clerk::~Clerk() {
    live_->stop();
    connection_.close();
}

bool Clerk::timeIsUp() const { return QDateTime::currentMSecsSinceEpoch() >= endAt_; }

int Clerk::pick(int low, int high) {
    return std::uniform_int_distribution<int>(low, std::max(low, high))(random_);
}

QString Clerk::nextToken() {
    // Far above any fee a contractor's rates give, and never the same twice.
    return NumberToken(options_.run * 1e10 + (options_.workstationIndex + 1) * 1e7 + ++sequence_);
}

void Clerk::noteError(const QString& action, const std::exception& error) {
    QString kind;
    QString text;
    if (const auto* db = dynamic_cast<const DbError*>(&error)) {
        kind = QStringLiteral("error %1").arg(db->code());
        text = db->message();
    } else {
        kind = QStringLiteral("error");
        text = QString::fromUtf8(error.what());
    }
    journal_.message({kind, action + QStringLiteral(": ") + firstLine(text)});
}

bool Clerk::timed(const QString& action, const std::function<void()>& step) {
    QElapsedTimer t;
    t.start();
    try {
        step();
    } catch (const DbError& e) {
        journal_.action({action, static_cast<double>(t.nsecsElapsed()) / 1e6,
                         QStringLiteral("%1 %2").arg(e.code()).arg(firstLine(e.message())),
                         QDateTime::currentMSecsSinceEpoch()});
        noteError(action, e);
        return false;
    } catch (const std::exception& e) {
        journal_.action({action, static_cast<double>(t.nsecsElapsed()) / 1e6,
                         firstLine(QString::fromUtf8(e.what())),
                         QDateTime::currentMSecsSinceEpoch()});
        noteError(action, e);
        return false;
    }
    journal_.action({action, static_cast<double>(t.nsecsElapsed()) / 1e6, QString(),
                     QDateTime::currentMSecsSinceEpoch()});
    return true;
}

void Clerk::think(int ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // A workstation sleeps while its user thinks; the list's answers come meanwhile.
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Clerk::startUp() {
    return timed(QStringLiteral("start-up and login"), [this] {
        connection_.open();
        SetMainConnection(&connection_);
        ReadLoginRequired();
        if (!CheckCredentials(QStringLiteral("admin"), QStringLiteral("admin"), nullptr))
            throw std::runtime_error("the login was refused");
        IssuerCaption();
        UpdateOverdueStatuses();
        year_ = ServerDate().date().year();
        sites_ = QueryInt(QStringLiteral("SELECT MAX(ktgh) FROM ktgh;"), 1);
        signatories_ = QueryInt(QStringLiteral("SELECT MAX(alairas) FROM alairas;"), 1);
        contractors_ = QueryInt(QStringLiteral("SELECT MAX(vallalkozo) FROM vallalkozo;"), 1);
    });
}

void Clerk::openRegister() {
    timed(QStringLiteral("register: year to first screenful"), [this] {
        listError_.clear();
        live_->open(YearCondition(year_), QString(), QStringLiteral("sorszamstr"));
        QElapsedTimer t;
        t.start();
        while (list_.recordCount() < kScreenful && !live_->isLoaded() && listError_.isEmpty()) {
            if (t.elapsed() > kListTimeoutMs)
                throw std::runtime_error("no first screenful within 30 s");
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (!listError_.isEmpty()) throw std::runtime_error(listError_.toStdString());
    });
}

void Clerk::typeSearch() {
    const QString word =
        QString::fromUtf8(kSearchWords[pick(0, static_cast<int>(std::size(kSearchWords)) - 1)]);
    for (qsizetype i = 1; i <= word.size() && !timeIsUp(); ++i) {
        timed(QStringLiteral("search keystroke"), [&] { live_->setSearchText(word.left(i)); });
        think(std::min(options_.thinkMs / 10, 150));
    }
    timed(QStringLiteral("search keystroke"), [&] { live_->setSearchText(QString()); });
}

int Clerk::orderToWorkOn() {
    const int keyColumn = list_.fieldIndex(QStringLiteral("zomi"));
    if (!options_.hotOrders.isEmpty() && (pick(0, 1) == 0 || keyColumn < 0 || list_.isEmpty()))
        return options_.hotOrders.at(pick(0, static_cast<int>(options_.hotOrders.size()) - 1));
    if (keyColumn < 0 || list_.isEmpty()) return -1;
    return list_.valueAt(pick(0, list_.recordCount() - 1), keyColumn).toInt();
}

void Clerk::editOrder() {
    const int key = orderToWorkOn();
    if (key < 0) return;
    WorkOrderStore store(&connection_);
    bool found = false;
    if (!timed(QStringLiteral("open work order"),
               [&] {
                   found = store.open(key);
                   if (found) store.numberText();
               }) ||
        !found) {
        store.finish(false);
        return;
    }
    SaveRecord save;
    save.table = QStringLiteral("zomi");
    save.key = key;
    save.before = tokenOf(store.row().value(QStringLiteral("munkadij1")));
    think(options_.thinkMs / 2);
    save.after = nextToken();
    bool stored = false;
    timed(QStringLiteral("save work order"), [&] {
        changeFeeAndDeadline(store, save.after, pick(1, 8), pick(1, 60));
        save.deadline =
            store.row().value(QStringLiteral("hatar_datum")).toDate().toString(Qt::ISODate);
        save.total = tokenOf(store.row().value(QStringLiteral("ossz")));
        try {
            const WorkOrderStore::StoreResult result = store.store();
            save.outcome = outcomeOf(result.outcome);
            stored = save.outcome == Outcome::Acknowledged;
            if (result.outcome != WorkOrderStore::Outcome::Stored)
                journal_.message({QStringLiteral("work order %1")
                                      .arg(save.outcome == Outcome::Conflict ? "changed meanwhile"
                                                                             : "deleted meanwhile"),
                                  firstLine(StoreOutcomeText(result))});
        } catch (...) {
            save.outcome = Outcome::Unknown;
            journal_.save(save);
            throw;
        }
        journal_.save(save);
    });
    store.finish(stored);
    // The register shown beside the editor shows the change.
    if (stored && !options_.savesOnly) live_->refresh();
}

void Clerk::newOrder() {
    WorkOrderStore store(&connection_);
    if (!timed(QStringLiteral("new work order: open"), [&] { store.open(-1); })) {
        store.finish(false);
        return;
    }
    InsertRecord insert;
    insert.job = QStringLiteral("Terheléses próba %1/%2/%3")
                     .arg(options_.run)
                     .arg(options_.workstationIndex)
                     .arg(sequence_ + 1);
    insert.fee = nextToken();
    const int contractor = options_.hotContractors.isEmpty() || pick(0, 1) == 0
                               ? pick(1, contractors_)
                               : options_.hotContractors.at(
                                     pick(0, static_cast<int>(options_.hotContractors.size()) - 1));
    think(options_.thinkMs / 2);
    bool stored = false;
    timed(QStringLiteral("new work order: save"), [&] {
        store.takeContractor(contractor, Beall.Afakulcs);
        dbaccess::Table& row = store.row();
        row.setValue(QStringLiteral("ktgh"), pick(1, sites_));
        row.setValue(QStringLiteral("alairas"), pick(1, signatories_));
        row.setValue(QStringLiteral("munka"), insert.job);
        changeFeeAndDeadline(store, insert.fee, pick(1, 8), pick(1, 60));
        insert.deadline = row.value(QStringLiteral("hatar_datum")).toDate().toString(Qt::ISODate);
        insert.total = tokenOf(row.value(QStringLiteral("ossz")));
        try {
            const WorkOrderStore::StoreResult result = store.store();
            insert.outcome = Outcome::Acknowledged;
            insert.key = row.value(QStringLiteral("zomi")).toInt();
            insert.year = row.value(QStringLiteral("datum")).toDate().year();
            insert.serial = row.value(QStringLiteral("sorszam")).toInt();
            stored = true;
            if (result.outcome == WorkOrderStore::Outcome::Renumbered)
                journal_.message({QStringLiteral("new work order renumbered"),
                                  firstLine(StoreOutcomeText(result))});
        } catch (...) {
            journal_.insert(insert);
            throw;
        }
        journal_.insert(insert);
    });
    store.finish(stored);
    if (stored) {
        created_ << insert.key;
        if (!options_.savesOnly) live_->refresh();
    }
}

void Clerk::readSheet() {
    const int key = orderToWorkOn();
    if (key < 0) return;
    timed(QStringLiteral("print preview data"), [&] {
        dbaccess::Query sheet(&connection_);
        sheet.setSql(TqrZomi::kSql);
        sheet.setParam(QStringLiteral("pzomi"), key);
        sheet.open();
        dbaccess::Table issuer(&connection_);
        issuer.setTableName(QStringLiteral("tulajdonos"));
        issuer.open();
    });
}

void Clerk::editContractor() {
    const int key = options_.hotContractors.isEmpty() || pick(0, 3) == 0
                        ? pick(1, contractors_)
                        : options_.hotContractors.at(
                              pick(0, static_cast<int>(options_.hotContractors.size()) - 1));
    // As the contractor window's edit window holds it: the whole table, on the row.
    dbaccess::Table table(&connection_);
    table.setTableName(QStringLiteral("vallalkozo"));
    table.setOrderBy(QStringLiteral("vallalkozo"));
    if (!timed(QStringLiteral("open contractor"), [&] {
            table.open();
            EditRowOfKey(table, QStringLiteral("vallalkozo"), key);
        }))
        return;
    SaveRecord save;
    save.table = QStringLiteral("vallalkozo");
    save.key = key;
    save.before = NullToText(table.value(QStringLiteral("telefon")), QString());
    think(options_.thinkMs / 2);
    save.after = QStringLiteral("+36 1 %1-%2-%3")
                     .arg(options_.run)
                     .arg(options_.workstationIndex)
                     .arg(++sequence_);
    timed(QStringLiteral("save contractor"), [&] {
        table.setValue(QStringLiteral("telefon"), save.after);
        try {
            table.post();
            save.outcome = Outcome::Acknowledged;
        } catch (const DbError& e) {
            if (e.code() != DbError::kRowChanged) {
                save.outcome = Outcome::Unknown;
                journal_.save(save);
                throw;
            }
            save.outcome = Outcome::Conflict;
            journal_.message(
                {QStringLiteral("contractor changed meanwhile"), firstLine(e.message())});
            table.cancel();
        }
        journal_.save(save);
    });
}

void Clerk::deleteOrder() {
    if (created_.isEmpty()) return;
    const int key = created_.takeAt(pick(0, static_cast<int>(created_.size()) - 1));
    DeleteRecord record{key, Outcome::Unknown};
    // As the register deletes the current row.
    if (timed(QStringLiteral("delete work order"), [&] {
            ExecSql(QStringLiteral("DELETE FROM zomi WHERE zomi=") + QString::number(key) +
                    QLatin1Char(';'));
        })) {
        record.outcome = Outcome::Acknowledged;
        live_->forget(key);
    }
    journal_.remove(record);
}

void Clerk::readTotals() {
    timed(QStringLiteral("register totals"), [&] {
        totals_.close();
        totals_.open();
    });
}

bool Clerk::run() {
    // At a clerk's pace the staff come in over a think time, as an office's
    // morning does, rather than all in one instant; flat out they do.
    if (options_.thinkMs > 0 && !options_.sameInstant) think(pick(0, options_.thinkMs));
    while (!startUp()) {
        if (timeIsUp()) return false;
        think(std::max(options_.thinkMs, 1000));
    }
    if (!options_.savesOnly) openRegister();
    // A clerk's mix: mostly looking up and changing work orders.
    using Step = std::pair<int, void (Clerk::*)()>;
    const std::vector<Step> clerks = {{8, &Clerk::openRegister}, {14, &Clerk::typeSearch},
                                      {36, &Clerk::editOrder},   {14, &Clerk::newOrder},
                                      {10, &Clerk::readSheet},   {10, &Clerk::editContractor},
                                      {2, &Clerk::deleteOrder},  {6, &Clerk::readTotals}};
    // The writes of the mariadb loop beside which the saves are measured.
    const std::vector<Step> saves = {{5, &Clerk::editOrder}, {2, &Clerk::newOrder}};
    const std::vector<Step>& mix = options_.savesOnly ? saves : clerks;
    int total = 0;
    for (const auto& [weight, step] : mix) total += weight;
    while (!timeIsUp()) {
        int draw = pick(0, total - 1);
        for (const auto& [weight, step] : mix) {
            if (draw < weight) {
                (this->*step)();
                break;
            }
            draw -= weight;
        }
        if (options_.thinkMs > 0)
            think(pick(options_.thinkMs / 2, options_.thinkMs * 3 / 2));
        else
            think(0);
    }
    return true;
}

int RunWorkstation(const LoadOptions& options) {
    try {
        Clerk clerk(options);
        return clerk.run() ? 0 : 3;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "workstation %d: %s\n", options.workstationIndex, e.what());
        return 4;
    }
}

}  // namespace zomi::load
