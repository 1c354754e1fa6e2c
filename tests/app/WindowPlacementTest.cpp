// Every window that keeps its place opens where it was closed, also under a
// real window manager, which frames a window only after it is on the screen:
// the stored corner is the frame's, and it comes back the frame's.

#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest/QtTest>
#include <functional>
#include <memory>

#include "app/AdatbazisNyit.h"
#include "app/Beallit.h"
#include "app/Hirfolyam.h"
#include "app/Init.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "app/Verziokovetes.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/ConnectionProfiles.h"
#include "dbaccess/Dataset.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsKtgh_Szerkeszt.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/TorzsVallalkozo_Szerkeszt.h"
#include "masterdata/Torzsadat.h"
#include "masterdata/Torzsadat_Szerkeszt.h"
#include "output/Hatarolt.h"
#include "output/NyomValaszt.h"
#include "profiles/Adatbazisok.h"
#include "profiles/Adatbazisok_Szerkeszt.h"
#include "sqlconsole/SQL.h"
#include "support/WindowTestSupport.h"
#include "users/Felhasznalo.h"
#include "users/FelhasznaloSzerkeszt.h"
#include "workorders/Szerkeszt.h"

using namespace zomi;
using namespace zomi::test;

namespace {

const QPoint kSaved(123, 87);
const QSize kSavedSize(610, 430);

int setting(const QString& section, const char* key) {
    return ReadIntSetting(section, QString::fromLatin1(key), -9999);
}

// Shown, and framed where a window manager frames windows, and left alone
// for as long as a window manager may still carry out earlier requests.
void showFramed(QWidget* window) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        QTRY_VERIFY(!window->windowHandle()->frameMargins().isNull());
    QTest::qWait(300);
}

