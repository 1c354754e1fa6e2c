#pragma once

// The amount boxes of the work-order editor: bound to one floating column of
// the row being edited, showing the value with the amount format while the
// box is not being edited and the plain number while it is.

#include <QLineEdit>
#include <QString>

#include "workorders/FeeCalculation.h"

namespace zomi::dbaccess {
class Dataset;
}

namespace zomi {

// The plain number for editing: all the digits a double is shown with
// elsewhere (15 significant), a decimal comma, no digit groups.
QString AmountEditText(double value);

class AmountEdit : public QLineEdit {
    Q_OBJECT

  public:
    // caption is the box's label, for the message about a mistyped number.
    AmountEdit(const QString& fieldName, const QString& caption, QWidget* parent);

    const QString& fieldName() const { return fieldName_; }
    const QString& caption() const { return caption_; }

    void bind(dbaccess::Dataset* dataset) { dataset_ = dataset; }
    // Shows the row's value, dropping whatever was typed.
    void load();
    // Whether the text is a number (or empty), i.e. the row holds what the box shows.
    bool holdsNumber() const { return holdsNumber_; }
    // The message for a box that does not hold a number.
    QString notANumberText() const;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void userEdited(const QString& text);
    void showValue(bool forEditing);

    QString fieldName_;
    QString caption_;
    dbaccess::Dataset* dataset_ = nullptr;
    bool holdsNumber_ = true;
};

}  // namespace zomi
