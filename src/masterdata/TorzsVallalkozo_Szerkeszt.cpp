#include "masterdata/TorzsVallalkozo_Szerkeszt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/DbControls.h"
#include "ui/Pictures.h"

namespace zomi {

Tfrm_TorzsVallalkozo_Szerkeszt::Tfrm_TorzsVallalkozo_Szerkeszt(int key, QWidget* parent)
    : EditWindow(QStringLiteral("frm_TorzsVallalkozo_Szerkeszt"),
                 QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent) {
    setWindowTitle(QStringLiteral("Vállalkozó szerkesztés"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(9);
    int row = 0;
    const auto edit = [&](const QString& name, const QString& field, const QString& caption) {
        return addEdit(grid, row++, 0, name, field, caption);
    };
    DBEdit2 = edit(QStringLiteral("DBEdit2"), QStringLiteral("vallalkozo_nev"),
                   QStringLiteral("Vállalkozó"));
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(15);
    DBEdit2->setFont(large);
    DBEdit3 =
        edit(QStringLiteral("DBEdit3"), QStringLiteral("munkakor"), QStringLiteral("Munkakör"));
    DBCheckBox1 = new DbCheckBox(QStringLiteral("afas"), QStringLiteral("Áfás"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    grid->addWidget(DBCheckBox1, row++, 1);
    DBEdit4 = edit(QStringLiteral("DBEdit4"), QStringLiteral("oradij"), QStringLiteral("Óradíj"));
    DBEdit5 =
        edit(QStringLiteral("DBEdit5"), QStringLiteral("kiszdij"), QStringLiteral("Kiszállás"));
    DBEdit1 = edit(QStringLiteral("DBEdit1"), QStringLiteral("telefon"), QStringLiteral("Telefon"));
    DBEdit6 = edit(QStringLiteral("DBEdit6"), QStringLiteral("emil"), QStringLiteral("E-mail"));
    DBEdit7 = edit(QStringLiteral("DBEdit7"), QStringLiteral("cim"), QStringLiteral("Cím"));
    for (DbEdit* amount : {DBEdit4, DBEdit5}) amount->setMaximumWidth(140);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(Decor::Contractor, 96));
    Image1->setFixedSize(96, 96);
    grid->addWidget(Image1, 0, 2, 4, 1, Qt::AlignTop | Qt::AlignHCenter);

    createButtons();
    grid->setRowStretch(row, 1);
    grid->addLayout(buttonRow(), row + 1, 0, 1, 3);
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

    Tbl = openRow(QStringLiteral("vallalkozo"), key);
    // New contractors charge VAT until the user says otherwise.
    if (key == -1) Tbl->setValue(QStringLiteral("afas"), QStringLiteral("I"));
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
