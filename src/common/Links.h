#pragma once

// Which link texts Zomi hands to the desktop's opener. A link can come from
// the database (a message's link) or the vendor's server (news), and the
// opener runs whatever it is given (a "file:" link to a script runs it), so
// only web and mail addresses are opened.

#include <QString>
#include <QUrl>

namespace zomi {

// The address a link text opens: an http or https address with a host, a
// mailto address, or a text beginning with "www." taken as http. An invalid
// QUrl for anything else (file:, other schemes, relative paths).
QUrl OpenableLink(const QString& text);

}  // namespace zomi
