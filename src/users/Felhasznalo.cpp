#include "users/Felhasznalo.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <algorithm>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/GridLink.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"
#include "ui/YesNoDelegate.h"
#include "users/FelhasznaloSzerkeszt.h"

namespace zomi {

namespace {

constexpr int kPictureColumnWidth = 90;

}  // namespace

Tfrm_Felhasznalo::Tfrm_Felhasznalo(QWidget* parent)
    : ListWindow(QStringLiteral("frm_Felhasznalo"), QStringLiteral("Felhasználók adatai"),
                 QSize(600, 420), parent) {
    Label1->setText(QStringLiteral("Felhasználók"));
    QFont heading = Label1->font();
    heading.setPointSize(heading.pointSize() + 2);
    Label1->setFont(heading);
    panelLayout()->setContentsMargins(8, 6, 8, 6);

    Tbl = new dbaccess::Table(MainConnection(), this);
    Tbl->setObjectName(QStringLiteral("Tbl"));
    Tbl->setTableName(QStringLiteral("felhasznalo"));
    Tbl->setOrderBy(QStringLiteral("felhasznalo"));
    TblModel = new dbaccess::DatasetModel(Tbl, this);
    TblModel->setColumns({QStringLiteral("felhasznalo"), QStringLiteral("felhasznalo_nev"),
                          QStringLiteral("rendszergazda"), QStringLiteral("torzsszerkeszt")});
    DBGrid1->setModel(TblModel);
    for (int column : {2, 3})
        DBGrid1->setItemDelegateForColumn(
            column, new YesNoDelegate(GreenTickPicture(), RedCrossPicture(), 32, 0, DBGrid1));
    connect(TblModel, &QAbstractItemModel::modelReset, this, [this] { layoutColumns(); });
    auto* link = new GridLink(DBGrid1, Tbl, TblModel, this);
    link->setCounter([this](const QString& text) { StatusPanel1->setText(text); });

    setToolBarActions({aUj, aSzerkeszt, aTorol, nullptr, aBezar});
    setPopupMenu({aUj, aSzerkeszt, aTorol, nullptr, aBezar});

    Tbl->open();
    Tbl->fieldByName(QStringLiteral("felhasznalo")).label = QStringLiteral("Kód");
    Tbl->fieldByName(QStringLiteral("felhasznalo_nev")).label = QStringLiteral("Felhasználó");
    Tbl->fieldByName(QStringLiteral("rendszergazda")).label = QStringLiteral("Rendszergazda");
    Tbl->fieldByName(QStringLiteral("torzsszerkeszt")).label = QStringLiteral("Törzs.szerk.");
    emit TblModel->headerDataChanged(Qt::Horizontal, 0, TblModel->columnCount() - 1);
    layoutColumns();
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
        // The digest of the initial password is computed here; the password is
        // never sent to the server.
        const QString initial = PasswordDigest(InitialPassword());
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
    if (!confirmDelete(Tbl->currentRow() >= 0)) return;
    Guarded(this, [this] { Tbl->remove(); });
}

bool Tfrm_Felhasznalo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain =
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            aSzerkesztExecute();
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

void ShowUsers() {
    // A user who could open this window could give himself every right.
    if (!CheckRight(Right::Administrator, QApplication::activeWindow())) return;
    Tfrm_Felhasznalo window;
    window.exec();
    window.Tbl->close();
}

}  // namespace zomi
