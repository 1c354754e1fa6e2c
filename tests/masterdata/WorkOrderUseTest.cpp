#include <gtest/gtest.h>

#include "db/DbRoutines.h"
#include "masterdata/WorkOrderUse.h"
#include "support/TestDatabase.h"

namespace zomi {
namespace {

using test::TestDatabase;

class WorkOrderUseTest : public ::testing::Test {
  protected:
    WorkOrderUseTest() : c(db.connect()) {
        SetMainConnection(c.get());
        ExecSql(QStringLiteral(
            "INSERT INTO zomi (datum, sorszam, vallalkozo, ktgh, alairas, statusz) VALUES "
            "('2025-01-02', 1, 4, 9, 2, 3), ('2025-01-03', 2, 4, 9, NULL, 3), "
            "('2025-01-04', 3, 5, -1, 2, 1);"));
    }
    ~WorkOrderUseTest() override { SetMainConnection(nullptr); }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> c;
};

TEST_F(WorkOrderUseTest, CountsTheWorkOrdersThatNameTheRowInEachMasterTable) {
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("vallalkozo"), 4), 2);
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("vallalkozo"), 6), 0);
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("ktgh"), 9), 2);
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("alairas"), 2), 2);
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("statusz"), 1), 1);
    // A lookup table the work orders do not refer to is never used.
    EXPECT_EQ(WorkOrdersUsing(QStringLiteral("felhasznalo"), 4), 0);
}

TEST_F(WorkOrderUseTest, OnlyAUsedRowGetsTheLongerQuestion) {
    const QString usual = QStringLiteral("Valóban töröljem a sort?");
    EXPECT_EQ(DeleteQuestion(QStringLiteral("vallalkozo"), 0), usual);
    EXPECT_EQ(DeleteQuestion(QStringLiteral("felhasznalo"), 3), usual);
    const QString site = DeleteQuestion(QStringLiteral("ktgh"), 1);
    EXPECT_TRUE(site.startsWith(QStringLiteral("Ezt a költséghelyet 1 munkalap használja.")))
        << site.toStdString();
    EXPECT_TRUE(site.endsWith(usual));
    // The register has no signatory column: the question says where it shows.
    const QString signatory = DeleteQuestion(QStringLiteral("alairas"), 12);
    EXPECT_TRUE(signatory.contains(QStringLiteral("az aláírás helye üres lesz az exportokban")))
        << signatory.toStdString();
}

}  // namespace
}  // namespace zomi
