// Profile passwords in the desktop's keyring. KeyringAnswers runs on a
// private session bus with a private gnome-keyring (support/with-test-keyring),
// NoKeyring on a session bus address where nothing answers.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/Settings.h"
#include "db/ConnectionProfiles.h"
#include "db/ProfilePasswords.h"

namespace zomi {
namespace {

class ProfileFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetSettingsPath(dir_.filePath(QStringLiteral("Zomi.ini")));
    }

    static QString storedText(int number) {
        return ReadScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(number));
    }

    static ConnectionProfile profile(const QString& name, const QString& keyringId) {
        ConnectionProfile p = ProfileFromText(QStringLiteral("zomi;db.example.hu;3306;eva;;") +
                                              name + QLatin1Char(';'));
        p.jelszo = QStringLiteral("titok ") + name;
        p.keyringId = keyringId;
        return p;
    }

    QTemporaryDir dir_;
};

using KeyringAnswers = ProfileFile;
using NoKeyring = ProfileFile;

TEST_F(KeyringAnswers, TheFileHoldsAMarkerAndTheKeyringThePassword) {
    ASSERT_TRUE(KeyringAvailable());
    EXPECT_TRUE(WriteStoredProfiles({profile(QStringLiteral("Kulcs"), QStringLiteral("id-1")),
                                     profile(QStringLiteral("Fájl"), QString())})
                    .isEmpty());
    EXPECT_EQ(storedText(1), QStringLiteral("zomi;db.example.hu;3306;eva;;Kulcs;kulcstarto:id-1;"));
    EXPECT_EQ(storedText(2), QStringLiteral("zomi;db.example.hu;3306;eva;titok Fájl;Fájl;"));
    EXPECT_EQ(KeyringPassword(QStringLiteral("id-1")), QStringLiteral("titok Kulcs"));
    EXPECT_EQ(PlainProfileText(storedText(1)),
              QStringLiteral("zomi;db.example.hu;3306;eva;titok Kulcs;Kulcs;"));

    const QList<ConnectionProfile> read = ReadStoredProfiles();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].jelszo, QStringLiteral("titok Kulcs"));
    EXPECT_EQ(read[0].keyringId, QStringLiteral("id-1"));

    // Back into the file: the keyring forgets it; a deleted profile's password goes too.
    ConnectionProfile back = read[0];
    back.keyringId.clear();
    WriteStoredProfiles({profile(QStringLiteral("Más"), QStringLiteral("id-2"))});
    WriteStoredProfiles({back});
    EXPECT_EQ(storedText(1), QStringLiteral("zomi;db.example.hu;3306;eva;titok Kulcs;Kulcs;"));
    EXPECT_FALSE(KeyringPassword(QStringLiteral("id-1")).has_value());
    EXPECT_FALSE(KeyringPassword(QStringLiteral("id-2")).has_value());
}

TEST_F(NoKeyring, PasswordsStayInTheFileAndMarkedProfilesKeepTheirMarker) {
    EXPECT_FALSE(KeyringAvailable());
    EXPECT_FALSE(KeyringPassword(QStringLiteral("id-1")).has_value());
    EXPECT_THROW(
        StoreKeyringPassword(QStringLiteral("id-1"), QStringLiteral("x"), QStringLiteral("y")),
        KeyringError);

    EXPECT_EQ(WriteStoredProfiles({profile(QStringLiteral("Kulcs"), QStringLiteral("id-1"))}),
              QStringList{QStringLiteral("Kulcs")});
    EXPECT_EQ(storedText(1), QStringLiteral("zomi;db.example.hu;3306;eva;titok Kulcs;Kulcs;"));

    // Written on a desktop that had one: read here without its password,
    // stored again untouched it keeps the marker for the day the keyring answers.
    WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                          QStringLiteral("zomi;h;3306;eva;;Kulcs;kulcstarto:id-1;"));
    const QList<ConnectionProfile> read = ReadStoredProfiles();
    ASSERT_EQ(read.size(), 1);
    EXPECT_TRUE(read[0].jelszo.isEmpty());
    EXPECT_TRUE(WriteStoredProfiles(read).isEmpty());
    EXPECT_EQ(storedText(1), QStringLiteral("zomi;h;3306;eva;;Kulcs;kulcstarto:id-1;"));
    EXPECT_EQ(PlainProfileText(storedText(1)), QStringLiteral("zomi;h;3306;eva;;Kulcs;"));
}

}  // namespace
}  // namespace zomi
