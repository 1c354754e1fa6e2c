#include "masterdata/TorzsVallalkozo.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "masterdata/TorzsVallalkozo_Szerkeszt.h"
#include "ui/ListSearch.h"
#include "ui/Pictures.h"
#include "ui/YesNoDelegate.h"

namespace zomi {

namespace {

MasterDataList::Design design() {
    MasterDataList::Design d;
    d.name = QStringLiteral("frm_TorzsVallalkozo");
    d.caption = QStringLiteral("Vállalkozók");
    d.table = QStringLiteral("vallalkozo");
    d.sortField = QStringLiteral("vallalkozo_nev");
    d.searchFields = QStringLiteral("vallalkozo_nev;munkakor;telefon");
    d.baseFilter = QStringLiteral("(vallalkozo <> -1)");
    d.columns = QStringList{QStringLiteral("vallalkozo_nev"), QStringLiteral("telefon"),
                            QStringLiteral("munkakor"),       QStringLiteral("oradij"),
                            QStringLiteral("kiszdij"),        QStringLiteral("afas")};
    d.size = QSize(659, 522);
    return d;
}

}  // namespace

Tfrm_TorzsVallalkozo::Tfrm_TorzsVallalkozo(int key, bool choosing, QWidget* parent)
    : MasterDataList(design(), choosing, parent) {
    aMasol =
        createAction(QStringLiteral("aMasol"), QStringLiteral("Másol"), QStringLiteral("Másol"),
                     {QKeySequence(Qt::CTRL | Qt::Key_C)}, ToolBarIcon(ToolPicture::Copy));
    connect(aMasol, &QAction::triggered, this, &Tfrm_TorzsVallalkozo::aMasolExecute);
    setPopupMenu({aUj, aSzerkeszt, aTorol, nullptr, aMasol, nullptr, aElfogad, aBezar});
    DBGrid1->setItemDelegateForColumn(
        5, new YesNoDelegate(CheckMarkPicture(), EmptyPicture(), -1, 1, DBGrid1));
    openList(key);
}

void Tfrm_TorzsVallalkozo::afterFirstOpen() {
    SetAmountFormats(*Qry, false);
    Qry->fieldByName(QStringLiteral("vallalkozo_nev")).label = QStringLiteral("Vállalkozó");
    Qry->fieldByName(QStringLiteral("munkakor")).label = QStringLiteral("Munkakör");
    Qry->fieldByName(QStringLiteral("oradij")).label = QStringLiteral("Óradíj");
    Qry->fieldByName(QStringLiteral("kiszdij")).label = QStringLiteral("Kiszállás");
    Qry->fieldByName(QStringLiteral("afas")).label = QStringLiteral("Áfás");
    Qry->fieldByName(QStringLiteral("telefon")).label = QStringLiteral("Telefon");
    Qry->fieldByName(QStringLiteral("emil")).label = QStringLiteral("E-mail");
    Qry->fieldByName(QStringLiteral("cim")).label = QStringLiteral("Cím");
    emit QryModel->headerDataChanged(Qt::Horizontal, 0, QryModel->columnCount() - 1);
}

int Tfrm_TorzsVallalkozo::editRow(int key) { return VallalkozoSzerkeszt(key, this); }

void Tfrm_TorzsVallalkozo::layoutColumns() {
    if (QryModel->columnCount() < 6) return;
    const double w = DBGrid1->width() - 108;
    DBGrid1->setColumnWidth(0, RoundHalfEven(w * 0.4));
    for (int column = 1; column <= 4; ++column)
        DBGrid1->setColumnWidth(column, RoundHalfEven(w * 0.15));
    DBGrid1->setColumnWidth(5, 64);
}

void Tfrm_TorzsVallalkozo::aMasolExecute() { copySortValue(); }

int VallalkozoLista(int key, bool choosing) {
    Tfrm_TorzsVallalkozo window(key, choosing);
    window.exec();
    const int result = window.choosing() ? window.chosenKey() : -1;
    window.Qry->close();
    return result;
}

}  // namespace zomi
