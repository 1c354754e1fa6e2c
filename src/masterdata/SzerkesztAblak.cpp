#include "masterdata/SzerkesztAblak.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>

#include "common/Beall.h"
#include "common/Boxes.h"
#include "common/Text.h"
#include "common/WindowHelpers.h"
#include "dbaccess/Dataset.h"
#include "masterdata/DbControls.h"

namespace zomi {

void EditRowOfKey(dbaccess::Table& table, const QString& keyField, int key) {
    if (!table.locate(keyField, key))
        throw dbaccess::DbError(dbaccess::DbError::kRowChanged,
                                QStringLiteral("A sort időközben egy másik felhasználó törölte."));
    table.edit();
}

TSzerkesztAblak::TSzerkesztAblak(const QString& name, const QString& failText, QWidget* parent)
    : QDialog(parent), section_(name), failText_(failText) {
    setObjectName(name);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void TSzerkesztAblak::createButtons() {
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton* button : {btnOK, btnMegsem}) button->setMinimumWidth(90);
    connect(btnOK, &QPushButton::clicked, this, &TSzerkesztAblak::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void TSzerkesztAblak::finishControls(const QSize& designSize) {
    designSize_ = designSize;
    EnableFocusColor(this);
    EnableEnterMovesFocus(this);
    // The window sees every key before its controls do.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void TSzerkesztAblak::btnOKClick() {
    if (!dataset_) return;
    try {
        StoreControls(this, *dataset_);
        dataset_->post();
    } catch (const std::exception& error) {
        // The row stays in editing and the controls keep what was typed, so
        // the user can put it right or cancel.
        ErrorBox(failText_ + QLatin1Char('\n') + QString::fromUtf8(error.what()), this);
        return;
    }
    accept();
}

void TSzerkesztAblak::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ApplyFontSize(this, Beall.FontSize);
        // A larger font must not cut the controls off: the design size is
        // the least the window keeps.
        QSize size = designSize_;
        if (layout()) size = size.expandedTo(layout()->sizeHint());
        setFixedSize(size);
        RestoreWindowPos(this, section_);
    }
    QDialog::showEvent(event);
}

void TSzerkesztAblak::done(int result) {
    StoreWindowPos(this, section_);
    QDialog::done(result);
}

bool TSzerkesztAblak::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & Qt::ControlModifier)) {
            btnOK->setFocus();
            btnOKClick();
            return true;
        }
        // A check box would hand Enter to the dialog's default button.
        if (enter && qobject_cast<QCheckBox*>(watched)) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int TSzerkesztAblak::finishWithKey(const QString& keyField) {
    int key = -1;
    if (result() == Accepted) {
        key = NullToInt(dataset_->value(keyField), 0);
    } else {
        dataset_->cancel();
    }
    dataset_->close();
    return key;
}

}  // namespace zomi
