#include "profiles/Adatbazisok.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyleOptionMenuItem>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "common/Folders.h"
#include "common/Settings.h"
#include "db/DataBackup.h"
#include "db/FullBackup.h"
#include "db/WorkFileSchema.h"
#include "dbaccess/Connection.h"
#include "profiles/Adatbazisok_Szerkeszt.h"
#include "profiles/ProfileModel.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/QuestionBox.h"
#include "ui/RightsGuard.h"

namespace zomi {

namespace {

// The window keeps font size 9 whatever the user chose for the others.
constexpr int kWindowFontSize = 9;
constexpr int kBackupPanelHeight = 106;
constexpr qint64 kRepaintMilliseconds = 100;

const QString kSaveTitle = QStringLiteral("Biztonsági mentés készítés");
// The tool the full backup really runs on each system.
#ifdef Q_OS_WIN
const QString kDumpToolLabel = QStringLiteral("MySQLDump.exe program helye");
#else
const QString kDumpToolLabel = QStringLiteral("mariadb-dump program helye");
#endif
const QString kSqlFilter = QStringLiteral("SQL file (*.sql)");
const QString kZipFilter = QStringLiteral("Tömörített SQL file (*.zip)");

// The first item of the grid's menu stands out: wider and a little higher.
class FirstItemStyle : public QProxyStyle {
  public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        const auto* menu = qobject_cast<const QMenu*>(widget);
        if (type == CT_MenuItem && item && menu && !menu->actions().isEmpty() &&
            item->text.section(QLatin1Char('\t'), 0, 0) == menu->actions().first()->text())
            result += QSize(50, 4);
        return result;
    }
};

QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

QString rowCountLines(const QList<TableRows>& tables) {
    const QLocale hungarian(QLocale::Hungarian);
    QStringList lines;
    for (const TableRows& t : tables)
        lines << t.table + QStringLiteral(": ") + hungarian.toString(t.rows);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

Tfrm_Adatbazis::Tfrm_Adatbazis(QWidget* parent)
    : ListWindow(QStringLiteral("frm_Adatbazis"), QStringLiteral("Tárhelyek"), QSize(640, 420),
                 parent) {
    Label1->setText(QStringLiteral("Tárhelyek  "));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont heading = Label1->font();
    heading.setPointSize(heading.pointSize() + 2);
    Label1->setFont(heading);
    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setFixedWidth(220);
    ProgressBar1->hide();
    panelLayout()->insertWidget(0, ProgressBar1);
    panelLayout()->setContentsMargins(8, 6, 8, 6);
    StatusBar1->hide();

    TblModel = new ProfileModel(this);
    DBGrid1->setModel(TblModel);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Tfrm_Adatbazis::DBGrid1TitleClick);
    connect(TblModel, &QAbstractItemModel::modelReset, this, [this] { layoutColumns(); });

    aTeszt =
        createAction(QStringLiteral("aTeszt"), QStringLiteral("Teszt"), QStringLiteral("Teszt"),
                     {QKeySequence(Qt::CTRL | Qt::Key_T)}, ToolBarIcon(ToolPicture::Test));
    aBackup = createAction(QStringLiteral("aBackup"), kSaveTitle, kSaveTitle,
                           {QKeySequence(Qt::Key_F3)}, QIcon());
    aMySQLDump = createAction(
        QStringLiteral("aMySQLDump"), QStringLiteral("Teljes biztonsági mentés készítés"),
        QStringLiteral("Teljes biztonsági mentés készítés"), {QKeySequence(Qt::Key_F6)}, QIcon());
    aTeljesMentes =
        createAction(QStringLiteral("aTeljesMentes"), QStringLiteral("Teljes mentés futtatása"),
                     QStringLiteral("Teljes mentés"), {}, QIcon());
    aVisszaallit =
        createAction(QStringLiteral("aVisszaallit"), QStringLiteral("Visszaállítás adatmentésből…"),
                     QStringLiteral("Visszaállítás adatmentésből"), {}, QIcon());
    connect(aTeszt, &QAction::triggered, this, &Tfrm_Adatbazis::aTesztExecute);
    connect(aBackup, &QAction::triggered, this, &Tfrm_Adatbazis::aBackupExecute);
    connect(aMySQLDump, &QAction::triggered, this, &Tfrm_Adatbazis::aMySQLDumpExecute);
    connect(aTeljesMentes, &QAction::triggered, this, &Tfrm_Adatbazis::aTeljesMentesExecute);
    connect(aVisszaallit, &QAction::triggered, this, &Tfrm_Adatbazis::aVisszaallitExecute);

    auto* backupMenu = new QMenu(this);
    backupMenu->setObjectName(QStringLiteral("PopupMenu2"));
    backupMenu->addAction(aBackup);
    backupMenu->addSeparator();
    backupMenu->addAction(aMySQLDump);
    backupMenu->addSeparator();
    backupMenu->addAction(aVisszaallit);
    btnMentes = new QToolButton(this);
    btnMentes->setObjectName(QStringLiteral("btnMentes"));
    btnMentes->setText(QStringLiteral("Mentés"));
    btnMentes->setIcon(ToolBarIcon(ToolPicture::Save));
    btnMentes->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btnMentes->setPopupMode(QToolButton::InstantPopup);
    btnMentes->setMenu(backupMenu);

    setToolBarActions({aUj, aSzerkeszt, aTorol, nullptr, aTeszt, nullptr});
    ToolBar1->addWidget(btnMentes);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);
    setPopupMenu({aUj, aSzerkeszt, aTorol, nullptr, aTeszt, nullptr, aBezar});
    auto* menuStyle = new FirstItemStyle;
    menuStyle->setParent(this);
    PopupMenu1->setStyle(menuStyle);

