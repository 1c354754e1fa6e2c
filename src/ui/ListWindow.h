#pragma once

// The frame the list windows share: tool bar, the heading panel, the
// read-only grid, the two-panel status bar, the maintenance actions (new,
// edit, delete, close) with their keys, the grid's context menu, and the
// placement and font size kept between runs. Each list fills in its dataset,
// columns and edit window.

#include <QDialog>
#include <QList>
#include <QSize>
#include <QString>

class QAction;
class QFrame;
class QHBoxLayout;
class QIcon;
class QKeySequence;
class QLabel;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;

namespace zomi {

// The status bar of the list windows: the record counter and a second panel.
QStatusBar* CreateListStatusBar(QWidget* window, QLabel** counter, QLabel** second);
// Tool bar, heading panel, grid and status bar, top to bottom, the grid
// taking the rest.
void StackListWindow(QWidget* window, QWidget* toolBar, QWidget* panel, QWidget* grid,
                     QWidget* statusBar);

// Column widths are fractions of the grid's width, rounded to the nearest
// pixel with a half going to the even neighbour.
int RoundHalfEven(double value);

class ListWindow : public QDialog {
    Q_OBJECT

  public:
    QToolBar* ToolBar1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;  // the panel's caption
    QTableView* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QAction* aUj = nullptr;
    QAction* aSzerkeszt = nullptr;
    QAction* aTorol = nullptr;
    QAction* aBezar = nullptr;

    virtual void aUjExecute() = 0;
    virtual void aSzerkesztExecute() = 0;
    virtual void aTorolExecute() = 0;
    void aBezarExecute() { reject(); }
    // A double click on the grid, on a row or below the last one.
    virtual void DBGrid1DblClick() { aSzerkesztExecute(); }

  protected:
    // name is the window's name and its settings section.
    ListWindow(const QString& name, const QString& caption, const QSize& size, QWidget* parent);

    QAction* createAction(const QString& name, const QString& caption, const QString& hint,
                          const QList<QKeySequence>& shortcuts, const QIcon& icon);
    // The tool bar and the grid's context menu in the order given; nullptr
    // stands for a separator.
    void setToolBarActions(const QList<QAction*>& actions);
    void setPopupMenu(const QList<QAction*>& actions);
    // The heading panel's row, for the controls a list puts before its caption.
    QHBoxLayout* panelLayout() const { return panelLayout_; }

    // Sets the column widths from the grid's width; called on every resize
    // of the grid and when the list's rows are new.
    virtual void layoutColumns() = 0;
    // The control that has the focus when the window first shows.
    virtual QWidget* firstFocus() const;
    // The point size the window takes when it shows.
    virtual int fontSize() const;
    // Whether the user wants the current row deleted: "Nincs sor kiválasztva."
    // without a row, else the confirmation question.
    bool confirmDelete(bool hasRow);

    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString section_;
    QHBoxLayout* panelLayout_ = nullptr;
};

}  // namespace zomi
