#pragma once

// The test connection of the start-up windows: whether a server lets the
// user in with the given connection data.

#include <QString>

class QWidget;

namespace zomi {

namespace dbaccess {
class Connection;
}

// Opens db to the given server and closes it again. A failure, a port that is
// not a whole number included, is shown as "Hiba: " and its message; the
// result says whether the connection could be opened.
bool TryTestConnection(dbaccess::Connection& db, const QString& database, const QString& host,
                       const QString& port, const QString& user, const QString& password,
                       QWidget* owner);

// The same over the fields of a profile text.
bool TestProfile(dbaccess::Connection& db, const QString& profile, QWidget* owner);

}  // namespace zomi
