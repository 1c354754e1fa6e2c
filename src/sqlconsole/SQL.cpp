#include "sqlconsole/SQL.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "common/Codepage.h"
#include "common/Folders.h"
#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "db/SqlScript.h"
#include "dbaccess/Dataset.h"
#include "output/Hatarolt.h"
#include "sqlconsole/SqlEditor.h"
#include "sqlconsole/SqlGrid.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListWindow.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"
#include "ui/WindowHelpers.h"

namespace zomi {

using dbaccess::Dataset;
using dbaccess::DbError;

namespace {

const QString kSection = QStringLiteral("frm_SQL");
constexpr int kColumnWidth = 100;
// A running script lets the window repaint and take keys this often.
constexpr int kEventsEveryMs = 30;
const QString kNothingToRun = QStringLiteral(
    "Nem volt mit futtatni: a szöveg (vagy a kijelölés) üres, vagy csak "
    "megjegyzést tartalmaz.");

}  // namespace

Tfrm_SQL::Tfrm_SQL(QWidget* parent) : QDialog(parent) {
    setObjectName(kSection);
    setWindowTitle(QStringLiteral("SQL lekérdezés"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));
    resize(1017, 549);

    Qry = new dbaccess::Query(MainConnection(), this);
    Tbl = new dbaccess::Table(MainConnection(), this);
    Memo1 = new TSqlEditor(this);
    DBGrid1 = new TSqlGrid(this);

    createActions();
    createMenus();
    layOut();

    for (Dataset* dataset : std::initializer_list<Dataset*>{Qry, Tbl}) {
        connect(dataset, &Dataset::afterOpen, this, [this] {
            resultOpened_ = true;
            EnableResultActions();
        });
        connect(dataset, &Dataset::afterScroll, this,
                [this, dataset] { ShowRecordCounter(dataset); });
    }
    DBGrid1->ShowDataset(Qry);
}

Tfrm_SQL::~Tfrm_SQL() = default;

QAction* Tfrm_SQL::createAction(const char* name, const QString& caption, const QString& hint,
                                const QList<QKeySequence>& shortcuts, const QIcon& icon) {
    auto* action = new QAction(icon, caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint.isEmpty() ? caption : hint);
    action->setStatusTip(hint);
    action->setShortcuts(shortcuts);
    // The window's keys work wherever the focus is in it.
    addAction(action);
    return action;
}

void Tfrm_SQL::createActions() {
    aUj = createAction("aUj", QStringLiteral("Új SQL file"), QStringLiteral("Új SQL"),
                       {QKeySequence(Qt::CTRL | Qt::Key_N)}, ToolBarIcon(ToolPicture::New));
    aMegnyit = createAction("aMegnyit", QStringLiteral("Megnyit"), QStringLiteral("SQL megnyitása"),
                            {QKeySequence(Qt::CTRL | Qt::Key_O)}, ToolBarIcon(ToolPicture::Open));
    aMent = createAction("aMent", QStringLiteral("Mentés"), QStringLiteral("SQL mentése"),
                         {QKeySequence(Qt::CTRL | Qt::Key_S)}, ToolBarIcon(ToolPicture::Save));
    aExport = createAction("aExport", QStringLiteral("Export"), QStringLiteral("Export"),
                           {QKeySequence(Qt::CTRL | Qt::Key_E)}, ToolBarIcon(ToolPicture::Export));
    aMasol = createAction("aMasol", QStringLiteral("Másol"),
                          QStringLiteral("Eredmény másolása vágólapra"), {QKeySequence(Qt::Key_F3)},
                          ToolBarIcon(ToolPicture::Copy));
    aBezar = createAction("aBezar", QStringLiteral("Bezár"), QStringLiteral("Bezár"), {},
                          ToolBarIcon(ToolPicture::Close));
    aFuttat = createAction("aFuttat", QStringLiteral("Futtat"), QStringLiteral("SQL lekérdezés"),
                           {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                            QKeySequence(Qt::CTRL | Qt::Key_Enter)},
                           ToolBarIcon(ToolPicture::Run));
    aTab = createAction("aTab", QStringLiteral("Tab"), QString(),
                        {QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    aEredmeny = createAction("aEredmeny", QStringLiteral("Eredmény"), QStringLiteral("Eredmény"),
                             {QKeySequence(Qt::Key_F9)});
    aExport->setEnabled(false);
    aMasol->setEnabled(false);

    const auto on = [this](QAction* action, void (Tfrm_SQL::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); });
    };
    on(aUj, &Tfrm_SQL::aUjExecute);
    on(aMegnyit, &Tfrm_SQL::aMegnyitExecute);
    on(aMent, &Tfrm_SQL::aMentExecute);
    on(aExport, &Tfrm_SQL::aExportExecute);
    on(aMasol, &Tfrm_SQL::aMasolExecute);
    on(aBezar, &Tfrm_SQL::aBezarExecute);
    on(aFuttat, &Tfrm_SQL::aFuttatExecute);
    on(aTab, &Tfrm_SQL::aTabExecute);
    on(aEredmeny, &Tfrm_SQL::aEredmenyExecute);
}

void Tfrm_SQL::createMenus() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = MainMenu1->addMenu(QStringLiteral("Fájl"));
    file->addActions({aUj, aMegnyit, aMent});
    file->addSeparator();
    file->addAction(aExport);
    file->addSeparator();
    file->addAction(aBezar);
    MainMenu1->addMenu(QStringLiteral("SQL"))->addAction(aFuttat);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->addActions({aUj, aMegnyit, aMent});
    ToolBar1->addSeparator();
    ToolBar1->addActions({aExport, aMasol});
    ToolBar1->addSeparator();
    ToolBar1->addAction(aFuttat);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({aFuttat, aEredmeny});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({aUj, aMegnyit, aMent});
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->exec(Memo1->mapToGlobal(at)); });

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    PopupMenu2->addAction(aExport);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->exec(DBGrid1->viewport()->mapToGlobal(at)); });
}

