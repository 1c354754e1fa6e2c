#include <gtest/gtest.h>

#include "common/Beall.h"
#include "common/Rights.h"
#include "db/DbRoutines.h"
#include "db/RightsSetting.h"
#include "dbaccess/DbError.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using test::TestDatabase;

class RightsSettingTest : public ::testing::Test {
  protected:
    RightsSettingTest() : db(TestDatabase::Content::Schema), c(db.connect()) {
        SetMainConnection(c.get());
    }
    ~RightsSettingTest() override {
        SetMainConnection(nullptr);
        Beall = TBeall();
    }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
};

// A database made from the structure guards the rights; one of the Windows
// clients' (no table of Zomi's own) does not until an administrator says so,
// and then has the same table as a new database.
TEST_F(RightsSettingTest, OnInANewDatabaseOffInAnOldOneUntilSwitchedOn) {
    EXPECT_TRUE(ReadRightsEnforced());
    StoreRightsEnforced(false);
    EXPECT_FALSE(ReadRightsEnforced());

    const auto structure = [this] {
        return QString::fromUtf8(
            c->query(QStringLiteral("SHOW CREATE TABLE jogosultsag"))->row(0).cell(1));
    };
    const QString created = structure();
    c->exec(QStringLiteral("DROP TABLE jogosultsag"));
    EXPECT_FALSE(ReadRightsEnforced());
    StoreRightsEnforced(true);
    EXPECT_TRUE(ReadRightsEnforced());
    EXPECT_EQ(structure(), created);
    StoreRightsEnforced(true);  // once more: still the one row
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM jogosultsag;"), QString()),
              QStringLiteral("1"));

    // An empty table counts as off; any other failure is not taken for off.
    c->exec(QStringLiteral("DELETE FROM jogosultsag"));
    EXPECT_FALSE(ReadRightsEnforced());
    c->exec(QStringLiteral("ALTER TABLE jogosultsag DROP COLUMN kotelezo"));
    EXPECT_THROW(ReadRightsEnforced(), dbaccess::DbError);
}

TEST(Rights, HoldOnlyWhereTheSettingIsOn) {
    Beall = TBeall();
    Beall.Nyomtathat = true;
    for (const Right right : {Right::Administrator, Right::MasterData, Right::Print})
        EXPECT_TRUE(HasRight(right));
    Beall.RightsEnforced = true;
    EXPECT_FALSE(HasRight(Right::Administrator));
    EXPECT_FALSE(HasRight(Right::MasterData));
    EXPECT_TRUE(HasRight(Right::Print));
    EXPECT_EQ(RightRefusal(Right::MasterData),
              QStringLiteral("Ehhez a művelethez „Törzsadat szerkesztés” jogosultság kell."));
    Beall = TBeall();
}

}  // namespace
}  // namespace zomi
