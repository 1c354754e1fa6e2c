#pragma once

// The cost summary window "Költségkimutatás": the parameters at the top, the
// table of the groups' figures and the chart beside it, the note under them.
// The figures are counted on the server in the background; a change of a
// parameter abandons the count running and starts a new one.

#include <QDialog>
#include <QTimer>
#include <vector>

#include "costreport/CostQuery.h"
#include "costreport/CostTable.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/ListFetcher.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QSortFilterProxyModel;
class QSplitter;
class QStandardItemModel;
class QTableView;
class QToolBar;

namespace zomi::costreport {

class CostChart;

class Tfrm_Koltsegkimutatas : public QDialog {
    Q_OBJECT

  public:
    // registerYear: the register's year tab, 0 for "Összes".
    explicit Tfrm_Koltsegkimutatas(int registerYear, QWidget* parent = nullptr);
    ~Tfrm_Koltsegkimutatas() override;

    QDateEdit* DateEdit1 = nullptr;  // from
    QDateEdit* DateEdit2 = nullptr;  // to
    QCheckBox* CheckBox1 = nullptr;  // "Minden év"
    QComboBox* ComboGyors = nullptr;
    QComboBox* ComboCsop1 = nullptr;
    QComboBox* ComboCsop2 = nullptr;
    QComboBox* ComboStatusz = nullptr;
    QComboBox* ComboVallalkozo = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    CostChart* Chart1 = nullptr;
    QLabel* LblMegjegyzes = nullptr;  // the note under the table
    QLabel* LblAllapot = nullptr;     // counting, or how long it took

    CostParams params() const;
    const CostTable& table() const { return table_; }
    // A count is running on the server.
    bool busy() const { return fetcher_.busy() || timer_.isActive(); }
    // Hands over what arrives until the count running has ended (tests).
    void waitForFigures();
    QAction* action(const QString& name) const;
    // Opens the work orders behind a table row (and pivot column) or a bar.
    void openRow(int tableRow, int column);
    void openBar(int bar, int stack);

  protected:
    void done(int result) override;

  private:
    void buildLayout();
    void buildParameters(QWidget* panel);
    void buildActions();
    void fillLookups();
    void readSettings();
    void writeSettings() const;
    void applyQuickChoice(int index);
    void parametersChanged();
    void run();
    void figuresArrived();
    void showTable();
    void showNote(const QString& text, bool problem);

    void aExcelbeExecute();
    void aCsvExecute();
    void aGrafikonExecute();
    void aNyomtatExecute();

    int registerYear_;
    bool loading_ = true;
    QTimer timer_;
    dbaccess::ListFetcher fetcher_;
    CostParams running_;
    std::vector<dbaccess::RowBlockPtr> blocks_;
    qint64 started_ = 0;
    CostParams shown_;
    CostTable table_;
    QStandardItemModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QSplitter* splitter_ = nullptr;
};

// Opens the window modally.
void Koltsegkimutatas(int registerYear);

}  // namespace zomi::costreport
