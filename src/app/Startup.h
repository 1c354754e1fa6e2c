#pragma once

// The start-up: where the settings file lives, which profiles it lists, the
// settings read into Beall and written back at exit, the connection
// parameters of a profile, and the whole sequence from choosing a profile to
// the logged-in user that the register window runs when it is created.

#include <QRect>
#include <QString>
#include <QStringList>

#include "dbaccess/Connection.h"

class QWidget;

namespace zomi {

// The folder of the settings file: the override when given; else the
// program's folder when Zomi.ini stands there; else AllUsersDataDir(),
// created when missing. Sets DataDir and SettingsPath.
void SettleDataDir(const QString& overrideDir);

struct ProfileList {
    QStringList lines;     // "N; display name"
    QStringList profiles;  // the plain profile texts, in the same order
};

// Profiles "ConStr1" to "ConStr25" whose display name is not empty.
ProfileList ListProfiles();

// Steps of the settings read that follow the choice of a profile. An amount
// pattern that cannot be read is replaced by the default for this run (the
// settings file keeps it); the result is then the message about it, else empty.
QString ReadRemainingSettings();
QRect ReadScreenBounds();
// Writes the settings back at exit, in the order the settings file expects.
void SaveSettings(const QRect& bounds);

// The five connection fields of a profile text; a port that is not a whole
// number fails here, before any connection is tried.
dbaccess::ConnectionParams ParamsFromProfile(const QString& profile);

// VanBelep := whether beallit asks for a login; RightsEnforced := whether the
// users' rights guard what they name.
void ReadLoginRequired();

// "Zomi: [issuer]" from the first row of the issuer table.
QString IssuerCaption();

// The lowest profile number from 1 to 100 that the settings file does not use
// yet, 0 when all of them are taken.
int FreeProfileNumber();

// Stores the profile text scrambled under the lowest free number and returns
// that number.
int StoreNewProfile(const QString& profile);

// For scripted installs: stores the profile under the lowest free number
// unless a stored profile already equals it. Returns its number.
int StoreProfileOnce(const QString& profile);

// What the start-up sequence leaves for the register window.
struct StartUpOutcome {
    bool failed = false;       // the register closes again and nothing is saved
    QRect bounds;              // the window's bounds from the settings
    QString applicationTitle;  // "Zomi - " and the database's display name
    QString caption;           // the issuer caption, once the database is open
};

// The start-up sequence: the profile chosen (or the first one set up), the
// remaining settings read, the main connection opened, the login when the
// database asks for one, the issuer caption read and the statuses brought
// up to date. Every failure is shown to the owner, in the words of its
// step, and ends the sequence as failed.
StartUpOutcome RunStartUp(dbaccess::Connection& connection, QWidget* owner);

}  // namespace zomi
