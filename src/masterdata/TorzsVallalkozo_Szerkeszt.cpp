#include "masterdata/TorzsVallalkozo_Szerkeszt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "masterdata/DbControls.h"
#include "masterdata/Kepek.h"

namespace zomi {

Tfrm_TorzsVallalkozo_Szerkeszt::Tfrm_TorzsVallalkozo_Szerkeszt(int key, QWidget* parent)
    : TSzerkesztAblak(QStringLiteral("frm_TorzsVallalkozo_Szerkeszt"),
                      QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent) {
    setWindowTitle(QStringLiteral("Vállalkozó szerkesztés"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(9);
    int row = 0;
    const auto addEdit = [&](const QString& name, const QString& field, const QString& label) {
        auto* edit = new TDbEdit(field, this);
        edit->setObjectName(name);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
        return edit;
    };
    DBEdit2 = addEdit(QStringLiteral("DBEdit2"), QStringLiteral("vallalkozo_nev"),
                      QStringLiteral("Vállalkozó"));
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(15);
    DBEdit2->setFont(large);
    DBEdit3 =
        addEdit(QStringLiteral("DBEdit3"), QStringLiteral("munkakor"), QStringLiteral("Munkakör"));
    DBCheckBox1 = new TDbCheckBox(QStringLiteral("afas"), QStringLiteral("Áfás"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    grid->addWidget(DBCheckBox1, row++, 1);
    DBEdit4 =
        addEdit(QStringLiteral("DBEdit4"), QStringLiteral("oradij"), QStringLiteral("Óradíj"));
    DBEdit5 =
        addEdit(QStringLiteral("DBEdit5"), QStringLiteral("kiszdij"), QStringLiteral("Kiszállás"));
    DBEdit1 =
        addEdit(QStringLiteral("DBEdit1"), QStringLiteral("telefon"), QStringLiteral("Telefon"));
    DBEdit6 = addEdit(QStringLiteral("DBEdit6"), QStringLiteral("emil"), QStringLiteral("E-mail"));
    DBEdit7 = addEdit(QStringLiteral("DBEdit7"), QStringLiteral("cim"), QStringLiteral("Cím"));
    for (TDbEdit* amount : {DBEdit4, DBEdit5}) amount->setMaximumWidth(140);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(DiszKep::Vallalkozo, 96));
    Image1->setFixedSize(96, 96);
    grid->addWidget(Image1, 0, 2, 4, 1, Qt::AlignTop | Qt::AlignHCenter);

    createButtons();
    grid->setRowStretch(row, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);
    grid->addLayout(buttons, row + 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBCheckBox1);
    setTabOrder(DBCheckBox1, DBEdit4);
    setTabOrder(DBEdit4, DBEdit5);
    setTabOrder(DBEdit5, DBEdit1);
    setTabOrder(DBEdit1, DBEdit6);
    setTabOrder(DBEdit6, DBEdit7);
    setTabOrder(DBEdit7, btnOK);
    setTabOrder(btnOK, btnMegsem);
    finishControls(QSize(539, 338));

    Tbl = new dbaccess::Table(MainConnection(), this);
    Tbl->setObjectName(QStringLiteral("Tbl"));
    Tbl->setTableName(QStringLiteral("vallalkozo"));
    Tbl->setOrderBy(QStringLiteral("vallalkozo"));
    Tbl->open();
    setDataset(Tbl);
    if (key == -1) {
        Tbl->append();
        // New contractors charge VAT until the user says otherwise.
        Tbl->setValue(QStringLiteral("afas"), QStringLiteral("I"));
    } else {
        EditRowOfKey(*Tbl, QStringLiteral("vallalkozo"), key);
    }
    LoadControls(this, *Tbl);
    DBEdit2->setFocus();
}

Tfrm_TorzsVallalkozo_Szerkeszt::~Tfrm_TorzsVallalkozo_Szerkeszt() = default;

int Tfrm_TorzsVallalkozo_Szerkeszt::finish() { return finishWithKey(QStringLiteral("vallalkozo")); }

int VallalkozoSzerkeszt(int key, QWidget* parent) {
    Tfrm_TorzsVallalkozo_Szerkeszt window(key, parent);
    window.exec();
    return window.finish();
}

}  // namespace zomi
