#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "common/FileProblems.h"
#include "common/IniFile.h"
#include "support/SmallDisk.h"

namespace zomi {
namespace {

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(FileProblemsTest, TheSystemsTextOfAReasonBecomesHungarianWhateverWroteIt) {
    const QString noSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));
    EXPECT_EQ(WriteFailureReason(QStringLiteral("/tmp/x.sql"), noSpace),
              QStringLiteral("nincs több szabad hely a lemezen"));
    // As libzip puts it, with its own words before.
    EXPECT_EQ(WriteFailureReason(QStringLiteral("/tmp/x.zip"),
                                 QStringLiteral("Write error: Read-only file system")),
              QStringLiteral("a fájlrendszer csak olvasható"));
    // Nothing found: the library's own words stay.
    EXPECT_EQ(WriteFailureReason(QDir::tempPath() + QStringLiteral("/x"), QStringLiteral("Valami")),
              QStringLiteral("Valami"));
    EXPECT_EQ(WriteFailureReason(QStringLiteral("/nincs/ilyen/mappa/x.sql"),
                                 QStringLiteral("Unknown error")),
              QStringLiteral("a mappa nem létezik"));
}

TEST(FileProblemsTest, AnUnknownErrorOnAFullDeviceIsFoundToBeTheFullDisk) {
    // /dev/full refuses every write as a full disk does.
    EXPECT_EQ(WriteFailureReason(QStringLiteral("/dev/full"), QStringLiteral("Unknown error")),
              QStringLiteral("nincs több szabad hely a lemezen"));
}

TEST(FileProblemsTest, AFullOrReadOnlyFileSystemIsNamedAndTheTrialLeavesNothingBehind) {
    test::SmallDisk full("64k");
    test::SmallDisk readOnly("64k", true);
    if (!full.available() || !readOnly.available()) GTEST_SKIP() << "mount is not permitted here";
    {
        QFile filler(full.filePath(QStringLiteral("kitolto")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QSaveFile file(full.filePath(QStringLiteral("mentes.sql")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1 << 20, 'y'));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(WriteFailureReason(file.fileName(), QStringLiteral("Unknown error")),
              QStringLiteral("nincs több szabad hely a lemezen"));
    EXPECT_EQ(entries(full.path()), QStringList{QStringLiteral("kitolto")});

    EXPECT_EQ(WriteFailureReason(readOnly.filePath(QStringLiteral("mentes.sql")),
                                 QStringLiteral("Unknown error")),
              QStringLiteral("a fájlrendszer csak olvasható"));

    // The settings file says so too, naming itself.
    const QString settings = full.filePath(QStringLiteral("Zomi.ini"));
    try {
        IniWriteString(settings, QStringLiteral("Defaults"), QStringLiteral("Format"),
                       QString(200000, QLatin1Char('9')));
        ADD_FAILURE() << "the settings file was written onto a full disk";
    } catch (const SettingsError& e) {
        const QString message = QString::fromStdString(e.what());
        EXPECT_TRUE(message.contains(settings)) << e.what();
        EXPECT_TRUE(message.contains(QStringLiteral("nincs több szabad hely a lemezen")))
            << e.what();
    }
}

}  // namespace
}  // namespace zomi
