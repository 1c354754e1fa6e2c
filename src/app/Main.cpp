#include "app/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Beallit.h"
#include "app/Hirfolyam.h"
#include "app/MessagePanel.h"
#include "app/Nevjegy.h"
#include "app/RegisterList.h"
#include "app/Startup.h"
#include "app/Verziokovetes.h"
#include "app/logo.h"
#include "common/Beall.h"
#include "common/Links.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "costreport/Koltsegkimutatas.h"
#include "db/DbRoutines.h"
#include "db/WorkFileSchema.h"
#include "masterdata/TorzsKtgh.h"
#include "masterdata/TorzsVallalkozo.h"
#include "masterdata/Torzsadat.h"
#include "output/Hatarolt.h"
#include "output/rptZomi.h"
#include "profiles/Adatbazisok.h"
#include "sqlconsole/SQL.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"
#include "ui/WindowHelpers.h"
#include "users/Felhasznalo.h"
#include "workfile/AttachmentMark.h"
#include "workfile/AttachmentStore.h"
#include "workfile/ToroltMunkalapok.h"
#include "workfile/WorkFileStart.h"
#include "workorders/Szerkeszt.h"

namespace zomi {

namespace {

const QString kHomePage = QStringLiteral("https://www.tarvelo.hu");
const QString kMailLink = QStringLiteral("mailto:ugyfelszolgalat@tarvelo.hu?subject=Zomi program");

}  // namespace

Tfrm_Main::Tfrm_Main(QWidget* parent)
    : QMainWindow(parent), Qry(&mySQLDatabase1), QryOssz(&mySQLDatabase1) {
    setObjectName(QStringLiteral("frm_Main"));
    setWindowTitle(QStringLiteral("Munkalapok"));
    resize(948, 735);
    SetMainConnection(&mySQLDatabase1);

    Qry.setSql(RegisterQueryLines());
    Qry.setKeyField(QStringLiteral("zomi"));
    QryOssz.setSql(TotalsQueryLines());
    live_ = new dbaccess::LiveList(&Qry, &mySQLDatabase1, this);
    live_->setSearchFields(RegisterSearchFields());
    live_->setFirstScreenfulQuery(true);
    live_->setFirstScreenfulSql(RegisterFirstScreenful(&mySQLDatabase1));
    live_->setTitleFields(RegisterColumns());
    live_->setErrorHandler([this](const std::exception& e) { ShowError(e, this); });
    connect(&Qry, &dbaccess::Dataset::afterOpen, this, [this] {
        LabelRegisterFields(Qry);
        szinColumn_ = Qry.fieldIndex(QStringLiteral("szin"));
        keyColumn_ = Qry.fieldIndex(QStringLiteral("zomi"));
        refreshMarks();
    });

    buildActions();
    buildLayout();
    buildMenus();

    Timer1.setInterval(200);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        close();
        // The window may never have been shown; the program ends all the same.
        QCoreApplication::quit();
    });
    // The version and news checks run once per start, a little after the window shows.
    TimerVerzio.setInterval(2000);
    TimerVerzio.setSingleShot(true);
    TimerHirek.setInterval(10000);
    TimerHirek.setSingleShot(true);
    connect(&TimerVerzio, &QTimer::timeout, this, [this] { CheckVersion(this); });
    connect(&TimerHirek, &QTimer::timeout, this,
            [this] { CheckNews(this, [this](const QString& link) { OpenLink(link); }); });
}

Tfrm_Main::~Tfrm_Main() {
    // The search, the grid and its model read the list queries, which as
    // members would otherwise be gone before the child widgets are.
    delete search_;
    delete takeCentralWidget();
    delete model_;
    delete live_;
    SetMainConnection(nullptr);
}

QAction* Tfrm_Main::makeAction(const char* name, const QString& caption, const QString& category,
                               const QKeySequence& shortcut) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(caption);
    action->setStatusTip(caption);
    action->setProperty("category", category);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    if (const QIcon icon = RegisterIcon(QString::fromLatin1(name)); !icon.isNull())
        action->setIcon(icon);
    addAction(action);
    return action;
}

QAction* Tfrm_Main::action(const QString& name) const { return findChild<QAction*>(name); }