    buildBackupPanel();

    Db1 = new dbaccess::Connection(this);
    Db1->setObjectName(QStringLiteral("Db1"));
    Mentes = new FullBackup(this);
    Mentes->setObjectName(QStringLiteral("Mentes"));
    connect(Mentes, &FullBackup::finished, this, &Tfrm_Adatbazis::fullBackupFinished);
}

Tfrm_Adatbazis::~Tfrm_Adatbazis() = default;

void Tfrm_Adatbazis::buildBackupPanel() {
    pMysqlDump = new QFrame(this);
    pMysqlDump->setObjectName(QStringLiteral("pMysqlDump"));
    pMysqlDump->setFrameShape(QFrame::StyledPanel);
    pMysqlDump->setFixedHeight(kBackupPanelHeight);
    pMysqlDump->hide();

    auto* titleBar = new QFrame(pMysqlDump);
    titleBar->setObjectName(QStringLiteral("pCim"));
    titleBar->setAutoFillBackground(true);
    QPalette bar = titleBar->palette();
    bar.setColor(QPalette::Window, QColor(0, 84, 147));
    bar.setColor(QPalette::WindowText, Qt::white);
    titleBar->setPalette(bar);
    auto* title = new QLabel(kSaveTitle, titleBar);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    lblTeljesMentes = new QLabel(QStringLiteral("– a teljes mentés fut…"), titleBar);
    lblTeljesMentes->setObjectName(QStringLiteral("lblTeljesMentes"));
    lblTeljesMentes->hide();
    btnPanelBezar = new QToolButton(titleBar);
    btnPanelBezar->setObjectName(QStringLiteral("btnPanelBezar"));
    btnPanelBezar->setText(QStringLiteral("×"));
    btnPanelBezar->setAutoRaise(true);
    btnPanelBezar->setToolTip(QStringLiteral("Bezár"));
    connect(btnPanelBezar, &QToolButton::clicked, pMysqlDump, &QWidget::hide);
    auto* titleRow = new QHBoxLayout(titleBar);
    titleRow->setContentsMargins(6, 0, 0, 0);
    titleRow->addWidget(title);
    titleRow->addWidget(lblTeljesMentes, 1);
    titleRow->addWidget(btnPanelBezar);
    titleBar->setFixedHeight(22);
    // The title bar spans the panel; the controls below keep the places the
    // window's width gives them.
    auto* panelLayout = new QVBoxLayout(pMysqlDump);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(titleBar);
    panelLayout->addStretch(1);

    Label2 = new QLabel(kDumpToolLabel, pMysqlDump);
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit1 = new QLineEdit(pMysqlDump);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    try {
        storedDumpTool_ = ConfiguredDumpTool();
    } catch (const FileError& refusal) {
        dumpToolRefusal_ = refusal.message();
    }
    Edit1->setText(storedDumpTool_);
    // What an empty box runs.
    Edit1->setPlaceholderText(QDir::toNativeSeparators(DefaultDumpTool()));
    Label2->setBuddy(Edit1);
    btnTallozas = new QToolButton(pMysqlDump);
    btnTallozas->setObjectName(QStringLiteral("btnTallozas"));
    btnTallozas->setText(QStringLiteral("…"));
    btnTallozas->setToolTip(QStringLiteral("Tallózás"));
    connect(btnTallozas, &QToolButton::clicked, this, &Tfrm_Adatbazis::btnTallozasClick);
    btnTeljesMentes = new QPushButton(aTeljesMentes->text(), pMysqlDump);
    btnTeljesMentes->setObjectName(QStringLiteral("btnTeljesMentes"));
    btnTeljesMentes->setToolTip(aTeljesMentes->toolTip());
    connect(btnTeljesMentes, &QPushButton::clicked, aTeljesMentes, &QAction::trigger);
    connect(aTeljesMentes, &QAction::enabledChanged, btnTeljesMentes, &QWidget::setEnabled);

    // Under the heading, above the grid.
    static_cast<QVBoxLayout*>(layout())->insertWidget(2, pMysqlDump);
    layoutBackupPanel();
}

