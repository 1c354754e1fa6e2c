// The boxes and the input dialog, driven like a user would: real dialogs on
// the offscreen platform, answered with key presses and clicks.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>

#include "ui/Boxes.h"

using namespace zomi;

namespace {

// Runs action on the modal dialog as soon as it is up. Should the action
// leave the dialog open (a failed check), the dialog is closed anyway, so that
// a failing test cannot hang.
void whenModal(std::function<void(QWidget*)> action, int attemptsLeft = 500) {
    QTimer::singleShot(10, [action, attemptsLeft] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (attemptsLeft > 0) whenModal(action, attemptsLeft - 1);
            return;
        }
        action(modal);
        QPointer<QWidget> guard(modal);
        QTimer::singleShot(0, [guard] {
            if (guard && guard->isVisible()) {
                if (auto* dialog = qobject_cast<QDialog*>(guard.data())) dialog->reject();
            }
        });
    });
}

// QTest::keyClicks takes ASCII only; Hungarian letters come as key events
// that carry their text, as a keyboard layout delivers them.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class BoxesTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { SetBoxResponder(nullptr); }

    void responderAnswersEveryKindOfBox();
    void responderAnswersTheInputBox();
    void confirmBoxAsksWithYesAndNo();
    void errorBoxGivesTheActiveWindowBack();
    void everyBoxShowsMarkupAsText();
    void inputBoxReturnsTypedTextOnEnter();
    void inputBoxEscapeLeavesTheValueAlone();
    void inputBoxCancelButtonAndCloseLeaveTheValueAlone();
    void inputBoxAppliesTheMaskAndTheLengthLimit();
    void inputBoxLayoutFollowsTheFont();
};

void BoxesTest::responderAnswersEveryKindOfBox() {
    QList<BoxRequest> seen;
    SetBoxResponder([&seen](BoxRequest& request) {
        seen << request;
        return request.text == QStringLiteral("Törli?");
    });
    QVERIFY(ConfirmBox(QStringLiteral("Törli?"), QStringLiteral("Megerősítés"), nullptr,
                       QMessageBox::Question));
    QVERIFY(!ConfirmBox(QStringLiteral("Más?"), QStringLiteral("Megerősítés"), nullptr));
    ErrorBox(QStringLiteral("Adatbázis megnyitás sikertelen"), nullptr);
    WarningBox(QStringLiteral("w"), nullptr);
    InfoBox(QStringLiteral("i"), nullptr);

    QCOMPARE(seen.size(), 5);
    QCOMPARE(seen[0].kind, BoxKind::Confirm);
    QCOMPARE(seen[0].caption, QStringLiteral("Megerősítés"));
    QCOMPARE(seen[0].icon, QMessageBox::Question);
    QCOMPARE(seen[2].kind, BoxKind::Error);
    QCOMPARE(seen[2].caption, QStringLiteral("Hiba"));
    QCOMPARE(seen[2].icon, QMessageBox::Critical);
    QCOMPARE(seen[2].text, QStringLiteral("Adatbázis megnyitás sikertelen"));
    QCOMPARE(seen[3].kind, BoxKind::Warning);
    QCOMPARE(seen[3].caption, QStringLiteral("Figyelmeztetés"));
    QCOMPARE(seen[3].icon, QMessageBox::Warning);
    QCOMPARE(seen[4].kind, BoxKind::Info);
    QCOMPARE(seen[4].caption, QStringLiteral("Üzenet"));
    QCOMPARE(seen[4].icon, QMessageBox::Information);
}

void BoxesTest::responderAnswersTheInputBox() {
    BoxRequest asked;
    SetBoxResponder([&asked](BoxRequest& request) {
        asked = request;
        request.value = QStringLiteral("új");
        return true;
    });
    QString value = QStringLiteral("régi");
    QVERIFY(
        InputBox(QStringLiteral("Cím"), QStringLiteral("Kérdés"), QStringLiteral("999"), value));
    QCOMPARE(value, QStringLiteral("új"));
    QCOMPARE(asked.kind, BoxKind::Input);
    QCOMPARE(asked.caption, QStringLiteral("Cím"));
    QCOMPARE(asked.text, QStringLiteral("Kérdés"));
    QCOMPARE(asked.mask, QStringLiteral("999"));
    QCOMPARE(asked.value, QStringLiteral("régi"));

    SetBoxResponder([](BoxRequest& request) {
        request.value = QStringLiteral("elvetve");
        return false;
    });
    QVERIFY(!InputBox(QStringLiteral("Cím"), QStringLiteral("Kérdés"), QString(), value));
    QCOMPARE(value, QStringLiteral("új"));
}