void Tfrm_Main::buildActions() {
    const QString rekordok = QStringLiteral("Rekordok");
    const QString torzs = QStringLiteral("Törzsadatok");
    const QString nezet = QStringLiteral("Nézet");
    const QString rendszer = QStringLiteral("Rendszer");
    const QString sugo = QStringLiteral("Súgó");

    makeAction("aUj", QStringLiteral("Új sor"), rekordok, Qt::Key_Insert);
    makeAction("aSzerkeszt", QStringLiteral("Szerkeszt"), rekordok, Qt::Key_F2);
    makeAction("aTorol", QStringLiteral("Sor törlése"), rekordok,
               QKeySequence(Qt::CTRL | Qt::Key_Delete));
    makeAction("aNyomtat", QStringLiteral("Nyomtat"), rekordok, QKeySequence(Qt::CTRL | Qt::Key_P));
    makeAction("aExcelbe", QStringLiteral("Excelbe..."), rekordok,
               QKeySequence(Qt::CTRL | Qt::Key_E));
    makeAction("aKoltseg", QStringLiteral("Költségkimutatás"), rekordok);
    makeAction("aToroltek", QStringLiteral("Törölt munkalapok..."), rekordok);
    makeAction("aCsatolmanyTablak", QStringLiteral("Csatolmányok és előzmények..."), rendszer);
    makeAction("aStatuszBeallit", QStringLiteral("Státusz"), rekordok, Qt::Key_F4);
    makeAction("aFrissit", QStringLiteral("Frissít"), rekordok, Qt::Key_F5);
    makeAction("aKilep", QStringLiteral("Kilépés a programból"), rekordok);
    makeAction("aAlairas", QStringLiteral("Aláírások"), torzs);
    makeAction("aVallalkozo", QStringLiteral("Vállalkozók"), torzs);
    makeAction("aKtgh", QStringLiteral("Költséghelyek"), torzs);
    makeAction("aStatusz", QStringLiteral("Státuszok"), torzs);
    makeAction("aBetuNovel", QStringLiteral("Betűméret növelése"), nezet, Qt::Key_F11);
    makeAction("aBetuCsokkent", QStringLiteral("Betűméret csökkentése"), nezet, Qt::Key_F12);
    makeAction("aAdatbazis", QStringLiteral("Adatbázisok"), rendszer);
    makeAction("aFelhasznalo", QStringLiteral("Felhasználók"), rendszer);
    makeAction("aSQL", QStringLiteral("Szabad lekérdezés (SQL)"), rendszer);
    makeAction("aBeallit", QStringLiteral("Beállítások"), rendszer);
    makeAction("aHonlap", QStringLiteral("Tarvelo honlapja"), sugo);
    makeAction("aLevel", QStringLiteral("Levélküldés Tarvelonak"), sugo);
    makeAction("aNevjegy", QStringLiteral("Névjegy"), sugo, QKeySequence(Qt::ALT | Qt::Key_F1));

    const auto on = [this](const char* name, void (Tfrm_Main::*handler)()) {
        connect(action(QString::fromLatin1(name)), &QAction::triggered, this,
                [this, handler] { Guarded(this, [this, handler] { (this->*handler)(); }); });
    };
    on("aTorol", &Tfrm_Main::aTorolExecute);
    on("aFrissit", &Tfrm_Main::aFrissitExecute);
    on("aBetuNovel", &Tfrm_Main::aBetuNovelExecute);
    on("aBetuCsokkent", &Tfrm_Main::aBetuCsokkentExecute);
    on("aBeallit", &Tfrm_Main::aBeallitExecute);
    on("aUj", &Tfrm_Main::aUjExecute);
    on("aSzerkeszt", &Tfrm_Main::aSzerkesztExecute);
    on("aExcelbe", &Tfrm_Main::aExcelbeExecute);
    on("aKoltseg", &Tfrm_Main::aKoltsegExecute);
    on("aToroltek", &Tfrm_Main::aToroltekExecute);
    on("aCsatolmanyTablak", &Tfrm_Main::aCsatolmanyTablakExecute);
    on("aStatuszBeallit", &Tfrm_Main::aStatuszBeallitExecute);
    on("aAlairas", &Tfrm_Main::aAlairasExecute);
    on("aVallalkozo", &Tfrm_Main::aVallalkozoExecute);
    on("aKtgh", &Tfrm_Main::aKtghExecute);
    on("aStatusz", &Tfrm_Main::aStatuszExecute);
    on("aFelhasznalo", &Tfrm_Main::aFelhasznaloExecute);
    on("aSQL", &Tfrm_Main::aSQLExecute);
    on("aAdatbazis", &Tfrm_Main::aAdatbazisExecute);
    on("aNyomtat", &Tfrm_Main::aNyomtatExecute);
    connect(action(QStringLiteral("aKilep")), &QAction::triggered, this, &QWidget::close);
    connect(action(QStringLiteral("aHonlap")), &QAction::triggered, this,
            [this] { OpenLink(kHomePage); });
    connect(action(QStringLiteral("aLevel")), &QAction::triggered, this,
            [this] { OpenLink(kMailLink); });
    connect(action(QStringLiteral("aNevjegy")), &QAction::triggered, this,
            [this] { Guarded(this, [this] { ShowAbout(this); }); });
}

