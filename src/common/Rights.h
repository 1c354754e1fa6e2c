#pragma once

// What the user's rights let him do. The database-wide setting (read into
// Beall.RightsEnforced) decides whether they guard anything: when it is on,
// the user administration, the connection profiles with the backups, the SQL
// console and the settings are for administrators, master-data changes need
// the master-data right and printing and exports the print right. Without a
// login every user holds every right.

#include <QString>

namespace zomi {

enum class Right { Administrator, MasterData, Print };

// Whether the logged-in user may do what the right guards.
bool HasRight(Right right);

// The right's name as the user administration shows it.
QString RightName(Right right);

// The refusal of something the right guards: names the right.
QString RightRefusal(Right right);

// The hint of an action the user may not use: its own hint and the right.
QString RightHint(const QString& hint, Right right);

}  // namespace zomi
