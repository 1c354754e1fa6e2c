#pragma once

// Edit controls bound to one column of the row a dataset is editing, as the
// edit windows of the master data and of the users show it. A control shows
// the row's value when loaded and writes back only what the user changed,
// so that an untouched column is never rewritten (a NULL stays NULL, and the
// lost-update check of the post names only the columns really changed).

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

namespace zomi::dbaccess {
class Dataset;
}

class QPlainTextEdit;
class QWidget;

namespace zomi {

class DbEdit : public QLineEdit {
    Q_OBJECT

  public:
    DbEdit(const QString& fieldName, QWidget* parent);
    const QString& fieldName() const { return fieldName_; }
    void load(const dbaccess::Dataset& dataset);
    void store(dbaccess::Dataset& dataset) const;

  private:
    QString fieldName_;
};

// Ticked is "I", unticked "N"; any other value (NULL included) shows the box
// greyed until the user clicks it, after which it only toggles.
class DbCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    DbCheckBox(const QString& fieldName, const QString& caption, QWidget* parent);
    const QString& fieldName() const { return fieldName_; }
    void load(const dbaccess::Dataset& dataset);
    void store(dbaccess::Dataset& dataset) const;

  private:
    QString fieldName_;
};

// A read-only text showing a column.
class DbText : public QLabel {
    Q_OBJECT

  public:
    DbText(const QString& fieldName, QWidget* parent);
    const QString& fieldName() const { return fieldName_; }
    void load(const dbaccess::Dataset& dataset);

  private:
    QString fieldName_;
};

// A memo holds no more characters than its column, as a bound edit box: what
// goes beyond (typed or pasted) is dropped where it went in. True when it
// dropped something; the memo has then changed once more.
bool KeepWithin(QPlainTextEdit* memo, int maxLength);
// The column's length for text columns; 0 (no limit) for any other.
int TextColumnLength(const dbaccess::Dataset& dataset, const QString& fieldName);

// Every bound control of the window, from or into the row being edited.
void LoadControls(QWidget* window, const dbaccess::Dataset& dataset);
void StoreControls(QWidget* window, dbaccess::Dataset& dataset);

}  // namespace zomi
