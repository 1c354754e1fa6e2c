#pragma once

// The modal message boxes and the one-line input dialog that every window
// uses, and the colours the list windows share.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace zomi {

enum class BoxKind { Confirm, Error, Warning, Info, Input };

// What a box would show. For an input box, text is the prompt, and value the
// text the edit field starts with.
struct BoxRequest {
    BoxKind kind = BoxKind::Info;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString mask;
    QString value;
    bool defaultNo = false;  // a question whose Enter answers No
};

// While a responder is installed no box is shown: the responder gets the
// request and its result is the user's answer (Yes for a confirmation, OK for
// an input box). For an input box it may change request.value, which becomes
// the edited text when it answers true. Unattended runs (tests, scripted
// checks) install one; an empty function removes it.
using BoxResponder = std::function<bool(BoxRequest&)>;
void SetBoxResponder(BoxResponder responder);

// Yes/No question; true for Yes. Every caller passes the caption
// "Megerősítés" and the question icon.
bool ConfirmBox(const QString& text, const QString& caption, QWidget* owner,
                QMessageBox::Icon icon = QMessageBox::Question);
// The same with No as the default button, for a question whose Yes cannot be
// undone.
bool ConfirmBoxDefaultNo(const QString& text, const QString& caption, QWidget* owner);
void ErrorBox(const QString& text, QWidget* owner);    // "Hiba"
void WarningBox(const QString& text, QWidget* owner);  // "Figyelmeztetés"
void InfoBox(const QString& text, QWidget* owner);     // "Üzenet"

// A modal one-line input dialog centred on the screen. mask is a QLineEdit
// input mask (empty lets anything through). True, and value replaced by the
// edited text, for OK; false, value untouched, for "Mégsem", Esc or closing.
bool InputBox(const QString& caption, const QString& prompt, const QString& mask, QString& value);

// Light yellow of the first column and of the sort column in the lists.
QColor HighlightColor();

// Sets WorkArea from the primary screen, less the task bar; the whole screen
// when the platform does not tell the difference.
void SetWorkAreaFromPrimaryScreen();

}  // namespace zomi
