#pragma once

// The start-up steps that need no window: where the settings file lives,
// which profiles it lists, the settings read into Beall and written back at
// exit, and the connection parameters of a profile.

#include <QRect>
#include <QString>
#include <QStringList>

#include "dbaccess/Connection.h"

namespace zomi {

// The folder of the settings file: the override when given; else the
// program's folder when Zomi.ini stands there; else the all-users data
// folder + "/Zomi.Net", created when missing. Sets DataDir and SettingsPath.
void SettleDataDir(const QString& overrideDir);

struct ProfileList {
    QStringList lines;     // "N; display name"
    QStringList profiles;  // the plain profile texts, in the same order
};

// Profiles "ConStr1" to "ConStr25" whose display name is not empty.
ProfileList ListProfiles();

// Steps of the settings read that follow the choice of a profile.
void ReadRemainingSettings();
QRect ReadScreenBounds();
// Writes the settings back at exit, in the order the settings file expects.
void SaveSettings(const QRect& bounds);

// The five connection fields of a profile text; a port that is not a whole
// number fails here, before any connection is tried.
dbaccess::ConnectionParams ParamsFromProfile(const QString& profile);

// VanBelep := whether beallit asks for a login.
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

}  // namespace zomi
