#pragma once

// The shell folders the application needs, taken from Qt's standard locations
// so that the same code serves Windows and Linux.

#include <QString>

namespace zomi {

enum class SpecialFolderId {
    CommonAppData,  // data shared by all users of the machine
    Documents,      // the user's documents
};

// The folder's path without a trailing separator, or empty text when the
// system cannot name it.
QString SpecialFolder(SpecialFolderId id);

// On Windows the machine-wide application data folder (C:/ProgramData). Linux
// has no such shell folder; the place for state that a program shares between
// the users of a machine is /var/lib.
QString CommonAppDataDir();
QString DocumentsDir();

// The folder the package creates on Linux, owned by root and the group zomi
// (mode 2775), so that the profiles an administrator sets up reach every user
// of a workstation and the members of that group may change them.
inline constexpr char kLinuxAllUsersDir[] = "/var/lib/zomi";

// Where the settings live when none lie beside the program. On Windows the
// all-users folder + "/Zomi.Net", as the original keeps it. On Linux the
// package's folder when it is there; a build that was never installed has
// none, and the user's own data folder + "/Zomi.Net" is then the one place the
// settings can be kept. linuxDir stands in for the package's folder in tests.
QString AllUsersDataDir();
QString AllUsersDataDir(const QString& linuxDir);

// The user's own data folder + "/Zomi.Net", which no other user can change.
QString OwnDataDir();

// A file or folder written into a folder its group may change (the package's
// all-users folder) is made readable and changeable for that group too;
// without this the first user to write Zomi.ini would own it alone, with the
// umask's permissions. Nothing is ever made writable for every user: that
// permission is taken away. Anywhere else the path keeps the permissions it
// was made with. False when the permissions should have changed and could
// not be.
bool ShareLikeItsFolder(const QString& path);

}  // namespace zomi
