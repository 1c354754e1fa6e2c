#pragma once

// What the start-up does for a work order's files once the user has logged
// in: names the user and workstation for the history triggers on the main
// session (and on every session that replaces it), and offers an
// administrator to add the tables to a database that lacks them. A refusal
// is remembered per database in the settings file.

#include <QString>

class QWidget;

namespace zomi::dbaccess {
class Connection;
}

namespace zomi {

// Names the user for the session; after a login as administrator (a
// database that asks for one) also offers the tables when they are missing.
void StartWorkFileSession(dbaccess::Connection& connection, QWidget* owner);

// The offer itself, asked again whatever was answered before: from the
// register's menu, also for a database that asks for no login. True when the
// tables are there afterwards.
bool OfferWorkFile(dbaccess::Connection& connection, QWidget* owner);

// The settings key under which a refusal for the connection's database is kept.
QString WorkFileRefusalKey(const dbaccess::Connection& connection);

}  // namespace zomi
