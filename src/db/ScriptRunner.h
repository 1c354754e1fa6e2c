#pragma once

// Runs an SQL script on a connection statement by statement (cut by
// SqlScript), with progress, a stop request between statements, and the
// first failure with its line. The console runs its scripts through it, and
// so does the restore of a backup.

#include <QByteArray>
#include <QString>
#include <functional>

#include "db/DbRoutines.h"
#include "dbaccess/Connection.h"

namespace zomi {

// How the bytes of a script file are written: UTF-8 as the dump tool writes,
// code page 1250 as a user's script may be; SessionBytes go to the server
// unchanged, as the data backup holds them.
enum class ScriptEncoding { Utf8, Cp1250, SessionBytes };

struct ScriptControl {
    // Maximum: the text's line count; position: the line the run has reached.
    Progress progress;
    // Asked before every statement; true ends the run there.
    std::function<bool()> stopRequested;
};

struct ScriptResult {
    enum class Outcome { Completed, Stopped, Failed };
    Outcome outcome = Outcome::Completed;
    int statements = 0;  // statements the server has run
    int line = 0;        // the line the run stopped at: the failing statement's first line
    unsigned errorCode = 0;
    QString errorMessage;  // the server's message when it refused a statement

    bool completed() const { return outcome == Outcome::Completed; }
};

// Runs the text. Rows a statement returns are read and dropped. Statements
// go to the server in the character set the session has at that moment, so
// a script that sets its own (SET NAMES utf8mb4) is read as it meant. Whatever
// the script does to the session (character set, collation, SQL mode, time
// zone, autocommit, key checks, table locks, the database in use), the
// connection has its former set-up again afterwards. A statement the server
// refuses ends the run as Failed; statements before it stay done. Throws
// DbError only when the session cannot be read or put back.
ScriptResult RunScript(dbaccess::Connection& connection, const QString& text,
                       const ScriptControl& control = {});
ScriptResult RunScript(dbaccess::Connection& connection, const QByteArray& bytes,
                       ScriptEncoding encoding, const ScriptControl& control = {});
// Reads the file and runs it as above; throws FileError when it cannot be read.
ScriptResult RunScriptFile(dbaccess::Connection& connection, const QString& fileName,
                           const ScriptControl& control = {});

// UTF-8 when the bytes are valid UTF-8, else code page 1250.
ScriptEncoding ScriptEncodingOf(const QByteArray& bytes);
// Script file bytes as text, for the editor.
QString DecodeScriptText(const QByteArray& bytes);
// Reads a whole script file; throws FileError.
QByteArray ReadScriptFile(const QString& fileName);
// Writes the text in the encoding asked for, or in UTF-8 when code page 1250
// cannot hold it, and gives the encoding written; an earlier file stays
// whole when writing fails. Throws FileError.
ScriptEncoding WriteScriptFile(const QString& fileName, const QString& text,
                               ScriptEncoding encoding);

}  // namespace zomi