void Tfrm_Main::buildMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(action(QString::fromLatin1(name)));
            }
        }
    };
    add(menuBar()->addMenu(QStringLiteral("Munkalapok")),
        {"aUj", "aSzerkeszt", "aTorol", nullptr, "aNyomtat", "aExcelbe", "aKoltseg", "aToroltek",
         nullptr, "aKilep"});
    add(menuBar()->addMenu(QStringLiteral("Törzsadatok")),
        {"aAlairas", "aVallalkozo", "aKtgh", "aStatusz"});
    add(menuBar()->addMenu(QStringLiteral("Nézet")), {"aBetuNovel", "aBetuCsokkent"});
    add(menuBar()->addMenu(QStringLiteral("Rendszer")),
        {"aAdatbazis", "aFelhasznalo", "aCsatolmanyTablak", nullptr, "aSQL", nullptr, "aBeallit"});
    add(menuBar()->addMenu(QStringLiteral("Súgó")), {"aHonlap", "aLevel", nullptr, "aNevjegy"});

    gridMenu_ = new QMenu(this);
    add(gridMenu_,
        {"aStatuszBeallit", nullptr, "aUj", "aSzerkeszt", "aTorol", nullptr, "aNyomtat"});
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { gridMenu_->popup(DBGrid1->viewport()->mapToGlobal(at)); });
}

