#pragma once

// The work-order editor: one row of zomi, new or existing, with its yearly
// serial number, the four choosers, the fee computation and storing.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class AmountEdit;
class Tfrm_Csatolmanyok;
class WorkOrderStore;

class Tfrm_Szerkeszt : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_Szerkeszt(QWidget* parent = nullptr);
    ~Tfrm_Szerkeszt() override;

    // Puts the work order with the key (-1: a new one) into the window. False,
    // after telling the user, when there is no work order with that key.
    bool open(int key);
    // Once the window has closed: the stored work order's key, or -1 when it
    // was cancelled. Releases the row.
    int finish();

    QLineEdit* Edit5 = nullptr;  // printed work-order number
    QLineEdit* DBEdit2 = nullptr;
    QTimeEdit* DateTimePicker1 = nullptr;
    QLineEdit* Edit2 = nullptr;  // site address
    QPushButton* BitBtn2 = nullptr;
    QLineEdit* Edit1 = nullptr;  // contractor name
    QPushButton* BitBtn1 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;
    QDateEdit* DateTimePicker3 = nullptr;
    QCheckBox* DBCheckBox1 = nullptr;
    QLineEdit* Edit3 = nullptr;  // signatory name
    QPushButton* BitBtn3 = nullptr;
    QLineEdit* Edit4 = nullptr;  // status name
    QPushButton* BitBtn8 = nullptr;
    QPlainTextEdit* DBMemo1 = nullptr;
    AmountEdit* DBEdit5 = nullptr;  // munkadij1
    AmountEdit* DBEdit6 = nullptr;  // munkadij2
    QPushButton* BitBtn5 = nullptr;
    AmountEdit* DBEdit9 = nullptr;   // munkadij3
    AmountEdit* DBEdit11 = nullptr;  // kiszdij1
    AmountEdit* DBEdit12 = nullptr;  // kiszdij2
    QPushButton* BitBtn6 = nullptr;
    AmountEdit* DBEdit13 = nullptr;  // kiszdij3
    AmountEdit* DBEdit17 = nullptr;  // anyag3
    QPushButton* BitBtn7 = nullptr;
    AmountEdit* DBEdit15 = nullptr;  // ossz
    QPushButton* Button1 = nullptr;  // "OK"
    QPushButton* Button2 = nullptr;  // "Mégsem"
    QLabel* Image1 = nullptr;
    // The work order's files and change history, where the database keeps them.
    QPushButton* btnCsatolmanyok = nullptr;
    QPushButton* btnElozmenyek = nullptr;

    dbaccess::Table* TblZomi = nullptr;

    // Who answers the choosers: the master-data windows, or whatever stands in
    // for the user. Each gives the chosen key or -1; the lookup chooser also
    // sets the chosen row's name.
    struct Choosers {
        std::function<int()> contractor;
        std::function<int()> site;
        std::function<int(const QString& table, const QString& caption, QString* name)> lookup;
    };
    Choosers& choosers() { return choosers_; }

    void BitBtn1Click();  // contractor
    void BitBtn2Click();  // site
    void BitBtn3Click();  // signatory
    void BitBtn8Click();  // status
    void BitBtn5Click();  // net labour fee
    void BitBtn6Click();  // net call-out fee
    void BitBtn7Click();  // gross amounts and total
    void Button1Click();  // check and store
    void btnCsatolmanyokClick();
    void btnElozmenyekClick();
    // The files added to a work order not yet stored, kept until it is.
    Tfrm_Csatolmanyok* pendingFiles() const { return pendingFiles_.get(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void loadControls();
    void loadPickers();
    void showNumber();
    void loadNamesAndNumber();
    void showWorkFileButtons();
    void showFileCount(int count);
    void showAfas();
    QString nameOf(const QString& sql) const;
    void pickerChanged(QWidget* picker);
    bool requiredColumnsSet();
    // The control that sets the column, where one does.
    QWidget* controlOfColumn(const QString& column) const;
    bool typedValuesFit();
    bool store();
    void reloadAmounts(std::initializer_list<AmountEdit*> boxes);
    QList<AmountEdit*> amountBoxes() const;

    Choosers choosers_;
    std::unique_ptr<WorkOrderStore> store_;
    std::unique_ptr<Tfrm_Csatolmanyok> pendingFiles_;
    bool loading_ = false;
};

// Opens the editor on the work order with the key, or on a new one for -1,
// and returns the stored work order's key, or -1 when the user cancelled or
// the work order could not be opened.
int MunkalapSzerkeszt(int key);

}  // namespace zomi
