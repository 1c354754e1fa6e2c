#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "common/Folders.h"

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
#endif

}  // namespace
}  // namespace zomi
