#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/FileRights.h"
#include "common/Folders.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "support/SharedFolder.h"

namespace zomi {
namespace {

// Qt reads the XDG variables on every query, so a test can point them at its
// own folders.
class EnvironmentOverride {
  public:
    EnvironmentOverride(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvironmentOverride() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

  private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

#ifdef Q_OS_LINUX
TEST(Folders, AllUsersFolderIsThePackagesOneElseTheUsersOwn) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString own = tmp.filePath(QStringLiteral("own"));
    const QString package = tmp.filePath(QStringLiteral("package"));
    ASSERT_TRUE(QDir().mkpath(own));
    EnvironmentOverride home("XDG_DATA_HOME", QFile::encodeName(own));
    // A shared folder the user happens to be able to write to is not the
    // all-users one: it would differ between root and everyone else.
    EnvironmentOverride dirs("XDG_DATA_DIRS", QFile::encodeName(tmp.path()));

    EXPECT_EQ(AllUsersDataDir(package), own + QStringLiteral("/Zomi.Net"));
    ASSERT_TRUE(QDir().mkpath(package));
    EXPECT_EQ(AllUsersDataDir(package + QLatin1Char('/')), package);
    EXPECT_EQ(CommonAppDataDir(), QStringLiteral("/var/lib"));
}

TEST(FileRights, OnlyTheUserAndRootMayChangeWhatIsTrusted) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString file = tmp.filePath(QStringLiteral("Zomi.ini"));
    IniWriteString(file, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    test::SetMode(file, 0644);
    EXPECT_EQ(ForeignWriters(file), QString());
    EXPECT_EQ(ChangeableByOthers(file), QString());
    EXPECT_EQ(ForeignWriters(tmp.filePath(QStringLiteral("nincs"))), QString());

    test::SetMode(file, 0666);
    EXPECT_EQ(ForeignWriters(file), QStringLiteral("bárki írhatja"));
    EXPECT_TRUE(WritableByEveryone(file));
    EXPECT_EQ(ChangeableByOthers(file),
              QStringLiteral("A(z) „%1” fájlt más felhasználó is módosíthatja (bárki írhatja).")
                  .arg(file));
    test::SetMode(file, 0644);
    test::SetMode(tmp.path(), 01777);
    // The folder is named first: whoever may write it may replace the file.
    EXPECT_TRUE(ChangeableByOthers(file).contains(QStringLiteral("„%1” mappát").arg(tmp.path())));
    test::SetMode(tmp.path(), 0700);

    const QString shared = tmp.filePath(QStringLiteral("kozos"));
    if (!test::MakeGroupShared(shared)) GTEST_SKIP() << "no folder of the group users can be made";
    EXPECT_EQ(ForeignWriters(shared), QStringLiteral("a(z) users csoport tagjai is írhatják"));
    EXPECT_FALSE(WritableByEveryone(shared));
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 65534, static_cast<gid_t>(-1)), 0);
        EXPECT_TRUE(ForeignWriters(file).endsWith(QStringLiteral("felhasználó tulajdona")))
            << ForeignWriters(file).toStdString();
    }
}

TEST(FileRights, APrivateFolderIsTheUsersAloneOrNone) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString made = tmp.filePath(QStringLiteral("a/b"));
    EXPECT_EQ(PrivateFolder(made), made);
    EXPECT_EQ(test::ModeOf(made), 0700u);
    const QString open = tmp.filePath(QStringLiteral("nyitott"));
    ASSERT_TRUE(QDir().mkpath(open));
    test::SetMode(open, 0755);
    EXPECT_EQ(PrivateFolder(open), QString());
    // A link to a private folder is not one: whoever made the link chose where it leads.
    const QString link = tmp.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(made, link));
    EXPECT_EQ(PrivateFolder(link), QString());

    EnvironmentOverride runtime("XDG_RUNTIME_DIR", QFile::encodeName(open));
    EnvironmentOverride cache("XDG_CACHE_HOME",
                              QFile::encodeName(tmp.filePath(QStringLiteral("c"))));
    EXPECT_EQ(UserRuntimeDir(), tmp.filePath(QStringLiteral("c/zomi")));
    EnvironmentOverride ownRuntime("XDG_RUNTIME_DIR", QFile::encodeName(made));
    EXPECT_EQ(UserRuntimeDir(), made);
}

TEST(SharedFolder, FilesWrittenThereAreTheGroupsToChangeAndNobodyElses) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString shared = tmp.filePath(QStringLiteral("zomi"));
    if (!test::MakeGroupShared(shared)) GTEST_SKIP() << "no folder of the group users can be made";
    const QString file = shared + QStringLiteral("/Zomi.ini");
    {
        QFile planted(file);
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    }
    test::SetMode(file, 0606);
    IniWriteString(file, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    EXPECT_EQ(test::ModeOf(file) & 0066, 0064u);
    const QString sub = shared + QStringLiteral("/SQL");
    ASSERT_TRUE(QDir().mkpath(sub));
    ASSERT_TRUE(ShareLikeItsFolder(sub));
    // Its own set-group-id bit stays, so what is written below stays the group's too.
    EXPECT_EQ(test::ModeOf(sub) & 02070, 02070u);
}

TEST(SharedFolder, ASettingsFileEveryoneMayChangeIsRefusedByName) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString ini = tmp.filePath(QStringLiteral("Zomi.ini"));
    SetSettingsPath(ini);
    EXPECT_EQ(SettingsRefusal(), QString());
    EXPECT_EQ(OwnSettingsPath(), ini);
    IniWriteString(ini, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    test::SetMode(ini, 0666);
    EXPECT_TRUE(SettingsRefusal().startsWith(QStringLiteral("A(z) „%1” fájlt bárki").arg(ini)))
        << SettingsRefusal().toStdString();
    test::SetMode(ini, 0644);
    test::SetMode(tmp.path(), 0777);
    EXPECT_TRUE(SettingsRefusal().startsWith(QStringLiteral("A(z) „%1” mappát").arg(tmp.path())));
    test::SetMode(tmp.path(), 0700);

    // The shared file serves everyone, but nothing that names a program to
    // run is kept there: the user's own file is another one.
    const QString shared = tmp.filePath(QStringLiteral("zomi"));
    if (!test::MakeGroupShared(shared)) GTEST_SKIP() << "no folder of the group users can be made";
    EnvironmentOverride home("XDG_DATA_HOME",
                             QFile::encodeName(tmp.filePath(QStringLiteral("own"))));
    SetSettingsPath(shared + QStringLiteral("/Zomi.ini"));
    EXPECT_EQ(SettingsRefusal(), QString());
    EXPECT_EQ(OwnSettingsPath(), tmp.filePath(QStringLiteral("own/Zomi.Net/Zomi.ini")));
    SetSettingsPath(QString());
}
#endif

}  // namespace
}  // namespace zomi
