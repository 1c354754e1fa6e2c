#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/Codepage.h"
#include "common/IniFile.h"
#include "common/Scramble.h"

namespace zomi {
namespace {

class IniFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString path() const { return dir_.filePath(QStringLiteral("Zomi.ini")); }

    void put(const QByteArray& bytes) const {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray contents() const {
        QFile f(path());
        if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
        return f.readAll();
    }

    QString read(const char* section, const char* key, const char* def = "<default>") const {
        return IniReadString(path(), QString::fromUtf8(section), QString::fromUtf8(key),
                             QString::fromUtf8(def));
    }

    QTemporaryDir dir_;
};

TEST_F(IniFile, MissingFileSectionOrKeyReadAsTheDefault) {
    EXPECT_EQ(read("Defaults", "Format"), QStringLiteral("<default>"));
    EXPECT_FALSE(IniKeyExists(path(), QStringLiteral("Defaults"), QStringLiteral("Format")));
    put("[Defaults]\r\nFontSize=9\r\n");
    EXPECT_EQ(read("Defaults", "Format"), QStringLiteral("<default>"));
    EXPECT_EQ(read("Screen", "FontSize"), QStringLiteral("<default>"));
    // A key above the first section belongs to no section.
    put("FontSize=9\r\n[Defaults]\r\n");
    EXPECT_EQ(read("Defaults", "FontSize"), QStringLiteral("<default>"));
}

TEST_F(IniFile, FirstWriteCreatesTheFileInWindowsForm) {
    IniWriteString(path(), QStringLiteral("Defaults"), QStringLiteral("Format"),
                   QStringLiteral("### ### ##0"));
    IniWriteString(path(), QStringLiteral("Afa"), QStringLiteral("Afakulcs"),
                   QStringLiteral("1,27"));
    EXPECT_EQ(contents(), QByteArray("[Defaults]\r\nFormat=### ### ##0\r\n\r\n"
                                     "[Afa]\r\nAfakulcs=1,27\r\n"));
    EXPECT_EQ(read("Afa", "Afakulcs"), QStringLiteral("1,27"));
}

TEST_F(IniFile, NamesCompareWithoutLetterCaseAndKeepTheirSpellingInTheFile) {
    put("[Screen]\r\nFullScreen=1\r\n[Lang]\r\nFile=x\r\n");
    EXPECT_EQ(read("SCREEN", "fullscreen"), QStringLiteral("1"));
    IniWriteString(path(), QStringLiteral("screen"), QStringLiteral("FULLSCREEN"),
                   QStringLiteral("0"));
    EXPECT_EQ(contents(), QByteArray("[Screen]\r\nFullScreen=0\r\n[Lang]\r\nFile=x\r\n"));
    // Hungarian letters in names compare the same way.
    put(ToCp1250(QStringLiteral("[Árvíz]\r\nŐr=1\r\n")));
    EXPECT_EQ(IniReadString(path(), QStringLiteral("áRVÍZ"), QStringLiteral("őR"), QString()),
              QStringLiteral("1"));
}

TEST_F(IniFile, AWriteChangesOnlyItsOwnLine) {
    const QByteArray before =
        "; Zomi settings\r\n"
        "[Adatbazis]\r\n"
        "ConStr1=abc\r\n"
        "  Ismeretlen = marad  \n"  // foreign key, LF ending, blanks
        "\r\n"
        "[Defaults]\r\n"
        "Format=### ### ##0\r\n"
        "FontSize=9";  // no line ending at the very end
    put(before);
    IniWriteString(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"),
                   QStringLiteral("xyz"));
    QByteArray expected = before;
    expected.replace("ConStr1=abc", "ConStr1=xyz");
    EXPECT_EQ(contents(), expected);

    IniWriteString(path(), QStringLiteral("Defaults"), QStringLiteral("FontSize"),
                   QStringLiteral("12"));
    expected.replace("FontSize=9", "FontSize=12");
    EXPECT_EQ(contents(), expected);
    EXPECT_EQ(read("Adatbazis", "Ismeretlen"), QStringLiteral("marad"));
}

TEST_F(IniFile, NewKeysGoToTheEndOfTheirSectionAndNewSectionsToTheEndOfTheFile) {
    put("[A]\r\nx=1\r\n; about B\r\n\r\n[B]\r\n[C]\r\nz=3");
    IniWriteString(path(), QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2"));
    IniWriteString(path(), QStringLiteral("B"), QStringLiteral("w"), QStringLiteral("0"));
    IniWriteString(path(), QStringLiteral("C"), QStringLiteral("v"), QStringLiteral("4"));
    IniWriteString(path(), QStringLiteral("D"), QStringLiteral("u"), QStringLiteral("5"));
    EXPECT_EQ(contents(), QByteArray("[A]\r\nx=1\r\ny=2\r\n; about B\r\n\r\n"
                                     "[B]\r\nw=0\r\n"
                                     "[C]\r\nz=3\r\nv=4\r\n"
                                     "\r\n[D]\r\nu=5\r\n"));
}

TEST_F(IniFile, ReadingTrimsBlanksAndUnwrapsOnePairOfQuotes) {
    put("[S]\r\n"
        "a =\t spaced value \t\r\n"
        "b=\"  quoted  \"\r\n"
        "c='single'\r\n"
        "d=\"unmatched'\r\n"
        "e=\"\r\n"
        "f=\"\"inner\"\"\r\n"
        "g=\r\n");
    EXPECT_EQ(read("S", "a"), QStringLiteral("spaced value"));
    EXPECT_EQ(read("S", "b"), QStringLiteral("  quoted  "));
    EXPECT_EQ(read("S", "c"), QStringLiteral("single"));
    EXPECT_EQ(read("S", "d"), QStringLiteral("\"unmatched'"));
    EXPECT_EQ(read("S", "e"), QStringLiteral("\""));
    EXPECT_EQ(read("S", "f"), QStringLiteral("\"inner\""));
    EXPECT_EQ(read("S", "g"), QString());
    EXPECT_TRUE(IniKeyExists(path(), QStringLiteral("S"), QStringLiteral("g")));
}

TEST_F(IniFile, ValuesThatReadingWouldAlterAreWrittenQuotedAndReadBackUnchanged) {
    const QStringList values{QStringLiteral(" lead"),    QStringLiteral("trail\t"),
                             QStringLiteral("\"both\""), QStringLiteral("'x'"),
                             QStringLiteral("\"half"),   QStringLiteral("a = b ; c")};
    for (const QString& v : values) {
        IniWriteString(path(), QStringLiteral("S"), QStringLiteral("k"), v);
        EXPECT_EQ(read("S", "k"), v) << v.toStdString();
    }
    IniWriteString(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral(" lead"));
    EXPECT_EQ(contents(), QByteArray("[S]\r\nk=\" lead\"\r\n"));
}

TEST_F(IniFile, BytesOfScrambledProfilesSurviveExactly) {
    // As an earlier installation left it: high bytes, "=" and ";" inside.
    const QByteArray stored("!W5{\x81=\xFF;;\xE9Q=");
    put("[Adatbazis]\r\nConStr1=" + stored + "\r\n");
    EXPECT_EQ(IniReadBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"), {}),
              stored);
    EXPECT_EQ(ToCp1250(read("Adatbazis", "ConStr1")), stored);

    QByteArray plain;
    for (int b = 0; b < 256; ++b)
        if (b != 0x09 && b != 0x0C) plain.append(static_cast<char>(b));  // see below
    for (int round = 0; round < 20; ++round) {
        const QByteArray scrambled = ScramblePassword(plain);
        IniWriteBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr2"), scrambled);
        ASSERT_EQ(IniReadBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr2"), {}),
                  scrambled);
    }
    EXPECT_EQ(IniReadBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"), {}),
              stored);

    // Fillers may be quote characters; one in front and one at the end must
    // not be taken for quoting.
    const QByteArray quoted("\"AB\x62\"");
    IniWriteBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr3"), quoted);
    EXPECT_EQ(IniReadBytes(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr3"), {}),
              quoted);
}

TEST_F(IniFile, ValuesAndNamesAFileCannotHoldAreRefused) {
    put("[S]\r\nk=old\r\n");
    // A tab or form feed in a profile shifts to LF or CR when scrambled.
    const QByteArray withLineBreak = ScramblePassword(QByteArray("a\tb"));
    EXPECT_THROW(IniWriteBytes(path(), QStringLiteral("S"), QStringLiteral("k"), withLineBreak),
                 SettingsError);
    EXPECT_THROW(
        IniWriteString(path(), QStringLiteral("S"), QStringLiteral("a=b"), QStringLiteral("v")),
        SettingsError);
    EXPECT_THROW(
        IniWriteString(path(), QStringLiteral("S]"), QStringLiteral("k"), QStringLiteral("v")),
        SettingsError);
    EXPECT_THROW(IniWriteString(path(), QString(), QStringLiteral("k"), QStringLiteral("v")),
                 SettingsError);
    EXPECT_THROW(
        IniWriteString(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("\u2713")),
        EncodingError);
    EXPECT_EQ(contents(), QByteArray("[S]\r\nk=old\r\n"));
}

TEST_F(IniFile, AnUnwritableFileIsAnErrorNamingThePath) {
    const QString missing = dir_.filePath(QStringLiteral("nincs/Zomi.ini"));
    try {
        IniWriteString(missing, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
        FAIL() << "write into a missing folder succeeded";
    } catch (const SettingsError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.toStdString()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(QDir(dir_.filePath(QStringLiteral("nincs"))).exists());
    // Reading it is no error: a missing file means defaults.
    EXPECT_EQ(IniReadString(missing, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
}

// In the package's all-users folder the next user must be able to change
// the file that the first one wrote, whatever their umask was.
TEST_F(IniFile, AFileInASharedFolderIsTheGroupsToChangeAndNeverEveryones) {
    const auto group = QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    IniWriteString(path(), QStringLiteral("Defaults"), QStringLiteral("Format"),
                   QStringLiteral("0"));
    EXPECT_NE(QFile::permissions(path()) & group, group) << "a private folder stays private";

    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) |
                                                       QFileDevice::WriteGroup |
                                                       QFileDevice::ExeGroup));
    IniWriteString(path(), QStringLiteral("Defaults"), QStringLiteral("Format"),
                   QStringLiteral("1"));
    EXPECT_EQ(QFile::permissions(path()) & group, group);

    // Not even in a folder everyone may write (as earlier versions of the
    // package made it): a settings file anyone may change is refused.
    ASSERT_TRUE(
        QFile::setPermissions(path(), QFile::permissions(path()) | QFileDevice::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) |
                                                       QFileDevice::WriteOther |
                                                       QFileDevice::ExeOther));
    IniWriteString(path(), QStringLiteral("Defaults"), QStringLiteral("Format"),
                   QStringLiteral("2"));
    EXPECT_FALSE(QFile::permissions(path()) & QFileDevice::WriteOther);
}

// A user's own file holds the scrambled passwords: nobody else may read it,
// whether it is new or was readable for everyone before.
TEST_F(IniFile, AUsersOwnFileIsReadableByItsOwnerAlone) {
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto permissions = [&] {
        return QFile::permissions(path()) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser);
    };
    IniWriteString(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"),
                   QStringLiteral("x"));
    EXPECT_EQ(permissions(), ownerOnly);
    ASSERT_TRUE(
        QFile::setPermissions(path(), ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    IniWriteString(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"),
                   QStringLiteral("y"));
    EXPECT_EQ(permissions(), ownerOnly);
    EXPECT_EQ(read("Adatbazis", "ConStr1"), QStringLiteral("y"));
}

TEST_F(IniFile, TheFirstOfDuplicateKeysCounts) {
    put("[S]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n");
    EXPECT_EQ(read("S", "k"), QStringLiteral("1"));
    IniWriteString(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("9"));
    EXPECT_EQ(contents(), QByteArray("[S]\r\nk=9\r\nK=2\r\n[S]\r\nk=3\r\n"));
}

TEST_F(IniFile, DeletingAKeyRemovesItsLineOnly) {
    put("[Adatbazis]\r\nConStr1=a\r\nConStr2=b\n; note\r\n[X]\r\nConStr1=c\r\n");
    IniDeleteKey(path(), QStringLiteral("adatbazis"), QStringLiteral("constr2"));
    EXPECT_EQ(contents(), QByteArray("[Adatbazis]\r\nConStr1=a\r\n; note\r\n[X]\r\nConStr1=c\r\n"));
    IniDeleteKey(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr1"));
    IniDeleteKey(path(), QStringLiteral("Adatbazis"), QStringLiteral("ConStr7"));
    EXPECT_EQ(contents(), QByteArray("[Adatbazis]\r\n; note\r\n[X]\r\nConStr1=c\r\n"));

    const QString missing = dir_.filePath(QStringLiteral("other.ini"));
    IniDeleteKey(missing, QStringLiteral("S"), QStringLiteral("k"));
    EXPECT_FALSE(QFile::exists(missing));
}

}  // namespace
}  // namespace zomi
