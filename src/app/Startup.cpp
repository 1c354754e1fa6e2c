#include "app/Startup.h"

#include <QDir>
#include <QFileInfo>

#include "common/Beall.h"
#include "common/Folders.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"

namespace zomi {

namespace {

const QString kSettingsFile = QStringLiteral("Zomi.ini");
constexpr int kHighestProfileNumber = 100;

}  // namespace

void SettleDataDir(const QString& overrideDir) {
    QString dir = overrideDir;
    if (dir.isEmpty()) {
        if (QFileInfo::exists(QDir(ProgramDir()).filePath(kSettingsFile))) {
            dir = ProgramDir();
        } else {
            dir = CommonAppDataDir() + QStringLiteral("/Zomi.Net");
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
        const QString profile = ReadScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(n));
        const QString name = FieldOf(QStringLiteral(";"), profile, 6);
        if (name.isEmpty()) continue;
        list.lines << QString::number(n) + QStringLiteral("; ") + name;
        list.profiles << profile;
    }
    return list;
}

void ReadRemainingSettings() {
    Beall.Format = ReadSetting(kFormat);
    Beall.Format2 = Beall.Format;
    Beall.FullScreen = ReadBoolSetting(kFullScreen);
    Beall.FontSize = ReadIntSetting(kFontSize);
    Beall.Afakulcs = ReadFloatSetting(kAfakulcs);
    Beall.HtmlPath = ReadSetting(kHtmlPath);
    if (Beall.HtmlPath.isEmpty() || !QFileInfo(Beall.HtmlPath).isDir())
        Beall.HtmlPath = QDir(DataDir()).filePath(QStringLiteral("Html"));
    Beall.LangFile = ReadSetting(kLangFile);
}

QRect ReadScreenBounds() {
    return QRect(ReadIntSetting(kScreenLeft), ReadIntSetting(kScreenTop), ReadIntSetting(kScreenWidth),
                 ReadIntSetting(kScreenHeight));
}

void SaveSettings(const QRect& bounds) {
    WriteSetting(kFormat, Beall.Format);
    WriteSetting(kFormat, Beall.Format2);
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
    Beall.VanBelep = QueryText(QStringLiteral("SELECT vanbelep FROM beallit;"), QString()) == QStringLiteral("I");
}

QString IssuerCaption() {
    dbaccess::Table table(MainConnection());
    table.setTableName(QStringLiteral("tulajdonos"));
    table.open();
    const QString issuer = table.isEmpty() ? QString() : NullToText(table.value(QStringLiteral("tulajdonos")), QString());
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
        if (ReadScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(n)) == profile) return n;
    return StoreNewProfile(profile);
}

}  // namespace zomi
