#include "ui/ListWindow.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "common/Beall.h"
#include "dbaccess/DatasetModel.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

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
    // Panels may show what the window read from the database.
    (*counter)->setTextFormat(Qt::PlainText);
    (*second)->setTextFormat(Qt::PlainText);
    bar->addWidget(*counter);
    bar->addWidget(*second);
    return bar;
}

void StackListWindow(QWidget* window, QWidget* toolBar, QWidget* panel, QWidget* grid,
                     QWidget* statusBar) {
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(panel);
    layout->addWidget(grid, 1);
    layout->addWidget(statusBar);
}

namespace {

// A tool bar or a menu with the actions in order, nullptr standing for a separator.
template <typename Bar>
void fillWithActions(Bar* bar, const QList<QAction*>& actions) {
    bar->clear();
    for (QAction* action : actions) {
        if (action) {
            bar->addAction(action);
        } else {
            bar->addSeparator();
        }
    }
}

}  // namespace

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

ListWindow::ListWindow(const QString& name, const QString& caption, const QSize& size,
                       QWidget* parent)
    : QDialog(parent), section_(name) {
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(size);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setMovable(false);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    panelLayout_ = new QHBoxLayout(Panel1);
    panelLayout_->addWidget(Label1, 1);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    SetUpListGrid(DBGrid1);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);

    StatusBar1 = CreateListStatusBar(this, &StatusPanel1, &StatusPanel2);
    StackListWindow(this, ToolBar1, Panel1, DBGrid1, StatusBar1);

    aUj = createAction(QStringLiteral("aUj"), QStringLiteral("Új"), QStringLiteral("Új"),
                       {QKeySequence(Qt::Key_Insert)}, ToolBarIcon(ToolPicture::New));
    aSzerkeszt = createAction(QStringLiteral("aSzerkeszt"), QStringLiteral("Szerkeszt"),
                              QStringLiteral("Szerkeszt"), {QKeySequence(Qt::Key_F2)},
                              ToolBarIcon(ToolPicture::Edit));
    aTorol =
        createAction(QStringLiteral("aTorol"), QStringLiteral("Töröl"), QStringLiteral("Töröl"),
                     {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, ToolBarIcon(ToolPicture::Delete));
    aBezar =
        createAction(QStringLiteral("aBezar"), QStringLiteral("Bezár"), QStringLiteral("Bezár"),
                     {QKeySequence(Qt::Key_Escape)}, ToolBarIcon(ToolPicture::Close));
    connect(aUj, &QAction::triggered, this, &ListWindow::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &ListWindow::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &ListWindow::aTorolExecute);
    connect(aBezar, &QAction::triggered, this, &ListWindow::aBezarExecute);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    // Qt reports a double click only on a cell; an empty list must still answer it.
    DBGrid1->viewport()->installEventFilter(this);
    DBGrid1->installEventFilter(this);
}

QAction* ListWindow::createAction(const QString& name, const QString& caption, const QString& hint,
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

void ListWindow::setToolBarActions(const QList<QAction*>& actions) {
    fillWithActions(ToolBar1, actions);
}

void ListWindow::setPopupMenu(const QList<QAction*>& actions) {
    fillWithActions(PopupMenu1, actions);
}

QWidget* ListWindow::firstFocus() const { return DBGrid1; }

int ListWindow::fontSize() const { return Beall.FontSize; }

bool ListWindow::confirmDelete(bool hasRow) {
    if (!hasRow) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return false;
    }
    return ConfirmBox(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"),
                      this);
}

void ListWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        if (auto* model = qobject_cast<dbaccess::DatasetModel*>(DBGrid1->model()))
            MarkSortColumn(model, 0);
        ApplyFontSize(this, fontSize());
        // Rows as high as the font the window now has.
        DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
        RestoreWindowPlacement(this, section_);
        firstFocus()->setFocus();
    }
    QDialog::showEvent(event);
}

void ListWindow::done(int result) {
    // A placement that cannot be saved is reported, but the window still closes.
    Guarded(this, [this] { StoreWindowPlacement(this, section_); });
    QDialog::done(result);
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        DBGrid1DblClick();
        return true;
    }
    if (watched == DBGrid1 && event->type() == QEvent::Resize) layoutColumns();
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()) {
        // The window's actions come before the keys the controls would take
        // for themselves (Ctrl+C, Ctrl+Delete in a search box).
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