void Tfrm_Adatbazis::layoutBackupPanel() {
    const int w = width();
    const int boxHeight = Edit1->sizeHint().height();
    const int labelHeight = Label2->sizeHint().height();
    Label2->setGeometry(12, 26, w - 30, labelHeight);
    const int boxTop = 28 + labelHeight;
    Edit1->setGeometry(12, boxTop, w - 63, boxHeight);
    btnTallozas->setGeometry(12 + w - 63, boxTop, boxHeight + 2, boxHeight);
    btnTeljesMentes->setGeometry(12, boxTop + boxHeight + 4, w - 30, 28);
}

void Tfrm_Adatbazis::resizeEvent(QResizeEvent* event) {
    ListWindow::resizeEvent(event);
    layoutBackupPanel();
}

int Tfrm_Adatbazis::fontSize() const { return kWindowFontSize; }

void Tfrm_Adatbazis::layoutColumns() {
    const double w = DBGrid1->width() - 44;
    const double shares[] = {0.30, 0.15, 0.15, 0.10, 0.15, 0.15};
    for (int column = 0; column < 6; ++column)
        DBGrid1->setColumnWidth(column, static_cast<int>(w * shares[column]));
}

void Tfrm_Adatbazis::setProfiles(const QList<ConnectionProfile>& profiles) {
    TblModel->setProfiles(profiles);
    TblModel->sortBy(ProfileColumn::AdatbazisNev, -1);
    markSortColumn(0);
    selectRow(0);
}

const QList<ConnectionProfile>& Tfrm_Adatbazis::profiles() const { return TblModel->profiles(); }

