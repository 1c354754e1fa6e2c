#pragma once

// The program's folders, its settings file Zomi.ini and the saved placement of
// its windows.
//
// Paths use "/" as the separator on every platform; Qt accepts it on Windows
// too, and the settings file stores no paths of its own except the ones users
// type in.

#include <QRect>
#include <QString>

namespace zomi {

// Module state -------------------------------------------------------------

// Folder of the running program file, without a trailing separator. Its letter
// case is kept as the system reports it: Windows ignored case, so the folder
// could be lower-cased there, but on a case-sensitive file system a lower-cased
// path names another folder.
QString ProgramDir();

// Folder of the local files and full path of the settings file, settled by the
// start-up before the first settings access.
QString DataDir();
void SetDataDir(const QString& dir);
QString SettingsPath();
void SetSettingsPath(const QString& path);

// Why the settings file may not be used, in Hungarian, or empty text: a
// settings file, or its folder, that every user of the machine may change
// could point everyone's profiles at another server.
QString SettingsRefusal();

// The settings file of the user alone: SettingsPath when nobody but the user
// (or root) can change it or its folder, else Zomi.ini in the user's own data
// folder (OwnDataDir). What names a program to run is kept there, never in a
// file the other users share.
QString OwnSettingsPath();

// The desktop work area, set once at start from the primary screen. Only its
// right (x + width) and bottom (y + height) edges are used. While it is null,
// LoadWindowPlacement does not fit windows at all, since there is nothing to
// fit them into.
QRect WorkArea();
void SetWorkArea(const QRect& area);

// Keys of Zomi.ini -----------------------------------------------------------

struct SettingKey {
    // Some defaults name a file or folder inside one of the program's folders;
    // they are resolved when read, since the folders are settled at run time.
    enum class Base { None, ProgramDir, DataDir };

    const char* section;
    const char* key;
    Base base;
    const char* defaultValue;  // with a base: the name inside that folder
};

inline constexpr SettingKey kFormat{"Defaults", "Format", SettingKey::Base::None, "### ### ##0"};
inline constexpr SettingKey kFontSize{"Defaults", "FontSize", SettingKey::Base::None, "9"};
inline constexpr SettingKey kHtmlPath{"Defaults", "HtmlPath", SettingKey::Base::ProgramDir, "Html"};
inline constexpr SettingKey kFullScreen{"Screen", "FullScreen", SettingKey::Base::None, "1"};
inline constexpr SettingKey kScreenLeft{"Screen", "Left", SettingKey::Base::None, "0"};
inline constexpr SettingKey kScreenTop{"Screen", "Top", SettingKey::Base::None, "0"};
inline constexpr SettingKey kScreenWidth{"Screen", "Width", SettingKey::Base::None, "777"};
inline constexpr SettingKey kScreenHeight{"Screen", "Height", SettingKey::Base::None, "550"};
inline constexpr SettingKey kAfakulcs{"Afa", "Afakulcs", SettingKey::Base::None, "1.27"};
inline constexpr SettingKey kLangFile{"Lang", "File", SettingKey::Base::DataDir, "Lang.ini"};
inline constexpr SettingKey kMysqlDump{"frm_Adatbazis", "MysqlDump", SettingKey::Base::None, ""};

// Connection profiles live in this section under "ConStr" + their number.
inline constexpr const char* kProfileSection = "Adatbazis";
QString ProfileKey(int number);

QString SettingDefault(const SettingKey& key);

// Settings access ------------------------------------------------------------
//
// Every routine opens SettingsPath, reads or writes one key and closes the file
// again. A missing file, section or key reads as the default. Writes throw
// SettingsError when the file cannot be written (its folder is missing, it is
// read-only, ...).

QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue);
void WriteSetting(const QString& section, const QString& key, const QString& value);

// Integers in decimal; a value that is not a whole number reads as the default.
int ReadIntSetting(const QString& section, const QString& key, int defaultValue);
void WriteIntSetting(const QString& section, const QString& key, int value);

// Written "1" / "0", read as an integer, non-zero meaning true.
bool ReadBoolSetting(const QString& section, const QString& key, bool defaultValue);
void WriteBoolSetting(const QString& section, const QString& key, bool value);

// Written with the decimal comma under a Hungarian locale (QLocale()), else
// with a full stop; read in either form, whatever the locale, since the file
// may come from another machine. Unreadable text reads as the default.
double ReadFloatSetting(const QString& section, const QString& key, double defaultValue);
void WriteFloatSetting(const QString& section, const QString& key, double value);

// The same over the key table, with the table's defaults.
QString ReadSetting(const SettingKey& key);
int ReadIntSetting(const SettingKey& key);
bool ReadBoolSetting(const SettingKey& key);
double ReadFloatSetting(const SettingKey& key);
void WriteSetting(const SettingKey& key, const QString& value);
void WriteIntSetting(const SettingKey& key, int value);
void WriteBoolSetting(const SettingKey& key, bool value);
void WriteFloatSetting(const SettingKey& key, double value);

// A value kept through ScramblePassword; read unscrambled (empty when missing).
QString ReadScrambledSetting(const QString& section, const QString& key);
void WriteScrambledSetting(const QString& section, const QString& key, const QString& plain);

// Window placement -----------------------------------------------------------
//
// The section is the window's name; "Left" and "Top" default to 10.

void LoadWindowPos(const QString& section, int& left, int& top);
// width and height come in as the window's current size, which is also their
// default; the result is moved and shrunk to fit into WorkArea.
void LoadWindowPlacement(const QString& section, int& left, int& top, int& width, int& height);
// A fixed-size dialog must close even when the settings file is read-only, so
// a failed write is reported on the console only.
void SaveWindowPos(const QString& section, int left, int top);
// Throws SettingsError; the caller's close handling reports it.
void SaveWindowPlacement(const QString& section, int left, int top, int width, int height);

// The fitting step of LoadWindowPlacement on its own.
void FitIntoWorkArea(const QRect& area, int& left, int& top, int& width, int& height);

}  // namespace zomi