void Tfrm_Main::buildLayout() {
    upperToolBar_ = addToolBar(QStringLiteral("Eszközök"));
    upperToolBar_->setObjectName(QStringLiteral("ToolBar1"));
    upperToolBar_->setMovable(false);
    upperToolBar_->setIconSize(QSize(16, 16));
    upperToolBar_->addAction(action(QStringLiteral("aFrissit")));
    upperToolBar_->addSeparator();
    upperToolBar_->addAction(action(QStringLiteral("aBetuNovel")));
    upperToolBar_->addAction(action(QStringLiteral("aBetuCsokkent")));
    upperToolBar_->addSeparator();
    upperToolBar_->addAction(action(QStringLiteral("aHonlap")));
    upperToolBar_->addSeparator();
    upperToolBar_->addAction(action(QStringLiteral("aKilep")));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* title = new QFrame(central);
    title->setObjectName(QStringLiteral("Panel1"));
    title->setFixedHeight(33);
    title->setFrameShape(QFrame::StyledPanel);
    auto* titleRow = new QHBoxLayout(title);
    titleRow->setContentsMargins(4, 4, 4, 4);
    Edit1 = new QLineEdit(title);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(121);
    Edit1->setPlaceholderText(QStringLiteral("Keresés"));
    auto* caption = new QLabel(QStringLiteral("Munkalapok"), title);
    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPixelSize(15);
    captionFont.setBold(true);
    caption->setFont(captionFont);
    caption->setAlignment(Qt::AlignCenter);
    titleRow->addWidget(Edit1);
    titleRow->addWidget(caption, 1);
    titleRow->addSpacing(121);
    column->addWidget(title);

    recordToolBar_ = new QToolBar(central);
    recordToolBar_->setObjectName(QStringLiteral("ToolBar2"));
    recordToolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    recordToolBar_->setIconSize(QSize(20, 20));
    for (const char* name : {"aUj", "aSzerkeszt", "aTorol", "", "aNyomtat", "", "aExcelbe",
                             "aKoltseg", "", "aStatuszBeallit"}) {
        if (*name == '\0') {
            recordToolBar_->addSeparator();
            continue;
        }
        recordToolBar_->addAction(action(QString::fromLatin1(name)));
        if (auto* button = qobject_cast<QToolButton*>(
                recordToolBar_->widgetForAction(action(QString::fromLatin1(name)))))
            button->setMinimumSize(59, 36);
    }
    column->addWidget(recordToolBar_);

    TabControl1 = new QTabBar(central);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setFixedHeight(33);
    TabControl1->setExpanding(false);
    TabControl1->setDrawBase(true);
    column->addWidget(TabControl1);

    DBGrid1 = new QTableView(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    SetUpListGrid(DBGrid1);
    model_ = new dbaccess::DatasetModel(&Qry, this);
    model_->setColumns(RegisterColumns());
    model_->setRowBackground([this](int row) { return rowColour(row); });
    DBGrid1->setModel(model_);
    marks_ = new AttachmentMark(
        [this](int row) {
            return keyColumn_ < 0 || Qry.isNullAt(row, keyColumn_)
                       ? -1
                       : Qry.valueAt(row, keyColumn_).toInt();
        },
        DBGrid1);
    DBGrid1->setItemDelegateForColumn(0, marks_);
    DBGrid1->installEventFilter(this);
    // The row numbers widen the row header as the list grows.
    connect(model_, &QAbstractItemModel::modelReset, this, &Tfrm_Main::resizeColumns);
    // Rows arriving widen the row numbers only when they gain a digit.
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        const auto digits = QString::number(model_->rowCount()).size();
        if (digits != rowDigits_) resizeColumns();
    });
    column->addWidget(DBGrid1, 1);

    pUzenet = new MessagePanel(central);
    connect(pUzenet, &MessagePanel::linkClicked, this, &Tfrm_Main::OpenLink);
    column->addWidget(pUzenet);
    setCentralWidget(central);

    const int widths[] = {77, 200, 500};
    for (int i = 0; i < 3; ++i) {
        statusPanels_[i] = new QLabel(this);
        statusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        statusPanels_[i]->setFixedWidth(widths[i]);
        statusPanels_[i]->setFrameShape(QFrame::StyledPanel);
        // The totals name the statuses as the database holds them.
        statusPanels_[i]->setTextFormat(Qt::PlainText);
        if (i == 0) statusPanels_[i]->setAlignment(Qt::AlignCenter);
        statusBar()->addWidget(statusPanels_[i], i == 2 ? 1 : 0);
    }
    statusPanels_[2]->setMinimumWidth(widths[2]);
    statusPanels_[2]->setMaximumWidth(QWIDGETSIZE_MAX);

    search_ = new ListSearch(Edit1, DBGrid1, &Qry, model_, this);
    search_->setSearchFields(RegisterSearchFields());
    search_->setLiveList(live_);
    search_->setCounter([this](const QString& text) { statusPanels_[0]->setText(text); });
    connect(TabControl1, &QTabBar::currentChanged, this,
            [this](int index) { Guarded(this, [this, index] { TabControl1Change(index); }); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, [this] {
        if (QAction* edit = action(QStringLiteral("aSzerkeszt")); edit->isEnabled())
            edit->trigger();
    });
}

// ---------------------------------------------------------------- start-up

bool Tfrm_Main::startUp() {
    BaseFilter = QStringLiteral("(zomi > 0)");
    const StartUpOutcome outcome = RunStartUp(mySQLDatabase1, this);
    setGeometry(outcome.bounds);
    StartFailed = outcome.failed;
    if (!StartFailed) {
        setWindowTitle(outcome.caption);
        StartFailed = !Guarded(this, [this] { initialLoad(); });
    }
    if (StartFailed) {
        Timer1.start();
        return false;
    }
    startedUp_ = true;
    applyRights();
    return true;
}

void Tfrm_Main::applyRights() {
    for (const char* name : {"aFelhasznalo", "aAdatbazis", "aSQL", "aBeallit"})
        ApplyRight(action(QString::fromLatin1(name)), Right::Administrator);
    for (const char* name : {"aNyomtat", "aExcelbe"})
        ApplyRight(action(QString::fromLatin1(name)), Right::Print);
}

QString Tfrm_Main::applicationTitle() const { return QGuiApplication::applicationDisplayName(); }

