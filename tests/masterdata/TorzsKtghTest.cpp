// The site list and edit windows against the test server.

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsKtgh_Szerkeszt.h"
#include "support/WindowTestSupport.h"
#include "ui/DbControls.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QList<int> listedKeys(Tfrm_TorzsKtgh& window) {
    QList<int> keys;
    const int column = window.Qry->fieldIndex(QStringLiteral("ktgh"));
    for (int row = 0; row < window.Qry->recordCount(); ++row)
        keys << window.Qry->valueAt(row, column).toInt();
    return keys;
}

QString column(const QString& name, int key) {
    return QueryText(QStringLiteral("SELECT COALESCE(%1, '<NULL>') FROM ktgh WHERE ktgh = %2;")
                         .arg(name)
                         .arg(key),
                     QStringLiteral("<none>"));
}

}  // namespace

class TorzsKtghTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void listShowsTheSitesAsDesigned() {
        Tfrm_TorzsKtgh window(-1, false);
        window.show();
        Activate(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Költséghelyek"));
        QCOMPARE(window.Label1->text(), QStringLiteral("Költséghelyek  "));
        QStringList titles;
        for (int c = 0; c < window.QryModel->columnCount(); ++c)
            titles << window.QryModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(titles, (QStringList{"Költséghely", "Képviselő", "Telefon", "E-mail"}));
        QCOMPARE(window.Qry->recordCount(), 20);
        QVERIFY(!listedKeys(window).contains(-1));
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
    }

