#pragma once

// Why a file could not be written, in the user's words. The libraries that
// write files (Qt, libzip) pass on the system's error only as text, and some
// of their failures say no more than "Unknown error"; the reason is then
// found by writing a little beside the file, as the failed write would have.

#include <QString>

namespace zomi {

// The Hungarian reason for a system error code of a write: no space left, a
// quota used up, no permission, a read-only file system, a missing folder,
// a device error; empty for any other code.
QString SystemWriteProblem(int code);

// The reason the file could not be written: the system's reason when the
// library's message is one of the above, or when a trial write beside the
// file (or into it, for a device) fails the same way; otherwise the library's
// message as it is.
QString WriteFailureReason(const QString& fileName, const QString& libraryMessage);

}  // namespace zomi
