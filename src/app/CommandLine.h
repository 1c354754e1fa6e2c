#pragma once

// The program's command line, read before any window system is touched, so
// that --help, --version and --write-profile work on a machine without a
// display (an installation script, a terminal over ssh).

#include <QString>
#include <QStringList>

namespace zomi {

struct CommandLine {
    enum class Action { Run, Help, Version, WriteProfile, Fail };
    Action action = Action::Run;
    QString dataDir;     // --data-dir; empty when not given
    QString profileDir;  // --write-profile's folder
    QString profile;     // --write-profile's "database;host;port;user;password;name"
    QString error;       // with Fail: what was wrong, in Hungarian
};

// args without the program name. Options Qt itself understands (-platform,
// -style, …) are not the program's and are left to the application object.
CommandLine ParseCommandLine(const QStringList& args);

QString HelpText();
QString VersionText();

}  // namespace zomi