    void searchFindsTheRepresentativesAddressThatIsNotShown() {
        Tfrm_TorzsKtgh window(-1, false);
        window.show();
        Activate(&window);
        Type(window.Edit1, QStringLiteral("III. em"));
        QList<int> keys = listedKeys(window);
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, (QList<int>{1, 8, 19}));
    }

    void placeholderIsNeverListed() {
        Tfrm_TorzsKtgh window(-1, false);
        window.show();
        Activate(&window);
        for (const QString& text :
             {QStringLiteral("nincs"), QStringLiteral("<"), QStringLiteral("_")}) {
            window.Edit1->clear();
            Type(window.Edit1, text);
            QVERIFY2(!listedKeys(window).contains(-1), qPrintable(text));
        }
    }

    void columnWidthsFollowTheWindow() {
        Tfrm_TorzsKtgh window(-1, false);
        window.show();
        window.resize(811, 500);
        QCoreApplication::processEvents();
        const double w = window.DBGrid1->width() - 44;
        QCOMPARE(window.DBGrid1->columnWidth(0), RoundHalfEven(w * 0.4));
        QCOMPARE(window.DBGrid1->columnWidth(3), RoundHalfEven(w * 0.2));
    }

    void copyFollowsTheSortColumn() {
        Tfrm_TorzsKtgh window(3, false);
        window.show();
        Activate(&window);
        const int column = window.QryModel->columnOfField(QStringLiteral("kepviselo"));
        QHeaderView* header = window.DBGrid1->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
        QCOMPARE(window.Qry->value(QStringLiteral("kepviselo")).toString(),
                 QStringLiteral("Balogh Erika"));
        window.DBGrid1->setFocus();
        QTest::keyClick(window.DBGrid1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Balogh Erika"));
    }

    void enterChoosesTheSiteTheSearchFound() {
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsKtgh>(w);
            if (!window) return;
            Type(window->Edit1, QStringLiteral("práter"));
            QTest::keyClick(window->Edit1, Qt::Key_Enter);
        });
        QCOMPARE(KtghLista(-1, true), 5);
    }

    void emptyListRefusesToChoose() {
        Tfrm_TorzsKtgh window(-1, true);
        window.show();
        Activate(&window);
        Type(window.Edit1, QStringLiteral("Szeged"));
        QTest::keyClick(window.Edit1, Qt::Key_Return);
        QCOMPARE(fixture_->boxes.texts(), QStringList{QStringLiteral("Nincs kiválasztott sor.")});
        QVERIFY(window.isVisible());
        QCOMPARE(window.chosenKey(), -1);
    }

    void deleteAnsweredNoLeavesTheSite() {
        Tfrm_TorzsKtgh window(12, false);
        window.show();
        Activate(&window);
        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.value(0).caption, QStringLiteral("Megerősítés"));
        QCOMPARE(column("cim", 12), QStringLiteral("Budapest, Erkel utca 14."));
        QVERIFY(listedKeys(window).contains(12));
    }

    void newSiteOpensWithAllFieldsEmptyAndStoresNulls() {
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsKtgh_Szerkeszt>(w);
            if (!window) return;
            QCOMPARE(window->windowTitle(), QStringLiteral("Költséghely szerkesztés"));
            // Every column of a site is VARCHAR(50): the boxes take no more, so
            // a server without strict mode has nothing to cut.
            for (DbEdit* edit : window->findChildren<DbEdit*>()) {
                QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
                QCOMPARE(edit->maxLength(), 50);
            }
            QTest::keyClick(window->DBEdit2, Qt::Key_Return, Qt::ControlModifier);
        });
        const int key = KtghSzerkeszt(-1);
        QVERIFY(key > 20);
        for (const char* name : {"cim", "kepviselo", "kepviselo_cim", "telefon", "emil"})
            QCOMPARE(column(QString::fromLatin1(name), key), QStringLiteral("<NULL>"));
    }

    void enterMovesFocusAndCtrlEnterStores() {
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsKtgh_Szerkeszt>(w);
            if (!window) return;
            Type(window->DBEdit2, QStringLiteral("Budapest, Teleki tér 1."));
            QTest::keyClick(window->DBEdit2, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), window->DBEdit3);
            Type(window->DBEdit3, QStringLiteral("Kertész Anna"));
            QTest::keyClick(window->DBEdit3, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), window->DBEdit7);
            Type(window->DBEdit7, QStringLiteral("Budapest, Teleki tér 1. fsz. 1."));
            QTest::keyClick(window->DBEdit7, Qt::Key_Return, Qt::ControlModifier);
        });
        const int key = KtghSzerkeszt(-1);
        QVERIFY(key > 0);
        QCOMPARE(column("kepviselo", key), QStringLiteral("Kertész Anna"));
        QCOMPARE(column("kepviselo_cim", key), QStringLiteral("Budapest, Teleki tér 1. fsz. 1."));
        QCOMPARE(column("telefon", key), QStringLiteral("<NULL>"));
    }

    void refusedStoreKeepsTheSiteWindowOpen() {
        RefuseWord(QStringLiteral("ktgh"), QStringLiteral("cim"), QStringLiteral("kapualj"));
        Tfrm_TorzsKtgh_Szerkeszt window(7);
        window.show();
        Activate(&window);
        const QString refused = QStringLiteral("Budapest, Ráday utca 17. kapualj");
        window.DBEdit2->selectAll();
        Type(window.DBEdit2, refused);
        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        QVERIFY(window.isVisible());
        QVERIFY(fixture_->boxes.lastText().startsWith(
            QStringLiteral("Hibás, vagy hiányos adatmegadás\n")));
        QCOMPARE(window.DBEdit2->text(), refused);
        // The representative's address was NULL and nobody touched it.
        window.DBEdit2->setText(QStringLiteral("Budapest, Ráday utca 17/A"));
        window.btnOKClick();
        QCOMPARE(window.finish(), 7);
        QCOMPARE(column("cim", 7), QStringLiteral("Budapest, Ráday utca 17/A"));
        QCOMPARE(column("kepviselo_cim", 7), QStringLiteral("<NULL>"));
    }

    void newSiteFromTheListBecomesCurrent() {
        Tfrm_TorzsKtgh window(-1, true);
        window.show();
        Activate(&window);
        Type(window.Edit1, QStringLiteral("Teleki"));
        QCOMPARE(window.Qry->recordCount(), 0);
        OnModal([](QWidget* w) {
            auto* edit = As<Tfrm_TorzsKtgh_Szerkeszt>(w);
            if (!edit) return;
            Type(edit->DBEdit2, QStringLiteral("Budapest, Teleki tér 3."));
            QTest::keyClick(edit->DBEdit2, Qt::Key_Return, Qt::ControlModifier);
        });
        QTest::keyClick(window.Edit1, Qt::Key_Insert);
        // The search still applies, and the new site matches it: it can be chosen at once.
        QCOMPARE(window.Qry->recordCount(), 1);
        QTest::keyClick(window.Edit1, Qt::Key_Return);
        QVERIFY(window.chosenKey() > 20);
        QCOMPARE(column("cim", window.chosenKey()), QStringLiteral("Budapest, Teleki tér 3."));
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(TorzsKtghTest)
#include "TorzsKtghTest.moc"
