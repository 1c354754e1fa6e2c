#include "app/ConnectionTest.h"

#include "common/Text.h"
#include "db/ConnectionProfiles.h"
#include "dbaccess/Connection.h"
#include "dbaccess/DbError.h"
#include "ui/Boxes.h"

namespace zomi {

namespace {

const QString kSeparator = QStringLiteral(";");

}  // namespace

bool TryTestConnection(dbaccess::Connection& db, const QString& database, const QString& host,
                       const QString& port, const QString& user, const QString& password,
                       QWidget* owner) {
    db.close();
    bool isNumber = false;
    const int portNumber = port.trimmed().toInt(&isNumber);
    if (!isNumber || portNumber < 0 || portNumber > 65535) {
        ErrorBox(QStringLiteral("Hiba: A port nem érvényes szám: \"%1\"").arg(port), owner);
        return false;
    }
    dbaccess::ConnectionParams params;
    params.database = database;
    params.host = host;
    params.port = static_cast<unsigned>(portNumber);
    params.user = user;
    params.password = password;
    params.connectTimeoutSeconds = 30;
    params.compress = true;
    // Only whether the server lets us in matters here; the session is
    // never used for data.
    params.setUpSession = false;
    db.setParams(params);
    try {
        db.open();
    } catch (const dbaccess::DbError& error) {
        ErrorBox(ConnectionFailureText(params, error.message()), owner);
    }
    const bool connected = db.isOpen();
    db.close();
    return connected;
}

bool TestProfile(dbaccess::Connection& db, const QString& profile, QWidget* owner) {
    return TryTestConnection(db, FieldOf(kSeparator, profile, 1), FieldOf(kSeparator, profile, 2),
                             FieldOf(kSeparator, profile, 3), FieldOf(kSeparator, profile, 4),
                             FieldOf(kSeparator, profile, 5), owner);
}

}  // namespace zomi
