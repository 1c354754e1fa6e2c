#pragma once

// The print-choice window "Nyomtatás típusa": preview, print on a chosen
// printer, export to the export window, or save as a PDF file.

#include <QDialog>
#include <QPixmap>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace zomi {

class RadioGroup;

// The options of the window, by their position in the option group.
enum NyomtatasMod {
    kMegsem = -1,
    kNyomtatasiKep = 0,
    kNyomtatas = 1,
    kExcelbe = 2,
    kPdfbe = 3,
};

// Prints on the printer named by the box's text; false when the sheet did not
// reach the printer (the action has told the user why).
using PrintAction = std::function<bool(const QString& printerName)>;

class Tfrm_NyomValaszt : public QDialog {
    Q_OBJECT

  public:
    // printers: the installed printers' names in the system's order;
    // proposal: the printer to show in the box (the first printer when empty).
    Tfrm_NyomValaszt(const QStringList& printers, const QString& proposal,
                     QWidget* parent = nullptr);

    RadioGroup* RadioGroup1;
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Mégsem"
    QLabel* Label1;        // "Nyomtató"
    QComboBox* ComboBox1;
    QLabel* Label2;  // the note shown when no printer is installed
    QLabel* Image1;  // preview
    QLabel* Image2;  // print
    QLabel* Image3;  // export
    QLabel* Image4;  // PDF

    // With an action, "OK" on "Nyomtatás" prints before the window closes, and
    // a sheet the printer did not take leaves it open, so that the user can
    // choose another printer or another way.
    void setPrintAction(PrintAction action) { printAction_ = std::move(action); }

  public slots:
    void RadioGroup1Click();
    void accept() override;
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool shownBefore_ = false;
    PrintAction printAction_;
};

// Shows the window modally and returns the chosen option, or -1 when the user
// cancelled. On entry printerName is the printer to propose; on a confirmed
// return it holds the text of the printer box, on a cancelled one it is unchanged.
// With a print action, "Nyomtatás" has printed by the time it is returned.
int NyomtatasValaszt(QString& printerName, PrintAction printAction = {});

}  // namespace zomi
