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
TEST(Folders, CommonAppDataIsTheFirstWritableMachineWideFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString own = tmp.filePath(QStringLiteral("own"));
    const QString shared = tmp.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(own));
    ASSERT_TRUE(QDir().mkpath(shared));
    const QString missing = tmp.filePath(QStringLiteral("missing"));

    EnvironmentOverride home("XDG_DATA_HOME", QFile::encodeName(own));
    {
        EnvironmentOverride dirs("XDG_DATA_DIRS",
                                 QFile::encodeName(missing + QLatin1Char(':') + shared + '/'));
        EXPECT_EQ(CommonAppDataDir(), shared);
        EXPECT_EQ(SpecialFolder(SpecialFolderId::CommonAppData), shared);
    }
    {
        // No machine-wide folder to write to: the user's own one.
        EnvironmentOverride dirs("XDG_DATA_DIRS", QFile::encodeName(missing));
        EXPECT_EQ(CommonAppDataDir(), own);
    }
}
#endif

}  // namespace
}  // namespace zomi
