#pragma once

// What no load may break, checked from the database itself once every
// workstation has stopped, against what the workstations were told.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include "Journal.h"

namespace zomi::dbaccess {
class Connection;
}

namespace zomi::load {

// The rows before the run: each work order's fee and each contractor's
// telephone, the values the workstations' changes replace.
struct StartState {
    QHash<int, QString> orderFees;
    QHash<int, QString> contractorPhones;
};

StartState ReadStartState(dbaccess::Connection& connection);

// Each broken invariant as one line naming it; empty when all held.
QStringList CheckInvariants(dbaccess::Connection& connection, const StartState& start,
                            const Journal& journal);

}  // namespace zomi::load
