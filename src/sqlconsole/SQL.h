#pragma once

// The free SQL console "SQL lekérdezés": SQL text typed or loaded into an
// editor runs against the connected database. A query shows its rows in the
// grid, anything else runs as a script statement by statement, and a first
// line "table: name" opens that table for editing in the grid.

#include <QDialog>
#include <QFileDialog>
#include <QString>

#include "db/ScriptRunner.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QStatusBar;
class QTabWidget;
class QToolBar;

namespace zomi::dbaccess {
class Dataset;
class Query;
class Table;
}  // namespace zomi::dbaccess

namespace zomi {

class TSqlEditor;
class TSqlGrid;

class Tfrm_SQL : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_SQL(QWidget* parent = nullptr);
    ~Tfrm_SQL() override;

    QMenuBar* MainMenu1;
    QToolBar* ToolBar1;
    QTabWidget* PageControl1;
    QWidget* tsSQL;
    QWidget* tsEredmeny;
    TSqlEditor* Memo1;
    TSqlGrid* DBGrid1;
    QProgressBar* ProgressBar1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel1;  // the record counter
    QLabel* StatusPanel2;
    QMenu* PopupMenu1;  // the editor's
    QMenu* PopupMenu2;  // the grid's

    QAction* aUj;
    QAction* aMegnyit;
    QAction* aMent;
    QAction* aExport;
    QAction* aMasol;
    QAction* aBezar;
    QAction* aFuttat;
    QAction* aTab;
    QAction* aEredmeny;

    dbaccess::Query* Qry;
    dbaccess::Table* Tbl;

    // The last opened or saved script file; empty while there is none.
    const QString& FileName() const { return fileName_; }
    bool Running() const { return running_; }

    void aUjExecute();
    void aMegnyitExecute();
    void aMentExecute();
    void aExportExecute();
    void aMasolExecute();
    void aBezarExecute();
    void aFuttatExecute();
    void aTabExecute();
    void aEredmenyExecute();

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAction* createAction(const char* name, const QString& caption, const QString& hint,
                          const QList<QKeySequence>& shortcuts, const QIcon& icon = QIcon());
    void createActions();
    void createMenus();
    void layOut();

    // The table of a "table:" first line, opened in the grid; false when the
    // first line is no such line.
    bool OpenTableMode();
    void ShowQueryDataset();
    // Opens the text as the query; the error box on failure.
    bool OpenQuery(const QString& sql);
    void RunScriptText(const QString& text, int firstLine);
    void ReportScriptResult(const ScriptResult& result, int firstLine);
    void SetRunning(bool running);
    void EnableResultActions();
    // During a run: whether to stop after the current statement.
    void AskToStop();
    void ShowPage(QWidget* page);
    void ShowRecordCounter(dbaccess::Dataset* dataset);
    QString ScriptFolder() const;
    QString ChooseScriptFile(QFileDialog::AcceptMode mode);

    QString fileName_;
    ScriptEncoding fileEncoding_ = ScriptEncoding::Cp1250;
    bool resultOpened_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
    bool closeAfterRun_ = false;
};

// Opens the console modally and destroys it when it closes.
void SzabadLekerdezes();

}  // namespace zomi
