#include "common/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include "common/Codepage.h"
#include "common/FileProblems.h"
#include "common/Folders.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace zomi {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

// One line of the file as it stands, its terminator kept apart so that lines
// nobody touches are written back byte for byte.
struct Line {
    QByteArray text;
    QByteArray eol;
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    QByteArray name;
    QByteArray value;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray& bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes.at(begin))) ++begin;
    while (end > begin && isBlank(bytes.at(end - 1))) --end;
    return bytes.mid(begin, end - begin);
}

bool isQuote(char c) { return c == '"' || c == '\''; }

bool wrappedInQuotes(const QByteArray& v) {
    return v.size() >= 2 && v.front() == v.back() && isQuote(v.front());
}

QList<Line> splitLines(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0) {
            QByteArray text = bytes.mid(start);
            QByteArray eol;
            if (text.endsWith('\r')) {
                text.chop(1);
                eol = "\r";
            }
            lines.append({text, eol});
            break;
        }
        const bool crlf = lf > start && bytes.at(lf - 1) == '\r';
        const qsizetype end = crlf ? lf - 1 : lf;
        lines.append({bytes.mid(start, end - start), crlf ? kCrLf : QByteArray("\n")});
        start = lf + 1;
    }
    return lines;
}

QByteArray joinLines(const QList<Line>& lines) {
    QByteArray out;
    for (const Line& line : lines) out += line.text + line.eol;
    return out;
}

Parsed classify(const QByteArray& text) {
    Parsed parsed;
    const QByteArray trimmed = trimBlanks(text);
    if (trimmed.startsWith('[')) {
        const qsizetype close = trimmed.indexOf(']');
        parsed.kind = Kind::Section;
        parsed.name = trimBlanks(close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1));
        return parsed;
    }
    if (trimmed.startsWith(';')) return parsed;
    const qsizetype eq = trimmed.indexOf('=');
    if (eq < 0) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = trimBlanks(trimmed.left(eq));
    parsed.value = trimBlanks(trimmed.mid(eq + 1));
    return parsed;
}

bool sameName(const QByteArray& inFile, const QString& wanted) {
    return FromCp1250(inFile).compare(wanted, Qt::CaseInsensitive) == 0;
}

// Where a key stands: its section's header, the key's own line, and the last
// key line of the section (the header when it has none), after which a new key
// goes. -1 for what is not there.
struct Location {
    qsizetype sectionLine = -1;
    qsizetype keyLine = -1;
    qsizetype lastKeyLine = -1;
    QByteArray value;
};

Location locate(const QList<Line>& lines, const QString& section, const QString& key) {
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    Location loc;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Parsed parsed = classify(lines.at(i).text);
        if (parsed.kind == Kind::Section) {
            if (loc.sectionLine >= 0) break;
            if (sameName(parsed.name, wantedSection)) loc.sectionLine = loc.lastKeyLine = i;
            continue;
        }
        if (loc.sectionLine < 0 || parsed.kind != Kind::Key) continue;
        loc.lastKeyLine = i;
        if (loc.keyLine < 0 && sameName(parsed.name, wantedKey)) {
            loc.keyLine = i;
            loc.value = parsed.value;
        }
    }
    return loc;
}

QString describe(const QString& path) { return QStringLiteral("settings file \"%1\"").arg(path); }

[[noreturn]] void fail(const QString& message) { throw SettingsError(message.toStdString()); }

