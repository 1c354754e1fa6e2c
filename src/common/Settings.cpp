#include "common/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QtGlobal>

#include "common/Codepage.h"
#include "common/FileRights.h"
#include "common/Folders.h"
#include "common/IniFile.h"
#include "common/Scramble.h"
#include "common/Text.h"

namespace zomi {

namespace {

struct State {
    QString programDir;
    QString dataDir;
    QString settingsPath;
    QRect workArea;
};

State& state() {
    static State s;
    return s;
}

QString findProgramDir() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
#ifdef Q_OS_LINUX
    // Before the application object exists Qt cannot say; the kernel can.
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString target = exe.canonicalFilePath();
    if (!target.isEmpty()) return QFileInfo(target).absolutePath();
#endif
    return QString();
}

const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
constexpr int kDefaultPos = 10;

QString section(const SettingKey& key) { return QString::fromLatin1(key.section); }
QString name(const SettingKey& key) { return QString::fromLatin1(key.key); }

}  // namespace

QString ProgramDir() {
    State& s = state();
    if (s.programDir.isEmpty()) s.programDir = findProgramDir();
    return s.programDir;
}

QString DataDir() { return state().dataDir; }
void SetDataDir(const QString& dir) { state().dataDir = dir; }
QString SettingsPath() { return state().settingsPath; }
void SetSettingsPath(const QString& path) { state().settingsPath = path; }

QString SettingsRefusal() {
    const QString path = SettingsPath();
    for (const QString& candidate : {QFileInfo(path).absolutePath(), path}) {
        if (WritableByEveryone(candidate))
            return QStringLiteral(
                       "A(z) „%1” %2 bárki módosíthatja, ezért a Zomi nem használja: más "
                       "kiszolgálóra irányíthatná a tárhelyeket. A rendszergazda vegye el a "
                       "többiek írási jogát (chmod o-w), vagy telepítse újra a csomagot.")
                .arg(QDir::toNativeSeparators(candidate), QFileInfo(candidate).isDir()
                                                              ? QStringLiteral("mappát")
                                                              : QStringLiteral("fájlt"));
    }
    return QString();
}

QString OwnSettingsPath() {
    const QString path = SettingsPath();
    if (!path.isEmpty() && ChangeableByOthers(path).isEmpty()) return path;
    return QDir(OwnDataDir()).filePath(QStringLiteral("Zomi.ini"));
}

QRect WorkArea() { return state().workArea; }
void SetWorkArea(const QRect& area) { state().workArea = area; }

QString ProfileKey(int number) { return QStringLiteral("ConStr") + QString::number(number); }

QString SettingDefault(const SettingKey& key) {
    const QString value = QString::fromUtf8(key.defaultValue);
    switch (key.base) {
        case SettingKey::Base::None:
            return value;
        case SettingKey::Base::ProgramDir:
            return ProgramDir() + QLatin1Char('/') + value;
        case SettingKey::Base::DataDir:
            return DataDir() + QLatin1Char('/') + value;
    }
    return value;
}

QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue) {
    return IniReadString(SettingsPath(), section, key, defaultValue);
}

void WriteSetting(const QString& section, const QString& key, const QString& value) {
    if (SettingsPath().isEmpty()) throw SettingsError("the settings file path has not been set");
    IniWriteString(SettingsPath(), section, key, value);
}

int ReadIntSetting(const QString& section, const QString& key, int defaultValue) {
    bool ok = false;
    const int value = ReadSetting(section, key, QString()).trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

void WriteIntSetting(const QString& section, const QString& key, int value) {
    WriteSetting(section, key, QString::number(value));
}

bool ReadBoolSetting(const QString& section, const QString& key, bool defaultValue) {
    return ReadIntSetting(section, key, defaultValue ? 1 : 0) != 0;
}

void WriteBoolSetting(const QString& section, const QString& key, bool value) {
    WriteSetting(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double ReadFloatSetting(const QString& section, const QString& key, double defaultValue) {
    QString text = ReadSetting(section, key, QString()).trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? value : defaultValue;
}

void WriteFloatSetting(const QString& section, const QString& key, double value) {
    QString text = ValueText(QVariant(value));
    if (QLocale().language() == QLocale::Hungarian)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    WriteSetting(section, key, text);
}

QString ReadSetting(const SettingKey& key) {
    return ReadSetting(section(key), name(key), SettingDefault(key));
}

int ReadIntSetting(const SettingKey& key) {
    return ReadIntSetting(section(key), name(key), SettingDefault(key).toInt());
}

bool ReadBoolSetting(const SettingKey& key) {
    return ReadBoolSetting(section(key), name(key), SettingDefault(key).toInt() != 0);
}

double ReadFloatSetting(const SettingKey& key) {
    return ReadFloatSetting(section(key), name(key), QLocale::c().toDouble(SettingDefault(key)));
}

void WriteSetting(const SettingKey& key, const QString& value) {
    WriteSetting(section(key), name(key), value);
}

void WriteIntSetting(const SettingKey& key, int value) {
    WriteIntSetting(section(key), name(key), value);
}

void WriteBoolSetting(const SettingKey& key, bool value) {
    WriteBoolSetting(section(key), name(key), value);
}

void WriteFloatSetting(const SettingKey& key, double value) {
    WriteFloatSetting(section(key), name(key), value);
}

QString ReadScrambledSetting(const QString& section, const QString& key) {
    return FromCp1250(UnscramblePassword(IniReadBytes(SettingsPath(), section, key, QByteArray())));
}

void WriteScrambledSetting(const QString& section, const QString& key, const QString& plain) {
    if (SettingsPath().isEmpty()) throw SettingsError("the settings file path has not been set");
    IniWriteBytes(SettingsPath(), section, key, ScramblePassword(ToCp1250(plain)));
}

void LoadWindowPos(const QString& section, int& left, int& top) {
    left = ReadIntSetting(section, kLeft, kDefaultPos);
    top = ReadIntSetting(section, kTop, kDefaultPos);
}

void FitIntoWorkArea(const QRect& area, int& left, int& top, int& width, int& height) {
    const int right = area.x() + area.width();
    const int bottom = area.y() + area.height();
    if (left > right) left = 0;
    if (top > bottom) top = 0;
    if (left + width > right) {
        if (width < right) {
            left = right - width;
        } else {
            left = 0;
            width = right;
        }
    }
    if (top + height > bottom) {
        if (height < bottom) {
            top = bottom - height;
        } else {
            top = 0;
            height = bottom;
        }
    }
}

void LoadWindowPlacement(const QString& section, int& left, int& top, int& width, int& height) {
    LoadWindowPos(section, left, top);
    width = ReadIntSetting(section, kWidth, width);
    height = ReadIntSetting(section, kHeight, height);
    if (!WorkArea().isNull()) FitIntoWorkArea(WorkArea(), left, top, width, height);
}

void SaveWindowPos(const QString& section, int left, int top) {
    try {
        WriteIntSetting(section, kLeft, left);
        WriteIntSetting(section, kTop, top);
    } catch (const SettingsError& e) {
        qWarning("window position of %s not saved: %s", qUtf8Printable(section), e.what());
    }
}

void SaveWindowPlacement(const QString& section, int left, int top, int width, int height) {
    WriteIntSetting(section, kLeft, left);
    WriteIntSetting(section, kTop, top);
    WriteIntSetting(section, kWidth, width);
    WriteIntSetting(section, kHeight, height);
}

}  // namespace zomi
