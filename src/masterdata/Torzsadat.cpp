#include "masterdata/Torzsadat.h"

#include <QAction>
#include <QLineEdit>
#include <QTableView>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/Torzsadat_Szerkeszt.h"
#include "ui/Pictures.h"

namespace zomi {

namespace {

MasterDataList::Design design(const QString& table, const QString& caption) {
    const QString name = table + QStringLiteral("_nev");
    MasterDataList::Design d;
    d.name = QStringLiteral("frm_Torzsadat");
    d.caption = caption;
    d.table = table;
    d.sortField = name;
    d.searchFields = name;
    // Every row is listed: only the contractor and site lists hide a -1 row.
    d.baseFilter = QStringLiteral("(1 = 1)");
    d.columns = QStringList{name};
    d.size = QSize(502, 441);
    // The list stays in name order; a title click only leads to the search box.
    d.sortsOnTitleClick = false;
    d.searchFocusOnShow = false;
    return d;
}

}  // namespace

Tfrm_Torzsadat::Tfrm_Torzsadat(int key, bool choosing, const QString& table, const QString& caption,
                               QWidget* parent)
    : MasterDataList(design(table, caption), choosing, parent) {
    setFont(QFont(QStringLiteral("Segoe UI"), font().pointSize()));
    aKeres = createAction(QStringLiteral("aKeres"), QStringLiteral("Kereső"),
                          QStringLiteral("Ugrás a keresőbe"), {QKeySequence(Qt::CTRL | Qt::Key_F)},
                          ToolBarIcon(ToolPicture::Search));
    connect(aKeres, &QAction::triggered, this, &Tfrm_Torzsadat::aKeresExecute);
    setPopupMenu({aUj, aSzerkeszt, aTorol, nullptr, aKeres, nullptr, aElfogad, aBezar});
    openList(key);
}

void Tfrm_Torzsadat::afterFirstOpen() {
    Qry->fieldByName(nameField()).label = design_.caption;
    emit QryModel->headerDataChanged(Qt::Horizontal, 0, QryModel->columnCount() - 1);
}

int Tfrm_Torzsadat::editRow(int key) {
    return TorzsadatSzerkeszt(key, design_.table, design_.caption, this);
}

void Tfrm_Torzsadat::layoutColumns() {
    if (QryModel->columnCount() < 1) return;
    DBGrid1->setColumnWidth(0, DBGrid1->width() - 44);
}

void Tfrm_Torzsadat::aKeresExecute() { Edit1->setFocus(); }

void Tfrm_Torzsadat::done(int result) {
    if (result == Accepted) {
        const int column = Qry->fieldIndex(nameField());
        chosenName_ = Qry->currentRow() >= 0 && column >= 0
                          ? Qry->displayText(Qry->currentRow(), column)
                          : QString();
    }
    MasterDataList::done(result);
}

int TorzsadatLista(int key, bool choosing, const QString& table, const QString& caption,
                   QString* chosenName) {
    Tfrm_Torzsadat window(key, choosing, table, caption);
    window.exec();
    int result = -1;
    if (window.choosing() && window.result() == QDialog::Accepted) {
        result = window.chosenKey();
        if (chosenName) *chosenName = window.chosenName();
    }
    window.Qry->close();
    return result;
}

}  // namespace zomi