void Tfrm_Main::initialLoad() {
    QStringList years;
    FillFromQuery(years, YearTabsSql());
    const QSignalBlocker blocker(TabControl1);
    while (TabControl1->count() > 0) TabControl1->removeTab(0);
    const QList<QIcon> icons = YearTabIcons(static_cast<int>(years.size()));
    years << QStringLiteral("Összes");
    for (int i = 0; i < years.size(); ++i) {
        TabControl1->addTab(years.at(i));
        if (i < icons.size()) TabControl1->setTabIcon(i, icons.at(i));
    }
    TabControl1->setCurrentIndex(0);
    BaseFilter = YearCondition(TextToInt(TabControl1->tabText(0)));
    search_->setBaseFilter(BaseFilter);
    search_->setSortField(QStringLiteral("sorszamstr"));
    search_->reopen();
}

void Tfrm_Main::TabControl1Change(int index) {
    const QString caption = TabControl1->tabText(index);
    BaseFilter =
        TextToInt(caption) > 0 ? YearCondition(TextToInt(caption)) : QStringLiteral("(1=1)");
    search_->setBaseFilter(BaseFilter);
    {
        // The cleared box would reopen the list once more on its own.
        const QSignalBlocker blocker(Edit1);
        Edit1->clear();
    }
    search_->reopen();
}

// ---------------------------------------------------------------- show and close

void Tfrm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_ || StartFailed) return;
    shownOnce_ = true;
    MarkSortColumn(model_, 0);
    if (Beall.FullScreen) {
        SetWorkAreaFromPrimaryScreen();
        const QRect area = WorkArea();
        // From the top left corner to the work area's right and bottom edges,
        // frame included: the status bar must not end under the task bar.
        CoverWithFrame(this, QRect(0, 0, area.right() + 1, area.bottom() + 1));
    } else {
        move(0, 0);
        RestoreWindowPlacement(this, QStringLiteral("frm_Main"));
    }
    applyFontSize();
    // Known only after the login.
    action(QStringLiteral("aToroltek"))->setVisible(Beall.Rendszergazda);
    action(QStringLiteral("aCsatolmanyTablak"))->setVisible(Beall.Rendszergazda);
    Guarded(this, [this] {
        // A start-up whose list could not be read tries once more.
        if (!Qry.isOpen() && !live_->fetcher().busy()) search_->reopen();
        LoadMessage();
    });
    TimerVerzio.start();
    TimerHirek.start();
    ShowSplash(this);
    Guarded(this, [this] { RefreshSummary(); });
    resizeColumns();
}

void Tfrm_Main::closeEvent(QCloseEvent* event) {
    if (StartFailed) {
        event->accept();
        return;
    }
    live_->stop();
    Qry.close();
    QryOssz.close();
    mySQLDatabase1.close();
    Guarded(this, [this] {
        StoreWindowPlacement(this, QStringLiteral("frm_Main"));
        SaveSettings(geometry());
    });
    event->accept();
}

void Tfrm_Main::bringToFront() {
    if (startedUp_) {
        BringToFront(this);
    } else if (QWidget* open = QApplication::activeModalWidget()) {
        // The chooser, the set-up window, the login or one of their boxes;
        // the register itself has nothing to show yet.
        BringToFront(open);
    }
}

// ---------------------------------------------------------------- list

const QString& Tfrm_Main::sortField() const { return search_->sortField(); }

int Tfrm_Main::currentKey() const {
    if (!Qry.isOpen() || Qry.isEmpty()) return -1;
    return NullToInt(Qry.value(QStringLiteral("zomi")), 0);
}

QString Tfrm_Main::counterText() const { return statusPanels_[0]->text(); }
QString Tfrm_Main::summaryText() const { return statusPanels_[2]->text(); }

QVariant Tfrm_Main::rowColour(int row) const {
    if (szinColumn_ < 0 || Qry.isNullAt(row, szinColumn_)) return QVariant();
    const QColor colour = StatusClassColour(Qry.valueAt(row, szinColumn_).toInt());
    return colour.isValid() ? QVariant(colour) : QVariant();
}

bool Tfrm_Main::selectKey(int key) { return search_->selectValue(QStringLiteral("zomi"), key); }

int Tfrm_Main::tabShowing(int key) const {
    const int current = TabControl1->currentIndex();
    if (TextToInt(TabControl1->tabText(current)) <= 0) return current;
    const QString year = QueryText(
        QStringLiteral("SELECT YEAR(datum) FROM zomi WHERE zomi = ") + QString::number(key) + ';',
        QString());
    const int all = TabControl1->count() - 1;
    for (int i = 0; i < all; ++i)
        if (TabControl1->tabText(i) == year) return i;
    // No date, or a year that had no tab when the register opened.
    return all;
}

