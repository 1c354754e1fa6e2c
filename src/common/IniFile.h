#pragma once

// Windows initialisation-file access, one key at a time, on a file in code page
// 1250. The settings file is shared with installations that use the Windows
// profile-string services, so this follows their behaviour:
// - section and key names compare without regard to letter case; the first
//   matching section and, inside it, the first matching key count;
// - a value is read with surrounding blanks and tabs trimmed, and a value
//   wrapped in a matching pair of double or single quotes loses the pair;
// - a missing file, section or key reads as the default.
// Unlike those services, a write leaves every other byte of the file as it was
// (unknown keys, comments, blank lines, line endings), and a value that the
// read rules would alter is written inside double quotes, so that every value
// written here reads back unchanged, here and under Windows.
//
// Every call reads the whole file and, for a change, writes it whole again
// through a temporary file; nothing is cached between calls, and a failed write
// leaves the old file intact.

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace zomi {

// The file could not be read or written, or a name or value cannot be stored
// in an initialisation file (a line break in it, "=" in a key name, ...).
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Byte-level access, for values that are not text (scrambled profiles).
QByteArray IniReadBytes(const QString& path, const QString& section, const QString& key,
                        const QByteArray& defaultValue);
void IniWriteBytes(const QString& path, const QString& section, const QString& key,
                   const QByteArray& value);

QString IniReadString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue);
// Throws EncodingError for a character code page 1250 cannot hold.
void IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value);

bool IniKeyExists(const QString& path, const QString& section, const QString& key);

// Removes the key's line; the section stays, even when it becomes empty. A
// missing file, section or key is left alone.
void IniDeleteKey(const QString& path, const QString& section, const QString& key);

}  // namespace zomi
