// The database chooser, the first-run set-up window and the splash, driven
// with keys and clicks against the test server and a settings file of their
// own.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/AdatbazisNyit.h"
#include "app/Init.h"
#include "app/Startup.h"
#include "app/logo.h"
#include "common/Beall.h"
#include "common/Codepage.h"
#include "common/IniFile.h"
#include "common/Scramble.h"
#include "common/Settings.h"
#include "db/ConnectionProfiles.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"
#include "support/WindowTestSupport.h"
#include "ui/Pictures.h"

using namespace zomi;
using zomi::test::BoxRecorder;
using zomi::test::TestDatabase;

namespace {

const QString kCaption = QStringLiteral("Zomi.Net program adatbázis választás");
const QString kSection = QString::fromLatin1(kProfileSection);

// Runs action on the modal window as soon as it is up; whatever the action
// leaves open is closed, so that a failing check cannot hang the test.
QString profileOf(const dbaccess::ConnectionParams& p, const QString& password,
                  const QString& name) {
    return QStringList{p.database, p.host, QString::number(p.port), p.user, password, name}.join(
        QLatin1Char(';'));
}

void fillSetUp(Tfrm_Init* w, const dbaccess::ConnectionParams& p, const QString& password,
               const QString& name) {
    QTest::keyClicks(w->Edit2, p.host);
    QTest::keyClicks(w->Edit3, p.user);
    QTest::keyClicks(w->Edit6, password);
    QTest::keyClicks(w->Edit1, p.database);
    QTest::keyClicks(w->Edit4, name);
    w->Edit5->clear();
    QTest::keyClicks(w->Edit5, QString::number(p.port));
}

bool hasDrawing(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (qAlpha(image.pixel(x, y)) > 0) colours.insert(image.pixel(x, y));
    return colours.size() > 20;
}

}  // namespace

class StartupWindowsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString settingsFile() const { return dir_.filePath(QStringLiteral("Zomi.ini")); }
    bool profileKeyExists(int n) const {
        return IniKeyExists(settingsFile(), kSection, ProfileKey(n));
    }

  private slots:
    void init() {
        QFile::remove(settingsFile());
        SetSettingsPath(settingsFile());
        Beall = TBeall{};
    }

    // The chooser -------------------------------------------------------------

    void oneProfileThatConnectsIsTakenWithoutWindow() {
        TestDatabase db;
        BoxRecorder boxes;
        const QString good = profileOf(db.params(), db.params().password, QStringLiteral("Teszt"));
        QCOMPARE(ChooseDatabase({QStringLiteral("1; Teszt")}, {good}, kCaption), 0);
        QVERIFY(!ChooserWasShown());
        QVERIFY(boxes.shown.isEmpty());
    }

    void oneProfileThatFailsShowsTheErrorThenTheChooser() {
        TestDatabase db;
        BoxRecorder boxes;
        const QString bad =
            profileOf(db.params(), QStringLiteral("rossz"), QStringLiteral("Teszt"));
        QString caption;
        qsizetype boxesBeforeWindow = -1;
        test::WhenModal([&](QWidget* w) {
            caption = w->windowTitle();
            boxesBeforeWindow = boxes.shown.size();
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("Button2")),
                              Qt::LeftButton);
        });
        QCOMPARE(ChooseDatabase({QStringLiteral("1; Teszt")}, {bad}, kCaption), -1);
        QVERIFY(ChooserWasShown());
        QCOMPARE(caption, kCaption);
        QCOMPARE(boxesBeforeWindow, 1);
        QCOMPARE(boxes.shown.first().kind, BoxKind::Error);
        QVERIFY2(boxes.lastText().startsWith(
                     QStringLiteral("Hiba: nem sikerült kapcsolódni a kiszolgálóhoz (gép: %1, "
                                    "port: %2).\nAccess denied")
                         .arg(db.params().host)
                         .arg(db.params().port)),
                 qPrintable(boxes.lastText()));
    }

    void okTestsTheSelectedLineAndStaysOpenWhileItFails() {
        TestDatabase db;
        BoxRecorder boxes;
        const QStringList profiles{
            profileOf(db.params(), QStringLiteral("rossz"), QStringLiteral("Rossz")),
            profileOf(db.params(), db.params().password, QStringLiteral("Jó"))};
        bool openAfterFailure = false;
        test::WhenModal([&](QWidget* w) {
            auto* chooser = static_cast<Tfrm_AdatbazisNyit*>(w);
            QTest::mouseClick(chooser->Button1, Qt::LeftButton);
            openAfterFailure = chooser->isVisible();
            QTest::keyClick(chooser->ListBox1, Qt::Key_Down);
            QTest::mouseClick(chooser->Button1, Qt::LeftButton);
        });
        QCOMPARE(ChooseDatabase({QStringLiteral("1; Rossz"), QStringLiteral("2; Jó")}, profiles,
                                kCaption),
                 1);
        QVERIFY(openAfterFailure);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.lastText().startsWith(QStringLiteral("Hiba: ")));
    }

    void arrowKeysWrapAround() {
        Tfrm_AdatbazisNyit w(
            {QStringLiteral("1; A"), QStringLiteral("2; B"), QStringLiteral("5; C")}, {}, kCaption);
        w.show();
        QCOMPARE(w.ListBox1->currentRow(), 0);
        QTest::keyClick(w.ListBox1, Qt::Key_Up);
        QCOMPARE(w.ListBox1->currentRow(), 2);
        QTest::keyClick(w.ListBox1, Qt::Key_Down);
        QCOMPARE(w.ListBox1->currentRow(), 0);
        QTest::keyClick(w.ListBox1, Qt::Key_Down);
        QCOMPARE(w.ListBox1->currentRow(), 1);
        QTest::keyClick(w.ListBox1, Qt::Key_Up);
        QCOMPARE(w.ListBox1->currentRow(), 0);
    }

    void newFollowedByCancelledSetUpCancelsTheChooser() {
        BoxRecorder boxes;
        QString setUpName;
        test::WhenModal([&](QWidget* w) {
            test::WhenModal([&](QWidget* setUp) {
                setUpName = setUp->objectName();
                QTest::mouseClick(static_cast<Tfrm_Init*>(setUp)->Button3, Qt::LeftButton);
            });
            QTest::mouseClick(static_cast<Tfrm_AdatbazisNyit*>(w)->BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(ChooseDatabase({QStringLiteral("1; A"), QStringLiteral("2; B")}, {}, kCaption),
                 -1);
        QCOMPARE(setUpName, QStringLiteral("frm_Init"));
        QVERIFY(!profileKeyExists(1));
        QVERIFY(Beall.ConStr.isEmpty());
    }

    void newProfileTakesThePositionAfterTheLines() {
        BoxRecorder boxes;
        test::WhenModal([&](QWidget* w) {
            test::WhenModal([&](QWidget* setUp) {
                auto* init = static_cast<Tfrm_Init*>(setUp);
                QTest::keyClicks(init->Edit1, QStringLiteral("uj"));
                QTest::keyClicks(init->Edit2, QStringLiteral("db.example.hu"));
                QTest::keyClick(init->Edit2, Qt::Key_Return, Qt::ControlModifier);
            });
            QTest::mouseClick(static_cast<Tfrm_AdatbazisNyit*>(w)->BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(ChooseDatabase({QStringLiteral("1; A"), QStringLiteral("2; B")}, {}, kCaption), 2);
        QCOMPARE(Beall.ConStr, QStringLiteral("uj;db.example.hu;3306;;;"));
        QCOMPARE(ReadScrambledSetting(kSection, ProfileKey(1)), Beall.ConStr);
    }

    void chooserKeepsItsSizeButNotItsPosition() {
        WriteIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Left"), 3);
        WriteIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Top"), 4);
        WriteIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Width"), 560);
        WriteIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Height"), 430);
        Tfrm_AdatbazisNyit w({QStringLiteral("1; A")}, {}, kCaption);
        w.show();
        QCOMPARE(w.size(), QSize(560, 430));
        const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((w.geometry().center() - screenCentre).manhattanLength() <= 2);

        // The controls follow the edges: buttons at the bottom right, the list
        // above them, nothing outside the window.
        w.resize(640, 520);
        QCOMPARE(w.Button2->geometry().right(), 640 - 90 + 75 - 1);
        QCOMPARE(w.Button1->y(), 520 - 49);
        QCOMPARE(w.BitBtn1->y(), w.Button1->y());
        QVERIFY(w.ListBox1->geometry().bottom() < w.Button1->y());
        QVERIFY(w.ListBox1->geometry().right() < 640);
        QVERIFY(w.Image1->geometry().bottom() < 520);

        w.reject();
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Width"), 0),
                 640);
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_AdatbazisNyit"), QStringLiteral("Height"), 0),
                 520);
    }

    // The set-up window -------------------------------------------------------

    void setUpStartsReadyForTyping() {
        Beall.FontSize = 0;
        Tfrm_Init w;
        w.show();
        QCOMPARE(w.Edit5->text(), QStringLiteral("3306"));
        QVERIFY(!w.Button2->isEnabled());
        QCOMPARE(w.font().pointSize(), 9);
        QCOMPARE(w.Edit6->echoMode(), QLineEdit::Password);
        QCOMPARE(
            w.Edit6->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, w.Edit6),
            int('*'));

        Beall.FontSize = 12;
        Tfrm_Init bigger;
        bigger.show();
        QCOMPARE(bigger.font().pointSize(), 12);
    }

    void rendbenIsEnabledOnlyBySuccessfulTest() {
        TestDatabase db;
        BoxRecorder boxes;
        Tfrm_Init w;
        w.show();
        fillSetUp(&w, db.params(), QStringLiteral("rossz"), QStringLiteral("Teszt"));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.lastText().startsWith(QStringLiteral("Hiba: ")));
        QVERIFY(boxes.lastText().contains(QStringLiteral("\nAccess denied")));
        QVERIFY(!w.Button2->isEnabled());

        w.Edit5->setText(QStringLiteral("33x06"));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY(boxes.lastText().startsWith(QStringLiteral("Hiba: ")));
        QVERIFY(!w.Button2->isEnabled());

        w.Edit6->clear();
        QTest::keyClicks(w.Edit6, db.params().password);
        w.Edit5->setText(QString::number(db.params().port));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY(w.Button2->isEnabled());
        QCOMPARE(w.focusWidget(), w.Button2);

        QTest::keyClicks(w.Edit4, QStringLiteral("x"));
        QVERIFY(w.Button2->isEnabled());
    }

    void confirmedProfileTakesTheLowestFreeNumber() {
        TestDatabase db;
        BoxRecorder boxes;
        for (int n : {1, 2, 4})
            WriteScrambledSetting(kSection, ProfileKey(n), QStringLiteral("p%1").arg(n));
        const QString expected =
            profileOf(db.params(), db.params().password, QStringLiteral("Új név"));
        test::WhenModal([&](QWidget* w) {
            auto* init = static_cast<Tfrm_Init*>(w);
            fillSetUp(init, db.params(), db.params().password, QString());
            init->Edit4->setText(QStringLiteral("Új név"));
            QTest::mouseClick(init->Button1, Qt::LeftButton);
            QTest::mouseClick(init->Button2, Qt::LeftButton);
        });
        QVERIFY(SetUpConnection());
        QCOMPARE(Beall.ConStr, expected);
        const QByteArray stored =
            IniReadBytes(settingsFile(), kSection, ProfileKey(3), QByteArray());
        QCOMPARE(stored.size(), 3 + 2 * expected.size());
        QCOMPARE(FromCp1250(UnscramblePassword(stored)), expected);
        for (int n : {1, 2, 4})
            QCOMPARE(ReadScrambledSetting(kSection, ProfileKey(n)), QStringLiteral("p%1").arg(n));
        QVERIFY(!profileKeyExists(5));
    }

    void allNumbersTakenStoresUnderZero() {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Adatbazis]\r\n");
        for (int n = 1; n <= 100; ++n)
            file.write(QStringLiteral("ConStr%1=x\r\n").arg(n).toLatin1());
        file.close();
        QCOMPARE(FreeProfileNumber(), 0);
        QCOMPARE(StoreNewProfile(QStringLiteral("a;b;1;c;d;e")), 0);
        QCOMPARE(ReadScrambledSetting(kSection, ProfileKey(0)), QStringLiteral("a;b;1;c;d;e"));
    }

    void ctrlEnterInHostConfirmsWithoutTestAndEnterMovesOn() {
        BoxRecorder boxes;
        Tfrm_Init w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Edit2->setFocus();
        QTest::keyClicks(w.Edit2, QStringLiteral("nincs.ilyen.example"));
        QTest::keyClick(w.Edit2, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w.Edit3);
        QVERIFY(w.isVisible());

        QTest::keyClicks(w.Edit3, QStringLiteral("felh"));
        QTest::keyClicks(w.Edit6, QStringLiteral("js"));
        QTest::keyClicks(w.Edit1, QStringLiteral("adatb"));
        QTest::keyClick(w.Edit2, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(ReadScrambledSetting(kSection, ProfileKey(1)),
                 QStringLiteral("adatb;nincs.ilyen.example;3306;felh;js;"));
    }

    void semicolonInAFieldIsRefusedNamingTheField() {
        TestDatabase db;
        BoxRecorder boxes;
        Tfrm_Init w;
        w.show();
        fillSetUp(&w, db.params(), QStringLiteral("jel;szo"), QStringLiteral("Teszt"));
        QTest::mouseClick(w.Button1, Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList{SeparatorMessage(QStringLiteral("Jelszó"))});
        QVERIFY(!w.Button2->isEnabled());
        // Nor is one stored without a test, which would come back split.
        w.Edit6->setText(db.params().password);
        w.Edit4->setText(QStringLiteral("Audit;B"));
        QTest::keyClick(w.Edit2, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(boxes.lastText(),
                 SeparatorMessage(QStringLiteral("Adatbázis megjelenített neve")));
        QVERIFY(w.isVisible());
        QVERIFY(!profileKeyExists(0) && !profileKeyExists(1));
    }

    void cancelledSetUpStoresNothing() {
        Beall.ConStr = QStringLiteral("regi");
        test::WhenModal([&](QWidget* w) {
            auto* init = static_cast<Tfrm_Init*>(w);
            QTest::keyClicks(init->Edit2, QStringLiteral("host"));
            QTest::keyClick(init, Qt::Key_Escape);
        });
        QVERIFY(!SetUpConnection());
        QCOMPARE(Beall.ConStr, QStringLiteral("regi"));
        QVERIFY(!profileKeyExists(1));
    }

    void setUpKeepsItsPosition() {
        WriteIntSetting(QStringLiteral("frm_Init"), QStringLiteral("Left"), 40);
        WriteIntSetting(QStringLiteral("frm_Init"), QStringLiteral("Top"), 50);
        Tfrm_Init w;
        w.show();
        QCOMPARE(w.pos(), QPoint(40, 50));
        w.move(70, 80);
        w.reject();
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Init"), QStringLiteral("Left"), 0), 70);
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Init"), QStringLiteral("Top"), 0), 80);
    }

    // The splash --------------------------------------------------------------

    void splashPictureFollowsTheDate_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("seasonal");
        QTest::newRow("14 December") << QDate(2023, 12, 14) << false;
        QTest::newRow("15 December") << QDate(2023, 12, 15) << true;
        QTest::newRow("31 December") << QDate(2024, 12, 31) << true;
        QTest::newRow("1 January") << QDate(2024, 1, 1) << false;
        QTest::newRow("15 November") << QDate(2023, 11, 15) << false;
    }

    void splashPictureFollowsTheDate() {
        QFETCH(QDate, today);
        QFETCH(bool, seasonal);
        Tfrm_Logo w(today);
        QCOMPARE(w.isSeasonal(), seasonal);
        QCOMPARE(w.size(), seasonal ? QSize(300, 300) : QSize(306, 306));
        QCOMPARE(w.Image1->pixmap().size(), seasonal ? QSize(300, 300) : QSize(305, 305));
    }

    void splashFadesAfterItsPauseAndFreesItself() {
        QPointer<Tfrm_Logo> logo = ShowSplash(nullptr, QDate(2023, 6, 1));
        QVERIFY(logo->isVisible());
        QVERIFY(logo->Timer1->isActive());
        QVERIFY(!logo->Timer2->isActive());
        logo->Timer1Timer();
        QVERIFY(!logo->Timer1->isActive());
        QVERIFY(logo->Timer2->isActive());
        for (int tick = 0; tick < 22; ++tick) logo->Timer2Timer();
        QVERIFY(logo->isVisible());
        QCOMPARE(logo->alphaBlendValue(), 35);
        logo->Timer2Timer();
        QVERIFY(!logo->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(logo.isNull());
    }

    void picturesAreDrawn() {
        QVERIFY(hasDrawing(ProgramPicture()));
        QVERIFY(hasDrawing(ChooserPicture()));
        QVERIFY(hasDrawing(SetUpPicture()));
        QVERIFY(hasDrawing(SettingsPicture()));
        QVERIFY(hasDrawing(SplashPicture()));
        QVERIFY(hasDrawing(SeasonalSplashPicture()));
        // The corners stay see-through, so the splash shows only its badge.
        QCOMPARE(qAlpha(SplashPicture().toImage().pixel(2, 2)), 0);
        QCOMPARE(qAlpha(SeasonalSplashPicture().toImage().pixel(297, 297)), 0);
    }
};

QTEST_MAIN(StartupWindowsTest)
#include "StartupWindowsTest.moc"
