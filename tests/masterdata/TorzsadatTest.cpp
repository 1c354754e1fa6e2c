// The lookup-table list and edit windows for signatories and statuses.

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/Torzsadat.h"
#include "masterdata/Torzsadat_Szerkeszt.h"
#include "support/WindowTestSupport.h"
#include "ui/DbControls.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QStringList listedNames(Tfrm_Torzsadat& window) {
    QStringList names;
    const int column = window.Qry->fieldIndex(window.nameField());
    for (int row = 0; row < window.Qry->recordCount(); ++row)
        names << window.Qry->displayText(row, column);
    return names;
}

QString signatory(int key) {
    return QueryText(QStringLiteral("SELECT alairas_nev FROM alairas WHERE alairas = %1;").arg(key),
                     QStringLiteral("<none>"));
}

// Types into the name box of a new signatory's edit window and stores it.
int newSignatoryTyped(const QString& typed) {
    OnModal([typed](QWidget* w) {
        auto* window = As<Tfrm_Torzsadat_Szerkeszt>(w);
        if (!window) return;
        Type(window->DBEdit1, typed);
        QTest::keyClick(window->DBEdit1, Qt::Key_Return, Qt::ControlModifier);
    });
    return TorzsadatSzerkeszt(-1, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
}

}  // namespace

class TorzsadatTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void oneWindowServesEachTableWithItsCaption_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("rows");
        QTest::newRow("signatories") << "alairas"
                                     << "Aláírás"
                                     << "dr. Szőke Erzsébet" << 5;
        QTest::newRow("statuses") << "statusz"
                                  << "Státusz"
                                  << "Elkészült" << 6;
    }
    void oneWindowServesEachTableWithItsCaption() {
        QFETCH(QString, table);
        QFETCH(QString, caption);
        QFETCH(QString, first);
        QFETCH(int, rows);
        Tfrm_Torzsadat window(-1, false, table, caption);
        window.show();
        QCOMPARE(window.objectName(), QStringLiteral("frm_Torzsadat"));
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(window.Label1->text(), caption + QStringLiteral("  "));
        QCOMPARE(window.QryModel->columnCount(), 1);
        QCOMPARE(window.QryModel->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 caption);
        QCOMPARE(window.Qry->recordCount(), rows);
        QCOMPARE(listedNames(window).value(0), first);
        // The grid, not the search box, has the focus when the window opens.
        QCOMPARE(window.focusWidget(), window.DBGrid1);
    }

    void enterChoosesTheFoundRowAndGivesItsName() {
        QString name = QStringLiteral("előző");
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_Torzsadat>(w);
            if (!window) return;
            window->Edit1->setFocus();
            Type(window->Edit1, QStringLiteral("varga"));
            QTest::keyClick(window->Edit1, Qt::Key_Return);
        });
        QCOMPARE(
            TorzsadatLista(-1, true, QStringLiteral("alairas"), QStringLiteral("Aláírás"), &name),
            2);
        QCOMPARE(name, QStringLiteral("Varga Gábor"));
    }

    void noChoiceLeavesTheNameAlone() {
        QString name = QStringLiteral("előző");
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_Torzsadat>(w);
            if (!window) return;
            window->Edit1->setFocus();
            Type(window->Edit1, QStringLiteral("senki"));
            QTest::keyClick(window->Edit1, Qt::Key_Return);
            QVERIFY(window->isVisible());
            QTest::keyClick(window->Edit1, Qt::Key_Escape);
        });
        QCOMPARE(
            TorzsadatLista(-1, true, QStringLiteral("statusz"), QStringLiteral("Státusz"), &name),
            -1);
        QCOMPARE(fixture_->boxes.texts(), QStringList{QStringLiteral("Nincs kiválasztott sor.")});
        QCOMPARE(name, QStringLiteral("előző"));

        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_Torzsadat>(w);
            QVERIFY(window && !window->aElfogad->isVisible());
            QCOMPARE(window->Qry->value(QStringLiteral("statusz")).toInt(), 3);
            QTest::keyClick(window->DBGrid1, Qt::Key_Return);
            QTest::keyClick(window->DBGrid1, Qt::Key_Escape);
        });
        QCOMPARE(
            TorzsadatLista(3, false, QStringLiteral("statusz"), QStringLiteral("Státusz"), &name),
            -1);
        QCOMPARE(name, QStringLiteral("előző"));
    }

    void titleClickKeepsTheOrderAndLeadsToTheSearchBox() {
        Tfrm_Torzsadat window(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        Activate(&window);
        const QStringList before = listedNames(window);
        QHeaderView* header = window.DBGrid1->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(listedNames(window), before);
        QCOMPARE(window.Qry->sql().last(), QStringLiteral("ORDER BY alairas_nev;"));
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
    }

    void ctrlFLeadsToTheSearchBoxAndGridTypingSearches() {
        Tfrm_Torzsadat window(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        Activate(&window);
        QTest::keyClick(window.DBGrid1, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
        window.DBGrid1->setFocus();
        Type(window.DBGrid1, QStringLiteral("f"));
        QCOMPARE(window.Edit1->text(), QStringLiteral("f"));
        QCOMPARE(window.Qry->value(QStringLiteral("alairas_nev")).toString(),
                 QStringLiteral("Fehér Ildikó"));
    }

    void everyRowIsListedUnderTheBaseCondition() {
        ExecSql(QStringLiteral(
            "INSERT INTO alairas (alairas, alairas_nev) VALUES (-1, '<nincs megadva>');"));
        Tfrm_Torzsadat window(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        Activate(&window);
        QCOMPARE(window.Qry->sql().value(1), QStringLiteral("WHERE (1 = 1)"));
        QVERIFY(listedNames(window).contains(QStringLiteral("<nincs megadva>")));
        window.Edit1->setFocus();
        Type(window.Edit1, QStringLiteral("nincs"));
        QCOMPARE(window.Qry->recordCount(), 1);
    }

    void firstLetterIsRaisedOnlyForPlainLetters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a") << "a"
                           << "A";
        QTest::newRow("word") << "kiss anna"
                              << "Kiss anna";
        QTest::newRow("accented") << "á"
                                  << "á";
        QTest::newRow("accented word") << "ágnes"
                                       << "ágnes";
        QTest::newRow("digit") << "1. tanú"
                               << "1. tanú";
    }
    void firstLetterIsRaisedOnlyForPlainLetters() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const int key = newSignatoryTyped(typed);
        QVERIFY(key > 5);
        QCOMPARE(signatory(key), stored);
    }

    void editWindowShowsCaptionNameAndKey() {
        Tfrm_Torzsadat_Szerkeszt window(4, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Aláírás"));
        QCOMPARE(window.Label1->text(), QStringLiteral("Aláírás"));
        QCOMPARE(window.DBEdit1->text(), QStringLiteral("Nagy-Tóth Ákos"));
        QCOMPARE(window.DBText1->text(), QStringLiteral("4"));
        window.reject();
        QCOMPARE(window.finish(), -1);

        Tfrm_Torzsadat_Szerkeszt fresh(-1, QStringLiteral("statusz"), QStringLiteral("Státusz"));
        QVERIFY(fresh.DBText1->text().isEmpty());
        fresh.reject();
        fresh.finish();
    }

    void refusedStoreKeepsTheWindowOpen() {
        // Storing in the window, not after it closed, keeps what was typed.
        RefuseWord(QStringLiteral("alairas"), QStringLiteral("alairas_nev"),
                   QStringLiteral("született"));
        Tfrm_Torzsadat_Szerkeszt window(-1, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        Activate(&window);
        const QString refused = QStringLiteral("Dr. Bertalanné született Kecskeméti Erzsébet");
        Type(window.DBEdit1, refused);
        QTest::keyClick(window.DBEdit1, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(window.isVisible());
        QCOMPARE(fixture_->boxes.lastText().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Hibás, vagy hiányos adatmegadás"));
        QCOMPARE(window.DBEdit1->text(), refused);
        window.DBEdit1->setText(QStringLiteral("Dr. Kecskeméti Erzsébet"));
        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        const int key = window.finish();
        QVERIFY(key > 5);
        QCOMPARE(signatory(key), QStringLiteral("Dr. Kecskeméti Erzsébet"));
    }

    void quoteBackslashAndLineBreakAreStoredAsTyped() {
        const QString text = QStringLiteral("Ő'sz \\ Ábel\nmásodik sor");
        Tfrm_Torzsadat_Szerkeszt window(-1, QStringLiteral("statusz"), QStringLiteral("Státusz"));
        window.DBEdit1->setText(text);
        window.btnOKClick();
        const int key = window.finish();
        QVERIFY(key > 6);
        QCOMPARE(QueryText(
                     QStringLiteral("SELECT statusz_nev FROM statusz WHERE statusz = %1;").arg(key),
                     QString()),
                 text);
    }

    void textIsStoredAsItsCodePage1250Bytes() {
        const QString text = QStringLiteral("Kiss – Nagy „idézet” 5 €");
        Tfrm_Torzsadat_Szerkeszt window(-1, QStringLiteral("statusz"), QStringLiteral("Státusz"));
        window.DBEdit1->setText(text);
        window.btnOKClick();
        const int key = window.finish();
        QVERIFY(key > 6);
        const QString where = QStringLiteral(" FROM statusz WHERE statusz = %1;").arg(key);
        QCOMPARE(QueryText(QStringLiteral("SELECT HEX(statusz_nev)") + where, QString()),
                 QStringLiteral("4B6973732096204E61677920846964E97A65749420352080"));
        QCOMPARE(QueryText(QStringLiteral("SELECT statusz_nev") + where, QString()), text);

        const int before = QueryInt(QStringLiteral("SELECT COUNT(*) FROM statusz;"), -1);
        Tfrm_Torzsadat_Szerkeszt refused(-1, QStringLiteral("statusz"), QStringLiteral("Státusz"));
        refused.DBEdit1->setText(QString::fromUtf8("Kész \xF0\x9F\x98\x80"));
        refused.btnOKClick();
        QVERIFY2(fixture_->boxes.lastText().contains(QStringLiteral("U+1F600")),
                 qPrintable(fixture_->boxes.lastText()));
        refused.reject();
        QCOMPARE(refused.finish(), -1);
        QCOMPARE(QueryInt(QStringLiteral("SELECT COUNT(*) FROM statusz;"), -1), before);
    }

    void maintenanceFromTheList() {
        Tfrm_Torzsadat window(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"));
        window.show();
        Activate(&window);
        OnModal([](QWidget* w) {
            auto* edit = As<Tfrm_Torzsadat_Szerkeszt>(w);
            if (!edit) return;
            Type(edit->DBEdit1, QStringLiteral("bodnár Márk"));
            QTest::keyClick(edit->DBEdit1, Qt::Key_Return, Qt::ControlModifier);
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_Insert);
        QCOMPARE(window.Qry->value(QStringLiteral("alairas_nev")).toString(),
                 QStringLiteral("Bodnár Márk"));
        const int key = window.Qry->value(QStringLiteral("alairas")).toInt();

        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QCOMPARE(signatory(key), QStringLiteral("Bodnár Márk"));
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(signatory(key), QStringLiteral("<none>"));
        QCOMPARE(fixture_->boxes.shown.value(1).caption, QStringLiteral("Megerősítés"));
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(TorzsadatTest)
#include "TorzsadatTest.moc"
