// The users' rights where the database's setting makes them hold: a clerk
// logged in sees what he may not do disabled, with the right it needs, and
// the openers refuse it; in a database of the Windows clients' practice he
// may do everything until an administrator switches the setting on.

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Beallit.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "masterdata/TorzsVallalkozo.h"
#include "support/BoxRecorder.h"
#include "support/Installation.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"
#include "users/Felhasznalo.h"
#include "users/Login.h"

using namespace zomi;
using test::BoxRecorder;
using test::TestDatabase;

namespace {

const QStringList kAdministrators = {QStringLiteral("aFelhasznalo"), QStringLiteral("aAdatbazis"),
                                     QStringLiteral("aSQL"), QStringLiteral("aBeallit")};
const QStringList kPrinting = {QStringLiteral("aNyomtat"), QStringLiteral("aExcelbe")};

// A demo database that asks for a login, with the clerk "jozsi" (password
// "titok") holding only the rights given.
struct Office {
    explicit Office(const QString& rights = QStringLiteral("'N', 'N', 'N'"))
        : db(TestDatabase::Content::Demo) {
        auto c = db.connect();
        c->exec(QStringLiteral("UPDATE beallit SET vanbelep = 'I'"));
        c->exec(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszomd5, "
                               "rendszergazda, torzsszerkeszt, nyomtathat) VALUES ('jozsi', "
                               "'Kovács József', MD5('titok'), %1)")
                    .arg(rights));
    }
    TestDatabase db;
    test::Installation installation{db, QStringLiteral("Iroda")};
};

void logInAs(const QString& name, const QString& password) {
    test::WhenModal([name, password](QWidget* w) {
        auto* login = qobject_cast<Tfrm_Login*>(w);
        QVERIFY(login);
        QTest::keyClicks(login->Edit1, name);
        QTest::keyClicks(login->Edit2, password);
        QTest::mouseClick(login->btnOK, Qt::LeftButton);
    });
}

}  // namespace

class RightsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { Beall = TBeall(); }
    void cleanup() { Beall = TBeall(); }

    void aClerkSeesWhatHeMayNotDoDisabledAndIsRefused() {
        Office office;
        BoxRecorder boxes;
        logInAs(QStringLiteral("jozsi"), QStringLiteral("titok"));
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        QVERIFY(Beall.RightsEnforced);
        for (const QString& name : kAdministrators + kPrinting) {
            QAction* action = window.action(name);
            QVERIFY2(!action->isEnabled(), qPrintable(name));
            const QString right = kPrinting.contains(name) ? QStringLiteral("Nyomtathat")
                                                           : QStringLiteral("Rendszergazda");
            QVERIFY2(action->toolTip().contains(right), qPrintable(action->toolTip()));
        }
        for (const char* name : {"aUj", "aSzerkeszt", "aStatuszBeallit", "aVallalkozo"})
            QVERIFY2(window.action(QString::fromLatin1(name))->isEnabled(), name);

        // An opener reached any other way refuses, naming the right; a
        // window that opened all the same would be closed again.
        bool opened = false;
        test::WhenModal([&](QWidget*) { opened = true; }, 5, false);
        ShowUsers();
        QTest::qWait(100);
        QVERIFY(!opened);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown.last().kind, BoxKind::Error);
        QCOMPARE(boxes.lastText(),
                 QStringLiteral("Ehhez a művelethez „Rendszergazda” jogosultság kell."));
    }

    void masterDataChangesNeedTheirRight() {
        test::WindowFixture fixture;
        Beall.RightsEnforced = true;
        Beall.Nyomtathat = true;
        const QString count = QStringLiteral("SELECT COUNT(*) FROM vallalkozo;");
        const QString before = QueryText(count, QString());
        {
            Tfrm_TorzsVallalkozo window(-1, true);
            window.show();
            test::Activate(&window);
            for (QAction* change : {window.aUj, window.aSzerkeszt, window.aTorol}) {
                QVERIFY(!change->isEnabled());
                QVERIFY(change->toolTip().contains(QStringLiteral("Törzsadat szerkesztés")));
            }
            QTest::keyClick(window.DBGrid1, Qt::Key_Insert);
            QVERIFY(fixture.boxes.shown.isEmpty());
            window.aTorolExecute();  // what a key the action missed would run
            QCOMPARE(
                fixture.boxes.lastText(),
                QStringLiteral("Ehhez a művelethez „Törzsadat szerkesztés” jogosultság kell."));
            // Choosing is not a change.
            QVERIFY(window.aElfogad->isEnabled());
        }
        QCOMPARE(QueryText(count, QString()), before);

        Beall.TorzsSzerkeszt = true;
        Tfrm_TorzsVallalkozo window(-1, false);
        for (QAction* change : {window.aUj, window.aSzerkeszt, window.aTorol})
            QVERIFY(change->isEnabled());
    }

    void aDatabaseOfTheWindowsClientsLetsEveryUserDoEverything() {
        Office office(QStringLiteral("'N', 'N', 'N'"));
        office.db.connect()->exec(QStringLiteral("DROP TABLE jogosultsag"));
        BoxRecorder boxes;
        logInAs(QStringLiteral("jozsi"), QStringLiteral("titok"));
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        QVERIFY(!Beall.RightsEnforced);
        for (const QString& name : kAdministrators + kPrinting)
            QVERIFY2(window.action(name)->isEnabled(), qPrintable(name));

        // Only an administrator may switch it on.
        bool enabled = true;
        test::WhenModal([&](QWidget* w) {
            enabled = static_cast<Tfrm_Beallit*>(w)->chkJogosultsag->isEnabled();
        });
        window.action(QStringLiteral("aBeallit"))->trigger();
        QVERIFY(!enabled);
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
    }

    void anAdministratorSwitchesTheSettingAndTheWindowFollows() {
        Office office(QStringLiteral("'I', 'N', 'N'"));
        BoxRecorder boxes;
        logInAs(QStringLiteral("jozsi"), QStringLiteral("titok"));
        Tfrm_Main window;
        QVERIFY(window.startUp());
        window.settleList();
        // An administrator's login offers the attachment tables once: declined here.
        QVERIFY2(boxes.lastText().contains(QStringLiteral("zomi_csatolmany")),
                 qPrintable(boxes.lastText()));
        boxes.shown.clear();
        QVERIFY(!window.action(QStringLiteral("aNyomtat"))->isEnabled());
        test::WhenModal([](QWidget* w) {
            auto* dialog = static_cast<Tfrm_Beallit*>(w);
            QVERIFY(dialog->chkJogosultsag->isEnabled());
            QVERIFY(dialog->chkJogosultsag->isChecked());
            dialog->chkJogosultsag->click();
            QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        });
        window.action(QStringLiteral("aBeallit"))->trigger();
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
        QCOMPARE(QueryText(QStringLiteral("SELECT kotelezo FROM jogosultsag;"), QString()),
                 QStringLiteral("N"));
        QVERIFY(!Beall.RightsEnforced);
        QVERIFY(window.action(QStringLiteral("aNyomtat"))->isEnabled());
        QCOMPARE(window.action(QStringLiteral("aNyomtat"))->toolTip(), QStringLiteral("Nyomtat"));
    }
};

QTEST_MAIN(RightsTest)
#include "RightsTest.moc"