int Tfrm_Adatbazis::currentRow() const {
    const QModelIndex current = DBGrid1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Tfrm_Adatbazis::selectRow(int row) {
    if (row < 0 || row >= TblModel->rowCount()) return;
    DBGrid1->setCurrentIndex(TblModel->index(row, 0));
    DBGrid1->selectRow(row);
}

void Tfrm_Adatbazis::markSortColumn(int column) {
    TblModel->setHighlightedColumn(column, HighlightColor());
}

void Tfrm_Adatbazis::DBGrid1TitleClick(int column) {
    if (busy_) return;
    selectRow(TblModel->sortBy(static_cast<ProfileColumn>(column), currentRow()));
    markSortColumn(column);
}

bool Tfrm_Adatbazis::requireRow() {
    if (currentRow() >= 0) return true;
    ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
    return false;
}

void Tfrm_Adatbazis::editProfile(int row, const ConnectionProfile& profile) {
    Tfrm_Adatbazis_Szerkeszt window(profile, this);
    if (window.exec() != Accepted) return;
    selectRow(TblModel->store(row, window.profile()));
}

void Tfrm_Adatbazis::aUjExecute() {
    if (busy_) return;
    editProfile(-1, ConnectionProfile{});
}

void Tfrm_Adatbazis::aSzerkesztExecute() {
    if (busy_ || !requireRow()) return;
    editProfile(currentRow(), TblModel->profile(currentRow()));
}

void Tfrm_Adatbazis::aTorolExecute() {
    if (busy_ || !requireRow()) return;
    if (!ConfirmBox(QStringLiteral("Valóban töröljem az adatbázist a listából?"),
                    QStringLiteral("Megerősítés"), this))
        return;
    const int row = currentRow();
    TblModel->remove(row);
    selectRow(std::min(row, TblModel->rowCount() - 1));
}

bool Tfrm_Adatbazis::openProfileConnection() {
    Db1->close();
    Db1->setParams(ProfileConnectionParams(TblModel->profile(currentRow())));
    try {
        Db1->open();
    } catch (const dbaccess::DbError& error) {
        ErrorBox(ConnectionFailureText(Db1->params(), error.message()), this);
        return false;
    }
    return true;
}

void Tfrm_Adatbazis::aTesztExecute() {
    if (busy_ || !requireRow()) return;
    const int row = currentRow();
    if (!openProfileConnection()) return;
    // A failing version query (no verzio table) is the server's to explain;
    // the connection then stays open until the next test or backup.
    Guarded(this, [&] {
        const QString version = ReadStructureVersion(*Db1);
        if (!version.isEmpty()) TblModel->setVersion(row, version);
        Db1->close();
        InfoBox(QStringLiteral("Kapcsolat vizsgálata sikeres"), this);
    });
}

QString Tfrm_Adatbazis::chooseSaveFile(const QStringList& filters) {
    QFileDialog dialog(this, kSaveTitle);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    dialog.setDirectory(DocumentsDir());
    dialog.selectFile(BackupFileProposal(TblModel->profile(currentRow()).adatbazis,
                                         QDateTime::currentDateTime()));
    if (dialog.exec() != Accepted || dialog.selectedFiles().isEmpty()) return QString();
    // The dialog disappears before the backup starts.
    QCoreApplication::processEvents();
    return dialog.selectedFiles().constFirst();
}

Progress Tfrm_Adatbazis::progressBarSteps() {
    Progress progress;
    // A range of 0..0 would turn the bar into a busy indicator.
    progress.setMaximum = [this](int maximum) { ProgressBar1->setMaximum(std::max(1, maximum)); };
    progress.setPosition = [this](int position) { ProgressBar1->setValue(position); };
    return progress;
}

void Tfrm_Adatbazis::setBusy(bool busy) {
    busy_ = busy;
    // The profile connection serves one thing at a time, and the window
    // stays open until it is free again.
    for (QAction* action : {aUj, aSzerkeszt, aTorol, aTeszt, aBackup, aVisszaallit, aBezar})
        action->setEnabled(!busy);
    // A job's bar starts empty and goes when the job ends, at its last value.
    if (busy) ProgressBar1->reset();
    ProgressBar1->setVisible(busy);
}

void Tfrm_Adatbazis::aBackupExecute() {
    if (busy_ || !requireRow()) return;
    const QString file = chooseSaveFile({kSqlFilter, kZipFilter});
    if (!file.isEmpty()) BackupTo(file);
}

void Tfrm_Adatbazis::BackupTo(const QString& fileName) {
    if (busy_ || !requireRow() || !openProfileConnection()) return;
    setBusy(true);
    // The bar goes when the job ends, before its message.
    try {
        WriteDataBackup(*Db1, progressBarSteps(), fileName);
        const WorkFileState files = ReadWorkFileState(*Db1);
        Db1->close();
        setBusy(false);
        // The data backup keeps the format other programs read: Zomi's own
        // tables stay out of it.
        const QString left = files.attachments || files.history
                                 ? QStringLiteral(
                                       "\nA munkalapok csatolmányai és előzményei nincsenek "
                                       "benne: ezeket csak a teljes biztonsági mentés (F6) "
                                       "viszi magával.")
                                 : QString();
        InfoBox(QStringLiteral("A biztonsági mentés elkészült: %1 (%2 bájt).")
                        .arg(QDir::toNativeSeparators(fileName),
                             QLocale(QLocale::Hungarian).toString(QFileInfo(fileName).size())) +
                    left,
                this);
    } catch (const ArchiveError& error) {
        Db1->close();
        setBusy(false);
        ErrorBox(QStringLiteral("Hiba az archiválás közben\r\n") + error.message() +
                     QStringLiteral("\r\nAz adatmentés tömörítetlenül a(z) %1 fájlban megmaradt.")
                         .arg(QDir::toNativeSeparators(error.keptScript())),
                 this);
    } catch (const std::exception& error) {
        Db1->close();
        setBusy(false);
        ShowError(error, this);
    }
}

void Tfrm_Adatbazis::aMySQLDumpExecute() { pMysqlDump->setVisible(!pMysqlDump->isVisible()); }

void Tfrm_Adatbazis::btnTallozasClick() {
    QFileDialog dialog(this, QStringLiteral("Adatbázis visszaállítás"));
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("mariadb-dump, mysqldump (mariadb-dump mysqldump)"));
    const QString current = FindDumpTool(Edit1->text());
    dialog.setDirectory(current.isEmpty() ? QStringLiteral("/usr/bin")
                                          : QFileInfo(current).absolutePath());
    if (dialog.exec() == Accepted && !dialog.selectedFiles().isEmpty())
        Edit1->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void Tfrm_Adatbazis::aTeljesMentesExecute() {
    if (!requireRow() || Mentes->isRunning()) return;
    const QString file = chooseSaveFile({kSqlFilter});
    if (!file.isEmpty()) FullBackupTo(file);
}

void Tfrm_Adatbazis::FullBackupTo(const QString& fileName) {
    if (!requireRow() || Mentes->isRunning()) return;
    if (!dumpToolRefusal_.isEmpty()) {
        ErrorBox(dumpToolRefusal_, this);
        return;
    }
    Guarded(this, [&] {
        Mentes->start(Edit1->text(), TblModel->profile(currentRow()), fileName);
        aTeljesMentes->setEnabled(false);
        lblTeljesMentes->show();
    });
}

void Tfrm_Adatbazis::fullBackupFinished(bool succeeded, const QString& message) {
    aTeljesMentes->setEnabled(true);
    lblTeljesMentes->hide();
    if (succeeded) {
        InfoBox(message, this);
    } else {
        ErrorBox(message, this);
    }
}

void Tfrm_Adatbazis::aVisszaallitExecute() {
    if (busy_ || !requireRow()) return;
    QFileDialog dialog(this, QStringLiteral("Visszaállítás adatmentésből"));
    dialog.setObjectName(QStringLiteral("OpenDialog2"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Adatmentés (*.sql *.zip)"), kSqlFilter, kZipFilter});
    dialog.setDirectory(DocumentsDir());
    if (dialog.exec() != Accepted || dialog.selectedFiles().isEmpty()) return;
    QCoreApplication::processEvents();
    RestoreFrom(dialog.selectedFiles().constFirst());
}

void Tfrm_Adatbazis::RestoreFrom(const QString& fileName) {
    if (busy_ || !requireRow()) return;
    const ConnectionProfile profile = TblModel->profile(currentRow());
    if (!openProfileConnection()) return;
    // The whole file is read and checked before the question: what is not a
    // data backup of this database's tables is refused with nothing changed.
    std::optional<PreparedRestore> restore;
    try {
        restore = PrepareRestore(*Db1, fileName);
    } catch (const DataScriptError& error) {
        Db1->close();
        ErrorBox(QStringLiteral("A(z) %1 fájlból nem lehet a(z) \"%2\" adatbázist visszaállítani.\n"
                                "%3\n\nAz adatbázis nem változott.")
                     .arg(QDir::toNativeSeparators(fileName), profile.adatbazis, error.message()),
                 this);
        return;
    } catch (const std::exception& error) {
        Db1->close();
        ShowError(error, this);
        return;
    }
    const QString question =
        QStringLiteral(
            "A(z) \"%1\" adatbázis (kiszolgáló: %2) minden táblájának jelenlegi sorait "
            "a(z) %3 mentés sorai váltják fel.\nFolytatja a visszaállítást?")
            .arg(profile.adatbazis, profile.kiszolgalo, QDir::toNativeSeparators(fileName));
    if (!ConfirmBoxDefaultNo(question, QStringLiteral("Megerősítés"), this)) {
        Db1->close();
        return;
    }
    runRestore(*restore);
}

void Tfrm_Adatbazis::runRestore(const PreparedRestore& restore) {
    setBusy(true);
    ScriptControl control;
    control.progress = progressBarSteps();
    auto repaint = std::make_shared<QElapsedTimer>();
    repaint->start();
    control.progress.setPosition = [this, repaint](int percent) {
        ProgressBar1->setValue(percent);
        if (repaint->elapsed() >= kRepaintMilliseconds) {
            QCoreApplication::processEvents();
            repaint->restart();
        }
    };
    try {
        const RestoreResult result = RunRestore(*Db1, restore, control);
        Db1->close();
        setBusy(false);
        showRestoreResult(result);
    } catch (const std::exception& error) {
        Db1->close();
        setBusy(false);
        ShowError(error, this);
    }
}

void Tfrm_Adatbazis::showRestoreResult(const RestoreResult& result) {
    const QString counts =
        result.countError.isEmpty()
            ? QStringLiteral("A táblák sorai most:\n") + rowCountLines(result.tables)
            : QStringLiteral("A táblák sorai nem számolhatók meg: ") + result.countError;
    if (result.script.completed()) {
        InfoBox(QStringLiteral("A visszaállítás elkészült. ") + counts, this);
        return;
    }
    const QString outcome =
        result.uncertain
            ? QStringLiteral(
                  "A kiszolgáló a lezárás válaszát már nem küldte meg: a "
                  "visszaállítás vagy teljes egészében megtörtént, vagy semmi sem "
                  "változott.")
            : QStringLiteral("Egyetlen tábla sem változott: minden sor a visszaállítás előtti.");
    ErrorBox(QStringLiteral("A visszaállítás a(z) %1. sorban megállt:\n%2\n\n%3\n")
                     .arg(result.script.line)
                     .arg(result.script.errorMessage, outcome) +
                 counts,
             this);
}

void Tfrm_Adatbazis::done(int result) {
    // A backup or restore in progress finishes first.
    if (busy_) return;
    if (Mentes && Mentes->isRunning()) {
        if (!ConfirmBox(
                QStringLiteral("A teljes mentés még fut. Megszakítsam, és bezárjam az ablakot?"),
                QStringLiteral("Megerősítés"), this))
            return;
        // Stopping it removes its option file and partial result.
        Mentes->disconnect(this);
        delete Mentes;
        Mentes = nullptr;
    }
    Db1->close();
    ListWindow::done(result);
}

void ShowProfiles(QWidget* parent) {
    if (!CheckRight(Right::Administrator, parent)) return;
    Tfrm_Adatbazis window(parent);
    window.setProfiles(ReadStoredProfiles());
    window.exec();
    if (window.Edit1->text() != window.storedDumpTool()) StoreDumpTool(window.Edit1->text());
    const QStringList inFile = WriteStoredProfiles(window.profiles());
    if (!inFile.isEmpty())
        WarningBox(QStringLiteral("A rendszer kulcstartója nem vette át a jelszót, ezért a "
                                  "beállítások fájlja őrzi, mint eddig: %1")
                       .arg(inFile.join(QStringLiteral(", "))),
                   parent);
}

}  // namespace zomi
