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

// Qt lists the generic data folders with the user's own one first and the
// machine-wide ones after it (on Windows C:/ProgramData, on Linux the
// XDG_DATA_DIRS such as /usr/local/share). The first machine-wide folder this
// user may write to stands for the all-users folder; when there is none, as for
// an ordinary user on Linux, the user's own data folder is the only place the
// settings can be kept, so that one is given.
QString CommonAppDataDir();
QString DocumentsDir();

}  // namespace zomi
