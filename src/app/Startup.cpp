#include "app/Startup.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include "app/AdatbazisNyit.h"
#include "app/Init.h"
#include "common/AmountFormat.h"
#include "common/Beall.h"
#include "common/Folders.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "db/ConnectionProfiles.h"
#include "db/DbRoutines.h"
#include "db/RightsSetting.h"
#include "dbaccess/Dataset.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "users/Login.h"
#include "workfile/WorkFileStart.h"

namespace zomi {

namespace {

const QString kSettingsFile = QStringLiteral("Zomi.ini");
constexpr int kHighestProfileNumber = 100;

// The user's own amount pattern when it could not be read: the program works
// with the default meanwhile, but the settings file keeps what the user wrote.
QString unreadableFormat;

// Lets the user choose among the listed profiles, then reads the remaining
// settings. False when the user cancelled the chooser; an empty ConStr when
// no profile is listed yet.
bool ReadSettings(QRect& bounds, QString& problem) {
    bool chosen = true;
    const ProfileList list = ListProfiles();
    if (list.lines.isEmpty()) {
        Beall.ConStr.clear();
    } else {
        const int line = ChooseDatabase(list.lines, list.profiles,
                                        QStringLiteral("Zomi.Net program adatbázis választás"));
        if (line < 0) {
            chosen = false;
        } else if (line < list.profiles.size()) {
            Beall.ConStr = list.profiles.at(line);
        }
        // After "Új" the set-up window has put the new profile into ConStr.
    }
    problem = ReadRemainingSettings();
    bounds = ReadScreenBounds();
    return chosen;
}

bool OpenMainConnection(dbaccess::Connection& connection, QWidget* owner) {
    try {
        connection.close();
        connection.setParams(ParamsFromProfile(Beall.ConStr));
        connection.open();
        return true;
    } catch (const std::exception& error) {
        ErrorBox(
            QStringLiteral("Adatbázis megnyitás sikertelen\n") + QString::fromUtf8(error.what()),
            owner);
        return false;
    }
}

// The login when the database asks for one; otherwise every right.
bool LogIn(QWidget* owner) {
    if (!Beall.VanBelep) {
        Beall.TorzsSzerkeszt = true;
        Beall.Rendszergazda = true;
        Beall.Nyomtathat = true;
        Beall.Felhasznalo = QStringLiteral("rendszergazda");
        return true;
    }
    try {
        return RunLogin();
    } catch (const std::exception& error) {
        ErrorBox(QStringLiteral("Ismeretlen hiba, indítsa újra a programot.\n") +
                     QString::fromUtf8(error.what()),
                 owner);
        return false;
    }
}

}  // namespace

void SettleDataDir(const QString& overrideDir) {
    QString dir = overrideDir;
    if (dir.isEmpty()) {
        if (QFileInfo::exists(QDir(ProgramDir()).filePath(kSettingsFile))) {
            dir = ProgramDir();
        } else {
            dir = AllUsersDataDir();
            // A fresh installation has no data folder yet; without it no
            // setting could ever be written.
            QDir().mkpath(dir);
        }
    }
    dir = QDir::cleanPath(dir);
    SetDataDir(dir);
    SetSettingsPath(QDir(dir).filePath(kSettingsFile));
}

ProfileList ListProfiles() {
    ProfileList list;
    for (int n = 1; n <= 25; ++n) {
        const QString stored =
            ReadScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(n));
        const QString name = FieldOf(QStringLiteral(";"), stored, 6);
        if (name.isEmpty()) continue;
        const QString profile = PlainProfileText(stored);
        list.lines << QString::number(n) + QStringLiteral("; ") + name;
        list.profiles << profile;
    }
    return list;
}

QString ReadRemainingSettings() {
    QString problem;
    Beall.Format = ReadSetting(kFormat);
    unreadableFormat.clear();
    try {
        CheckAmountPattern(Beall.Format);
    } catch (const AmountPatternError& error) {
        problem = error.message() +
                  QStringLiteral("\nA program az összegeket a(z) „%1” formátummal mutatja.")
                      .arg(SettingDefault(kFormat));
        unreadableFormat = Beall.Format;
        Beall.Format = SettingDefault(kFormat);
    }
    Beall.Format2 = Beall.Format;
    Beall.FullScreen = ReadBoolSetting(kFullScreen);
    Beall.FontSize = ReadIntSetting(kFontSize);
    Beall.Afakulcs = ReadFloatSetting(kAfakulcs);
    Beall.HtmlPath = ReadSetting(kHtmlPath);
    if (Beall.HtmlPath.isEmpty() || !QFileInfo(Beall.HtmlPath).isDir())
        Beall.HtmlPath = QDir(DataDir()).filePath(QStringLiteral("Html"));
    Beall.LangFile = ReadSetting(kLangFile);
    return problem;
}