void Tfrm_SQL::layOut() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    tsSQL = new QWidget;
    tsSQL->setObjectName(QStringLiteral("tsSQL"));
    tsEredmeny = new QWidget;
    tsEredmeny->setObjectName(QStringLiteral("tsEredmeny"));
    for (auto [page, content] :
         {std::pair<QWidget*, QWidget*>{tsSQL, Memo1}, {tsEredmeny, DBGrid1}}) {
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->addWidget(content);
    }
    PageControl1->addTab(tsSQL, QStringLiteral("SQL"));
    PageControl1->addTab(tsEredmeny, QStringLiteral("Eredmény"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(16);
    ProgressBar1->hide();

    StatusBar1 = CreateListStatusBar(this, &StatusPanel1, &StatusPanel2);
    StatusPanel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusPanel1->setFixedWidth(100);
    StatusPanel2->setMinimumWidth(200);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(ToolBar1);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(StatusBar1);
}

void Tfrm_SQL::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        RestoreWindowPlacement(this, kSection);
        Memo1->setFocus();
    }
    QDialog::showEvent(event);
}

void Tfrm_SQL::done(int result) {
    if (running_) {
        AskToStop();
        closeAfterRun_ = stopRequested_;
        return;
    }
    if (!DBGrid1->PostPending()) {
        if (!ConfirmBox(QStringLiteral("A sor változásai nem tárolhatók. Bezárjam az ablakot a "
                                       "változások elvetésével?"),
                        QStringLiteral("Megerősítés"), this))
            return;
        DBGrid1->CancelPending();
    }
    // A placement that cannot be saved is reported, but the window still closes.
    Guarded(this, [this] { StoreWindowPlacement(this, kSection); });
    Qry->close();
    Tbl->close();
    QDialog::done(result);
}

