#pragma once

// What the edit windows of one row have in common: the OK and "Mégsem"
// buttons, the window that sees every key first (Ctrl+Enter confirms, Enter
// moves on), the focus colour, the saved position and the font size, and
// storing the row with the reason shown when the server refuses it.

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QGridLayout;
class QHBoxLayout;
class QPushButton;

namespace zomi::dbaccess {
class Dataset;
class Table;
}  // namespace zomi::dbaccess

namespace zomi {

class DbEdit;

// Puts the row whose key column holds the key into editing; a row that is no
// longer there (another workstation deleted it) is an error, not the first row.
void EditRowOfKey(dbaccess::Table& table, const QString& keyField, int key);

class EditWindow : public QDialog {
    Q_OBJECT

  public:
    QPushButton* btnOK = nullptr;
    QPushButton* btnMegsem = nullptr;

    dbaccess::Dataset* dataset() const { return dataset_; }

    // Stores the row; on success the window closes as confirmed, otherwise
    // it shows why and stays open with everything the user typed.
    void btnOKClick();

  protected:
    // name is the window's name, which is also its settings section;
    // failText the first line of the message of a refused store.
    EditWindow(const QString& name, const QString& failText, QWidget* parent);

    void setDataset(dbaccess::Dataset* dataset) { dataset_ = dataset; }
    // What OK stores: the controls into the dataset's row, which is posted.
    // A window over other data stores it here; false keeps the window open,
    // an exception also shows why.
    virtual bool storeRow();
    // Opens the window's own table over the main connection and puts the row
    // with the key into editing, or a new row for -1; the table becomes the
    // window's dataset.
    dbaccess::Table* openRow(const QString& table, int key);
    // Once the window has closed: the stored row's key when it was confirmed,
    // -1 when cancelled (the edit is then abandoned). Releases the row.
    int finishWithKey(const QString& keyField);
    void createButtons();
    // OK and "Mégsem" in a row, right-aligned.
    QHBoxLayout* buttonRow() const;
    // A bound edit box in the grid's row, with its caption in labelColumn and
    // the box in the column after it.
    DbEdit* addEdit(QGridLayout* grid, int row, int labelColumn, const QString& name,
                    const QString& field, const QString& caption);
    // The caption the user sees beside the box of a column: messages about
    // the column name it instead of the column. addEdit sets it itself.
    void setFieldLabel(const QString& field, const QString& caption);
    // Called by the window once all its controls exist.
    void finishControls(const QSize& designSize);

    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString section_;
    QString failText_;
    QSize designSize_;
    dbaccess::Dataset* dataset_ = nullptr;
    QList<QPair<QString, QString>> labels_;
};

}  // namespace zomi
