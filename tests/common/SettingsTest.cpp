#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "common/IniFile.h"
#include "common/Settings.h"

namespace zomi {
namespace {

class Settings : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetDataDir(dir_.path());
        SetSettingsPath(dir_.filePath(QStringLiteral("Zomi.ini")));
        SetWorkArea(QRect(0, 0, 1024, 768));
    }
    void TearDown() override {
        SetSettingsPath(QString());
        SetDataDir(QString());
        SetWorkArea(QRect());
        QLocale::setDefault(QLocale::c());
    }

    QByteArray contents() const {
        QFile f(SettingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    void useMissingFolder() { SetSettingsPath(dir_.filePath(QStringLiteral("nincs/Zomi.ini"))); }

    QTemporaryDir dir_;
};

TEST_F(Settings, ProgramDirIsTheProgramsFolderAsTheSystemSpellsIt) {
    EXPECT_EQ(ProgramDir(), QCoreApplication::applicationDirPath());
    EXPECT_FALSE(ProgramDir().endsWith(QLatin1Char('/')));
}

TEST_F(Settings, TheKeyTableGivesTheDefaultsOfAFreshInstallation) {
    EXPECT_EQ(ReadSetting(kFormat), QStringLiteral("### ### ##0"));
    EXPECT_EQ(ReadIntSetting(kFontSize), 9);
    EXPECT_TRUE(ReadBoolSetting(kFullScreen));
    EXPECT_EQ(ReadIntSetting(kScreenLeft), 0);
    EXPECT_EQ(ReadIntSetting(kScreenTop), 0);
    EXPECT_EQ(ReadIntSetting(kScreenWidth), 777);
    EXPECT_EQ(ReadIntSetting(kScreenHeight), 550);
    EXPECT_DOUBLE_EQ(ReadFloatSetting(kAfakulcs), 1.27);
    EXPECT_EQ(ReadSetting(kHtmlPath), ProgramDir() + QStringLiteral("/Html"));
    EXPECT_EQ(ReadSetting(kLangFile), dir_.path() + QStringLiteral("/Lang.ini"));
    EXPECT_EQ(ReadSetting(kMysqlDump), QString());
    EXPECT_EQ(contents(), QByteArray("<missing>"));
}

TEST_F(Settings, ValuesReadBackInTheirOwnForms) {
    WriteBoolSetting(kFullScreen, false);
    WriteIntSetting(kFontSize, 11);
    WriteSetting(kFormat, QStringLiteral("### ### ##0.00"));
    EXPECT_FALSE(ReadBoolSetting(kFullScreen));
    EXPECT_EQ(ReadIntSetting(kFontSize), 11);
    EXPECT_EQ(ReadSetting(kFormat), QStringLiteral("### ### ##0.00"));
    EXPECT_TRUE(contents().contains("FullScreen=0\r\n"));

    // Booleans are integers: any non-zero value is true.
    WriteSetting(QStringLiteral("Screen"), QStringLiteral("FullScreen"), QStringLiteral("2"));
    EXPECT_TRUE(ReadBoolSetting(kFullScreen));
    // Text that is not a whole number falls back to the default.
    WriteSetting(QStringLiteral("Defaults"), QStringLiteral("FontSize"), QStringLiteral("9pt"));
    EXPECT_EQ(ReadIntSetting(kFontSize), 9);
}

TEST_F(Settings, TheVatMultiplierFollowsTheLocaleWhenWrittenAndIsReadInEitherForm) {
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    WriteFloatSetting(kAfakulcs, 1.27);
    EXPECT_TRUE(contents().contains("Afakulcs=1,27\r\n")) << contents().constData();
    EXPECT_DOUBLE_EQ(ReadFloatSetting(kAfakulcs), 1.27);

    QLocale::setDefault(QLocale::c());
    EXPECT_DOUBLE_EQ(ReadFloatSetting(kAfakulcs), 1.27);
    WriteFloatSetting(kAfakulcs, 1.05);
    EXPECT_TRUE(contents().contains("Afakulcs=1.05\r\n")) << contents().constData();
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    EXPECT_DOUBLE_EQ(ReadFloatSetting(kAfakulcs), 1.05);

    WriteSetting(QStringLiteral("Afa"), QStringLiteral("Afakulcs"), QStringLiteral("sok"));
    EXPECT_DOUBLE_EQ(ReadFloatSetting(kAfakulcs), 1.27);
}

TEST_F(Settings, WritesIntoAMissingFolderReachTheCaller) {
    useMissingFolder();
    EXPECT_EQ(ReadSetting(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_THROW(WriteSetting(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")),
                 SettingsError);
    EXPECT_THROW(SaveWindowPlacement(QStringLiteral("frm_SQL"), 1, 2, 3, 4), SettingsError);
    EXPECT_NO_THROW(SaveWindowPos(QStringLiteral("frm_Beallit"), 1, 2));
    SetSettingsPath(QString());
    EXPECT_THROW(WriteSetting(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")),
                 SettingsError);
}

TEST_F(Settings, ProfilesAreStoredScrambled) {
    const QString profile = QStringLiteral("zomi;localhost;3306;root;titkos;Főiroda");
    WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(3), profile);
    EXPECT_EQ(ReadScrambledSetting(QStringLiteral("Adatbazis"), QStringLiteral("ConStr3")),
              profile);
    const QByteArray stored = IniReadBytes(SettingsPath(), QStringLiteral("Adatbazis"),
                                           QStringLiteral("ConStr3"), QByteArray());
    EXPECT_EQ(stored.size(), 3 + 2 * profile.size());
    EXPECT_FALSE(stored.contains("titkos"));
    EXPECT_EQ(ReadScrambledSetting(QStringLiteral("Adatbazis"), QStringLiteral("ConStr4")),
              QString());
}

TEST_F(Settings, WindowPositionDefaultsToTenAndIsNotFitted) {
    int left = -1, top = -1;
    LoadWindowPos(QStringLiteral("frm_Szerkeszt"), left, top);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 10);
    SaveWindowPos(QStringLiteral("frm_Szerkeszt"), 5000, -20);
    LoadWindowPos(QStringLiteral("frm_Szerkeszt"), left, top);
    EXPECT_EQ(left, 5000);
    EXPECT_EQ(top, -20);
}

TEST_F(Settings, PlacementIsSavedInOrderAndSizeDefaultsToTheCurrentOne) {
    int left = 0, top = 0, width = 300, height = 200;
    LoadWindowPlacement(QStringLiteral("frm_Torzsadat"), left, top, width, height);
    EXPECT_EQ((QRect(left, top, width, height)), QRect(10, 10, 300, 200));

    SaveWindowPlacement(QStringLiteral("frm_Torzsadat"), 20, 30, 400, 250);
    EXPECT_EQ(contents(), QByteArray("[frm_Torzsadat]\r\nLeft=20\r\nTop=30\r\n"
                                     "Width=400\r\nHeight=250\r\n"));
    width = 1;
    height = 1;
    LoadWindowPlacement(QStringLiteral("frm_torzsadat"), left, top, width, height);
    EXPECT_EQ((QRect(left, top, width, height)), QRect(20, 30, 400, 250));
}

struct FitCase {
    QRect saved;
    QRect expected;
};

QRect loadAfterSaving(const QRect& saved) {
    SaveWindowPlacement(QStringLiteral("frm_Main"), saved.x(), saved.y(), saved.width(),
                        saved.height());
    int left = 0, top = 0, width = 0, height = 0;
    LoadWindowPlacement(QStringLiteral("frm_Main"), left, top, width, height);
    return QRect(left, top, width, height);
}

TEST_F(Settings, PlacementIsFittedIntoTheRightAndBottomEdgesOfTheWorkArea) {
    const FitCase cases[] = {
        {{100, 100, 400, 300}, {100, 100, 400, 300}},  // fits
        {{1100, 50, 400, 300}, {0, 50, 400, 300}},     // left beyond the right edge
        {{900, 50, 400, 300}, {624, 50, 400, 300}},    // pushed back in from the right
        {{30, 40, 1500, 300}, {0, 40, 1024, 300}},     // wider than the work area
        {{30, 40, 1024, 300}, {0, 40, 1024, 300}},     // exactly as wide, moved to 0
        {{30, 800, 400, 300}, {30, 0, 400, 300}},      // top beyond the bottom edge
        {{30, 600, 400, 300}, {30, 468, 400, 300}},    // pushed up from the bottom
        {{30, 40, 400, 900}, {30, 0, 400, 768}},       // taller than the work area
        {{-50, -60, 400, 300}, {-50, -60, 400, 300}},  // negative stays
    };
    for (const FitCase& c : cases) EXPECT_EQ(loadAfterSaving(c.saved), c.expected) << c.saved.x();

    // The edges are x + width and y + height, not where the work area starts.
    SetWorkArea(QRect(100, 40, 1024, 728));
    EXPECT_EQ(loadAfterSaving(QRect(900, 600, 400, 300)), QRect(724, 468, 400, 300));
}

TEST_F(Settings, WithoutAWorkAreaPlacementIsLeftAsSaved) {
    SetWorkArea(QRect());
    EXPECT_EQ(loadAfterSaving(QRect(3000, 2000, 400, 300)), QRect(3000, 2000, 400, 300));
}

}  // namespace
}  // namespace zomi
