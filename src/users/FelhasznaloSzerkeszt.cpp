#include "users/FelhasznaloSzerkeszt.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/DbControls.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"

namespace zomi {

QString InitialPassword() { return QStringLiteral("pitolva"); }

Tfrm_FelhasznaloSzerkeszt::Tfrm_FelhasznaloSzerkeszt(dbaccess::Table* table, QWidget* parent)
    : EditWindow(QStringLiteral("frm_FelhasznaloSzerkeszt"), QStringLiteral("Hiányos adat megadás"),
                 parent) {
    setWindowTitle(QStringLiteral("Felhasználó adatainak szerkesztése"));
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(15);
    large.setBold(true);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel(QStringLiteral("Felhasználó (belépő kód)"), this), 0, 0, 1, 2);
    DBEdit1 = new DbEdit(QStringLiteral("felhasznalo"), this);
    setFieldLabel(DBEdit1->fieldName(), QStringLiteral("Felhasználó (belépő kód)"));
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setFont(large);
    grid->addWidget(DBEdit1, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Felhasználó teljes neve"), this), 2, 0, 1, 2);
    DBEdit2 = new DbEdit(QStringLiteral("felhasznalo_nev"), this);
    setFieldLabel(DBEdit2->fieldName(), QStringLiteral("Felhasználó teljes neve"));
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    grid->addWidget(DBEdit2, 3, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Induló jelszó"), this), 4, 0);
    lblJelszo = new QLabel(InitialPassword(), this);
    lblJelszo->setObjectName(QStringLiteral("lblJelszo"));
    lblJelszo->setFont(large);
    grid->addWidget(lblJelszo, 5, 0);
    btnVisszaallit = new QPushButton(QStringLiteral("Visszaállítás"), this);
    btnVisszaallit->setObjectName(QStringLiteral("btnVisszaallit"));
    btnVisszaallit->setAutoDefault(false);
    grid->addWidget(btnVisszaallit, 5, 1, Qt::AlignLeft);
    grid->setRowMinimumHeight(6, 8);
    const auto addRight = [&](const QString& name, const QString& field, const QString& caption,
                              int row) {
        auto* box = new DbCheckBox(field, caption, this);
        box->setObjectName(name);
        // Caption on the left of the box.
        box->setLayoutDirection(Qt::RightToLeft);
        grid->addWidget(box, row, 0, 1, 2, Qt::AlignLeft);
        return box;
    };
    DBCheckBox1 = addRight(QStringLiteral("DBCheckBox1"), QStringLiteral("rendszergazda"),
                           QStringLiteral("Rendszergazda"), 7);
    DBCheckBox2 = addRight(QStringLiteral("DBCheckBox2"), QStringLiteral("torzsszerkeszt"),
                           QStringLiteral("Törzsadat szerkesztés"), 8);
    DBCheckBox3 = addRight(QStringLiteral("DBCheckBox3"), QStringLiteral("nyomtathat"),
                           QStringLiteral("Nyomtathat"), 9);
    grid->setRowStretch(10, 1);
    grid->setColumnStretch(0, 1);

    createButtons();
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(Decor::User, 96));
    Image1->setFixedSize(96, 96);
    auto* right = new QVBoxLayout;
    right->addWidget(btnOK);
    right->addWidget(btnMegsem);
    right->addStretch(1);
    right->addWidget(Image1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(18);
    layout->addLayout(grid, 1);
    layout->addLayout(right);

    connect(btnVisszaallit, &QPushButton::clicked, this,
            &Tfrm_FelhasznaloSzerkeszt::btnVisszaallitClick);
    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, btnVisszaallit);
    setTabOrder(btnVisszaallit, DBCheckBox1);
    setTabOrder(DBCheckBox1, DBCheckBox2);
    setTabOrder(DBCheckBox2, DBCheckBox3);
    setTabOrder(DBCheckBox3, btnOK);
    setTabOrder(btnOK, btnMegsem);
    finishControls(QSize(470, 300));

    setDataset(table);
    LoadControls(this, *table);
    DBEdit1->setFocus();
}

Tfrm_FelhasznaloSzerkeszt::~Tfrm_FelhasznaloSzerkeszt() = default;

void Tfrm_FelhasznaloSzerkeszt::btnVisszaallitClick() {
    Guarded(this, [this] {
        dataset()->setValue(QStringLiteral("jelszomd5"), PasswordDigest(InitialPassword()));
    });
}

}  // namespace zomi
