#include "masterdata/MasterDataList.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/WorkOrderUse.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"

namespace zomi {

MasterDataList::MasterDataList(const Design& design, bool choosing, QWidget* parent)
    : ListWindow(design.name, design.caption, design.size, parent),
      design_(design),
      choosing_(choosing) {
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(220);
    panelLayout()->setContentsMargins(6, 4, 2, 4);
    panelLayout()->insertWidget(0, Edit1);
    Label1->setText(design.caption + QStringLiteral("  "));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Qry = new dbaccess::Query(MainConnection(), this);
    Qry->setObjectName(QStringLiteral("Qry"));
    Qry->setKeyField(design.table);
    Qry->setSql(QStringList{QStringLiteral("SELECT * FROM ") + design.table,
                            QStringLiteral("WHERE ") + design.baseFilter,
                            QStringLiteral("ORDER BY ") + design.sortField + QLatin1Char(';')});
    QryModel = new dbaccess::DatasetModel(Qry, this);
    QryModel->setColumns(design.columns);
    DBGrid1->setModel(QryModel);
    // A reopened list gets new header sections, which forget their widths.
    connect(QryModel, &QAbstractItemModel::modelReset, this, [this] { layoutColumns(); });

    search_ = new ListSearch(Edit1, DBGrid1, Qry, QryModel, this);
    search_->setSearchFields(design.searchFields);
    search_->setBaseFilter(design.baseFilter);
    search_->setSortField(design.sortField);
    search_->setSortsOnTitleClick(design.sortsOnTitleClick);
    search_->setCounter([this](const QString& text) { StatusPanel1->setText(text); });

    aUj->setText(QStringLiteral("Új sor"));
    aUj->setToolTip(aUj->text());
    aUj->setStatusTip(aUj->text());
    aTorol->setToolTip(QStringLiteral("Sor törlése"));
    aTorol->setStatusTip(aTorol->toolTip());
    aElfogad = createAction(QStringLiteral("aElfogad"), QStringLiteral("Elfogad"),
                            QStringLiteral("Elfogad"),
                            {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)},
                            ToolBarIcon(ToolPicture::Accept));
    aElfogad->setEnabled(choosing);
    aElfogad->setVisible(choosing);
    connect(aElfogad, &QAction::triggered, this, &MasterDataList::aElfogadExecute);
    setToolBarActions({aUj, aSzerkeszt, aTorol, nullptr, aElfogad, aBezar});
    for (QAction* change : {aUj, aSzerkeszt, aTorol}) ApplyRight(change, Right::MasterData);

    Edit1->installEventFilter(this);
}

void MasterDataList::openList(int key) {
    Qry->open();
    afterFirstOpen();
    if (key != -1) selectKey(key);
}

int MasterDataList::currentKey() const { return NullToInt(Qry->value(keyField()), -1); }

bool MasterDataList::hasCurrentRow() const { return Qry->isOpen() && Qry->currentRow() >= 0; }

void MasterDataList::selectKey(int key) { search_->selectValue(keyField(), key); }

void MasterDataList::refreshAndSelect(int key) {
    Qry->refresh();
    selectKey(key);
}

void MasterDataList::aUjExecute() {
    if (!CheckRight(Right::MasterData, this)) return;
    Guarded(this, [this] {
        const int key = editRow(-1);
        if (key != -1) refreshAndSelect(key);
    });
}

void MasterDataList::aSzerkesztExecute() {
    if (!CheckRight(Right::MasterData, this)) return;
    if (!hasCurrentRow()) {
        ErrorBox(QStringLiteral("Nincs sor kiválasztva."), this);
        return;
    }
    Guarded(this, [this] {
        const int key = editRow(currentKey());
        if (key != -1) refreshAndSelect(key);
    });
}

void MasterDataList::aTorolExecute() {
    if (!CheckRight(Right::MasterData, this)) return;
    if (!hasCurrentRow()) {
        confirmDelete(false);
        return;
    }
    Guarded(this, [this] {
        const QString key = IdText(Qry->value(keyField()));
        // A row that work orders use asks with their number, and No is the
        // default: Enter must not leave them naming nobody.
        const int used = WorkOrdersUsing(design_.table, key.toInt());
        const bool confirmed = used == 0 ? confirmDelete(true)
                                         : ConfirmBox(DeleteQuestion(design_.table, used),
                                                      QStringLiteral("Megerősítés"), this,
                                                      QMessageBox::Question, QMessageBox::No);
        if (!confirmed) return;
        ExecSql(QStringLiteral("DELETE FROM ") + design_.table + QStringLiteral(" WHERE ") +
                keyField() + QStringLiteral(" = ") + key + QLatin1Char(';'));
        Qry->refresh();
    });
}

void MasterDataList::aElfogadExecute() {
    if (!hasCurrentRow()) {
        ErrorBox(QStringLiteral("Nincs kiválasztott sor."), this);
        return;
    }
    Guarded(this, [this] {
        chosenKey_ = NullToInt(Qry->value(keyField()), 0);
        accept();
    });
}

void MasterDataList::copySortValue() {
    if (DBGrid1->hasFocus()) {
        QApplication::clipboard()->setText(NullToText(Qry->value(search_->sortField()), QString()));
    } else if (Edit1->hasFocus() && Edit1->hasSelectedText()) {
        QApplication::clipboard()->setText(Edit1->selectedText());
    }
}

void MasterDataList::DBGrid1DblClick() {
    if (choosing_) {
        aElfogadExecute();
    } else {
        aSzerkesztExecute();
    }
}

QWidget* MasterDataList::firstFocus() const {
    return design_.searchFocusOnShow ? static_cast<QWidget*>(Edit1) : DBGrid1;
}

void MasterDataList::done(int result) {
    if (result != Accepted) chosenKey_ = -1;
    ListWindow::done(result);
}

}  // namespace zomi
