#pragma once

// The export window "Határolt szöveg export": the rows of a dataset that its
// caller hands over go to a delimited text file, a spreadsheet file (.xls or
// .xlsx) or the clipboard, with a choice of columns, delimiter, quote
// character and header.

#include <QDialog>
#include <QGroupBox>
#include <QPointer>
#include <QStringList>

#include "output/DelimitedExport.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace zomi {

// A titled group of option buttons with one chosen, addressed by position.
class RadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    int itemIndex() const;
    void setItemIndex(int index);
    QList<QAbstractButton*> buttons() const;

  private:
    QButtonGroup* group_;
};

class Tfrm_Hatarolt : public QDialog {
    Q_OBJECT

  public:
    // The dataset stays the caller's; it must outlive the window.
    Tfrm_Hatarolt(dbaccess::Dataset* dataset, const QString& fileName, QWidget* parent = nullptr);

    static const QStringList kSaveFilters;

    QListWidget* CheckListBox1;
    QPushButton* Button4;     // "Összes"
    QPushButton* Button5;     // "Egyik sem"
    RadioGroup* RadioGroup2;  // delimiter
    RadioGroup* RadioGroup1;  // quote character
    QCheckBox* CheckBox1;     // memos as text
    QCheckBox* CheckBox2;     // original field names
    QCheckBox* CheckBox3;     // no header
    QCheckBox* CheckBox4;     // open after export
    QPushButton* BitBtn1;     // "Vágólapra!"
    QLabel* Label2;           // beside BitBtn1
    QLabel* Label1;           // "Filenév"
    QLineEdit* Edit1;
    QToolButton* SpeedButton1;
    QPushButton* Button3;  // "Megállít"
    QPushButton* Button1;  // "Export indítás"
    QPushButton* Button2;  // "Bezár"
    QProgressBar* ProgressBar1;
    QLabel* Image3;

    // The choices of the window as export options.
    DelimitedOptions options() const;
    bool exporting() const { return exporting_; }

  public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void BitBtn1Click();
    void SpeedButton1Click();
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The save dialog over the name in Edit1; true and Edit1 replaced when a
    // name was chosen.
    bool showSaveDialog();
    void setExporting(bool exporting, bool stoppable);
    Progress progressBarSteps();
    KeepGoing processEventsUntilStopped();
    // Whether the export ended so that the file may be opened.
    bool exportDelimited(const QString& fileName);
    bool exportSpreadsheet(const QString& fileName, bool xlsx);
    void openExportedFile(const QString& fileName);

    dbaccess::Dataset* dataset_;
    bool exporting_ = false;
    bool keepGoing_ = false;  // the stop flag: cleared by "Megállít"
    bool shownBefore_ = false;
    QPointer<QWidget> focusBeforeExport_;
};

// Opens the export window modally over the dataset and returns when it has
// closed. An empty file name proposes "File001.csv" in the documents folder.
void HataroltExport(dbaccess::Dataset* dataset, const QString& fileName);

}  // namespace zomi