void Tfrm_Main::RefreshSummary() {
    QryOssz.open();
    QString text;
    const int name = QryOssz.fieldIndex(QStringLiteral("statusz_nev"));
    const int db = QryOssz.fieldIndex(QStringLiteral("db"));
    const int ossz = QryOssz.fieldIndex(QStringLiteral("ossz"));
    for (int row = 0; row < QryOssz.recordCount(); ++row)
        text += QryOssz.displayText(row, name) + QStringLiteral(" (") +
                QryOssz.displayText(row, db) + QStringLiteral(") : ") +
                QryOssz.displayText(row, ossz) + QStringLiteral("; ");
    QryOssz.close();
    statusPanels_[2]->setText(text);
}

void Tfrm_Main::resizeColumns() {
    if (!model_ || model_->columnCount() == 0) return;
    rowDigits_ = QString::number(model_->rowCount()).size();
    // What the columns share is what the frame, the row numbers (wider as
    // the list grows) and the vertical scroll bar leave, less one pixel for
    // each of the eight rounded widths that may round up.
    const QHeaderView* rows = DBGrid1->verticalHeader();
    const int rowHeader =
        rows->isHidden() ? 0 : std::max(rows->minimumWidth(), rows->sizeHint().width());
    const int scrollBar = DBGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                        DBGrid1->verticalScrollBar());
    const int w = DBGrid1->width() - 2 * DBGrid1->frameWidth() - rowHeader - scrollBar -
                  static_cast<int>(RegisterColumns().size());
    for (int c = 0; c < model_->columnCount(); ++c) {
        const double share = RegisterColumnShare(RegisterColumns().value(c));
        DBGrid1->setColumnWidth(c, static_cast<int>(std::lround(w * share)));
    }
}

void Tfrm_Main::applyFontSize() {
    ApplyFontSize(this, Beall.FontSize);
    ApplyFontSize(Edit1, Beall.FontSize);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
}

// ---------------------------------------------------------------- actions

void Tfrm_Main::aTorolExecute() {
    if (currentKey() < 0) return;
    // The work order's files go with it, and the question says so.
    const bool files = keepsFiles();
    const int count = files ? AttachmentCount(mySQLDatabase1, currentKey()) : 0;
    if (ConfirmBox(WorkOrderDeleteQuestion(count), QStringLiteral("Megerősítés"), this,
                   QMessageBox::Question, count > 0 ? QMessageBox::No : QMessageBox::Yes)) {
        const int key = currentKey();
        if (files) {
            DeleteWorkOrderWithFiles(mySQLDatabase1, key);
        } else {
            ExecSql(QStringLiteral("DELETE FROM zomi WHERE zomi=") + QString::number(key) +
                    QLatin1Char(';'));
        }
        live_->forget(key);
        live_->refresh();
    }
    RefreshSummary();
}

void Tfrm_Main::aFrissitExecute() {
    live_->refresh();
    refreshMarks();
}

void Tfrm_Main::refreshMarks() {
    // Once per list opened, not per keystroke: the search changes the rows
    // shown, not which work orders have files.
    if (!mySQLDatabase1.isOpen()) return;
    Guarded(this, [this] {
        marks_->setKeys(keepsFiles() ? WorkOrdersWithAttachments(mySQLDatabase1) : QSet<int>());
    });
    DBGrid1->viewport()->update();
}

bool Tfrm_Main::keepsFiles() {
    if (!hasFiles_) hasFiles_ = ReadWorkFileState(mySQLDatabase1).attachments;
    return *hasFiles_;
}

void Tfrm_Main::showStored(int key) {
    // The editor may have added or removed files, of this order or others.
    refreshMarks();
    if (key < 0) return;
    if (const int tab = tabShowing(key); tab != TabControl1->currentIndex()) {
        // The tab change reopens the list and clears the search; rows kept
        // of that tab are older than this store.
        live_->forgetKeptRows();
        TabControl1->setCurrentIndex(tab);
    } else {
        live_->refresh();
    }
    // Otherwise the next F2 or Ctrl+Delete would act on another work order.
    live_->whenLoaded([this, key] {
        if (!selectKey(key) && !Edit1->text().isEmpty()) {
            Edit1->clear();
            selectKey(key);
        }
    });
}

void Tfrm_Main::aUjExecute() {
    showStored(MunkalapSzerkeszt(-1));
    RefreshSummary();
}

