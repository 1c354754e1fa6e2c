// The contractor list and edit windows, driven with real keys against the
// test server.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/TorzsVallalkozo_Szerkeszt.h"
#include "support/WindowTestSupport.h"
#include "ui/DbControls.h"
#include "ui/ListSearch.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QList<int> listedKeys(Tfrm_TorzsVallalkozo& window) {
    QList<int> keys;
    const int column = window.Qry->fieldIndex(QStringLiteral("vallalkozo"));
    for (int row = 0; row < window.Qry->recordCount(); ++row)
        keys << window.Qry->valueAt(row, column).toInt();
    return keys;
}

QString currentName(Tfrm_TorzsVallalkozo& window) {
    return window.Qry->value(QStringLiteral("vallalkozo_nev")).toString();
}

int contractorCount() { return QueryInt(QStringLiteral("SELECT COUNT(*) FROM vallalkozo;"), -1); }

QString nameOf(int key) {
    return QueryText(
        QStringLiteral("SELECT vallalkozo_nev FROM vallalkozo WHERE vallalkozo = %1;").arg(key),
        QStringLiteral("<none>"));
}

}  // namespace

class TorzsVallalkozoTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    // --- the list -------------------------------------------------------

    void placeholderIsNeverListed_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("nothing") << QString();
        QTest::newRow("its name") << QStringLiteral("nincs");
        QTest::newRow("its bracket") << QStringLiteral("<");
        QTest::newRow("wildcard") << QStringLiteral("%");
        QTest::newRow("blanks and separators") << QStringLiteral(" ,; ");
    }
    void placeholderIsNeverListed() {
        QFETCH(QString, typed);
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        Activate(&window);
        Type(window.Edit1, typed);
        QVERIFY(!listedKeys(window).contains(-1));
        // A "%" is a letter like any other: no contractor's name holds one.
        if (typed.trimmed().isEmpty() || typed == QLatin1String(" ,; "))
            QCOMPARE(window.Qry->recordCount(), contractorCount() - 1);
        if (typed == QLatin1String("%")) QCOMPARE(window.Qry->recordCount(), 0);
    }

    void searchNarrowsOnEveryKeystrokeAndPositions() {
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        Activate(&window);
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
        Type(window.Edit1, QStringLiteral("kőm"));
        // Found through the trade, which is not the sort column.
        QCOMPARE(listedKeys(window), (QList<int>{2, 11}));
        QCOMPARE(window.StatusPanel1->text(), QStringLiteral("2: 1"));
        QTest::keyClick(window.Edit1, Qt::Key_Backspace);
        QTest::keyClick(window.Edit1, Qt::Key_Backspace);
        QTest::keyClick(window.Edit1, Qt::Key_Backspace);
        Type(window.Edit1, QStringLiteral("cs"));
        // Every word must occur in one of the search fields; the cursor goes to
        // the first name that starts with the text.
        QCOMPARE(currentName(window), QStringLiteral("Csőszer-Víz Bt."));
        QVERIFY(window.Qry->recordCount() > 1);
        for (int row = 0; row < window.Qry->recordCount(); ++row) {
            QString all;
            for (const char* field : {"vallalkozo_nev", "munkakor", "telefon"})
                all += window.Qry->valueAt(row, window.Qry->fieldIndex(QString::fromLatin1(field)))
                           .toString() +
                       "|";
            QVERIFY2(all.contains(QStringLiteral("cs"), Qt::CaseInsensitive), qPrintable(all));
        }
    }

    void letterTypedIntoGridStartsNewSearch() {
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        Activate(&window);
        Type(window.Edit1, QStringLiteral("kft"));
        window.DBGrid1->setFocus();
        QTest::keyClick(window.DBGrid1, Qt::Key_J, Qt::ShiftModifier);
        QCOMPARE(window.Edit1->text(), QStringLiteral("j"));
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
        QCOMPARE(currentName(window), QStringLiteral("Juhász Liftszerviz Kft."));
        Type(window.Edit1, QStringLiteral("uh"));
        QCOMPARE(window.Edit1->text(), QStringLiteral("juh"));
    }

    void titleClickOrdersByThatColumn() {
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        Activate(&window);
        const int column = window.QryModel->columnOfField(QStringLiteral("oradij"));
        QTest::mouseClick(
            window.DBGrid1->horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(window.DBGrid1->horizontalHeader()->sectionViewportPosition(column) + 5, 5));
        QCOMPARE(window.search()->sortField(), QStringLiteral("oradij"));
        QCOMPARE(window.QryModel->highlightedColumn(), column);
        QCOMPARE(currentName(window),
                 QStringLiteral("Korom-Ász Kéményseprő Kft."));  // rate 0 comes first
        QCOMPARE(QApplication::focusWidget(), window.Edit1);
        // Typing still filters although the text cannot be located in a number column.
        Type(window.Edit1, QStringLiteral("villany"));
        QCOMPARE(window.Qry->recordCount(), 2);
        QCOMPARE(currentName(window), QStringLiteral("Nagy Gyula e.v."));  // 7000 before 10500
    }

    void amountsAndVatColumnAsDesigned() {
        Tfrm_TorzsVallalkozo window(3, false);
        window.show();
        QCOMPARE(currentName(window), QStringLiteral("Bárány Villszer Kft."));
        const int row = window.Qry->currentRow();
        const auto cell = [&](const char* field) {
            return window.QryModel
                ->index(row, window.QryModel->columnOfField(QString::fromLatin1(field)))
                .data()
                .toString();
        };
        QCOMPARE(cell("oradij"), QStringLiteral("10 500"));
        QCOMPARE(window.QryModel->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Áfás"));
        QCOMPARE(window.QryModel->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Vállalkozó"));
        QCOMPARE(window.QryModel->highlightedColumn(), 0);
    }

    void columnWidthsFollowTheWindowAndSurviveReopening() {
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        window.resize(900, 500);
        QCoreApplication::processEvents();
        const auto check = [&] {
            const double w = window.DBGrid1->width() - 108;
            QCOMPARE(window.DBGrid1->columnWidth(0), RoundHalfEven(w * 0.4));
            QCOMPARE(window.DBGrid1->columnWidth(3), RoundHalfEven(w * 0.15));
            QCOMPARE(window.DBGrid1->columnWidth(5), 64);
        };
        check();
        Type(window.Edit1, QStringLiteral("a"));  // reopens the list
        check();
    }

    void placementIsKeptBetweenOpenings() {
        {
            Tfrm_TorzsVallalkozo window(-1, false);
            window.show();
            window.setGeometry(40, 50, 700, 480);
            window.reject();
        }
        Tfrm_TorzsVallalkozo again(-1, false);
        again.show();
        QCOMPARE(again.size(), QSize(700, 480));
        QCOMPARE(ReadIntSetting(QStringLiteral("frm_TorzsVallalkozo"), QStringLiteral("Width"), 0),
                 700);
    }

    void copyPutsSortValueOrSelectedSearchTextOnClipboard() {
        Tfrm_TorzsVallalkozo window(4, false);
        window.show();
        Activate(&window);
        window.DBGrid1->setFocus();
        QTest::keyClick(window.DBGrid1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Csőszer-Víz Bt."));
        window.Edit1->setFocus();
        Type(window.Edit1, QStringLiteral("fűtés"));
        window.Edit1->setSelection(0, 3);
        QTest::keyClick(window.Edit1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("fűt"));
    }

    void contextMenuHoldsTheActionsInOrder() {
        Tfrm_TorzsVallalkozo window(-1, true);
        QStringList names;
        for (QAction* action : window.PopupMenu1->actions())
            names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(names, (QStringList{"aUj", "aSzerkeszt", "aTorol", "-", "aMasol", "-", "aElfogad",
                                     "aBezar"}));
    }

    // --- choosing -------------------------------------------------------

    void enterInSearchBoxChoosesTheFoundRow() {
        int shownWhileOpen = -1;
        OnModal([&](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo>(w);
            QVERIFY(window && window->aElfogad->isVisible() && window->aElfogad->isEnabled());
            Type(window->Edit1, QStringLiteral("zzzz"));
            QTest::keyClick(window->Edit1, Qt::Key_Return);
            shownWhileOpen = window->isVisible() ? 1 : 0;
            QTest::keyClick(window->Edit1, Qt::Key_A, Qt::ControlModifier);
            Type(window->Edit1, QStringLiteral("bárány"));
            QTest::keyClick(window->Edit1, Qt::Key_Return);
        });
        QCOMPARE(VallalkozoLista(-1, true), 3);
        QCOMPARE(fixture_->boxes.texts(), QStringList{QStringLiteral("Nincs kiválasztott sor.")});
        QCOMPARE(shownWhileOpen, 1);
    }

    void closingWithoutChoiceAndBrowsingGiveMinusOne() {
        OnModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(VallalkozoLista(5, true), -1);
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo>(w);
            QVERIFY(window && !window->aElfogad->isVisible());
            QCOMPARE(window->Qry->value(QStringLiteral("vallalkozo")).toInt(), 5);
            QTest::keyClick(window->Edit1, Qt::Key_Return);  // no choosing while browsing
            QVERIFY(window->isVisible());
            QTest::keyClick(window->Edit1, Qt::Key_Escape);
        });
        QCOMPARE(VallalkozoLista(5, false), -1);
        QVERIFY(fixture_->boxes.shown.isEmpty());
    }

    void emptyListActionsOnlyShowTheirMessages() {
        Tfrm_TorzsVallalkozo window(-1, true);
        window.show();
        Activate(&window);
        Type(window.Edit1, QStringLiteral("nincs ilyen"));
        QCOMPARE(window.Qry->recordCount(), 0);
        const int before = contractorCount();
        fixture_->boxes.defaultAnswer = true;
        QTest::keyClick(window.Edit1, Qt::Key_F2);
        QTest::keyClick(window.Edit1, Qt::Key_Delete, Qt::ControlModifier);
        QTest::mouseDClick(window.DBGrid1->viewport(), Qt::LeftButton);
        QCOMPARE(fixture_->boxes.texts(),
                 (QStringList{"Nincs sor kiválasztva.", "Nincs sor kiválasztva.",
                              "Nincs kiválasztott sor."}));
        QCOMPARE(contractorCount(), before);
        QVERIFY(window.isVisible());
    }

    // --- maintenance from the list --------------------------------------

    void deleteOfAUsedContractorTellsTheWorkOrdersAndDefaultsToNo() {
        // 15 work orders of the demo data name contractor 7.
        Tfrm_TorzsVallalkozo window(7, false);
        window.show();
        Activate(&window);
        fixture_->boxes.answers << false;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        const BoxRequest asked = fixture_->boxes.shown[0];
        QCOMPARE(asked.kind, BoxKind::Confirm);
        QCOMPARE(asked.caption, QStringLiteral("Megerősítés"));
        QVERIFY2(asked.text.startsWith(QStringLiteral("Ezt a vállalkozót 15 munkalap használja.")),
                 qPrintable(asked.text));
        QVERIFY(asked.text.contains(QStringLiteral("„<nincs megadva>”")));
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QCOMPARE(nameOf(7), QStringLiteral("Érsek Tetőfedő Kft."));
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(nameOf(7), QStringLiteral("<none>"));
        QVERIFY(!listedKeys(window).contains(7));
    }

    void deleteOfAnUnusedContractorAsksTheUsualQuestion() {
        ExecSql(
            QStringLiteral("INSERT INTO vallalkozo (vallalkozo, vallalkozo_nev) "
                           "VALUES (77, 'Senki Kft.');"));
        Tfrm_TorzsVallalkozo window(77, false);
        window.show();
        Activate(&window);
        fixture_->boxes.answers << true;
        QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(fixture_->boxes.texts(), QStringList{QStringLiteral("Valóban töröljem a sort?")});
        QCOMPARE(fixture_->boxes.shown[0].defaultButton, QMessageBox::Yes);
        QCOMPARE(nameOf(77), QStringLiteral("<none>"));
    }

    void newContractorFromListIsStoredAndBecomesCurrent() {
        Tfrm_TorzsVallalkozo window(-1, false);
        window.show();
        Activate(&window);
        bool ticked = false;
        OnModal([&](QWidget* w) {
            auto* edit = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!edit) return;
            ticked = edit->DBCheckBox1->checkState() == Qt::Checked;
            Type(edit->DBEdit2, QStringLiteral("Zöld Kert Kft."));
            QTest::keyClick(edit->DBEdit2, Qt::Key_Return, Qt::ControlModifier);
        });
        QTest::keyClick(window.Edit1, Qt::Key_Insert);
        QVERIFY(ticked);
        QCOMPARE(currentName(window), QStringLiteral("Zöld Kert Kft."));
        const int key = window.Qry->value(QStringLiteral("vallalkozo")).toInt();
        QCOMPARE(
            QueryText(QStringLiteral("SELECT afas FROM vallalkozo WHERE vallalkozo = %1;").arg(key),
                      QString()),
            QStringLiteral("I"));
    }

    void editFromListWithF2AndDoubleClick() {
        Tfrm_TorzsVallalkozo window(9, false);
        window.show();
        Activate(&window);
        OnModal([](QWidget* w) {
            auto* edit = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!edit) return;
            QCOMPARE(edit->DBEdit2->text(), QStringLiteral("Győri Lakatosműhely Bt."));
            edit->DBEdit3->setFocus();
            edit->DBEdit3->selectAll();
            Type(edit->DBEdit3, QStringLiteral("lakatos, kovács"));
            QTest::mouseClick(edit->btnOK, Qt::LeftButton);
        });
        QTest::keyClick(window.DBGrid1, Qt::Key_F2);
        QCOMPARE(window.Qry->value(QStringLiteral("munkakor")).toString(),
                 QStringLiteral("lakatos, kovács"));

        OnModal([](QWidget* w) { QVERIFY(As<Tfrm_TorzsVallalkozo_Szerkeszt>(w)); });
        const QRect cell =
            window.DBGrid1->visualRect(window.QryModel->index(window.Qry->currentRow(), 0));
        QTest::mouseDClick(window.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window.Qry->value(QStringLiteral("vallalkozo")).toInt(), 9);
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(TorzsVallalkozoTest)
#include "TorzsVallalkozoTest.moc"
