#pragma once

// The connection profiles an installation knows, as the profile window keeps
// them: one row per profile, read from and written back to the settings file,
// sorted by any column. A profile's text is database;host;port;user;password;
// display name, stored scrambled under "ConStr" + its number.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "dbaccess/Connection.h"

namespace zomi {

struct ConnectionProfile {
    QString adatbazisnev;  // display name
    QString adatbazis;     // database name
    QString kiszolgalo;    // host
    std::optional<int> port = 3306;
    QString felhasznalo;
    QString jelszo;
    // The structure version the last successful test read; never stored.
    QString verzio;
    // Not empty when the desktop's keyring keeps the password: the settings
    // file then holds an empty password and this id as a seventh field.
    QString keyringId;
    // The keyring gave no password when the profile was read: stored again
    // unchanged, the profile keeps its marker rather than an empty password.
    bool keyringUnanswered = false;
};

// The grid's columns, in the grid's order (the password is never shown).
enum class ProfileColumn { AdatbazisNev, Adatbazis, Kiszolgalo, Port, Felhasznalo, Verzio };

// A column's value as the grid shows it: the port in decimal, empty for none.
QString ProfileColumnText(const ConnectionProfile& profile, ProfileColumn column);

// A profile text's fields by position; missing fields are empty, a port
// that is not a whole number is 0. A seventh field "kulcstarto:" + id marks
// a password kept in the keyring (the password itself is not looked up here).
ConnectionProfile ProfileFromText(const QString& text);
// Every field followed by ";", an empty port as "0"; for a password kept in
// the keyring an empty password and the marker as a seventh field, which the
// Windows clients, reading six fields, pass over.
QString ProfileText(const ConnectionProfile& profile);
// A stored profile text as a connection needs it: with the keyring's
// password in field 5 and without the marker. A keyring that does not answer
// leaves the password empty.
QString PlainProfileText(const QString& stored);

// Profiles "ConStr1" to "ConStr100" that are not empty, in number order,
// those without a display name included, passwords kept in the keyring
// looked up there.
QList<ConnectionProfile> ReadStoredProfiles();
// Stores the list under "ConStr1", "ConStr2" ... in list order and removes
// every other number up to 100, so that nothing stored earlier under a
// higher number is listed again. A password meant for the keyring goes
// there; when no keyring takes it, it is kept scrambled in the file as
// before and the profile's display name is in the result. The keyring
// forgets the passwords of profiles that no longer keep theirs there.
// Throws SettingsError.
QStringList WriteStoredProfiles(const QList<ConnectionProfile>& profiles);

// Ascending by the column, stable, text in Hungarian alphabetical order
// without regard to letter case.
void SortProfiles(QList<ConnectionProfile>& profiles, ProfileColumn column);
// The same as the positions of the profiles in their sorted order.
QList<int> SortedOrder(const QList<ConnectionProfile>& profiles, ProfileColumn column);

// The profile window's own connections: the profile's server with the
// working session set-up (latin2, Hungarian collation, compression, 30
// seconds); an empty port counts as 0, which the client library takes as
// its default.
dbaccess::ConnectionParams ProfileConnectionParams(const ConnectionProfile& profile);

// ";" separates the stored fields, so no field may hold one: the index of
// the first of the texts that does, -1 when none does; and the message that
// refuses it, naming the field by its caption.
int FieldWithSeparator(const QStringList& texts);
QString SeparatorMessage(const QString& caption);

// A connection that could not be opened, in the user's words: which server
// and port it tried, then the server's (or the client library's) own text.
QString ConnectionFailureText(const dbaccess::ConnectionParams& params, const QString& reason);

// The port as typed: empty for none, else a whole number from 0 to 65535.
// False for anything else.
bool PortFromText(const QString& text, std::optional<int>& port);

// The name a backup file is proposed under: database-yyyy-mm-dd-hh-nn-ss,
// 24-hour time.
QString BackupFileProposal(const QString& database, const QDateTime& when);

// "SELECT MAX(verzio) FROM verzio;" on the connection; empty when the table
// is empty. Errors reach the caller.
QString ReadStructureVersion(dbaccess::Connection& connection);

}  // namespace zomi
