#pragma once

#include "db/ConnectionProfiles.h"
#include "db/DataBackup.h"
#include "db/DbRoutines.h"
#include "ui/ListWindow.h"

class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace zomi {

namespace dbaccess {
class Connection;
}

class FullBackup;
class ProfileModel;

// "Tárhelyek": the connection profiles of the installation, kept in memory
// while the window is open and written back when it closes, their
// connection test, and the backups and the restore of the database behind
// the selected profile. The window has a connection of its own and never
// touches the main connection.
class Tfrm_Adatbazis : public ListWindow {
    Q_OBJECT

  public:
    explicit Tfrm_Adatbazis(QWidget* parent = nullptr);
    ~Tfrm_Adatbazis() override;

    ProfileModel* TblModel = nullptr;
    dbaccess::Connection* Db1 = nullptr;  // the profile connection
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* pMysqlDump = nullptr;  // the full-backup panel
    QLabel* Label2 = nullptr;      // the dump tool's name + " program helye"
    QLineEdit* Edit1 = nullptr;    // the dump tool's path; empty: the one on the PATH
    QToolButton* btnTallozas = nullptr;
    QToolButton* btnPanelBezar = nullptr;
    QPushButton* btnTeljesMentes = nullptr;
    QLabel* lblTeljesMentes = nullptr;  // shows that a full backup runs
    QToolButton* btnMentes = nullptr;
    FullBackup* Mentes = nullptr;

    QAction* aTeszt = nullptr;
    QAction* aBackup = nullptr;
    QAction* aMySQLDump = nullptr;
    QAction* aTeljesMentes = nullptr;
    QAction* aVisszaallit = nullptr;

    void aUjExecute() override;
    void aSzerkesztExecute() override;
    void aTorolExecute() override;
    void aTesztExecute();
    void aBackupExecute();
    void aMySQLDumpExecute();
    void aTeljesMentesExecute();
    void aVisszaallitExecute();
    void btnTallozasClick();
    void DBGrid1TitleClick(int column);

    // The steps after the file dialogs, for a chosen file.
    void BackupTo(const QString& fileName);
    void FullBackupTo(const QString& fileName);
    void RestoreFrom(const QString& fileName);

    void setProfiles(const QList<ConnectionProfile>& profiles);
    const QList<ConnectionProfile>& profiles() const;
    int currentRow() const;
    void selectRow(int row);
    // The dump tool's path as the user's own settings gave it.
    const QString& storedDumpTool() const { return storedDumpTool_; }

  protected:
    void layoutColumns() override;
    int fontSize() const override;
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildBackupPanel();
    void layoutBackupPanel();
    bool requireRow();
    // Paints the column the list is sorted by in the highlight colour.
    void markSortColumn(int column);
    void editProfile(int row, const ConnectionProfile& profile);
    // Points the profile connection at the selected profile and opens it;
    // false, after "Hiba: " and the reason, when it cannot.
    bool openProfileConnection();
    void setBusy(bool busy);
    Progress progressBarSteps();
    void fullBackupFinished(bool succeeded, const QString& message);
    void runRestore(const PreparedRestore& restore);
    void showRestoreResult(const RestoreResult& result);
    QString chooseSaveFile(const QStringList& filters);

    bool busy_ = false;
    QString storedDumpTool_;
    // Why the settings that name the dump tool were refused; the full backup
    // says it rather than run.
    QString dumpToolRefusal_;
};

// Opens "Tárhelyek" over the stored profiles, shows it modally and, once it
// has closed, writes the dump tool's path (into the user's own settings, when
// it changed) and the whole list back.
void ShowProfiles(QWidget* parent = nullptr);

}  // namespace zomi
