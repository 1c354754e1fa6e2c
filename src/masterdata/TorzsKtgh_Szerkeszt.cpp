#include "masterdata/TorzsKtgh_Szerkeszt.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "masterdata/DbControls.h"
#include "masterdata/Kepek.h"

namespace zomi {

Tfrm_TorzsKtgh_Szerkeszt::Tfrm_TorzsKtgh_Szerkeszt(int key, QWidget* parent)
    : TSzerkesztAblak(QStringLiteral("frm_TorzsKtgh_Szerkeszt"),
                      QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent) {
    setWindowTitle(QStringLiteral("Költséghely szerkesztés"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(12);
    int row = 0;
    const auto addEdit = [&](const QString& name, const QString& field, const QString& label) {
        auto* edit = new TDbEdit(field, this);
        edit->setObjectName(name);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 1);
        grid->addWidget(edit, row, 2);
        ++row;
        return edit;
    };
    DBEdit2 = addEdit(QStringLiteral("DBEdit2"), QStringLiteral("cim"), QStringLiteral("Cím"));
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(15);
    DBEdit2->setFont(large);
    DBEdit3 = addEdit(QStringLiteral("DBEdit3"), QStringLiteral("kepviselo"),
                      QStringLiteral("Képviselő"));
    DBEdit7 = addEdit(QStringLiteral("DBEdit7"), QStringLiteral("kepviselo_cim"),
                      QStringLiteral("Képviselő cím"));
    DBEdit1 =
        addEdit(QStringLiteral("DBEdit1"), QStringLiteral("telefon"), QStringLiteral("Telefon"));
    DBEdit6 = addEdit(QStringLiteral("DBEdit6"), QStringLiteral("emil"), QStringLiteral("E-mail"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(DiszKep::Ktgh, 96));
    Image1->setFixedSize(96, 96);
    grid->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);

    createButtons();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    grid->setRowStretch(row, 1);
    grid->addLayout(buttons, row + 1, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBEdit7);
    setTabOrder(DBEdit7, DBEdit1);
    setTabOrder(DBEdit1, DBEdit6);
    setTabOrder(DBEdit6, btnOK);
    setTabOrder(btnOK, btnMegsem);
    finishControls(QSize(652, 289));

    Tbl = new dbaccess::Table(MainConnection(), this);
    Tbl->setObjectName(QStringLiteral("Tbl"));
    Tbl->setTableName(QStringLiteral("ktgh"));
    Tbl->setOrderBy(QStringLiteral("ktgh"));
    Tbl->open();
    setDataset(Tbl);
    // A new site starts with every column empty.
    if (key == -1) {
        Tbl->append();
    } else {
        EditRowOfKey(*Tbl, QStringLiteral("ktgh"), key);
    }
    LoadControls(this, *Tbl);
    DBEdit2->setFocus();
}

Tfrm_TorzsKtgh_Szerkeszt::~Tfrm_TorzsKtgh_Szerkeszt() = default;

int Tfrm_TorzsKtgh_Szerkeszt::finish() { return finishWithKey(QStringLiteral("ktgh")); }

int KtghSzerkeszt(int key, QWidget* parent) {
    Tfrm_TorzsKtgh_Szerkeszt window(key, parent);
    window.exec();
    return window.finish();
}

}  // namespace zomi
