#pragma once

#include <QMainWindow>
#include <QTimer>
#include <optional>

#include "dbaccess/Connection.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "dbaccess/LiveList.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTableView;
class QToolBar;

namespace zomi {

class AttachmentMark;
class ListSearch;
class MessagePanel;

// The work-order register, the application's only permanent window. It owns
// the main database connection; its start-up runs the chooser, the set-up
// window and the login, and its close saves the settings.
class Tfrm_Main : public QMainWindow {
    Q_OBJECT

  public:
    explicit Tfrm_Main(QWidget* parent = nullptr);
    ~Tfrm_Main() override;

    // The whole start-up; false when it was abandoned (Timer1 then closes
    // the window and nothing is saved).
    bool startUp();
    bool startFailed() const { return StartFailed; }
    // "Zomi - " and the database's display name once the start-up knows it;
    // the platform shows it beside every window title and in the task bar.
    QString applicationTitle() const;

    dbaccess::Connection& connection() { return mySQLDatabase1; }
    dbaccess::Query& list() { return Qry; }
    dbaccess::LiveList& liveList() { return *live_; }
    // Waits until the list holds the server's answer to what it shows.
    void settleList() { live_->settle(); }
    QLineEdit* searchBox() const { return Edit1; }
    QTableView* grid() const { return DBGrid1; }
    QTabBar* yearTabs() const { return TabControl1; }
    QString summaryText() const;
    QString counterText() const;
    QAction* action(const QString& name) const;
    const QString& baseFilter() const { return BaseFilter; }
    const QString& sortField() const;
    int currentKey() const;  // -1 with an empty list

    void RefreshSummary();
    void LoadMessage();
    // What a second start of the program asks for: the register once it is
    // ready; before that the start-up window the user is in, or nothing.
    void bringToFront();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildActions();
    void buildMenus();
    void buildLayout();
    QAction* makeAction(const char* name, const QString& caption, const QString& category,
                        const QKeySequence& shortcut = QKeySequence());

    void initialLoad();
    void TabControl1Change(int index);
    void applyFontSize();
    // What the user may not do shows disabled (the database's rights setting).
    void applyRights();
    void resizeColumns();
    bool selectKey(int key);
    // The tab whose list holds the work order: its year's, or "Összes".
    int tabShowing(int key) const;
    void OpenLink(const QString& target);
    QVariant rowColour(int row) const;

    void aTorolExecute();
    void aFrissitExecute();
    void aBetuNovelExecute();
    void aBetuCsokkentExecute();
    void aBeallitExecute();
    void aUjExecute();
    void aSzerkesztExecute();
    void aExcelbeExecute();
    void aKoltsegExecute();
    void aToroltekExecute();
    void aCsatolmanyTablakExecute();
    // The paper clips of the work orders with files, read again.
    void refreshMarks();
    // Whether the database keeps work orders' files, read once.
    bool keepsFiles();
    void aStatuszBeallitExecute();
    void aAlairasExecute();
    void aVallalkozoExecute();
    void aKtghExecute();
    void aStatuszExecute();
    void aFelhasznaloExecute();
    void aSQLExecute();
    void aAdatbazisExecute();
    void aNyomtatExecute();
    // Reopens the list after the editor stored a work order and selects it,
    // on its year's tab and without a search that hides it.
    void showStored(int key);

    bool StartFailed = false;
    QString BaseFilter;
    bool startedUp_ = false;
    bool shownOnce_ = false;
    int szinColumn_ = -1;
    int keyColumn_ = -1;
    AttachmentMark* marks_ = nullptr;
    std::optional<bool> hasFiles_;  // whether the database keeps files, once known
    qsizetype rowDigits_ = 0;

    dbaccess::Connection mySQLDatabase1;
    dbaccess::Query Qry;
    dbaccess::Query QryOssz;
    dbaccess::DatasetModel* model_ = nullptr;
    dbaccess::LiveList* live_ = nullptr;
    ListSearch* search_ = nullptr;

    QTimer Timer1;
    QTimer TimerVerzio;
    QTimer TimerHirek;

    QLineEdit* Edit1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTabBar* TabControl1 = nullptr;
    QToolBar* upperToolBar_ = nullptr;
    QToolBar* recordToolBar_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    QLabel* statusPanels_[3] = {nullptr, nullptr, nullptr};
    MessagePanel* pUzenet = nullptr;
};

}  // namespace zomi
