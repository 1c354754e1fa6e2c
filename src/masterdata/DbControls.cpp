#include "masterdata/DbControls.h"

#include "common/Text.h"
#include "dbaccess/Dataset.h"

namespace zomi {

namespace {

QString yesNoOf(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return QStringLiteral("I");
        case Qt::Unchecked:
            return QStringLiteral("N");
        default:
            return QString();
    }
}

}  // namespace

TDbEdit::TDbEdit(const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), fieldName_(fieldName) {}

void TDbEdit::load(const dbaccess::Dataset& dataset) {
    setText(NullToText(dataset.value(fieldName_), QString()));
    setCursorPosition(0);
}

void TDbEdit::store(dbaccess::Dataset& dataset) const {
    // Compared with the edit buffer, not with what was loaded: after a refused
    // post the buffer may already hold an earlier change the user took back.
    if (NullToText(dataset.value(fieldName_), QString()) != text())
        dataset.setValue(fieldName_, text());
}

TDbCheckBox::TDbCheckBox(const QString& fieldName, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), fieldName_(fieldName) {
    // The greyed state is only for showing an undetermined value; once the
    // user has decided, the box is an ordinary yes/no box.
    connect(this, &QCheckBox::clicked, this, [this] { setTristate(false); });
}

void TDbCheckBox::load(const dbaccess::Dataset& dataset) {
    const QString value = NullToText(dataset.value(fieldName_), QString());
    if (value == QLatin1String("I")) {
        setTristate(false);
        setCheckState(Qt::Checked);
    } else if (value == QLatin1String("N")) {
        setTristate(false);
        setCheckState(Qt::Unchecked);
    } else {
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
    }
}

void TDbCheckBox::store(dbaccess::Dataset& dataset) const {
    const QString wanted = yesNoOf(checkState());
    if (wanted.isEmpty()) return;  // still undetermined: the value stays as it was
    if (NullToText(dataset.value(fieldName_), QString()) != wanted)
        dataset.setValue(fieldName_, wanted);
}

TDbText::TDbText(const QString& fieldName, QWidget* parent)
    : QLabel(parent), fieldName_(fieldName) {}

void TDbText::load(const dbaccess::Dataset& dataset) {
    setText(NullToText(dataset.value(fieldName_), QString()));
}

void LoadControls(QWidget* window, const dbaccess::Dataset& dataset) {
    for (TDbEdit* edit : window->findChildren<TDbEdit*>()) edit->load(dataset);
    for (TDbCheckBox* box : window->findChildren<TDbCheckBox*>()) box->load(dataset);
    for (TDbText* text : window->findChildren<TDbText*>()) text->load(dataset);
}

void StoreControls(QWidget* window, dbaccess::Dataset& dataset) {
    for (TDbEdit* edit : window->findChildren<TDbEdit*>()) edit->store(dataset);
    for (TDbCheckBox* box : window->findChildren<TDbCheckBox*>()) box->store(dataset);
}

}  // namespace zomi
