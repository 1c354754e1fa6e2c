#pragma once

// Who besides the current user may change a file or folder, for the files the
// program trusts: a settings file names programs to run and servers to send
// passwords to, and the dump tool receives the database password.
//
// "Others" are every account but the user's own and root (who can change
// anything anyway). A folder or file counts as changeable by others when it
// belongs to another account, when every user may write it, or when a group
// may write it that is not the user's own private group (the group named
// like the account, as Debian gives every user). Windows keeps its own
// access rules; there these checks find nothing.

#include <QString>

namespace zomi {

// Empty when nobody but the user or root can change path (a missing path
// included); otherwise why not, in Hungarian ("bárki írhatja", "a(z) zomi
// csoport tagjai is írhatják", "a(z) pista felhasználó tulajdona").
QString ForeignWriters(const QString& path);

// The same for the folder holding path, then for path itself: empty when
// neither can be changed by others, else a sentence naming the one that can.
QString ChangeableByOthers(const QString& path);

// Whether every user of the machine may write path (the "other" write
// permission).
bool WritableByEveryone(const QString& path);

// A folder only the user can reach (mode 0700, the user's own, not a
// symbolic link): dir when it is one or could be made one, else empty.
QString PrivateFolder(const QString& dir);

// The user's own runtime folder ($XDG_RUNTIME_DIR) when it is private,
// else the user's cache folder + "/zomi" made private; empty when neither is.
QString UserRuntimeDir();

// The account's numeric id ("0" for root); on Windows the user's name.
QString UserKey();

}  // namespace zomi
