#pragma once

// One simulated workstation: its own sessions, start-up and login, then a
// clerk's day at the chosen pace through the program's own stores and lists
// (the register's live list and totals, the work-order store, the sheet's
// query, the master-data table) until its time is up, journalling every step.

#include <QString>
#include <functional>
#include <memory>
#include <random>

#include "Journal.h"
#include "LoadOptions.h"
#include "dbaccess/Connection.h"
#include "dbaccess/Dataset.h"

namespace zomi::dbaccess {
class LiveList;
}

namespace zomi::load {

class Clerk {
  public:
    explicit Clerk(const LoadOptions& options);
    ~Clerk();
    Clerk(const Clerk&) = delete;
    Clerk& operator=(const Clerk&) = delete;

    // Works until the run's time is up; false when the start-up never succeeded.
    bool run();

  private:
    bool startUp();
    void openRegister();
    void typeSearch();
    void editOrder();
    void newOrder();
    void readSheet();
    void editContractor();
    void deleteOrder();
    void readTotals();

    // Runs the step, journals its latency or its error; false on an error.
    bool timed(const QString& action, const std::function<void()>& step);
    void noteError(const QString& action, const std::exception& error);
    void think(int ms);
    bool timeIsUp() const;
    int pick(int low, int high);  // inclusive
    int orderToWorkOn();
    QString nextToken();

    LoadOptions options_;
    JournalWriter journal_;
    std::mt19937 random_;
    qint64 endAt_ = 0;
    int sequence_ = 0;
    int sites_ = 1;
    int signatories_ = 1;
    int contractors_ = 1;
    int year_ = 0;
    QList<int> created_;
    dbaccess::Connection connection_;
    dbaccess::Query list_;
    dbaccess::Query totals_;
    std::unique_ptr<dbaccess::LiveList> live_;
    QString listError_;
};

// The workstation process: number index of the run the options describe.
int RunWorkstation(const LoadOptions& options);

}  // namespace zomi::load
