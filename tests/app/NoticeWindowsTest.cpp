// The version notice and the news window against a local web server and the
// test database: what opens for which reply, what "OK" stores, the resize
// rules, and a server that never answers.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "app/Hirfolyam.h"
#include "app/Verziokovetes.h"
#include "common/Settings.h"
#include "support/LocalHttpServer.h"
#include "support/Loopback.h"
#include "support/WindowTestSupport.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using test::As;
using test::LocalHttpServer;
using test::WindowFixture;

namespace {

QString stored(const char* column) {
    return QueryText(QStringLiteral("SELECT %1 FROM beallit;").arg(QLatin1String(column)),
                     QStringLiteral("<no row>"));
}

Tfrm_Hirfolyam* newsWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* news = qobject_cast<Tfrm_Hirfolyam*>(w); news && news->isVisible()) return news;
    return nullptr;
}

}  // namespace

class NoticeWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        fixture = std::make_unique<WindowFixture>(test::TestDatabase::Content::Schema);
        QVERIFY(server.listening());
        SetDataDir(fixture->settingsDir.path());
        test::PointVendorAt(server.baseUrl());
        server.requests.clear();
        owner.show();
    }
    void cleanup() {
        owner.hide();
        fixture.reset();
    }

    void aNewerBuildIsNoticedUntilAcknowledged() {
        server.answerOk("/verziokovetes.php?prg=55",
                        "23.0.0.45|Gyorsabb lista, \xC5\x91rz\xC3\xB6tt \xC5\xB1rlap.\r\n");
        bool opened = false;
        test::WhenModal([&](QWidget* w) {
            auto* frm = As<Tfrm_Verziokovetes>(w);
            opened = true;
            QCOMPARE(frm->windowTitle(), QStringLiteral("Verziókövetés: 23.0.0.45"));
            QCOMPARE(frm->Label4->text(), QStringLiteral("Gyorsabb lista, őrzött űrlap."));
            frm->resize(600, 400);
            QCOMPARE(frm->Label4->geometry(), QRect(8, 48, 581, 306));
            QCOMPARE(frm->CheckBox1->y(), 365);
            QCOMPARE(frm->BitBtn1->pos(), QPoint(472, 365));
            frm->move(40, 30);
            frm->CheckBox1->setChecked(true);
            QTest::mouseClick(frm->BitBtn1, Qt::LeftButton);
        });
        CheckVersion(&owner);
        QTRY_VERIFY(opened);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(stored("verzioelfogadva"), QStringLiteral("23.0.0.45"));
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Verziokovetes"), QStringLiteral("Left"), -1),
                 40);

        // Acknowledged: the same reply at the next start shows nothing.
        CheckVersion(&owner);
        QTRY_COMPARE(server.requests.size(), 2);
        QTest::qWait(kReplyPauseMs + 300);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void newsStaysBesideTheRegisterUntilDismissed() {
        server.answerOk(
            "/hirfolyam.php?prg=55&hir=0",
            "12|Karbantart\xC3\xA1s|Szerd\xC3\xA1n \xC5\x91szi \xC3\xBCzemsz\xC3\xBCnet.");
        QStringList opened;
        CheckNews(&owner, [&](const QString& link) { opened << link; });
        QTRY_VERIFY(newsWindow());
        QPointer<Tfrm_Hirfolyam> frm = newsWindow();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(frm->windowTitle(), QStringLiteral("Hírek"));
        QCOMPARE(frm->Label3->text(), QStringLiteral("Karbantartás"));
        QCOMPARE(frm->Label4->text(), QStringLiteral("Szerdán őszi üzemszünet."));
        QTest::mouseClick(frm->Label1, Qt::LeftButton);
        QCOMPARE(opened, QStringList{server.baseUrl() + QStringLiteral("/hirek.php?hir=12")});

        frm->resize(700, 400);
        QCOMPARE(frm->Label4->geometry(), QRect(8, 48, 681, 274));
        QCOMPARE(frm->Label1->y(), 333);
        QCOMPARE(frm->Label2->y(), 333);
        QCOMPARE(frm->BitBtn1->pos(), QPoint(572, 365));

        // "OK" alone only closes it, and the window frees itself.
        QTest::mouseClick(frm->BitBtn1, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(frm.isNull());
        QCOMPARE(stored("hirelfogadva"), QStringLiteral("0"));
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_Hirfolyam"), QStringLiteral("Width"), -1), 700);

        CheckNews(&owner, [](const QString&) {});
        QTRY_VERIFY(newsWindow());
        frm = newsWindow();
        QCOMPARE(frm->size(), QSize(700, 400));
        frm->CheckBox1->setChecked(true);
        QTest::mouseClick(frm->BitBtn1, Qt::LeftButton);
        QVERIFY(!newsWindow());
        QCOMPARE(stored("hirelfogadva"), QStringLiteral("12"));
    }

    void newsWaitsWhileTheUserTypesThenComesToTheFront() {
        server.answerOk("/hirfolyam.php?prg=55&hir=0", "13|Hír|Szöveg");
        QLineEdit typing;
        typing.show();
        QVERIFY(QTest::qWaitForWindowExposed(&typing));
        typing.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &typing);
        CheckNews(&owner, [](const QString&) {});
        // A key every 300 ms for longer than the reply takes: the window waits.
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2500) {
            QTest::keyClick(&typing, Qt::Key_A);
            QTest::qWait(300);
            QVERIFY(!newsWindow());
        }
        QCOMPARE(QApplication::activeWindow(), &typing);
        QCOMPARE(typing.text().size(), typing.text().count(QLatin1Char('a')));
        // The pause: it shows, in front and active.
        QTRY_VERIFY_WITH_TIMEOUT(newsWindow(), kTypingPauseMs + 2000);
        QPointer<Tfrm_Hirfolyam> frm = newsWindow();
        QTRY_COMPARE(QApplication::activeWindow(), frm.data());
        frm->close();
    }

    void aServerThatNeverAnswersLeavesTheRegisterResponsive() {
        server.setSilent(true);
        auto* edit = new QLineEdit(&owner);
        edit->show();
        CheckVersion(&owner);
        CheckNews(&owner, [](const QString&) {});
        // Both calls came back before the server even saw a request.
        QVERIFY(server.requests.isEmpty());

        // The probe: a timer that ticks every 5 ms while the requests go
        // unanswered, and a key the user types meanwhile.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        probe.start(5);
        QCoreApplication::postEvent(
            edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        QTRY_COMPARE(server.requests.size(), 2);
        QTest::qWait(1000);
        probe.stop();
        qInfo("longest pause of the event loop while the server kept silent: %lld ms",
              static_cast<long long>(longest));
        QCOMPARE(edit->text(), QStringLiteral("x"));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!newsWindow());
        delete edit;
    }

  private:
    std::unique_ptr<WindowFixture> fixture;
    LocalHttpServer server;
    QWidget owner;
};

QTEST_MAIN(NoticeWindowsTest)
#include "NoticeWindowsTest.moc"
