#include "ui/DbControls.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

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

DbEdit::DbEdit(const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), fieldName_(fieldName) {}

int TextColumnLength(const dbaccess::Dataset& dataset, const QString& fieldName) {
    const int index = dataset.fieldIndex(fieldName);
    if (index < 0 || dataset.field(index).kind != dbaccess::FieldKind::Text) return 0;
    return std::max(0, dataset.field(index).size);
}

bool KeepWithin(QPlainTextEdit* memo, int maxLength) {
    const int excess = static_cast<int>(memo->toPlainText().size()) - maxLength;
    if (maxLength <= 0 || excess <= 0) return false;
    QTextCursor cursor = memo->textCursor();
    const int end = cursor.position() >= excess ? cursor.position()
                                                : static_cast<int>(memo->toPlainText().size());
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    memo->setTextCursor(cursor);
    return true;
}

void DbEdit::load(const dbaccess::Dataset& dataset) {
    // The box takes no more characters than the column holds, so what the
    // user sees is what will be stored.
    const int length = TextColumnLength(dataset, fieldName_);
    if (length > 0) setMaxLength(length);
    setText(NullToText(dataset.value(fieldName_), QString()));
    setCursorPosition(0);
}

void DbEdit::store(dbaccess::Dataset& dataset) const {
    // Compared with the edit buffer, not with what was loaded: after a refused
    // post the buffer may already hold an earlier change the user took back.
    if (NullToText(dataset.value(fieldName_), QString()) != text())
        dataset.setValue(fieldName_, text());
}

DbCheckBox::DbCheckBox(const QString& fieldName, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), fieldName_(fieldName) {
    // The greyed state is only for showing an undetermined value; once the
    // user has decided, the box is an ordinary yes/no box.
    connect(this, &QCheckBox::clicked, this, [this] { setTristate(false); });
}

void DbCheckBox::load(const dbaccess::Dataset& dataset) {
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

void DbCheckBox::store(dbaccess::Dataset& dataset) const {
    const QString wanted = yesNoOf(checkState());
    if (wanted.isEmpty()) return;  // still undetermined: the value stays as it was
    if (NullToText(dataset.value(fieldName_), QString()) != wanted)
        dataset.setValue(fieldName_, wanted);
}

DbText::DbText(const QString& fieldName, QWidget* parent) : QLabel(parent), fieldName_(fieldName) {
    // A stored value, never markup.
    setTextFormat(Qt::PlainText);
}

void DbText::load(const dbaccess::Dataset& dataset) {
    setText(NullToText(dataset.value(fieldName_), QString()));
}

void LoadControls(QWidget* window, const dbaccess::Dataset& dataset) {
    for (DbEdit* edit : window->findChildren<DbEdit*>()) edit->load(dataset);
    for (DbCheckBox* box : window->findChildren<DbCheckBox*>()) box->load(dataset);
    for (DbText* text : window->findChildren<DbText*>()) text->load(dataset);
}

void StoreControls(QWidget* window, dbaccess::Dataset& dataset) {
    for (DbEdit* edit : window->findChildren<DbEdit*>()) edit->store(dataset);
    for (DbCheckBox* box : window->findChildren<DbCheckBox*>()) box->store(dataset);
}

}  // namespace zomi
