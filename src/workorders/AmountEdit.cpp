#include "workorders/AmountEdit.h"

#include <QFocusEvent>
#include <QLocale>

#include "common/AmountFormat.h"
#include "common/Text.h"
#include "dbaccess/Dataset.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

namespace {

const QString kDisplayFormat = QStringLiteral("### ### ##0");

}  // namespace

QString AmountEditText(double value) {
    QString text = QLocale::c().toString(value, 'g', 15);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

AmountEdit::AmountEdit(const QString& fieldName, const QString& caption, QWidget* parent)
    : QLineEdit(parent), fieldName_(fieldName), caption_(caption) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, &AmountEdit::userEdited);
}

void AmountEdit::load() {
    holdsNumber_ = true;
    showValue(hasFocus());
}

QString AmountEdit::notANumberText() const {
    return QStringLiteral(
               "A(z) „%1” mezőbe számot kell írni (például 1500 vagy 12,5); „%2” nem szám.")
        .arg(caption_, text());
}

void AmountEdit::showValue(bool forEditing) {
    if (!dataset_) return;
    const QVariant value = dataset_->value(fieldName_);
    if (value.isNull()) {
        setText(QString());
        return;
    }
    const double amount = NullToFloat(value, 0);
    setText(forEditing ? AmountEditText(amount) : FormatAmount(amount, kDisplayFormat));
    setCursorPosition(forEditing ? static_cast<int>(text().size()) : 0);
}

void AmountEdit::userEdited(const QString& text) {
    Amount amount;
    holdsNumber_ = ReadAmountText(text, &amount);
    // A text that is not a number stays in the box as typed, and the row keeps
    // its last good value until the user puts it right.
    if (!holdsNumber_ || !dataset_) return;
    Guarded(window(),
            [&] { dataset_->setValue(fieldName_, amount ? QVariant(*amount) : QVariant()); });
}

void AmountEdit::focusInEvent(QFocusEvent* event) {
    if (holdsNumber_) showValue(true);
    QLineEdit::focusInEvent(event);
}

void AmountEdit::focusOutEvent(QFocusEvent* event) {
    if (holdsNumber_) showValue(false);
    QLineEdit::focusOutEvent(event);
}

}  // namespace zomi