// A missing file reads as empty; a file that exists but cannot be read is an
// error, not a reason to fall back to the defaults.
QByteArray readFile(const QString& path, bool* exists) {
    *exists = !path.isEmpty() && QFileInfo::exists(path);
    if (!*exists) return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(describe(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("cannot read %1: %2").arg(describe(path), file.errorString()));
    return bytes;
}

// A folder that other users write to as well, as ShareLikeItsFolder takes
// it: one its group (or, from older packages, everyone) may write.
bool inSharedFolder(const QString& path) {
#ifdef Q_OS_UNIX
    struct stat folder {};
    if (::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) != 0)
        return false;
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

void writeFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) fail(QStringLiteral("no settings file name given"));
    QSaveFile file(path);
    const auto cannotWrite = [&] {
        fail(QStringLiteral("A(z) \"%1\" beállításfájl nem írható: %2")
                 .arg(path, WriteFailureReason(path, file.errorString())));
    };
    if (!file.open(QIODevice::WriteOnly)) cannotWrite();
    const bool shared = inSharedFolder(path);
    // A user's own settings file holds the profiles' passwords in a form any
    // reader undoes: its owner alone may read it, from the first byte on.
    if (!shared && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        fail(QStringLiteral("cannot keep %1 private: %2").arg(describe(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit()) cannotWrite();
    // The file was written; only another user's later change is at stake, so
    // a refusal is told, not hidden, yet does not undo the write.
    if (shared && !ShareLikeItsFolder(path))
        qWarning("cannot share %s with the other users of its folder", qPrintable(path));
}

// Before a new line is put after it. A last line ended by a lone CR reads
// without the CR; followed by another line, the CR would become part of its
// text, so it gets a whole CR LF.
void endLine(Line& line) {
    if (line.eol.isEmpty() || line.eol == "\r") line.eol = kCrLf;
}

bool hasLineBreak(const QByteArray& bytes) { return bytes.contains('\r') || bytes.contains('\n'); }

QByteArray checkedSection(const QString& section) {
    const QByteArray name = ToCp1250(section.trimmed());
    if (name.isEmpty() || name.contains(']') || hasLineBreak(name))
        fail(QStringLiteral("\"%1\" cannot be a section name").arg(section));
    return name;
}

QByteArray checkedKey(const QString& key) {
    const QByteArray name = ToCp1250(key.trimmed());
    if (name.isEmpty() || name.contains('=') || name.startsWith('[') || name.startsWith(';') ||
        hasLineBreak(name))
        fail(QStringLiteral("\"%1\" cannot be a key name").arg(key));
    return name;
}

// Quotes a value that reading would otherwise trim or unwrap.
QByteArray storedValue(const QString& key, const QByteArray& value) {
    if (hasLineBreak(value))
        fail(QStringLiteral("the value of \"%1\" holds a line break, which a settings file "
                            "cannot store")
                 .arg(key));
    if (value.isEmpty()) return value;
    if (isBlank(value.front()) || isBlank(value.back()) || wrappedInQuotes(value))
        return '"' + value + '"';
    return value;
}

void store(const QString& path, const QByteArray& before, bool existed, const QList<Line>& lines) {
    const QByteArray after = joinLines(lines);
    if (existed && after == before) return;
    writeFile(path, after);
}

}  // namespace

QByteArray IniReadBytes(const QString& path, const QString& section, const QString& key,
                        const QByteArray& defaultValue) {
    bool exists = false;
    const QByteArray bytes = readFile(path, &exists);
    const Location loc = locate(splitLines(bytes), section, key);
    if (loc.keyLine < 0) return defaultValue;
    return wrappedInQuotes(loc.value) ? loc.value.mid(1, loc.value.size() - 2) : loc.value;
}

QString IniReadString(const QString& path, const QString& section, const QString& key,
                      const QString& defaultValue) {
    bool exists = false;
    const QByteArray bytes = readFile(path, &exists);
    const Location loc = locate(splitLines(bytes), section, key);
    if (loc.keyLine < 0) return defaultValue;
    return FromCp1250(wrappedInQuotes(loc.value) ? loc.value.mid(1, loc.value.size() - 2)
                                                 : loc.value);
}

bool IniKeyExists(const QString& path, const QString& section, const QString& key) {
    bool exists = false;
    const QByteArray bytes = readFile(path, &exists);
    return locate(splitLines(bytes), section, key).keyLine >= 0;
}

void IniWriteBytes(const QString& path, const QString& section, const QString& key,
                   const QByteArray& value) {
    const QByteArray sectionName = checkedSection(section);
    const QByteArray keyName = checkedKey(key);
    const QByteArray stored = storedValue(key, value);

    bool existed = false;
    const QByteArray before = readFile(path, &existed);
    QList<Line> lines = splitLines(before);
    const Location loc = locate(lines, section, key);

    if (loc.keyLine >= 0) {
        // The key keeps the spelling it has in the file.
        Line& line = lines[loc.keyLine];
        line.text = classify(line.text).name + '=' + stored;
    } else if (loc.sectionLine >= 0) {
        endLine(lines[loc.lastKeyLine]);
        lines.insert(loc.lastKeyLine + 1, Line{keyName + '=' + stored, kCrLf});
    } else {
        if (!lines.isEmpty()) {
            endLine(lines.back());
            if (!trimBlanks(lines.back().text).isEmpty()) lines.append(Line{QByteArray(), kCrLf});
        }
        lines.append(Line{'[' + sectionName + ']', kCrLf});
        lines.append(Line{keyName + '=' + stored, kCrLf});
    }
    store(path, before, existed, lines);
}

void IniWriteString(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
    IniWriteBytes(path, section, key, ToCp1250(value));
}

void IniDeleteKey(const QString& path, const QString& section, const QString& key) {
    bool existed = false;
    const QByteArray before = readFile(path, &existed);
    if (!existed) return;
    QList<Line> lines = splitLines(before);
    const Location loc = locate(lines, section, key);
    if (loc.keyLine < 0) return;
    lines.removeAt(loc.keyLine);
    store(path, before, existed, lines);
}

}  // namespace zomi
