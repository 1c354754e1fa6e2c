// The user list and the user edit window against the test server.

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

#include "common/Text.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "support/ServerLog.h"
#include "support/WindowTestSupport.h"
#include "ui/DbControls.h"
#include "users/Felhasznalo.h"
#include "users/FelhasznaloSzerkeszt.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QString userColumn(const QString& column, const QString& login) {
    return QueryText(
        QStringLiteral("SELECT COALESCE(%1, '<NULL>') FROM felhasznalo WHERE felhasznalo = %2;")
            .arg(column, SqlQuote(login)),
        QStringLiteral("<none>"));
}

int userCount() { return QueryInt(QStringLiteral("SELECT COUNT(*) FROM felhasznalo;"), -1); }

QStringList columnTitles(Tfrm_Felhasznalo& window) {
    QStringList titles;
    for (int c = 0; c < window.TblModel->columnCount(); ++c)
        titles << window.TblModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}

const QStringList kColumnTitles{"Kód", "Felhasználó", "Rendszergazda", "Törzs.szerk."};

bool selectUser(Tfrm_Felhasznalo& window, const QString& login) {
    return window.Tbl->locate(QStringLiteral("felhasznalo"), login);
}

// Share of the pixels of the picture area (16 x 16 at 32 right of the cell's
// left edge) that are clearly of the colour the test looks for.
double shareOf(const QImage& image, const QRect& cell, bool (*wanted)(const QColor&)) {
    int hits = 0;
    for (int y = cell.top(); y < cell.top() + 16; ++y)
        for (int x = cell.left() + 32; x < cell.left() + 48; ++x)
            if (wanted(image.pixelColor(x, y))) ++hits;
    return hits / 256.0;
}

bool reddish(const QColor& c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; }
bool greenish(const QColor& c) { return c.green() > 110 && c.red() < 110 && c.blue() < 110; }

}  // namespace

class UsersTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void listsUsersInLoginOrderWithoutThePrintRight() {
        Tfrm_Felhasznalo window;
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Felhasználók adatai"));
        QStringList logins;
        for (int row = 0; row < window.Tbl->recordCount(); ++row)
            logins << window.Tbl
                          ->valueAt(row, window.Tbl->fieldIndex(QStringLiteral("felhasznalo")))
                          .toString();
        QCOMPARE(logins, (QStringList{"admin", "kovacs.eva", "vendeg"}));
        QCOMPARE(columnTitles(window), kColumnTitles);
        QCOMPARE(window.StatusPanel1->text(), QStringLiteral("3: 1"));
        QTest::keyClick(window.DBGrid1, Qt::Key_Down);
        QCOMPARE(window.StatusPanel1->text(), QStringLiteral("3: 2"));
        QCOMPARE(window.Tbl->value(QStringLiteral("felhasznalo")).toString(),
                 QStringLiteral("kovacs.eva"));
    }

    void rightsAreDrawnAsTickOrCross() {
        ExecSql(QStringLiteral(
            "UPDATE felhasznalo SET rendszergazda = NULL WHERE felhasznalo = 'admin';"));
        Tfrm_Felhasznalo window;
        window.show();
        window.resize(640, 400);
        QCoreApplication::processEvents();
        window.DBGrid1->setCurrentIndex(window.TblModel->index(2, 0));  // admin's row unselected
        const QImage image = window.DBGrid1->viewport()->grab().toImage();
        const auto cell = [&](int row, int column) {
            return window.DBGrid1->visualRect(window.TblModel->index(row, column));
        };
        // admin: administrator NULL, master data "I"; vendeg: "N" and "N".
        QVERIFY(shareOf(image, cell(0, 2), reddish) > 0.1);
        QVERIFY(shareOf(image, cell(0, 3), greenish) > 0.1);
        QCOMPARE(shareOf(image, cell(0, 3), reddish), 0.0);
        QVERIFY(shareOf(image, cell(2, 2), reddish) > 0.1);
        QVERIFY(shareOf(image, cell(2, 3), reddish) > 0.1);
    }

    void newUserGetsTheInitialPasswordAndNoRights() {
        OnModal([](QWidget* w) {
            auto* list = As<Tfrm_Felhasznalo>(w);
            if (!list) return;
            OnModal([](QWidget* e) {
                auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
                if (!edit) return;
                QCOMPARE(edit->windowTitle(), QStringLiteral("Felhasználó adatainak szerkesztése"));
                QCOMPARE(edit->lblJelszo->text(), QStringLiteral("pitolva"));
                QVERIFY(edit->DBEdit1->text().isEmpty());
                for (QCheckBox* box : {static_cast<QCheckBox*>(edit->DBCheckBox1),
                                       static_cast<QCheckBox*>(edit->DBCheckBox2),
                                       static_cast<QCheckBox*>(edit->DBCheckBox3)})
                    QCOMPARE(box->checkState(), Qt::Unchecked);
                Type(edit->DBEdit1, QStringLiteral("balogh.p"));
                QTest::keyClick(edit->DBEdit1, Qt::Key_Return);
                QCOMPARE(QApplication::focusWidget(), edit->DBEdit2);
                Type(edit->DBEdit2, QStringLiteral("Balogh Péter"));
                QTest::mouseClick(edit->btnOK, Qt::LeftButton);
            });
            QTest::keyClick(list->DBGrid1, Qt::Key_Insert);
            QCOMPARE(list->Tbl->value(QStringLiteral("felhasznalo")).toString(),
                     QStringLiteral("balogh.p"));
            QCOMPARE(list->Tbl->currentRow(), 1);  // in login-name order at once
            // The edit window's labels named the fields only while it stored.
            QCOMPARE(columnTitles(*list), kColumnTitles);
            QTest::keyClick(list->DBGrid1, Qt::Key_Escape);
        });
        ShowUsers();
        QCOMPARE(userColumn(QStringLiteral("felhasznalo_nev"), QStringLiteral("balogh.p")),
                 QStringLiteral("Balogh Péter"));
        // The digest is the one the login computes for "pitolva".
        QCOMPARE(userColumn(QStringLiteral("jelszomd5"), QStringLiteral("balogh.p")),
                 ServerMd5(QStringLiteral("pitolva")));
        for (const char* right : {"rendszergazda", "torzsszerkeszt", "nyomtathat"})
            QCOMPARE(userColumn(QString::fromLatin1(right), QStringLiteral("balogh.p")),
                     QStringLiteral("N"));
    }

    void newUserCancelledLeavesNoRow() {
        Tfrm_Felhasznalo window;
        window.show();
        Activate(&window);
        OnModal([](QWidget* e) {
            auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
            if (!edit) return;
            Type(edit->DBEdit1, QStringLiteral("senki"));
            QTest::keyClick(edit->DBEdit1, Qt::Key_Escape);
        });
        window.aUjExecute();
        QCOMPARE(userCount(), 3);
        QCOMPARE(window.Tbl->recordCount(), 3);
        QCOMPARE(window.Tbl->state(), dbaccess::Dataset::State::Browse);
    }

    void refusedLoginNameKeepsTheEditWindowOpen_data() {
        QTest::addColumn<QString>("login");
        QTest::newRow("already used") << "vendeg";
        QTest::newRow("used in other letter case") << "ADMIN";
        QTest::newRow("empty") << "";
    }
    void refusedLoginNameKeepsTheEditWindowOpen() {
        QFETCH(QString, login);
        Tfrm_Felhasznalo window;
        window.show();
        Activate(&window);
        bool stayedOpen = false;
        QString typedName;
        OnModal([&](QWidget* e) {
            auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
            if (!edit) return;
            Type(edit->DBEdit1, login);
            Type(edit->DBEdit2, QStringLiteral("Második Vendég"));
            QTest::keyClick(edit->DBEdit2, Qt::Key_Return, Qt::ControlModifier);
            stayedOpen = edit->isVisible();
            typedName = edit->DBEdit2->text();
        });
        window.aUjExecute();
        QVERIFY(stayedOpen);
        QCOMPARE(typedName, QStringLiteral("Második Vendég"));
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QCOMPARE(fixture_->boxes.shown[0].kind, BoxKind::Error);
        QCOMPARE(fixture_->boxes.lastText().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Hiányos adat megadás"));
        QCOMPARE(columnTitles(window), kColumnTitles);
        // Cancelled afterwards: nothing stored, the existing user unchanged.
        QCOMPARE(userCount(), 3);
        QCOMPARE(userColumn(QStringLiteral("felhasznalo_nev"), QStringLiteral("vendeg")),
                 QStringLiteral("Vendég Ödön"));
    }

    void resetFollowedByCancelLeavesThePassword() {
        const QString before = userColumn(QStringLiteral("jelszomd5"), QStringLiteral("vendeg"));
        QVERIFY(before != ServerMd5(QStringLiteral("pitolva")));
        // The initial password's digest is computed here, never by the server.
        test::ServerLog log;
        Tfrm_Felhasznalo window;
        window.show();
        Activate(&window);
        QVERIFY(selectUser(window, QStringLiteral("vendeg")));
        OnModal([](QWidget* e) {
            auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
            if (!edit) return;
            QTest::mouseClick(edit->btnVisszaallit, Qt::LeftButton);
            QTest::mouseClick(edit->btnMegsem, Qt::LeftButton);
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_Return);
        QCOMPARE(userColumn(QStringLiteral("jelszomd5"), QStringLiteral("vendeg")), before);
        QVERIFY(fixture_->boxes.shown.isEmpty());

        OnModal([](QWidget* e) {
            auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
            if (!edit) return;
            QTest::mouseClick(edit->btnVisszaallit, Qt::LeftButton);
            QTest::mouseClick(edit->btnOK, Qt::LeftButton);
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_F2);
        OnModal([](QWidget* e) {
            if (auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e))
                QTest::keyClick(edit->DBEdit1, Qt::Key_Escape);
        });
        window.aUjExecute();
        QVERIFY(!log.received(InitialPassword()));
        QCOMPARE(userColumn(QStringLiteral("jelszomd5"), QStringLiteral("vendeg")),
                 ServerMd5(QStringLiteral("pitolva")));
    }

    void undeterminedRightShowsGreyedAndStaysUntilClicked() {
        ExecSql(
            QStringLiteral("UPDATE felhasznalo SET nyomtathat = NULL, torzsszerkeszt = 'x' WHERE "
                           "felhasznalo = 'vendeg';"));
        Tfrm_Felhasznalo window;
        window.show();
        Activate(&window);
        QVERIFY(selectUser(window, QStringLiteral("vendeg")));
        OnModal([](QWidget* e) {
            auto* edit = As<Tfrm_FelhasznaloSzerkeszt>(e);
            if (!edit) return;
            QCOMPARE(edit->DBCheckBox2->checkState(), Qt::PartiallyChecked);
            QCOMPARE(edit->DBCheckBox3->checkState(), Qt::PartiallyChecked);
            edit->DBCheckBox3->setFocus();
            QTest::keyClick(edit->DBCheckBox3, Qt::Key_Space);
            QCOMPARE(edit->DBCheckBox3->checkState(), Qt::Checked);
            QTest::keyClick(edit->DBCheckBox3, Qt::Key_Space);
            QCOMPARE(edit->DBCheckBox3->checkState(), Qt::Unchecked);  // no way back to grey
            QTest::keyClick(edit->DBCheckBox3, Qt::Key_Space);
            QTest::keyClick(edit->DBCheckBox3, Qt::Key_Return, Qt::ControlModifier);
        });
        window.aSzerkesztExecute();
        QCOMPARE(userColumn(QStringLiteral("nyomtathat"), QStringLiteral("vendeg")),
                 QStringLiteral("I"));
        QCOMPARE(userColumn(QStringLiteral("torzsszerkeszt"), QStringLiteral("vendeg")),
                 QStringLiteral("x"));
    }

    void deleteAsksFirst() {
        Tfrm_Felhasznalo window;
        window.show();
        Activate(&window);
        QVERIFY(selectUser(window, QStringLiteral("kovacs.eva")));
        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.value(0).caption, QStringLiteral("Megerősítés"));
        QCOMPARE(fixture_->boxes.shown.value(0).text, QStringLiteral("Valóban töröljem a sort?"));
        QCOMPARE(userCount(), 3);
        // Even the logged-in administrator may go: nothing prevents it.
        QVERIFY(selectUser(window, QStringLiteral("admin")));
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(userColumn(QStringLiteral("felhasznalo"), QStringLiteral("admin")),
                 QStringLiteral("<none>"));
        QCOMPARE(window.Tbl->recordCount(), 2);
        QCOMPARE(window.StatusPanel1->text(), QStringLiteral("2: 1"));
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(UsersTest)
#include "UsersTest.moc"
