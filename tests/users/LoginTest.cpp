// The login window and its password change, typed into like a user would,
// against the user table of a test database.

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "common/Beall.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "support/BoxRecorder.h"
#include "support/ServerLog.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"
#include "ui/Boxes.h"
#include "ui/WindowHelpers.h"
#include "users/Login.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

const QString kInvalid = QStringLiteral("Érvénytelen felhasználó, vagy jelszó");

// QTest::keyClicks takes ASCII only; other letters come as key events that
// carry their text, as a Hungarian keyboard layout delivers them.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void typeLogin(Tfrm_Login& w, const QString& name, const QString& password) {
    w.Edit1->clear();
    w.Edit2->clear();
    typeText(w.Edit1, name);
    typeText(w.Edit2, password);
}

QString digestOf(const QString& login) {
    return QueryText(
        QStringLiteral("SELECT jelszomd5 FROM felhasznalo WHERE felhasznalo = '%1';").arg(login),
        QString());
}

}  // namespace

class LoginTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<dbaccess::Connection> connection_;

  private slots:
    void init() {
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

    // Logging in --------------------------------------------------------------

    void rightNameAndPasswordLogInAndFillTheUser() {
        Tfrm_Login w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Edit1->setFocus();
        QCOMPARE(w.Edit1->palette().color(QPalette::Base), FocusColor());
        QTest::keyClicks(w.Edit1, QStringLiteral("admin"));
        QTest::keyClick(w.Edit1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.Edit2);
        QVERIFY(w.Edit1->palette().color(QPalette::Base) != FocusColor());
        QTest::keyClicks(w.Edit2, QStringLiteral("admin"));
        QCOMPARE(w.Edit2->displayText(), QStringLiteral("*****"));
        QTest::mouseClick(w.btnOK, Qt::LeftButton);

        QVERIFY(w.LoginOK());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(Beall.Felhasznalo, QStringLiteral("Rendszergazda"));
        QVERIFY(Beall.Rendszergazda && Beall.TorzsSzerkeszt && Beall.Nyomtathat);
    }

    void rightsCountOnlyWhenTheyAreI() {
        ExecSql(
            QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszomd5, "
                           "rendszergazda, torzsszerkeszt, nyomtathat) VALUES "
                           "('vendeg', NULL, MD5('v'), 'i', 'I', NULL);"));
        Beall.Felhasznalo = QStringLiteral("előző");
        QVERIFY(CheckCredentials(QStringLiteral("vendeg"), QStringLiteral("v"), nullptr));
        QCOMPARE(Beall.Felhasznalo, QString());
        QVERIFY(!Beall.Rendszergazda);
        QVERIFY(Beall.TorzsSzerkeszt);
        QVERIFY(!Beall.Nyomtathat);
    }

    void wrongNameOrPasswordIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::newRow("name in another case") << "Admin"
                                              << "admin";
        QTest::newRow("wrong password") << "admin"
                                        << "Admin";
        QTest::newRow("unknown name") << "nincs"
                                      << "admin";
        QTest::newRow("trailing blank") << "admin "
                                        << "admin";
        QTest::newRow("nothing typed") << ""
                                       << "";
    }

    void wrongNameOrPasswordIsRefused() {
        QFETCH(QString, name);
        QFETCH(QString, password);
        BoxRecorder boxes;
        Tfrm_Login w;
        w.show();
        typeLogin(w, name, password);
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{kInvalid});
        QCOMPARE(boxes.shown.first().caption, QStringLiteral("Hiba"));
        QVERIFY(w.isVisible());
        QVERIFY(!w.LoginOK());
        QCOMPARE(w.Edit1->text(), name);
        QVERIFY(Beall.Felhasznalo.isEmpty());
    }

    void storedPasswordsWithSpecialCharactersLogIn_data() {
        QTest::addColumn<QString>("literal");   // as the server is given it
        QTest::addColumn<QString>("password");  // as the user types it
        QTest::newRow("empty") << "''"
                               << "";
        QTest::newRow("quote") << "'it''s'"
                               << "it's";
        QTest::newRow("backslash") << "'a\\\\b\\\\'"
                                   << "a\\b\\";
        QTest::newRow("Hungarian letters") << "'tűzoltó'"
                                           << "tűzoltó";
    }

    void storedPasswordsWithSpecialCharactersLogIn() {
        QFETCH(QString, literal);
        QFETCH(QString, password);
        BoxRecorder boxes;
        ExecSql(QStringLiteral("INSERT INTO felhasznalo (felhasznalo, felhasznalo_nev, jelszomd5) "
                               "VALUES ('proba', 'Próba', MD5(%1));")
                    .arg(literal));
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("proba"), password);
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.lastText()));
        QVERIFY(w.LoginOK());
        QCOMPARE(Beall.Felhasznalo, QStringLiteral("Próba"));
    }

    void aServerErrorIsShownAndTheWindowStays() {
        BoxRecorder boxes;
        ExecSql(QStringLiteral("DROP TABLE felhasznalo;"));
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("admin"), QStringLiteral("admin"));
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.lastText().contains(QStringLiteral("felhasznalo")),
                 qPrintable(boxes.lastText()));
        QVERIFY(w.isVisible());
    }

    // RunLogin ----------------------------------------------------------------

    void runLoginTellsWhetherSomeoneLoggedIn() {
        BoxRecorder boxes;
        test::WhenModal([](QWidget* w) {
            auto* login = static_cast<Tfrm_Login*>(w);
            typeLogin(*login, QStringLiteral("admin"), QStringLiteral("rossz"));
            QTest::mouseClick(login->btnOK, Qt::LeftButton);
            typeLogin(*login, QStringLiteral("admin"), QStringLiteral("admin"));
            QTest::mouseClick(login->btnOK, Qt::LeftButton);
        });
        QVERIFY(RunLogin());
        QCOMPARE(boxes.texts(), QStringList{kInvalid});
    }

    void givingUpTheLoginReturnsFalse() {
        BoxRecorder boxes;
        test::WhenModal([](QWidget* w) {
            auto* login = static_cast<Tfrm_Login*>(w);
            typeLogin(*login, QStringLiteral("admin"), QStringLiteral("rossz"));
            QTest::mouseClick(login->btnOK, Qt::LeftButton);
            QTest::mouseClick(login->btnMegsem, Qt::LeftButton);
        });
        QVERIFY(!RunLogin());

        test::WhenModal([](QWidget* w) {
            typeLogin(*static_cast<Tfrm_Login*>(w), QStringLiteral("admin"),
                      QStringLiteral("admin"));
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QVERIFY(!RunLogin());
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Password change ---------------------------------------------------------

    void passwordChangeReplacesTheDigest() {
        BoxRecorder boxes;
        boxes.defaultAnswer = true;
        boxes.inputs << QStringLiteral("új'\\jelszó") << QStringLiteral("új'\\jelszó");
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("admin"), QStringLiteral("admin"));
        QTest::mouseClick(w.btnUjJelszo, Qt::LeftButton);

        QCOMPARE(boxes.shown.size(), 3);
        QCOMPARE(boxes.shown[0].kind, BoxKind::Input);
        QCOMPARE(boxes.shown[0].caption, QStringLiteral("Jelszó megadása"));
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Add meg az új jelszót"));
        QCOMPARE(boxes.shown[0].value, QString());
        QCOMPARE(boxes.shown[1].caption, QStringLiteral("Megerősítés"));
        QCOMPARE(boxes.shown[1].text, QStringLiteral("Add újra az új jelszót"));
        QCOMPARE(boxes.shown[2].kind, BoxKind::Info);
        QCOMPARE(boxes.shown[2].text, QStringLiteral("Jelszó változtatás kész."));
        QCOMPARE(digestOf(QStringLiteral("admin")),
                 QueryText(QStringLiteral("SELECT MD5('új''\\\\jelszó');"), QString()));
        QVERIFY(w.isVisible());
        QCOMPARE(w.Edit2->text(), QStringLiteral("admin"));

        boxes.shown.clear();
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{kInvalid});
        w.Edit2->clear();
        typeText(w.Edit2, QStringLiteral("új'\\jelszó"));
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QVERIFY(w.LoginOK());
        QVERIFY(!w.isVisible());
    }

    void passwordChangeStopsWithoutChanging_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("expectedBoxes");
        QTest::newRow("mismatch") << QList<bool>{true, true, true} << QStringList{"egy", "kettő"}
                                  << QStringList{"Add meg az új jelszót", "Add újra az új jelszót",
                                                 "A megadott jelszavak nem egyezőek"};
        QTest::newRow("first prompt cancelled")
            << QList<bool>{false} << QStringList{"egy"} << QStringList{"Add meg az új jelszót"};
        QTest::newRow("second prompt cancelled")
            << QList<bool>{true, false} << QStringList{"egy", "egy"}
            << QStringList{"Add meg az új jelszót", "Add újra az új jelszót"};
    }

    void passwordChangeStopsWithoutChanging() {
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, expectedBoxes);
        BoxRecorder boxes;
        boxes.answers = answers;
        boxes.inputs = inputs;
        const QString before = digestOf(QStringLiteral("admin"));
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("admin"), QStringLiteral("admin"));
        QTest::mouseClick(w.btnUjJelszo, Qt::LeftButton);
        QCOMPARE(boxes.texts(), expectedBoxes);
        QCOMPARE(digestOf(QStringLiteral("admin")), before);
        QVERIFY(w.isVisible());
    }

    // Neither the password typed at the login nor a new one reaches the
    // server: a server a profile was pointed at would see every one of them.
    void passwordsAreNeverSentToTheServer() {
        ExecSql(QStringLiteral("UPDATE felhasznalo SET jelszomd5 = %1 WHERE felhasznalo = 'admin';")
                    .arg(SqlQuote(PasswordDigest(QStringLiteral("régi-titok")))));
        BoxRecorder boxes;
        boxes.defaultAnswer = true;
        boxes.inputs << QStringLiteral("új-titok") << QStringLiteral("új-titok");
        test::ServerLog log;
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("admin"), QStringLiteral("régi-titok"));
        QTest::mouseClick(w.btnUjJelszo, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 3);
        w.Edit2->clear();
        typeText(w.Edit2, QStringLiteral("új-titok"));
        QTest::mouseClick(w.btnOK, Qt::LeftButton);
        QVERIFY(w.LoginOK());
        QVERIFY(!log.received(QStringLiteral("-titok")));
        // The stored digest is still the server's own for the new password.
        QCOMPARE(digestOf(QStringLiteral("admin")),
                 QueryText(QStringLiteral("SELECT MD5('új-titok');"), QString()));
    }

    void passwordChangeWithWrongPasswordAsksNothing() {
        BoxRecorder boxes;
        boxes.defaultAnswer = true;
        const QString before = digestOf(QStringLiteral("admin"));
        Tfrm_Login w;
        w.show();
        typeLogin(w, QStringLiteral("admin"), QStringLiteral("nem ez"));
        QTest::mouseClick(w.btnUjJelszo, Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{kInvalid});
        QCOMPARE(digestOf(QStringLiteral("admin")), before);
    }
};

QTEST_MAIN(LoginTest)
#include "LoginTest.moc"
