#include "users/Felhasznalo.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "common/Beall.h"
#include "common/Boxes.h"
#include "common/ErrorDisplay.h"
#include "common/ListSearch.h"
#include "common/WindowHelpers.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/Kepek.h"
#include "masterdata/TorzsLista.h"
#include "users/FelhasznaloSzerkeszt.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Felhasznalo");
constexpr int kPictureColumnWidth = 90;

// A right shows as a green tick when it is "I", as a red cross otherwise
// (NULL and "N" alike).
class RightDelegate : public QStyledItemDelegate {
  public:
    explicit RightDelegate(QObject* parent)
        : QStyledItemDelegate(parent), images_{ZoldPipa(), PirosX()} {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        const bool yes = index.data(Qt::EditRole).toString() == QLatin1String("I");
        painter->drawPixmap(option.rect.left() + 32, option.rect.top(), images_[yes ? 0 : 1]);
    }

  private:
    QPixmap images_[2];
};

}  // namespace

Tfrm_Felhasznalo::Tfrm_Felhasznalo(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_Felhasznalo"));
    setWindowTitle(QStringLiteral("Felhasználók adatai"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(600, 420);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setMovable(false);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("Felhasználók"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    Label1->setFont(heading);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addWidget(Label1);

    Tbl = new dbaccess::Table(MainConnection(), this);
    Tbl->setObjectName(QStringLiteral("Tbl"));
    Tbl->setTableName(QStringLiteral("felhasznalo"));
    Tbl->setOrderBy(QStringLiteral("felhasznalo"));
    TblModel = new dbaccess::DatasetModel(Tbl, this);
    TblModel->setColumns({QStringLiteral("felhasznalo"), QStringLiteral("felhasznalo_nev"),
                          QStringLiteral("rendszergazda"), QStringLiteral("torzsszerkeszt")});

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(TblModel);
    SetUpListGrid(DBGrid1);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    DBGrid1->setItemDelegateForColumn(2, new RightDelegate(DBGrid1));
    DBGrid1->setItemDelegateForColumn(3, new RightDelegate(DBGrid1));

    StatusBar1 = CreateListStatusBar(this, &StatusPanel1, &StatusPanel2);
    StackListWindow(this, ToolBar1, Panel1, DBGrid1, StatusBar1);

    aUj = createAction(QStringLiteral("aUj"), QStringLiteral("Új"), QKeySequence(Qt::Key_Insert),
                       ToolBarIcon(ToolKep::Uj));
    aSzerkeszt = createAction(QStringLiteral("aSzerkeszt"), QStringLiteral("Szerkeszt"),
                              QKeySequence(Qt::Key_F2), ToolBarIcon(ToolKep::Szerkeszt));
    aTorol = createAction(QStringLiteral("aTorol"), QStringLiteral("Töröl"),
                          QKeySequence(Qt::CTRL | Qt::Key_Delete), ToolBarIcon(ToolKep::Torol));
    aBezar = createAction(QStringLiteral("aBezar"), QStringLiteral("Bezár"),
                          QKeySequence(Qt::Key_Escape), ToolBarIcon(ToolKep::Bezar));
    connect(aUj, &QAction::triggered, this, &Tfrm_Felhasznalo::aUjExecute);
    connect(aSzerkeszt, &QAction::triggered, this, &Tfrm_Felhasznalo::aSzerkesztExecute);
    connect(aTorol, &QAction::triggered, this, &Tfrm_Felhasznalo::aTorolExecute);
    connect(aBezar, &QAction::triggered, this, &QDialog::reject);
    ToolBar1->addAction(aUj);
    ToolBar1->addAction(aSzerkeszt);
    ToolBar1->addAction(aTorol);
    ToolBar1->addSeparator();
    ToolBar1->addAction(aBezar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(aUj);
    PopupMenu1->addAction(aSzerkeszt);
    PopupMenu1->addAction(aTorol);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(aBezar);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    // The grid and the table keep one current row; the counter follows it.
    connect(Tbl, &dbaccess::Dataset::afterScroll, this, [this] {
        showCounter();
        followDataset();
    });
    connect(Tbl, &dbaccess::Dataset::afterOpen, this, &Tfrm_Felhasznalo::showCounter);
    connect(Tbl, &dbaccess::Dataset::rowInserted, this, &Tfrm_Felhasznalo::showCounter);
    connect(Tbl, &dbaccess::Dataset::rowRemoved, this, &Tfrm_Felhasznalo::showCounter);
    connect(TblModel, &QAbstractItemModel::modelReset, this, [this] {
        layoutColumns();
        followDataset();
    });
    connect(
        DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (syncing_ || !current.isValid() || Tbl->state() != dbaccess::Dataset::State::Browse)
                return;
            syncing_ = true;
            Guarded(this, [&] { Tbl->moveTo(current.row()); });
            syncing_ = false;
        });
    DBGrid1->installEventFilter(this);
    DBGrid1->viewport()->installEventFilter(this);

    Tbl->open();
    Tbl->fieldByName(QStringLiteral("felhasznalo")).label = QStringLiteral("Kód");
    Tbl->fieldByName(QStringLiteral("felhasznalo_nev")).label = QStringLiteral("Felhasználó");
    Tbl->fieldByName(QStringLiteral("rendszergazda")).label = QStringLiteral("Rendszergazda");
    Tbl->fieldByName(QStringLiteral("torzsszerkeszt")).label = QStringLiteral("Törzs.szerk.");
    emit TblModel->headerDataChanged(Qt::Horizontal, 0, TblModel->columnCount() - 1);
    layoutColumns();
}

QAction* Tfrm_Felhasznalo::createAction(const QString& name, const QString& caption,
                                        const QKeySequence& shortcut, const QIcon& icon) {
    auto* action = new QAction(icon, caption, this);
    action->setObjectName(name);
    action->setToolTip(caption);
    action->setShortcut(shortcut);
    addAction(action);
    return action;
}

void Tfrm_Felhasznalo::showCounter() { StatusPanel1->setText(RecordCounterText(*Tbl)); }

void Tfrm_Felhasznalo::followDataset() {
    if (syncing_) return;
    const int row = Tbl->currentRow();
    if (row < 0 || row >= TblModel->rowCount()) return;
    syncing_ = true;
    const QModelIndex current = DBGrid1->currentIndex();
    DBGrid1->setCurrentIndex(TblModel->index(row, current.isValid() ? current.column() : 0));
    syncing_ = false;
}

void Tfrm_Felhasznalo::layoutColumns() {
    if (TblModel->columnCount() < 4) return;
    // The picture columns keep their width unless a larger font needs more
    // for the titles; the text columns share what is left.
    int pictures = 0;
    for (int column : {2, 3}) {
        QHeaderView* header = DBGrid1->horizontalHeader();
        const QString title =
            TblModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int needed =
            header->fontMetrics().horizontalAdvance(title) +
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 8;
        const int width = std::max(kPictureColumnWidth, needed);
        DBGrid1->setColumnWidth(column, width);
        pictures += width - kPictureColumnWidth;
    }
    const double w = DBGrid1->width() - 194 - pictures;
    DBGrid1->setColumnWidth(0, static_cast<int>(w * 0.33));
    DBGrid1->setColumnWidth(1, static_cast<int>(w * 0.67));
}

void Tfrm_Felhasznalo::editCurrent() {
    Tfrm_FelhasznaloSzerkeszt window(Tbl, this);
    if (window.exec() == Accepted) {
        // Back into login-name order, staying on the stored user.
        Tbl->refresh();
    } else {
        Tbl->cancel();
    }
}

void Tfrm_Felhasznalo::aUjExecute() {
    Guarded(this, [this] {
        // Asked before the row exists, so that a lost connection leaves nothing half made.
        const QString initial = ServerMd5(InitialPassword());
        Tbl->append();
        Tbl->setValue(QStringLiteral("rendszergazda"), QStringLiteral("N"));
        Tbl->setValue(QStringLiteral("torzsszerkeszt"), QStringLiteral("N"));
        Tbl->setValue(QStringLiteral("jelszomd5"), initial);
        Tbl->setValue(QStringLiteral("nyomtathat"), QStringLiteral("N"));
        editCurrent();
    });
}

void Tfrm_Felhasznalo::aSzerkesztExecute() {
    if (Tbl->currentRow() < 0) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    Guarded(this, [this] {
        Tbl->edit();
        editCurrent();
    });
}

void Tfrm_Felhasznalo::aTorolExecute() {
    if (Tbl->currentRow() < 0) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    if (!ConfirmBox(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"),
                    this))
        return;
    Guarded(this, [this] { Tbl->remove(); });
}

void Tfrm_Felhasznalo::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        MarkSortColumn(TblModel, 0);
        RestoreWindowPlacement(this, kSection);
        ApplyFontSize(this, Beall.FontSize);
        // Rows as high as the font the window now has.
        DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
        DBGrid1->setFocus();
    }
    QDialog::showEvent(event);
}

void Tfrm_Felhasznalo::done(int result) {
    Guarded(this, [this] { StoreWindowPlacement(this, kSection); });
    QDialog::done(result);
}

bool Tfrm_Felhasznalo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::Resize) layoutColumns();
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain =
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            aSzerkesztExecute();
            return true;
        }
    }
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        aSzerkesztExecute();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowUsers() {
    Tfrm_Felhasznalo window;
    window.exec();
    window.Tbl->close();
}

}  // namespace zomi