bool Tfrm_SQL::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application while a script runs: Esc anywhere in the
    // window asks whether to stop, whichever control would take it.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            AskToStop();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tfrm_SQL::AskToStop() {
    if (stopRequested_) return;
    stopRequested_ =
        ConfirmBox(QStringLiteral("Fut egy SQL szkript. Leállítsam a most futó utasítás után?"),
                   QStringLiteral("Megerősítés"), this);
}

void Tfrm_SQL::ShowPage(QWidget* page) { PageControl1->setCurrentWidget(page); }

void Tfrm_SQL::ShowRecordCounter(Dataset* dataset) {
    if (dataset->isOpen()) StatusPanel1->setText(RecordCounterText(*dataset));
}

bool Tfrm_SQL::OpenTableMode() {
    const std::optional<QString> table = TableModeTable(Memo1->text());
    if (!table) return false;
    Tbl->close();
    Tbl->setTableName(*table);
    DBGrid1->ShowDataset(Tbl);
    Tbl->open();
    ShowPage(tsEredmeny);
    DBGrid1->NarrowColumns(kColumnWidth);
    return true;
}

void Tfrm_SQL::ShowQueryDataset() {
    DBGrid1->ShowDataset(Qry);
    Qry->close();
    Qry->sql().clear();
}

bool Tfrm_SQL::OpenQuery(const QString& sql) {
    Qry->setSql(sql);
    try {
        Qry->open();
    } catch (const DbError& e) {
        ErrorBox(QStringLiteral("SQL hiba:\r\n") + e.message(), this);
        return false;
    }
    return true;
}

void Tfrm_SQL::aFuttatExecute() {
    if (running_ || !DBGrid1->PostPending() || OpenTableMode()) return;
    ShowQueryDataset();
    int firstLine = 0;
    const QString text = Memo1->TextToRun(&firstLine);
    if (!IsQueryText(text)) {
        RunScriptText(text, firstLine);
    } else if (OpenQuery(text)) {
        ShowPage(tsEredmeny);
        DBGrid1->SetColumnWidths(kColumnWidth);
    }
}

void Tfrm_SQL::aEredmenyExecute() {
    if (running_ || !DBGrid1->PostPending() || OpenTableMode()) return;
    DBGrid1->ShowDataset(Qry);
    Qry->close();
    const QString text =
        Memo1->HasSelection() ? Memo1->selectedText() : FirstStatement(Memo1->text());
    if (!OpenQuery(text)) return;
    ShowPage(tsEredmeny);
    DBGrid1->NarrowColumns(kColumnWidth);
}

