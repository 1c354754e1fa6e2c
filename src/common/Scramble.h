#pragma once

// The reversible disguise of the connection profiles kept in the settings
// file. It only keeps the database password from being read at a glance; it is
// not encryption. The stored form must stay exactly what earlier installations
// wrote, so that their settings files keep working.

#include <QByteArray>
#include <QString>

namespace zomi {

// Three filler bytes, then every input byte plus one (255 wraps to 0) followed
// by a filler byte. Fillers are drawn uniformly from the codes 33 to 87, so the
// stored text never begins or ends with a blank. 3 + 2n bytes for n bytes.
QByteArray ScramblePassword(const QByteArray& plain);
// Drops the first three bytes and takes every second byte from the first one
// on, less one. Too short an input gives empty text.
QByteArray UnscramblePassword(const QByteArray& scrambled);

// The same over text in code page 1250; ScramblePassword throws EncodingError
// for a character the code page cannot hold.
QString ScramblePassword(const QString& plain);
QString UnscramblePassword(const QString& scrambled);

}  // namespace zomi