void Tfrm_Main::aSzerkesztExecute() {
    if (currentKey() < 0) return;
    showStored(MunkalapSzerkeszt(currentKey()));
    RefreshSummary();
}

void Tfrm_Main::aExcelbeExecute() {
    // The whole list as the server has it, not the part that has arrived.
    live_->settle();
    const int key = std::max(currentKey(), 0);
    HataroltExport(&Qry, QStringLiteral("Munkalapok.csv"));
    selectKey(key);
}

void Tfrm_Main::aKoltsegExecute() {
    // The year of the tab in front, 0 for "Összes".
    costreport::Koltsegkimutatas(
        std::max(TextToInt(TabControl1->tabText(TabControl1->currentIndex())), 0));
}

void Tfrm_Main::aToroltekExecute() {
    const WorkFileState state = ReadWorkFileState(mySQLDatabase1);
    if (!state.history && !state.attachments) {
        InfoBox(QStringLiteral("Ebben az adatbázisban nincsenek csatolmányok és előzmények: "
                               "rendszergazdaként belépve a Zomi felajánlja a hozzáadásukat."),
                this);
        return;
    }
    Tfrm_ToroltMunkalapok window(&mySQLDatabase1, this);
    window.exec();
}

void Tfrm_Main::aCsatolmanyTablakExecute() {
    const WorkFileState state = ReadWorkFileState(mySQLDatabase1);
    if (state.complete()) {
        InfoBox(QStringLiteral("Az adatbázisban megvannak a csatolmányok és az előzmények táblái."),
                this);
        return;
    }
    if (OfferWorkFile(mySQLDatabase1, this)) {
        hasFiles_.reset();
        refreshMarks();
    }
}

void Tfrm_Main::aStatuszBeallitExecute() {
    const int key = currentKey();
    if (key < 0) return;
    const int status =
        TorzsadatLista(-1, true, QStringLiteral("statusz"), QStringLiteral("Státusz"), nullptr);
    if (status < 0) return;
    ExecSql(QStringLiteral("UPDATE zomi SET statusz = ") + QString::number(status) +
            QStringLiteral(" WHERE zomi = ") + QString::number(key) + QLatin1Char(';'));
    live_->refresh();
}

void Tfrm_Main::aNyomtatExecute() {
    if (currentKey() < 0) return;
    MunkalapNyomtat(currentKey());
}

void Tfrm_Main::aAlairasExecute() {
    TorzsadatLista(-1, false, QStringLiteral("alairas"), QStringLiteral("Aláírás"), nullptr);
}

void Tfrm_Main::aVallalkozoExecute() { VallalkozoLista(-1, false); }

void Tfrm_Main::aKtghExecute() { KtghLista(-1, false); }

void Tfrm_Main::aStatuszExecute() {
    TorzsadatLista(-1, false, QStringLiteral("statusz"), QStringLiteral("Státusz"), nullptr);
    UpdateOverdueStatuses();
}

void Tfrm_Main::aFelhasznaloExecute() { ShowUsers(); }

void Tfrm_Main::aSQLExecute() { SzabadLekerdezes(); }

void Tfrm_Main::aAdatbazisExecute() { ShowProfiles(this); }

void Tfrm_Main::aBetuNovelExecute() {
    if (Beall.FontSize < 10) {
        ++Beall.FontSize;
        applyFontSize();
    }
}

void Tfrm_Main::aBetuCsokkentExecute() {
    if (Beall.FontSize > 8) {
        --Beall.FontSize;
        applyFontSize();
    }
}

void Tfrm_Main::aBeallitExecute() {
    ShowSettingsDialog(this);
    ReadLoginRequired();
    applyRights();
}

void Tfrm_Main::OpenLink(const QString& target) {
    // Links come from the database and the vendor's server; the desktop's
    // opener would run a local program as readily as it opens a web page.
    const QUrl url = OpenableLink(target);
    if (!url.isValid()) {
        ErrorBox(
            QStringLiteral("Csak http, https és mailto hivatkozás nyitható meg, ez nem: ") + target,
            this);
    } else if (!QDesktopServices::openUrl(url)) {
        ErrorBox(QStringLiteral("A hivatkozás nem nyitható meg: ") + target, this);
    }
}

// ---------------------------------------------------------------- messages

void Tfrm_Main::LoadMessage() { pUzenet->LoadMessage(); }

// ---------------------------------------------------------------- events

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::Resize) resizeColumns();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace zomi