void closeWindow(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

// The data the windows need: the rows exist in the demo database.
struct Rows {
    dbaccess::Query statuses{MainConnection()};
    dbaccess::Table users{MainConnection()};
    Rows() {
        statuses.setSql(QStringLiteral("SELECT * FROM statusz"));
        statuses.open();
        users.setTableName(QStringLiteral("felhasznalo"));
        users.open();
    }
};

QWidget* make(const QString& name, Rows& rows) {
    if (name == QLatin1String("frm_TorzsVallalkozo_Szerkeszt"))
        return new Tfrm_TorzsVallalkozo_Szerkeszt(3);
    if (name == QLatin1String("frm_TorzsKtgh_Szerkeszt")) return new Tfrm_TorzsKtgh_Szerkeszt(12);
    if (name == QLatin1String("frm_Torzsadat_Szerkeszt"))
        return new Tfrm_Torzsadat_Szerkeszt(1, QStringLiteral("alairas"),
                                            QStringLiteral("Aláírás"));
    if (name == QLatin1String("frm_Szerkeszt")) {
        auto* editor = new Tfrm_Szerkeszt;
        editor->open(-1);
        return editor;
    }
    if (name == QLatin1String("frm_NyomValaszt"))
        return new Tfrm_NyomValaszt(QStringList{QStringLiteral("PDF")}, QString());
    if (name == QLatin1String("frm_Hatarolt"))
        return new Tfrm_Hatarolt(&rows.statuses, QStringLiteral("Statuszok.csv"));
    if (name == QLatin1String("frm_Init")) return new Tfrm_Init;
    if (name == QLatin1String("frm_Adatbazis_Szerkeszt"))
        return new Tfrm_Adatbazis_Szerkeszt(ConnectionProfile{});
    if (name == QLatin1String("frm_Beallit")) return new Tfrm_Beallit;
    if (name == QLatin1String("frm_FelhasznaloSzerkeszt")) {
        rows.users.edit();
        return new Tfrm_FelhasznaloSzerkeszt(&rows.users);
    }
    if (name == QLatin1String("frm_Verziokovetes"))
        return new Tfrm_Verziokovetes(VersionNotice{QStringLiteral("23.0.0.45"), QString()});
    if (name == QLatin1String("frm_TorzsVallalkozo")) return new Tfrm_TorzsVallalkozo(-1, false);
    if (name == QLatin1String("frm_TorzsKtgh")) return new Tfrm_TorzsKtgh(-1, false);
    if (name == QLatin1String("frm_Torzsadat"))
        return new Tfrm_Torzsadat(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
    if (name == QLatin1String("frm_SQL")) return new Tfrm_SQL;
    if (name == QLatin1String("frm_Adatbazis")) return new Tfrm_Adatbazis;
    if (name == QLatin1String("frm_Felhasznalo")) return new Tfrm_Felhasznalo;
    if (name == QLatin1String("frm_Hirfolyam"))
        return new Tfrm_Hirfolyam(NewsItem{7, QStringLiteral("Hír"), QString(), QString()});
    return nullptr;
}

// Opens and closes the window as the user would; a window that frees itself
// on closing is gone afterwards.
void openAndClose(const QString& name) {
    Rows rows;
    QPointer<QWidget> window = make(name, rows);
    QVERIFY(window);
    const bool freesItself = window->testAttribute(Qt::WA_DeleteOnClose);
    showFramed(window);
    closeWindow(window);
    if (auto* editor = qobject_cast<Tfrm_Szerkeszt*>(window.data())) editor->finish();
    if (rows.users.state() != dbaccess::Dataset::State::Browse) rows.users.cancel();
    if (!freesItself) delete window.data();
    QTRY_VERIFY(!window);
}

}  // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void everyWindowOpensWhereItWasClosed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepsSize");
        for (const char* name : {"frm_TorzsVallalkozo_Szerkeszt", "frm_TorzsKtgh_Szerkeszt",
                                 "frm_Torzsadat_Szerkeszt", "frm_Szerkeszt", "frm_NyomValaszt",
                                 "frm_Hatarolt", "frm_Init", "frm_Adatbazis_Szerkeszt",
                                 "frm_Beallit", "frm_FelhasznaloSzerkeszt", "frm_Verziokovetes"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
        for (const char* name : {"frm_TorzsVallalkozo", "frm_TorzsKtgh", "frm_Torzsadat", "frm_SQL",
                                 "frm_Adatbazis", "frm_Felhasznalo", "frm_Hirfolyam"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
    }
    void everyWindowOpensWhereItWasClosed() {
        QFETCH(QString, name);
        QFETCH(bool, keepsSize);
        SaveWindowPlacement(name, kSaved.x(), kSaved.y(), kSavedSize.width(), kSavedSize.height());
        // Twice: a window that creeps moves its place at every opening.
        for (int opening = 0; opening < 2; ++opening) {
            openAndClose(name);
            if (QTest::currentTestFailed()) return;
            QCOMPARE(QPoint(setting(name, "Left"), setting(name, "Top")), kSaved);
            if (keepsSize)
                QCOMPARE(QSize(setting(name, "Width"), setting(name, "Height")), kSavedSize);
        }
    }

    void aTitleBarAboveTheScreenIsPulledBackOntoIt() {
        const QString name = QStringLiteral("frm_Hirfolyam");
        SaveWindowPlacement(name, 100, -30, 540, 317);
        Rows rows;
        QPointer<QWidget> window = make(name, rows);
        showFramed(window);
        const QRect screen = window->screen()->availableGeometry();
        QCOMPARE(window->windowHandle()->framePosition(), QPoint(100, screen.top()));
        window->close();
        QCOMPARE(setting(name, "Top"), screen.top());
    }

    void chooserKeepsItsSize() {
        const QString name = QStringLiteral("frm_AdatbazisNyit");
        SaveWindowPlacement(name, 0, 0, kSavedSize.width(), kSavedSize.height());
        for (int opening = 0; opening < 2; ++opening) {
            Tfrm_AdatbazisNyit chooser(QStringList{QStringLiteral("a")},
                                       QStringList{QStringLiteral("a;h;3306;u;p;a")},
                                       QStringLiteral("Adatbázis"));
            showFramed(&chooser);
            chooser.reject();
            QCOMPARE(QSize(setting(name, "Width"), setting(name, "Height")), kSavedSize);
        }
    }

    void registerOpensWhereItWasClosed() {
        fixture_.reset();
        TestDatabase db;
        QTemporaryDir dir;
        SettleDataDir(dir.path());
        const dbaccess::ConnectionParams p = db.params();
        WriteScrambledSetting(QString::fromLatin1(kProfileSection), ProfileKey(1),
                              QStringList{p.database, p.host, QString::number(p.port), p.user,
                                          p.password, QStringLiteral("Teszt")}
                                  .join(QLatin1Char(';')));
        WriteBoolSetting(kFullScreen, false);
        const QString name = QStringLiteral("frm_Main");
        SaveWindowPlacement(name, kSaved.x(), kSaved.y(), 900, 700);
        for (int opening = 0; opening < 2; ++opening) {
            BoxRecorder boxes;
            Tfrm_Main window;
            QVERIFY(window.startUp());
            window.settleList();
            showFramed(&window);
            window.close();
            QCOMPARE(QPoint(setting(name, "Left"), setting(name, "Top")), kSaved);
            QCOMPARE(QSize(setting(name, "Width"), setting(name, "Height")), QSize(900, 700));
        }
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
