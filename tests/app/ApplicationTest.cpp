// The application object and its event filter: an error that escapes an
// event handler is shown and the program goes on; the mouse wheel acts as
// the arrow keys.

#include <QAbstractButton>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QWheelEvent>
#include <QtTest>
#include <stdexcept>

#include "app/Application.h"
#include "app/WheelAsArrowKeys.h"
#include "support/BoxRecorder.h"
#include "support/WindowTestSupport.h"

using namespace zomi;
using test::BoxRecorder;

namespace {

// Fails the way a handler does when the server refuses a statement.
class FailingObject : public QObject {
  public:
    int handled = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++handled;
        throw std::runtime_error("A kiszolgáló elutasította: ütközés");
    }
};

void turnWheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
}

}  // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

  private slots:
    void errorEscapingAHandlerIsShownAndTheProgramGoesOn() {
        BoxRecorder boxes;
        FailingObject failing;
        QEvent first(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&failing, &first));
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("A kiszolgáló elutasította: ütközés")});
        QCOMPARE(boxes.shown.first().kind, BoxKind::Error);

        // Posted events go the same way, and the loop keeps running.
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QTRY_COMPARE(failing.handled, 2);
        QCOMPARE(boxes.shown.size(), 2);
    }

    void qtsOwnButtonsSpeakHungarian() {
        QStringList buttons;
        test::WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            for (const QAbstractButton* button : box->buttons())
                buttons << button->text().remove(QLatin1Char('&'));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!ConfirmBox(QStringLiteral("Valóban töröljem a sort?"),
                            QStringLiteral("Megerősítés"), nullptr));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("Igen"), QStringLiteral("Nem")}));
    }

    void wheelMovesOneRowPerNotchLikeTheArrowKeys() {
        WheelAsArrowKeys wheel;
        qApp->installEventFilter(&wheel);
        QStandardItemModel model(6, 2);
        QTableView grid;
        grid.setModel(&model);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(model.index(2, 0));

        // The viewport gets the wheel; the grid itself takes the key.
        turnWheel(grid.viewport(), -120);
        QCOMPARE(grid.currentIndex().row(), 3);
        turnWheel(grid.viewport(), -120);
        QCOMPARE(grid.currentIndex().row(), 4);
        turnWheel(grid.viewport(), 120);
        QCOMPARE(grid.currentIndex().row(), 3);
        // A turn of no height counts as towards the user.
        turnWheel(grid.viewport(), 0);
        QCOMPARE(grid.currentIndex().row(), 4);
        qApp->removeEventFilter(&wheel);
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ApplicationTest.moc"