void BoxesTest::confirmBoxAsksWithYesAndNo() {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        QVERIFY(box->button(QMessageBox::Yes));
        QVERIFY(box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    QVERIFY(ConfirmBox(QStringLiteral("Biztosan törli?"), QStringLiteral("Megerősítés"), nullptr,
                       QMessageBox::Question));
    QCOMPARE(title, QStringLiteral("Megerősítés"));
    QCOMPARE(text, QStringLiteral("Biztosan törli?"));
    QCOMPARE(icon, QMessageBox::Question);

    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QVERIFY(!ConfirmBox(QStringLiteral("Biztosan törli?"), QStringLiteral("Megerősítés"), nullptr,
                        QMessageBox::Question));
}

void BoxesTest::errorBoxGivesTheActiveWindowBack() {
    QWidget editor;
    editor.setWindowTitle(QStringLiteral("editor"));
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    editor.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    editor.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &editor);

    QString title;
    whenModal([&](QWidget* modal) {
        title = modal->windowTitle();
        // Something else takes the activation while the box is up.
        other.activateWindow();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    ErrorBox(QStringLiteral("Hiba történt"), &editor);
    QCOMPARE(title, QStringLiteral("Hiba"));
    QTRY_COMPARE(QApplication::activeWindow(), &editor);
}

// Boxes echo server messages and stored values; markup in them must reach
// the user as the characters it is made of (an image tag would make the box
// read the file it names).
void BoxesTest::everyBoxShowsMarkupAsText() {
    const QString hostile =
        QStringLiteral("<b>Figyelem</b> <img src=/dev/zero> <a href=file:///tmp/evil.sh>katt</a>");
    const std::function<void()> boxes[] = {
        [&] { ErrorBox(hostile, nullptr); },
        [&] { WarningBox(hostile, nullptr); },
        [&] { InfoBox(hostile, nullptr); },
        [&] { ConfirmBox(hostile, QStringLiteral("Megerősítés"), nullptr); },
    };
    for (const auto& show : boxes) {
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        whenModal([&](QWidget* modal) {
            auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            format = label->textFormat();
            shown = label->text();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        show();
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, hostile);
    }
}

void BoxesTest::inputBoxReturnsTypedTextOnEnter() {
    QString title, prompt, selected;
    whenModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        prompt = dialog->findChild<QLabel*>()->text();
        auto* edit = dialog->findChild<QLineEdit*>();
        QVERIFY(edit);
        selected = edit->selectedText();
        QVERIFY(edit->hasFocus());
        // The starting text is selected, so typing replaces it.
        typeText(edit, QStringLiteral("Kovács Bt."));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString value = QStringLiteral("régi érték");
    QVERIFY(InputBox(QStringLiteral("Új tétel"), QStringLiteral("Név:"), QString(), value));
    QCOMPARE(value, QStringLiteral("Kovács Bt."));
    QCOMPARE(title, QStringLiteral("Új tétel"));
    QCOMPARE(prompt, QStringLiteral("Név:"));
    QCOMPARE(selected, QStringLiteral("régi érték"));
}

void BoxesTest::inputBoxEscapeLeavesTheValueAlone() {
    whenModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::keyClicks(edit, QStringLiteral("eldobva"));
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    QString value = QStringLiteral("marad");
    QVERIFY(!InputBox(QStringLiteral("c"), QStringLiteral("p"), QString(), value));
    QCOMPARE(value, QStringLiteral("marad"));
}

void BoxesTest::inputBoxCancelButtonAndCloseLeaveTheValueAlone() {
    QString cancelText;
    whenModal([&](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(), QStringLiteral("x"));
        auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancel"));
        cancelText = cancel->text();
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    QString value = QStringLiteral("marad");
    QVERIFY(!InputBox(QStringLiteral("c"), QStringLiteral("p"), QString(), value));
    QCOMPARE(value, QStringLiteral("marad"));
    QCOMPARE(cancelText, QStringLiteral("Mégsem"));

    whenModal([](QWidget* dialog) { dialog->close(); });
    QVERIFY(!InputBox(QStringLiteral("c"), QStringLiteral("p"), QString(), value));
    QCOMPARE(value, QStringLiteral("marad"));
}

void BoxesTest::inputBoxAppliesTheMaskAndTheLengthLimit() {
    whenModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, QStringLiteral("12a3"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString value;
    QVERIFY(InputBox(QStringLiteral("c"), QStringLiteral("Év:"), QStringLiteral("9999"), value));
    QCOMPARE(value, QStringLiteral("123"));

    whenModal([](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, QStringLiteral("abcdef"));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    value = QString(250, QLatin1Char('x'));
    QVERIFY(InputBox(QStringLiteral("c"), QStringLiteral("p"), QString(), value));
    QCOMPARE(value, QString(250, QLatin1Char('x')) + QStringLiteral("abcde"));
}

void BoxesTest::inputBoxLayoutFollowsTheFont() {
    QRect label, edit, ok, cancel;
    QSize client;
    bool fixed = false;
    QFont font;
    whenModal([&](QWidget* dialog) {
        font = dialog->font();
        label = dialog->findChild<QLabel*>()->geometry();
        edit = dialog->findChild<QLineEdit*>()->geometry();
        ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"))->geometry();
        cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->geometry();
        client = dialog->size();
        fixed = dialog->minimumSize() == dialog->maximumSize();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QString value;
    const QString prompt = QStringLiteral(
        "Egy hosszabb kérdés, amelynek a szövege biztosan nem fér el egyetlen sorban a "
        "párbeszédablakban, ezért több sorba tördelődik.");
    InputBox(QStringLiteral("c"), prompt, QString(), value);

    const QFontMetrics metrics(font);
    const int cx = metrics.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                   52;
    const auto hu = [cx](int units) { return (units * cx + 2) / 4; };
    QVERIFY(fixed);
    QCOMPARE(client.width(), hu(180));
    QCOMPARE(label.topLeft(), QPoint(hu(8), (8 * metrics.height() + 4) / 8));
    QVERIFY(label.width() <= hu(164));
    QVERIFY2(label.height() >= 2 * metrics.height(), "a long prompt wraps");
    QCOMPARE(edit.left(), label.left());
    QCOMPARE(edit.top(), label.bottom() + 1 + 5);
    QCOMPARE(edit.width(), hu(164));
    QCOMPARE(ok.top(), edit.bottom() + 1 + 15);
    QCOMPARE(ok.left(), hu(38));
    QCOMPARE(cancel.left(), hu(92));
    QCOMPARE(cancel.top(), ok.top());
    QCOMPARE(ok.width(), hu(50));
    QCOMPARE(ok.height(), (14 * metrics.height() + 4) / 8);
    QCOMPARE(client.height(), ok.bottom() + 1 + 13);
}

QTEST_MAIN(BoxesTest)
#include "BoxesTest.moc"