void Tfrm_SQL::SetRunning(bool running) {
    running_ = running;
    for (QAction* action : {aFuttat, aEredmeny, aUj, aMegnyit}) action->setEnabled(!running);
    // Stored grid rows would reach the session the script has changed.
    DBGrid1->setEnabled(!running);
    EnableResultActions();
    Memo1->setReadOnly(running);
    if (running) {
        stopRequested_ = false;
        ProgressBar1->setValue(0);
        ProgressBar1->show();
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

// Once a result has been opened they stay enabled, except during a run.
void Tfrm_SQL::EnableResultActions() {
    aExport->setEnabled(resultOpened_ && !running_);
    aMasol->setEnabled(resultOpened_ && !running_);
}

void Tfrm_SQL::RunScriptText(const QString& text, int firstLine) {
    SetRunning(true);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    ScriptControl control;
    control.progress.setMaximum = [this](int lines) {
        ProgressBar1->setMaximum(std::max(lines, 1));
    };
    control.progress.setPosition = [this, &sinceEvents](int line) {
        ProgressBar1->setValue(line);
        if (sinceEvents.elapsed() < kEventsEveryMs) return;
        QCoreApplication::processEvents();
        sinceEvents.restart();
    };
    control.stopRequested = [this] { return stopRequested_; };
    ScriptResult result;
    try {
        result = RunScript(*MainConnection(), text, control);
    } catch (...) {
        SetRunning(false);
        ProgressBar1->hide();
        throw;
    }
    // A click on "Bezár" or a key during the last statement is answered as
    // during the run; after it the result's box would swallow it unseen.
    QCoreApplication::processEvents();
    SetRunning(false);
    ReportScriptResult(result, firstLine);
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        done(Rejected);
    }
}

void Tfrm_SQL::ReportScriptResult(const ScriptResult& result, int firstLine) {
    // The run is over however it ended; the caret shows a failed statement.
    ProgressBar1->hide();
    switch (result.outcome) {
        case ScriptResult::Outcome::Completed:
            InfoBox(result.statements > 0 ? QStringLiteral("SQL futtatás kész.") : kNothingToRun,
                    this);
            break;
        case ScriptResult::Outcome::Failed:
            ErrorBox(QStringLiteral("Hiba: ") + result.errorMessage, this);
            ShowPage(tsSQL);
            Memo1->SelectLine(firstLine + result.line - 1);
            Memo1->setFocus();
            break;
        case ScriptResult::Outcome::Stopped:
            if (!closeAfterRun_) InfoBox(QStringLiteral("SQL futtatás leállítva."), this);
            break;
    }
}

QString Tfrm_SQL::ScriptFolder() const {
    const QString folder = DataDir() + QStringLiteral("/SQL");
    QDir().mkpath(folder);
    ShareLikeItsFolder(folder);
    return folder;
}

void Tfrm_SQL::aUjExecute() { Memo1->clear(); }

// The chosen file of the open or save dialog, which starts in the script
// folder; empty when the user cancelled.
QString Tfrm_SQL::ChooseScriptFile(QFileDialog::AcceptMode mode) {
    const bool open = mode == QFileDialog::AcceptOpen;
    QFileDialog dialog(this, open ? QStringLiteral("SQL megnyitás") : QStringLiteral("SQL mentése"),
                       ScriptFolder());
    dialog.setObjectName(open ? QStringLiteral("OpenDialog1") : QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(open ? QStringLiteral("SQL állományok (*.sql)")
                              : QStringLiteral("SQL file-ok (*.sql)"));
    dialog.setDefaultSuffix(QStringLiteral("sql"));
    if (!open && !fileName_.isEmpty()) dialog.selectFile(fileName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

void Tfrm_SQL::aMegnyitExecute() {
    const QString name = ChooseScriptFile(QFileDialog::AcceptOpen);
    if (name.isEmpty()) return;
    const QByteArray bytes = ReadScriptFile(name);
    Memo1->setText(DecodeScriptText(bytes));
    fileEncoding_ = ScriptEncodingOf(bytes);
    fileName_ = name;
}

void Tfrm_SQL::aMentExecute() {
    const QString name = ChooseScriptFile(QFileDialog::AcceptSave);
    if (name.isEmpty()) return;
    fileEncoding_ = WriteScriptFile(name, Memo1->text(), fileEncoding_);
    fileName_ = name;
}

void Tfrm_SQL::aExportExecute() {
    if (!DBGrid1->PostPending()) return;
    HataroltExport(DBGrid1->ShownDataset(), QString());
}

void Tfrm_SQL::aMasolExecute() {
    if (!DBGrid1->PostPending()) return;
    QList<QByteArray> lines;
    DataSetToLines(*DBGrid1->ShownDataset(), lines, true, QString(), QLatin1Char('\t'), false,
                   false);
    QString text;
    for (const QByteArray& line : lines) text += FromCp1250(line) + QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(text);
}

void Tfrm_SQL::aBezarExecute() { close(); }

void Tfrm_SQL::aTabExecute() {
    PageControl1->setCurrentIndex(PageControl1->currentIndex() == 0 ? 1 : 0);
}

void SzabadLekerdezes() {
    if (!CheckRight(Right::Administrator, QApplication::activeWindow())) return;
    Tfrm_SQL window;
    window.exec();
}

}  // namespace zomi
