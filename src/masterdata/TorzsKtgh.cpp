#include "masterdata/TorzsKtgh.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTableView>

#include "common/Text.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/TorzsKtgh_Szerkeszt.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"

namespace zomi {

namespace {

MasterDataList::Design design() {
    MasterDataList::Design d;
    d.name = QStringLiteral("frm_TorzsKtgh");
    d.caption = QStringLiteral("Költséghelyek");
    d.table = QStringLiteral("ktgh");
    d.sortField = QStringLiteral("cim");
    // The representative's address is searched although it is not a column.
    d.searchFields = QStringLiteral("cim;kepviselo;kepviselo_cim;telefon;emil");
    d.baseFilter = QStringLiteral("(ktgh <> -1)");
    d.columns = QStringList{QStringLiteral("cim"), QStringLiteral("kepviselo"),
                            QStringLiteral("telefon"), QStringLiteral("emil")};
    d.size = QSize(659, 522);
    return d;
}

}  // namespace

Tfrm_TorzsKtgh::Tfrm_TorzsKtgh(int key, bool choosing, QWidget* parent)
    : MasterDataList(design(), choosing, parent) {
    aMasol =
        createAction(QStringLiteral("aMasol"), QStringLiteral("Másol"), QStringLiteral("Másol"),
                     {QKeySequence(Qt::CTRL | Qt::Key_C)}, ToolBarIcon(ToolPicture::Copy));
    connect(aMasol, &QAction::triggered, this, &Tfrm_TorzsKtgh::aMasolExecute);
    setPopupMenu({aUj, aSzerkeszt, aTorol, nullptr, aMasol, nullptr, aElfogad, aBezar});
    openList(key);
}

void Tfrm_TorzsKtgh::afterFirstOpen() {
    Qry->fieldByName(QStringLiteral("cim")).label = QStringLiteral("Költséghely");
    Qry->fieldByName(QStringLiteral("kepviselo")).label = QStringLiteral("Képviselő");
    Qry->fieldByName(QStringLiteral("kepviselo_cim")).label = QStringLiteral("Képviselő címe");
    Qry->fieldByName(QStringLiteral("telefon")).label = QStringLiteral("Telefon");
    Qry->fieldByName(QStringLiteral("emil")).label = QStringLiteral("E-mail");
    emit QryModel->headerDataChanged(Qt::Horizontal, 0, QryModel->columnCount() - 1);
}

int Tfrm_TorzsKtgh::editRow(int key) { return KtghSzerkeszt(key, this); }

void Tfrm_TorzsKtgh::layoutColumns() {
    if (QryModel->columnCount() < 4) return;
    const double w = DBGrid1->width() - 44;
    DBGrid1->setColumnWidth(0, RoundHalfEven(w * 0.4));
    for (int column = 1; column <= 3; ++column)
        DBGrid1->setColumnWidth(column, RoundHalfEven(w * 0.2));
}

void Tfrm_TorzsKtgh::aMasolExecute() { copySortValue(); }

int KtghLista(int key, bool choosing) {
    Tfrm_TorzsKtgh window(key, choosing);
    window.exec();
    const int result = window.choosing() ? window.chosenKey() : -1;
    window.Qry->close();
    return result;
}

}  // namespace zomi
