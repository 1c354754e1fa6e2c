#pragma once

// The rules of one work order, apart from the editor that shows it: a new
// work order's number and first values, the required columns and the order
// they are checked in, and storing, with a new number when another
// workstation took the one given at opening and with the conflicts of an
// existing work order told apart. Nothing here shows a window; the editor
// turns the results into boxes.

#include <QDate>
#include <QList>
#include <QString>
#include <memory>

class QObject;

namespace zomi::dbaccess {
class Connection;
class Table;
}  // namespace zomi::dbaccess

namespace zomi {

// One more than the highest serial number of the year's work orders: 1 in a
// year without any.
int NextSerialNumber(int year);
// The number wanted while no work order of the year has it, otherwise the
// next one after the year's highest.
int FreeSerialNumber(int year, int wanted);

struct RequiredColumn {
    QString column;
    QString message;  // what the user is told when it is empty
};

// The columns a work order cannot be stored without, in the order they are checked.
const QList<RequiredColumn>& RequiredColumns();

// The longest job description the munka column holds.
constexpr int kMaxJobLength = 255;

class WorkOrderStore {
  public:
    enum class Outcome {
        Stored,
        Renumbered,        // stored, under a number other than the one shown at opening
        DeletedMeanwhile,  // another workstation deleted the work order: nothing stored
        ChangedMeanwhile,  // another workstation changed it: nothing stored
    };
    struct StoreResult {
        Outcome outcome = Outcome::Stored;
        QString takenNumber;   // Renumbered: the number shown at opening
        QString storedNumber;  // Renumbered: the number it was stored under
    };

    // The row's dataset is a child of the owner when one is given (a window
    // whose controls read it), else the store's own.
    explicit WorkOrderStore(dbaccess::Connection* connection, QObject* owner = nullptr);
    ~WorkOrderStore();
    WorkOrderStore(const WorkOrderStore&) = delete;
    WorkOrderStore& operator=(const WorkOrderStore&) = delete;

    // Puts the work order with the key into editing. For -1 a new one with
    // today's dates and the workstation's time, status 1 and the next serial
    // number of the server's year. False when no work order has the key.
    bool open(int key);
    bool isNew() const { return key_ == -1; }
    // The row being edited; valid after open.
    dbaccess::Table& row() const { return *table_; }

    // The work order's number as printed ("2026/00012"), from its serial
    // number and the year of its date.
    QString numberText() const;
    // The same as an expression, for a query that reads more beside it.
    QString numberExpression() const;
    // The first required column the row leaves empty, or nullptr.
    const RequiredColumn* firstMissingColumn() const;

    // The chosen contractor goes into the row with its VAT flag and its
    // rates, made net for a contractor that charges VAT; they replace what
    // the rate boxes held. Nothing changes when a query fails.
    void takeContractor(int contractor, double afakulcs);
    // What the three compute buttons derive; an empty operand counts as 0.
    void computeNetLabourFee();
    void computeNetCallOutFee();
    void computeGrossAndTotal(double afakulcs);

    // Stores the row as one insert or update. Errors other than the outcomes
    // above reach the caller, with the row still in editing.
    StoreResult store();
    // Ends the editing: the stored work order's key when it was stored, or
    // -1 after discarding the changes. Releases the row.
    int finish(bool stored);

  private:
    StoreResult storeNew();
    // Posts the new row under its year's lock, renumbering it while its
    // number is found taken; true when it was.
    bool postUnderYearLock(const QDate& datum);
    StoreResult storeExisting();
    bool rowStillExists() const;

    dbaccess::Connection* connection_;
    QObject* owner_;
    dbaccess::Table* table_ = nullptr;
    std::unique_ptr<dbaccess::Table> ownTable_;
    int key_ = -1;
};

// What the editor tells the user after storing: the new number of a
// renumbered work order, or why nothing was stored; empty when it was stored
// as shown.
QString StoreOutcomeText(const WorkOrderStore::StoreResult& result);

}  // namespace zomi