QRect ReadScreenBounds() {
    return QRect(ReadIntSetting(kScreenLeft), ReadIntSetting(kScreenTop),
                 ReadIntSetting(kScreenWidth), ReadIntSetting(kScreenHeight));
}

void SaveSettings(const QRect& bounds) {
    WriteSetting(kFormat, unreadableFormat.isEmpty() ? Beall.Format : unreadableFormat);
    WriteSetting(kFormat, unreadableFormat.isEmpty() ? Beall.Format2 : unreadableFormat);
    WriteBoolSetting(kFullScreen, Beall.FullScreen);
    WriteIntSetting(kScreenLeft, bounds.left());
    WriteIntSetting(kScreenTop, bounds.top());
    WriteIntSetting(kScreenWidth, bounds.width());
    WriteIntSetting(kScreenHeight, bounds.height());
    WriteIntSetting(kFontSize, Beall.FontSize);
    WriteFloatSetting(kAfakulcs, Beall.Afakulcs);
    WriteSetting(kLangFile, Beall.LangFile);
}

dbaccess::ConnectionParams ParamsFromProfile(const QString& profile) {
    const auto field = [&](int n) { return FieldOf(QStringLiteral(";"), profile, n); };
    dbaccess::ConnectionParams params;
    params.database = field(1);
    params.host = field(2);
    bool ok = false;
    const uint port = field(3).trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        throw dbaccess::DbError(dbaccess::DbError::kInvalidArgument,
                                QStringLiteral("Érvénytelen port: \"%1\"").arg(field(3)));
    params.port = port;
    params.user = field(4);
    params.password = field(5);
    return params;
}

void ReadLoginRequired() {
    Beall.VanBelep = QueryText(QStringLiteral("SELECT vanbelep FROM beallit;"), QString()) ==
                     QStringLiteral("I");
    Beall.RightsEnforced = ReadRightsEnforced();
}

QString IssuerCaption() {
    dbaccess::Table table(MainConnection());
    table.setTableName(QStringLiteral("tulajdonos"));
    table.open();
    const QString issuer = table.isEmpty()
                               ? QString()
                               : NullToText(table.value(QStringLiteral("tulajdonos")), QString());
    table.close();
    return QStringLiteral("Zomi: [") + issuer + QLatin1Char(']');
}

int FreeProfileNumber() {
    for (int n = 1; n <= kHighestProfileNumber; ++n)
        if (!IniKeyExists(SettingsPath(), QString::fromLatin1(kProfileSection), ProfileKey(n)))
            return n;
    return 0;
}

int StoreNewProfile(const QString& profile) {
    const int number = FreeProfileNumber();
    WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(number), profile);
    return number;
}

int StoreProfileOnce(const QString& profile) {
    for (int n = 1; n <= 100; ++n)
        if (ReadScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(n)) == profile)
            return n;
    return StoreNewProfile(profile);
}

StartUpOutcome RunStartUp(dbaccess::Connection& connection, QWidget* owner) {
    StartUpOutcome outcome;
    // Before anything of the file is believed: its profiles name the servers
    // the passwords go to.
    if (const QString refusal = SettingsRefusal(); !refusal.isEmpty()) {
        ErrorBox(refusal, owner);
        outcome.failed = true;
        return outcome;
    }
    QString settingsProblem;
    outcome.failed = !ReadSettings(outcome.bounds, settingsProblem);
    // Once, here: every amount on screen would otherwise fail on its own.
    if (!settingsProblem.isEmpty()) WarningBox(settingsProblem, owner);
    if (!outcome.failed && Beall.ConStr.isEmpty()) outcome.failed = !SetUpConnection();
    if (outcome.failed) return outcome;
    Beall.AdatbazisNev = FieldOf(QStringLiteral(";"), Beall.ConStr, 6);
    outcome.applicationTitle = QStringLiteral("Zomi - ") + Beall.AdatbazisNev;
    // The platform appends it to every window title, the register's
    // "Zomi: [issuer]" too, so the user sees which database is open.
    QGuiApplication::setApplicationDisplayName(outcome.applicationTitle);
    outcome.failed = !OpenMainConnection(connection, owner) ||
                     !Guarded(owner, [] { ReadLoginRequired(); }) || !LogIn(owner) ||
                     !Guarded(owner, [&] { StartWorkFileSession(connection, owner); }) ||
                     // No half-opened register: any failure from here on ends the start as well.
                     !Guarded(owner, [&] {
                         outcome.caption = IssuerCaption();
                         UpdateOverdueStatuses();
                     });
    return outcome;
}

}  // namespace zomi
