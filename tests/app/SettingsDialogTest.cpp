// The settings dialog against the settings row of a test database, and the
// about box.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/Beallit.h"
#include "app/Nevjegy.h"
#include "common/Beall.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

QString storedLogin() {
    return QueryText(QStringLiteral("SELECT IFNULL(vanbelep, 'NULL') FROM beallit;"),
                     QStringLiteral("no row"));
}

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> connection_;

  private slots:
    void init() {
        const QString path = dir_.filePath(QStringLiteral("Zomi.ini"));
        QFile::remove(path);
        SetSettingsPath(path);
        Beall = TBeall{};
        db_ = std::make_unique<TestDatabase>();
        connection_ = db_->connect();
        SetMainConnection(connection_.get());
    }

    void cleanup() {
        SetMainConnection(nullptr);
        connection_.reset();
        db_.reset();
    }

    // The settings dialog -----------------------------------------------------

    void okStoresTheTickedState_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("unticked") << "I"
                                  << "N";
        QTest::newRow("ticked") << "N"
                                << "I";
    }

    void okStoresTheTickedState() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = '%1';").arg(before));
        bool wasTicked = false;
        test::WhenModal([&](QWidget* w) {
            auto* dialog = static_cast<Tfrm_Beallit*>(w);
            wasTicked = dialog->DBCheckBox1->isChecked();
            QTest::mouseClick(dialog->DBCheckBox1, Qt::LeftButton);
            QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        });
        ShowSettingsDialog(nullptr);
        QCOMPARE(wasTicked, before == QLatin1String("I"));
        QCOMPARE(storedLogin(), after);
    }

    void cancellingKeepsTheStoredValueEvenAfterAClick() {
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'I';"));
        {
            Tfrm_Beallit w;
            w.show();
            QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
            QTest::mouseClick(w.Button2, Qt::LeftButton);
            QVERIFY(!w.isVisible());
        }
        QCOMPARE(storedLogin(), QStringLiteral("I"));

        Tfrm_Beallit w;
        w.show();
        QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(storedLogin(), QStringLiteral("I"));
    }

    void enterOnTheBoxMovesOnInsteadOfPressingOk() {
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'I';"));
        Tfrm_Beallit w;
        w.show();
        test::Activate(&w);
        QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
        w.DBCheckBox1->setFocus();
        QTest::keyClick(w.DBCheckBox1, Qt::Key_Return);
        QVERIFY(w.isVisible());
        QVERIFY(QApplication::focusWidget() != w.DBCheckBox1);
        QCOMPARE(storedLogin(), QStringLiteral("I"));
    }

    void emptyTableGetsItsRowOnOk() {
        ExecSql(QStringLiteral("DELETE FROM beallit;"));
        {
            Tfrm_Beallit w;
            w.show();
            QVERIFY(!w.DBCheckBox1->isChecked());
            QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
            QTest::mouseClick(w.Button2, Qt::LeftButton);
        }
        QCOMPARE(QueryInt(QStringLiteral("SELECT COUNT(*) FROM beallit;"), -1), 0);

        Tfrm_Beallit w;
        w.show();
        QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(QueryInt(QStringLiteral("SELECT COUNT(*) FROM beallit;"), -1), 1);
        QCOMPARE(QueryInt(QStringLiteral("SELECT beallit FROM beallit;"), -1), 1);
        QCOMPARE(storedLogin(), QStringLiteral("I"));
    }

    void aChangeFromAnotherWorkstationIsNotOverwritten() {
        BoxRecorder boxes;
        ExecSql(QStringLiteral("UPDATE beallit SET vanbelep = 'N';"));
        Tfrm_Beallit w;
        w.show();
        db_->connect()->exec(QStringLiteral("UPDATE beallit SET vanbelep = NULL"));
        QTest::mouseClick(w.DBCheckBox1, Qt::LeftButton);
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown.first().kind, BoxKind::Error);
        QCOMPARE(storedLogin(), QStringLiteral("NULL"));
    }

    void aMissingTableShowsTheServersMessage() {
        BoxRecorder boxes;
        ExecSql(QStringLiteral("DROP TABLE beallit;"));
        ShowSettingsDialog(nullptr);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown.first().caption, QStringLiteral("Hiba"));
        QVERIFY2(boxes.lastText().contains(QStringLiteral("beallit")),
                 qPrintable(boxes.lastText()));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void dialogKeepsItsPositionAndTakesTheFontSize() {
        WriteIntSetting(QStringLiteral("frm_Beallit"), QStringLiteral("Left"), 33);
        WriteIntSetting(QStringLiteral("frm_Beallit"), QStringLiteral("Top"), 44);
        Beall.FontSize = 13;
        Tfrm_Beallit w;
        w.show();
        QCOMPARE(w.pos(), QPoint(33, 44));
        QCOMPARE(w.DBCheckBox1->font().pointSize(), 13);
        QVERIFY(w.DBCheckBox1->geometry().right() < w.width());
        w.move(55, 66);
        w.reject();
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Beallit"), QStringLiteral("Left"), 0), 55);
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Beallit"), QStringLiteral("Top"), 0), 66);
    }

    // The about box -----------------------------------------------------------

    void aboutShowsNameAndVersionOnTwoLines() {
        QString caption;
        QStringList productLines;
        QString contacts;
        test::WhenModal([&](QWidget* w) {
            auto* about = static_cast<Tfrm_Nevjegy*>(w);
            caption = about->windowTitle();
            productLines = about->ProductName->text().split(QLatin1Char('\n'));
            contacts = about->Label2->text();
            QTest::mouseClick(about->OKButton, Qt::LeftButton);
        });
        ShowAbout(nullptr);
        QCOMPARE(caption, QStringLiteral("Névjegy"));
        QCOMPARE(productLines, QStringList({QStringLiteral("Zomi"), QStringLiteral("V23.0.0.44")}));
        QVERIFY(contacts.contains(QStringLiteral("Tarvelo")));
    }

    void aboutLabelsKeepTheirOwnFonts() {
        Beall.FontSize = 14;
        Tfrm_Nevjegy w;
        w.show();
        QCOMPARE(w.font().pointSize(), 14);
        QCOMPARE(w.Label2->font().pointSize(), 14);
        QCOMPARE(w.ProductName->font().pixelSize(), 15);
        QVERIFY(w.ProductName->font().bold());
        // The bigger font grows the box instead of cutting off the contacts.
        QVERIFY(w.Label2->mapTo(&w, QPoint(0, w.Label2->height())).y() <= w.OKButton->y());
        QVERIFY(w.Label2->width() >= w.Label2->sizeHint().width());
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "SettingsDialogTest.moc"
