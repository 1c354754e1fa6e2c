#pragma once

// The two bridges between the application's single-byte code page 1250 and
// UTF-8.

#include <QByteArray>
#include <QString>

namespace zomi {

// Code-page-1250 bytes as UTF-8 (for the UTF-8 exports).
QByteArray ToUtf8(const QByteArray& cp1250);
QByteArray ToUtf8(const QString& text);

// Turns the UTF-8 form of the Hungarian letters, in text that was read as code
// page 1250 bytes, into their code page 1250 bytes. It knows only what the
// vendor's web server sends: the accented Hungarian letters, "a", "e" and "i"
// with a combining acute, and a few symbols it drops. Other non-ASCII UTF-8
// sequences come out garbled, as they always have.
QByteArray RepairUtf8Text(const QByteArray& text);

}  // namespace zomi
