#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/ConnectionProfiles.h"

namespace zomi {
namespace {

class ConnectionProfilesTest : public ::testing::Test {
  protected:
    ConnectionProfilesTest() { SetSettingsPath(dir.filePath(QStringLiteral("Zomi.ini"))); }
    ~ConnectionProfilesTest() override { SetSettingsPath(QString()); }

    void store(int number, const QString& text) {
        WriteScrambledSetting(QStringLiteral("Adatbazis"), ProfileKey(number), text);
    }
    QString stored(int number) const {
        return ReadScrambledSetting(QStringLiteral("Adatbazis"), ProfileKey(number));
    }
    QStringList storedNumbers() const {
        QStringList numbers;
        for (int n = 0; n <= 100; ++n)
            if (IniKeyExists(SettingsPath(), QStringLiteral("Adatbazis"), ProfileKey(n)))
                numbers << QString::number(n);
        return numbers;
    }
    static QStringList names(const QList<ConnectionProfile>& profiles) {
        QStringList list;
        for (const ConnectionProfile& p : profiles) list << p.adatbazisnev;
        return list;
    }

    QTemporaryDir dir;
};

TEST_F(ConnectionProfilesTest, ProfileTextsReadByPositionAndWrittenWithATrailingSeparator) {
    const ConnectionProfile p =
        ProfileFromText(QStringLiteral("zomi;db.example.hu;3307;eva;titok;Iroda"));
    EXPECT_EQ(p.adatbazis, QStringLiteral("zomi"));
    EXPECT_EQ(p.kiszolgalo, QStringLiteral("db.example.hu"));
    EXPECT_EQ(p.port, 3307);
    EXPECT_EQ(p.felhasznalo, QStringLiteral("eva"));
    EXPECT_EQ(p.jelszo, QStringLiteral("titok"));
    EXPECT_EQ(p.adatbazisnev, QStringLiteral("Iroda"));
    EXPECT_EQ(ProfileText(p), QStringLiteral("zomi;db.example.hu;3307;eva;titok;Iroda;"));

    // Missing fields are empty, a port that is not a whole number is 0.
    const ConnectionProfile short_ = ProfileFromText(QStringLiteral("zomi;host;abc"));
    EXPECT_EQ(short_.port, 0);
    EXPECT_TRUE(short_.felhasznalo.isEmpty() && short_.adatbazisnev.isEmpty());
    ConnectionProfile none;
    none.port.reset();
    EXPECT_EQ(ProfileText(none), QStringLiteral(";;0;;;;"));
}

TEST_F(ConnectionProfilesTest, OpeningAndClosingRenumbersByDisplayNameAndForgetsHigherNumbers) {
    store(1, QStringLiteral("c;h;1;u;p;Zala"));
    store(2, QStringLiteral("a;h;1;u;p;ábrány"));
    store(3, QStringLiteral("f;h;1;u;p;cukor"));
    store(7, QStringLiteral("b;h;1;u;p;"));  // no display name: listed all the same
    store(60, QStringLiteral("d;h;1;u;p;Abony"));
    store(100, QStringLiteral("e;h;1;u;p;csorna"));

    QList<ConnectionProfile> profiles = ReadStoredProfiles();
    EXPECT_EQ(names(profiles), (QStringList{"Zala", "ábrány", "cukor", "", "Abony", "csorna"}));
    SortProfiles(profiles, ProfileColumn::AdatbazisNev);
    // Hungarian order without regard to case: "cs" is a letter after "c".
    const QStringList sorted{"", "Abony", "ábrány", "cukor", "csorna", "Zala"};
    EXPECT_EQ(names(profiles), sorted);
    WriteStoredProfiles(profiles);

    EXPECT_EQ(storedNumbers(), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(stored(2), QStringLiteral("d;h;1;u;p;Abony;"));
    // Opened again, every profile is there once.
    EXPECT_EQ(names(ReadStoredProfiles()), sorted);

    // Deleting every profile leaves no key behind.
    WriteStoredProfiles({});
    EXPECT_TRUE(storedNumbers().isEmpty());
}

TEST_F(ConnectionProfilesTest, SortingByAColumnIsStableAndPortsSortAsNumbers) {
    QList<ConnectionProfile> profiles;
    for (const auto& [name, port] :
         QList<QPair<QString, int>>{{"b", 10000}, {"a", 3306}, {"c", 900}}) {
        ConnectionProfile p;
        p.adatbazisnev = name;
        p.port = port;
        p.kiszolgalo = QStringLiteral("same");
        profiles << p;
    }
    EXPECT_EQ(SortedOrder(profiles, ProfileColumn::Port), (QList<int>{2, 1, 0}));
    EXPECT_EQ(SortedOrder(profiles, ProfileColumn::Kiszolgalo), (QList<int>{0, 1, 2}));
}

TEST_F(ConnectionProfilesTest, SeparatorsAreRefusedNamingTheFieldAndPortsMustBeWholeNumbers) {
    EXPECT_EQ(FieldWithSeparator({"a", "b", "c"}), -1);
    EXPECT_EQ(FieldWithSeparator({"a", "b;c", "d;"}), 1);
    EXPECT_TRUE(SeparatorMessage(QStringLiteral("Jelszó")).contains(QStringLiteral("\"Jelszó\"")));

    std::optional<int> port;
    EXPECT_TRUE(PortFromText(QStringLiteral(" 3307 "), port));
    EXPECT_EQ(port, 3307);
    EXPECT_TRUE(PortFromText(QString(), port));
    EXPECT_FALSE(port.has_value());
    EXPECT_FALSE(PortFromText(QStringLiteral("33a"), port));
    EXPECT_FALSE(PortFromText(QStringLiteral("70000"), port));
}

TEST_F(ConnectionProfilesTest, BackupNamesUseTheDatabaseAndA24HourTimestamp) {
    EXPECT_EQ(
        BackupFileProposal(QStringLiteral("zomi"), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))),
        QStringLiteral("zomi-2024-03-05-14-07-09"));
}

}  // namespace
}  // namespace zomi
