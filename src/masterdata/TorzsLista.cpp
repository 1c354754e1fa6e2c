#include "masterdata/TorzsLista.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "common/Beall.h"
#include "common/Boxes.h"
#include "common/ErrorDisplay.h"
#include "common/ListSearch.h"
#include "common/Text.h"
#include "common/WindowHelpers.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/Kepek.h"

namespace zomi {

QStatusBar* CreateListStatusBar(QWidget* window, QLabel** counter, QLabel** second) {
    auto* bar = new QStatusBar(window);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    *counter = new QLabel(bar);
    (*counter)->setObjectName(QStringLiteral("StatusPanel1"));
    (*counter)->setAlignment(Qt::AlignCenter);
    (*counter)->setFixedWidth(77);
    *second = new QLabel(bar);
    (*second)->setObjectName(QStringLiteral("StatusPanel2"));
    (*second)->setFixedWidth(50);
    bar->addWidget(*counter);
    bar->addWidget(*second);
    return bar;
}

void StackListWindow(QWidget* window, QWidget* toolBar, QWidget* panel, QWidget* grid, QWidget* statusBar) {
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(panel);
    layout->addWidget(grid, 1);
    layout->addWidget(statusBar);
}

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

TTorzsLista::TTorzsLista(const Design& design, bool choosing, QWidget* parent)
    : QDialog(parent), design_(design), choosing_(choosing) {
    setObjectName(design.name);
    setWindowTitle(design.caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(design.size);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setMovable(false);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(220);
    Label1 = new QLabel(design.caption + QStringLiteral("  "), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(6, 4, 2, 4);
    panelLayout->addWidget(Edit1);
    panelLayout->addWidget(Label1, 1);

    Qry = new dbaccess::Query(MainConnection(), this);
    Qry->setObjectName(QStringLiteral("Qry"));
    Qry->setKeyField(design.table);
    Qry->setSql(QStringList{QStringLiteral("SELECT * FROM ") + design.table,
                            QStringLiteral("WHERE ") + design.baseFilter,
                            QStringLiteral("ORDER BY ") + design.sortField + QLatin1Char(';')});
    QryModel = new dbaccess::DatasetModel(Qry, this);
    QryModel->setColumns(design.columns);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(QryModel);
    SetUpListGrid(DBGrid1);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    // A reopened list gets new header sections, which forget their widths.
    connect(QryModel, &QAbstractItemModel::modelReset, this, [this] { layoutColumns(); });

    StatusBar1 = CreateListStatusBar(this, &StatusPanel1, &StatusPanel2);
    StackListWindow(this, ToolBar1, Panel1, DBGrid1, StatusBar1);

    Search = new ListSearch(Edit1, DBGrid1, Qry, QryModel, this);
    Search->setSearchFields(design.searchFields);
    Search->setBaseFilter(design.baseFilter);
    Search->setSortField(design.sortField);
    Search->setSortsOnTitleClick(design.sortsOnTitleClick);
    Search->setCounter([this](const QString& text) { StatusPanel1->setText(text); });

    aUj = createAction(QStringLiteral("aUj"), QStringLiteral("Új sor"), QStringLiteral("Új sor"),
                       {QKeySequence(Qt::Key_Insert)}, ToolBarIcon(ToolKep::Uj));
    aSzerkeszt = createAction(QStringLiteral("aSzerkeszt"), QStringLiteral("Szerkeszt"),
                              QStringLiteral("Szerkeszt"), {QKeySequence(Qt::Key_F2)},
                              ToolBarIcon(ToolKep::Szerkeszt));
    aTorol = createAction(QStringLiteral("aTorol"), QStringLiteral("Töröl"),
                          QStringLiteral("Sor törlése"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)},
                          ToolBarIcon(ToolKep::Torol));
    aElfogad = createAction(
        QStringLiteral("aElfogad"), QStringLiteral("Elfogad"), QStringLiteral("Elfogad"),
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, ToolBarIcon(ToolKep::Elfogad));
    aBezar =
        createAction(QStringLiteral("aBezar"), QStringLiteral("Bezár"), QStringLiteral("Bezár"),
                     {QKeySequence(Qt::Key_Escape)}, ToolBarIcon(ToolKep::Bezar));
    aElfogad->setEnabled(choosing);
    aElfogad->setVisible(choosing);
    ToolBar1->addAction(aUj);
    ToolBar1->addAction(aSzerkeszt);
    ToolBar1->addAction(aTorol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aElfogad);
    ToolBar1->addAction(aBezar);

    connect(aUj, &QAction::triggered, this, &TTorzsLista::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &TTorzsLista::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &TTorzsLista::aTorolExecute);
    connect(aElfogad, &QAction::triggered, this, &TTorzsLista::aElfogadExecute);
    connect(aBezar, &QAction::triggered, this, &TTorzsLista::aBezarExecute);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    // Qt reports a double click only on a cell; an empty list must still answer it.
    DBGrid1->viewport()->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    Edit1->installEventFilter(this);
}

QAction* TTorzsLista::createAction(const QString& name, const QString& caption, const QString& hint,
                                   const QList<QKeySequence>& shortcuts, const QIcon& icon) {
    auto* action = new QAction(icon, caption, this);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void TTorzsLista::setPopupMenu(const QList<QAction*>& actions) {
    PopupMenu1->clear();
    for (QAction* action : actions) {
        if (action) {
            PopupMenu1->addAction(action);
        } else {
            PopupMenu1->addSeparator();
        }
    }
}

void TTorzsLista::openList(int key) {
    Qry->open();
    afterFirstOpen();
    if (key != -1) selectKey(key);
}

int TTorzsLista::currentKey() const { return NullToInt(Qry->value(keyField()), -1); }

bool TTorzsLista::hasCurrentRow() const { return Qry->isOpen() && Qry->currentRow() >= 0; }

void TTorzsLista::selectKey(int key) { Search->selectValue(keyField(), key); }

void TTorzsLista::refreshAndSelect(int key) {
    Qry->refresh();
    selectKey(key);
}

void TTorzsLista::aUjExecute() {
    Guarded(this, [this] {
        const int key = editRow(-1);
        if (key != -1) refreshAndSelect(key);
    });
}

void TTorzsLista::aSzerkesztExecute() {
    if (!hasCurrentRow()) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    Guarded(this, [this] {
        const int key = editRow(currentKey());
        if (key != -1) refreshAndSelect(key);
    });
}

void TTorzsLista::aTorolExecute() {
    if (!hasCurrentRow()) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    if (!ConfirmBox(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"),
                    this))
        return;
    Guarded(this, [this] {
        ExecSql(QStringLiteral("DELETE FROM ") + design_.table + QStringLiteral(" WHERE ") +
                keyField() + QStringLiteral(" = ") + IdText(Qry->value(keyField())) +
                QLatin1Char(';'));
        Qry->refresh();
    });
}

void TTorzsLista::aElfogadExecute() {
    if (!hasCurrentRow()) {
        ErrorBox(QStringLiteral("Nincs kiválasztott sor."), this);
        return;
    }
    Guarded(this, [this] {
        chosenKey_ = NullToInt(Qry->value(keyField()), 0);
        accept();
    });
}

void TTorzsLista::CopySortValue() {
    if (DBGrid1->hasFocus()) {
        QApplication::clipboard()->setText(NullToText(Qry->value(Search->sortField()), QString()));
    } else if (Edit1->hasFocus() && Edit1->hasSelectedText()) {
        QApplication::clipboard()->setText(Edit1->selectedText());
    }
}

void TTorzsLista::aBezarExecute() { reject(); }

void TTorzsLista::DBGrid1DblClick() {
    if (choosing_) {
        aElfogadExecute();
    } else {
        aSzerkesztExecute();
    }
}

void TTorzsLista::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        MarkSortColumn(QryModel, 0);
        ApplyFontSize(Edit1, Beall.FontSize);
        ApplyFontSize(this, Beall.FontSize);
        // Rows as high as the font the window now has.
        DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
        RestoreWindowPlacement(this, design_.name);
        if (design_.searchFocusOnShow) {
            Edit1->setFocus();
        } else {
            DBGrid1->setFocus();
        }
    }
    QDialog::showEvent(event);
}

void TTorzsLista::done(int result) {
    if (result != Accepted) chosenKey_ = -1;
    // A placement that cannot be saved is reported, but the window still closes.
    Guarded(this, [this] { StoreWindowPlacement(this, design_.name); });
    QDialog::done(result);
}

bool TTorzsLista::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        DBGrid1DblClick();
        return true;
    }
    if (watched == DBGrid1 && event->type() == QEvent::Resize) layoutColumns();
    if (event->type() == QEvent::ShortcutOverride && (watched == Edit1 || watched == DBGrid1)) {
        // The window's actions come before the keys the controls would take
        // for themselves (Ctrl+C, Ctrl+Delete in the search box).
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : actions()) {
            if (!action->isEnabled()) continue;
            for (const QKeySequence& shortcut : action->shortcuts())
                if (shortcut == pressed) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zomi
