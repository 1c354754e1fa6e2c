#include "ui/Boxes.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "common/Settings.h"
#include "ui/QuestionBox.h"

namespace zomi {

namespace {

BoxResponder& responder() {
    static BoxResponder installed;
    return installed;
}

// Windows hands the activation to whatever window it likes once a message box
// closes; the boxes that interrupt work give it back to the window the user was
// in.
class ActiveWindowKeeper {
  public:
    ActiveWindowKeeper() : previous_(QApplication::activeWindow()) {}
    ~ActiveWindowKeeper() {
        if (previous_) previous_->activateWindow();
    }
    ActiveWindowKeeper(const ActiveWindowKeeper&) = delete;
    ActiveWindowKeeper& operator=(const ActiveWindowKeeper&) = delete;

  private:
    QPointer<QWidget> previous_;
};

// The responder's true is the box's Yes or OK, whichever button is the default.
QMessageBox::StandardButton showBox(BoxRequest& request, QWidget* owner,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton yesButton) {
    if (request.defaultButton == QMessageBox::NoButton) request.defaultButton = yesButton;
    if (responder()) {
        return responder()(request) ? yesButton : QMessageBox::No;
    }
    QMessageBox box(request.icon, request.caption, request.text, buttons, owner);
    // Boxes echo server messages and stored values: text, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(request.defaultButton);
    // Modal to its owner only, as a box with an owner window is under Windows.
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void messageBox(BoxKind kind, const QString& caption, QMessageBox::Icon icon, const QString& text,
                QWidget* owner) {
    BoxRequest request{kind, caption, text, icon, QString(), QString(), QMessageBox::NoButton};
    showBox(request, owner, QMessageBox::Ok, QMessageBox::Ok);
}

// Windows' MulDiv: a * b / c rounded to the nearest integer.
int mulDiv(int a, int b, int c) {
    const qint64 product = static_cast<qint64>(a) * b;
    const qint64 half = c / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / c);
}

const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

}  // namespace

void SetBoxResponder(BoxResponder newResponder) { responder() = std::move(newResponder); }

bool ConfirmBox(const QString& text, const QString& caption, QWidget* owner, QMessageBox::Icon icon,
                QMessageBox::StandardButton defaultButton) {
    ActiveWindowKeeper keeper;
    BoxRequest request{BoxKind::Confirm, caption, text, icon, QString(), QString(), defaultButton};
    return showBox(request, owner, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool ConfirmBoxDefaultNo(const QString& text, const QString& caption, QWidget* owner) {
    ActiveWindowKeeper keeper;
    BoxRequest request{BoxKind::Confirm, caption,   text,           QMessageBox::Question,
                       QString(),        QString(), QMessageBox::No};
    request.value = QStringLiteral("Nem");
    return showBox(request, owner, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

void ErrorBox(const QString& text, QWidget* owner) {
    ActiveWindowKeeper keeper;
    messageBox(BoxKind::Error, QStringLiteral("Hiba"), QMessageBox::Critical, text, owner);
}

void WarningBox(const QString& text, QWidget* owner) {
    messageBox(BoxKind::Warning, QStringLiteral("Figyelmeztetés"), QMessageBox::Warning, text,
               owner);
}

void InfoBox(const QString& text, QWidget* owner) {
    messageBox(BoxKind::Info, QStringLiteral("Üzenet"), QMessageBox::Information, text, owner);
}

bool InputBox(const QString& caption, const QString& prompt, const QString& mask, QString& value) {
    if (responder()) {
        BoxRequest request{BoxKind::Input,       caption, prompt, QMessageBox::NoIcon, mask, value,
                           QMessageBox::NoButton};
        if (!responder()(request)) return false;
        value = request.value;
        return true;
    }

    QDialog dialog;
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setWindowModality(Qt::ApplicationModal);

    // Dialog units, so that the layout grows with the font as Windows'
    // dialogs do: a horizontal unit is a quarter of the average character
    // width, a vertical unit an eighth of the text height.
    const QFontMetrics metrics(dialog.font());
    const int cx = metrics.horizontalAdvance(kAlphabet) / static_cast<int>(kAlphabet.size());
    const int cy = metrics.height();
    const auto hu = [cx](int units) { return mulDiv(units, cx, 4); };
    const auto vu = [cy](int units) { return mulDiv(units, cy, 8); };

    auto* label = new QLabel(prompt, &dialog);
    label->setObjectName(QStringLiteral("prompt"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    const QRect textRect = metrics.boundingRect(QRect(0, 0, hu(164), 1 << 20),
                                                Qt::AlignLeft | Qt::TextWordWrap, prompt);
    label->setGeometry(hu(8), vu(8), textRect.width(), qMax(textRect.height(), cy));

    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("value"));
    edit->setMaxLength(255);
    if (!mask.isEmpty()) edit->setInputMask(mask);
    edit->setText(value);
    edit->selectAll();
    edit->setGeometry(label->x(), label->y() + label->height() + 5, hu(164),
                      edit->sizeHint().height());

    const int buttonTop = edit->y() + edit->height() + 15;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(hu(38), buttonTop, hu(50), vu(14));
    auto* cancel = new QPushButton(QStringLiteral("Mégsem"), &dialog);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setGeometry(hu(92), buttonTop, hu(50), vu(14));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    // Esc rejects the dialog by itself; the button does the same.
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    dialog.setFixedSize(hu(180), buttonTop + vu(14) + 13);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    }
    edit->setFocus();

    if (dialog.exec() != QDialog::Accepted) return false;
    value = edit->text();
    return true;
}

QColor HighlightColor() { return QColor(255, 255, 185); }

void SetWorkAreaFromPrimaryScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        SetWorkArea(screen->availableGeometry());
}

}  // namespace zomi
