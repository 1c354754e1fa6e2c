// The contractor edit window: defaults, keys, storing and what a refused
// store leaves behind.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QtTest>

#include "dbaccess/Dataset.h"
#include "masterdata/TorzsVallalkozo_Szerkeszt.h"
#include "support/LaxServer.h"
#include "support/WindowTestSupport.h"
#include "ui/DbControls.h"
#include "ui/WindowHelpers.h"

using namespace zomi;
using namespace zomi::test;

namespace {

QString column(const QString& name, int key) {
    return QueryText(
        QStringLiteral("SELECT COALESCE(%1, '<NULL>') FROM vallalkozo WHERE vallalkozo = %2;")
            .arg(name)
            .arg(key),
        QStringLiteral("<none>"));
}

void retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    Type(edit, text);
}

}  // namespace

class TorzsVallalkozoSzerkesztTest : public QObject {
    Q_OBJECT

  private:
    void onTheLaxServer() {
        // The old fixture must be gone before the new one registers itself.
        fixture_.reset();
        fixture_ =
            std::make_unique<WindowFixture>(TestDatabase::Content::Demo, LaxServer::params());
    }

  private slots:
    void init() { fixture_ = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture_.reset(); }

    void newContractorOpensWithVatTicked() {
        int key = -2;
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!window) return;
            QCOMPARE(window->windowTitle(), QStringLiteral("Vállalkozó szerkesztés"));
            QCOMPARE(window->DBCheckBox1->checkState(), Qt::Checked);
            QVERIFY(window->DBEdit2->text().isEmpty());
            Type(window->DBEdit2, QStringLiteral("Új Vállalkozó Bt."));
            QTest::mouseClick(window->btnOK, Qt::LeftButton);
        });
        key = VallalkozoSzerkeszt(-1);
        QVERIFY(key > 26);
        QCOMPARE(column("vallalkozo_nev", key), QStringLiteral("Új Vállalkozó Bt."));
        QCOMPARE(column("afas", key), QStringLiteral("I"));
        // Columns the user left alone keep the server's defaults.
        QCOMPARE(column("telefon", key), QString());
        QCOMPARE(column("oradij", key), QStringLiteral("<NULL>"));
    }

    void untickedVatAndAmountsAreStored() {
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!window) return;
            Type(window->DBEdit2, QStringLiteral("Alanyi Mentes"));
            QTest::keyClick(window->DBEdit2, Qt::Key_Return);
            QTest::keyClick(window->DBEdit3, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), window->DBCheckBox1);
            QTest::keyClick(window->DBCheckBox1, Qt::Key_Space);
            QTest::keyClick(window->DBCheckBox1, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), window->DBEdit4);
            Type(window->DBEdit4, QStringLiteral("8250,5"));
            QTest::keyClick(window->DBEdit4, Qt::Key_Return, Qt::ControlModifier);
        });
        const int key = VallalkozoSzerkeszt(-1);
        QVERIFY(key > 0);
        QCOMPARE(column("afas", key), QStringLiteral("N"));
        QCOMPARE(
            QueryFloat(
                QStringLiteral("SELECT oradij FROM vallalkozo WHERE vallalkozo = %1;").arg(key), 0),
            8250.5);
    }

    void enterMovesThroughTheFieldsInTabOrder() {
        Tfrm_TorzsVallalkozo_Szerkeszt window(1);
        window.show();
        Activate(&window);
        window.DBEdit2->setFocus();
        const QList<QWidget*> order{window.DBEdit3, window.DBCheckBox1, window.DBEdit4,
                                    window.DBEdit5, window.DBEdit1,     window.DBEdit6,
                                    window.DBEdit7, window.btnOK};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(window.isVisible());  // Enter never stored the row on the way
    }

    void focusedFieldIsPaintedLightBlue() {
        Tfrm_TorzsVallalkozo_Szerkeszt window(1);
        window.show();
        Activate(&window);
        window.DBEdit3->setFocus();
        QCOMPARE(window.DBEdit3->palette().color(QPalette::Base), FocusColor());
        window.DBEdit4->setFocus();
        QVERIFY(window.DBEdit3->palette().color(QPalette::Base) != FocusColor());
        QCOMPARE(window.DBEdit4->palette().color(QPalette::Base), FocusColor());
    }

    void escapeDiscardsANewContractor() {
        const int before = QueryInt(QStringLiteral("SELECT COUNT(*) FROM vallalkozo;"), -1);
        OnModal([](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!window) return;
            Type(window->DBEdit2, QStringLiteral("Mégsem Kft."));
            QTest::keyClick(window->DBEdit2, Qt::Key_Escape);
        });
        QCOMPARE(VallalkozoSzerkeszt(-1), -1);
        QCOMPARE(QueryInt(QStringLiteral("SELECT COUNT(*) FROM vallalkozo;"), -1), before);
    }

    void refusedStoreKeepsTheWindowOpenWithNothingLost_data() {
        QTest::addColumn<QString>("editName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("name the server refuses")
            << "DBEdit2" << QStringLiteral("Tilos Kft.") << "vallalkozo_nev_tilos";
        QTest::newRow("rate that is no number") << "DBEdit4"
                                                << "sok"
                                                << "A(z) „Óradíj” mezőbe számot kell írni";
        QTest::newRow("point that groups no thousands") << "DBEdit4"
                                                        << "12.5"
                                                        << "A(z) „Óradíj” mezőbe számot kell írni";
    }
    void refusedStoreKeepsTheWindowOpenWithNothingLost() {
        QFETCH(QString, editName);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        RefuseWord(QStringLiteral("vallalkozo"), QStringLiteral("vallalkozo_nev"),
                   QStringLiteral("Tilos"));
        Tfrm_TorzsVallalkozo_Szerkeszt window(2);
        window.show();
        Activate(&window);
        retype(window.DBEdit3, QStringLiteral("kőműves, ács"));
        auto* edit = window.findChild<QLineEdit*>(editName);
        QVERIFY(edit);
        retype(edit, text);
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);

        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QCOMPARE(fixture_->boxes.shown[0].kind, BoxKind::Error);
        const QStringList lines = fixture_->boxes.lastText().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("Hibás, vagy hiányos adatmegadás"));
        QVERIFY2(lines.value(1).contains(reason), qPrintable(lines.value(1)));
        QVERIFY(window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(edit->text(), text);
        QCOMPARE(window.DBEdit3->text(), QStringLiteral("kőműves, ács"));
        QCOMPARE(column("munkakor", 2), QStringLiteral("kőműves"));

        // Put right, the same window stores everything typed before.
        retype(edit, editName == QLatin1String("DBEdit4") ? QStringLiteral("9100")
                                                          : QStringLiteral("Antal Zrt."));
        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.finish(), 2);
        QCOMPARE(column("munkakor", 2), QStringLiteral("kőműves, ács"));
    }

    void quoteBackslashAndLineBreakComeBackUnchanged() {
        const QString name = QStringLiteral("O'Brien \\ Társa");
        const QString address = QStringLiteral("1. sor\r\n2. sor 'idézet' \\n");
        OnModal([&](QWidget* w) {
            auto* window = As<Tfrm_TorzsVallalkozo_Szerkeszt>(w);
            if (!window) return;
            Type(window->DBEdit2, name);
            window->DBEdit7->setText(address);  // a line break cannot be typed into a one-line box
            window->btnOKClick();
        });
        const int key = VallalkozoSzerkeszt(-1);
        QVERIFY(key > 0);
        QCOMPARE(column("vallalkozo_nev", key), name);
        QCOMPARE(column("cim", key), address);

        // Shown again and stored with another change, the texts stay as they were.
        Tfrm_TorzsVallalkozo_Szerkeszt window(key);
        QCOMPARE(window.DBEdit2->text(), name);
        QCOMPARE(window.DBEdit7->text(), address);
        window.DBEdit1->setText(QStringLiteral("+36 1 000 0000"));
        window.btnOKClick();
        QCOMPARE(window.finish(), key);
        QCOMPARE(column("vallalkozo_nev", key), name);
        QCOMPARE(column("cim", key), address);
    }

    void untouchedColumnsAreNotRewritten() {
        ExecSql(QStringLiteral(
            "UPDATE vallalkozo SET munkakor = NULL, afas = NULL WHERE vallalkozo = 5;"));
        Tfrm_TorzsVallalkozo_Szerkeszt window(5);
        window.show();
        QCOMPARE(window.DBCheckBox1->checkState(), Qt::PartiallyChecked);
        window.btnOKClick();
        QCOMPARE(window.finish(), 5);
        QCOMPARE(column("munkakor", 5), QStringLiteral("<NULL>"));
        QCOMPARE(column("afas", 5), QStringLiteral("<NULL>"));
    }

    void secondWorkstationCannotOverwriteTheFirst() {
        auto second = fixture_->db.connect();
        Tfrm_TorzsVallalkozo_Szerkeszt first(6);
        SetMainConnection(second.get());
        Tfrm_TorzsVallalkozo_Szerkeszt other(6);
        SetMainConnection(fixture_->connection.get());

        first.show();
        Activate(&first);
        retype(first.DBEdit2, QStringLiteral("Cukor Ferenc és Fia"));
        QTest::keyClick(first.DBEdit2, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(first.finish(), 6);

        other.show();
        Activate(&other);
        retype(other.DBEdit2, QStringLiteral("Cukor Burkolás Kft."));
        QTest::keyClick(other.DBEdit2, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(other.isVisible());
        QVERIFY(fixture_->boxes.lastText().startsWith(
            QStringLiteral("Hibás, vagy hiányos adatmegadás\n")));
        QCOMPARE(other.DBEdit2->text(), QStringLiteral("Cukor Burkolás Kft."));
        QCOMPARE(column("vallalkozo_nev", 6), QStringLiteral("Cukor Ferenc és Fia"));
        other.reject();
        QCOMPARE(other.finish(), -1);
        QCOMPARE(column("vallalkozo_nev", 6), QStringLiteral("Cukor Ferenc és Fia"));
    }

    // A server without strict mode would cut an over-long text short; the
    // boxes take no more than their columns hold, so what is seen is stored.
    void onALaxServerTheBoxesHoldWhatIsStored() {
        onTheLaxServer();
        Tfrm_TorzsVallalkozo_Szerkeszt window(2);
        window.show();
        Activate(&window);
        retype(window.DBEdit2, QString(301, QLatin1Char('n')));
        QCOMPARE(window.DBEdit2->text().size(), 50);
        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(column("vallalkozo_nev", 2), QString(50, QLatin1Char('n')));
    }

    // The server restarts while a contractor is being edited: the store
    // fails with the reason, the window keeps every typed letter, and the
    // same OK stores it once the server is back.
    void aServerRestartLosesNothingTyped() {
        onTheLaxServer();
        Tfrm_TorzsVallalkozo_Szerkeszt window(2);
        window.show();
        Activate(&window);
        retype(window.DBEdit2, QStringLiteral("Újraindítás Kft."));
        retype(window.DBEdit3, QStringLiteral("villanyszerelő"));
        LaxServer::stop();
        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        LaxServer::start();
        QCOMPARE(fixture_->boxes.shown.size(), 1);
        QVERIFY2(
            fixture_->boxes.lastText().contains(QStringLiteral("A kiszolgáló most nem érhető el")),
            qPrintable(fixture_->boxes.lastText()));
        QVERIFY(window.isVisible());
        QCOMPARE(window.DBEdit2->text(), QStringLiteral("Újraindítás Kft."));
        QCOMPARE(window.DBEdit3->text(), QStringLiteral("villanyszerelő"));

        QTest::mouseClick(window.btnOK, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(column("vallalkozo_nev", 2), QStringLiteral("Újraindítás Kft."));
        QCOMPARE(column("munkakor", 2), QStringLiteral("villanyszerelő"));
    }

    void positionIsKept() {
        {
            Tfrm_TorzsVallalkozo_Szerkeszt window(1);
            window.show();
            window.move(120, 80);
            window.reject();
            window.finish();
        }
        Tfrm_TorzsVallalkozo_Szerkeszt again(1);
        again.show();
        QCOMPARE(again.pos(), QPoint(120, 80));
        QVERIFY(again.width() >= 539 && again.height() >= 338);
    }

  private:
    std::unique_ptr<WindowFixture> fixture_;
};

QTEST_MAIN(TorzsVallalkozoSzerkesztTest)
#include "TorzsVallalkozoSzerkesztTest.moc"
