#include "ui/EditWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "common/Beall.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/Refusal.h"
#include "ui/Boxes.h"
#include "ui/DbControls.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

// Gives the dataset's fields the window's labels for as long as it lives,
// then the labels they had.
class FieldLabels {
  public:
    FieldLabels(dbaccess::Dataset* dataset, const QList<QPair<QString, QString>>& labels)
        : dataset_(dataset) {
        if (!dataset_) return;
        for (const auto& [field, caption] : labels) {
            const int index = dataset_->fieldIndex(field);
            if (index < 0) continue;
            QString& label = dataset_->field(index).label;
            kept_.append({index, label});
            label = caption;
        }
    }
    ~FieldLabels() {
        for (const auto& [index, label] : kept_) dataset_->field(index).label = label;
    }
    FieldLabels(const FieldLabels&) = delete;
    FieldLabels& operator=(const FieldLabels&) = delete;

  private:
    dbaccess::Dataset* dataset_;
    QList<QPair<int, QString>> kept_;
};

}  // namespace

void EditRowOfKey(dbaccess::Table& table, const QString& keyField, int key) {
    if (!table.locate(keyField, key))
        throw dbaccess::DbError(dbaccess::DbError::kRowChanged,
                                QStringLiteral("A sort időközben egy másik felhasználó törölte."));
    table.edit();
}

EditWindow::EditWindow(const QString& name, const QString& failText, QWidget* parent)
    : QDialog(parent), section_(name), failText_(failText) {
    setObjectName(name);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void EditWindow::createButtons() {
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton* button : {btnOK, btnMegsem}) button->setMinimumWidth(90);
    connect(btnOK, &QPushButton::clicked, this, &EditWindow::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

QHBoxLayout* EditWindow::buttonRow() const {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(btnOK);
    row->addWidget(btnMegsem);
    return row;
}

DbEdit* EditWindow::addEdit(QGridLayout* grid, int row, int labelColumn, const QString& name,
                            const QString& field, const QString& caption) {
    auto* edit = new DbEdit(field, this);
    edit->setObjectName(name);
    auto* label = new QLabel(caption, this);
    label->setBuddy(edit);
    grid->addWidget(label, row, labelColumn);
    grid->addWidget(edit, row, labelColumn + 1);
    setFieldLabel(field, caption);
    return edit;
}

void EditWindow::setFieldLabel(const QString& field, const QString& caption) {
    labels_.append({field, caption});
}

dbaccess::Table* EditWindow::openRow(const QString& table, int key) {
    auto* rows = new dbaccess::Table(MainConnection(), this);
    rows->setObjectName(QStringLiteral("Tbl"));
    rows->setTableName(table);
    rows->setOrderBy(table);
    rows->open();
    setDataset(rows);
    if (key == -1) {
        rows->append();
    } else {
        EditRowOfKey(*rows, table, key);
    }
    return rows;
}

void EditWindow::finishControls(const QSize& designSize) {
    designSize_ = designSize;
    EnableFocusColor(this);
    EnableEnterMovesFocus(this);
    // The window sees every key before its controls do.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

bool EditWindow::storeRow() {
    if (!dataset_) return false;
    StoreControls(this, *dataset_);
    dataset_->post();
    return true;
}

void EditWindow::btnOKClick() {
    QString refusal;
    {
        // A refusal names the field as this window labels it; the dataset may
        // be a list's, whose column titles are its labels and stay as they were.
        const FieldLabels labels(dataset_, labels_);
        try {
            if (!storeRow()) return;
        } catch (const std::exception& error) {
            refusal = dbaccess::RefusalText(error, dataset_);
        }
    }
    if (!refusal.isNull()) {
        // The row stays in editing and the controls keep what was typed, so
        // the user can put it right or cancel.
        ErrorBox(failText_ + QLatin1Char('\n') + refusal, this);
        return;
    }
    accept();
}

void EditWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FitOnFirstShow(this, Beall.FontSize, designSize_, section_);
    }
    QDialog::showEvent(event);
}

void EditWindow::done(int result) {
    StoreWindowPos(this, section_);
    QDialog::done(result);
}

bool EditWindow::eventFilter(QObject* watched, QEvent* event) {
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

int EditWindow::finishWithKey(const QString& keyField) {
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
