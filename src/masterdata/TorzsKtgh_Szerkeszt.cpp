#include "masterdata/TorzsKtgh_Szerkeszt.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/DbControls.h"
#include "ui/Pictures.h"

namespace zomi {

Tfrm_TorzsKtgh_Szerkeszt::Tfrm_TorzsKtgh_Szerkeszt(int key, QWidget* parent)
    : EditWindow(QStringLiteral("frm_TorzsKtgh_Szerkeszt"),
                 QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent) {
    setWindowTitle(QStringLiteral("Költséghely szerkesztés"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(12);
    int row = 0;
    const auto edit = [&](const QString& name, const QString& field, const QString& caption) {
        return addEdit(grid, row++, 1, name, field, caption);
    };
    DBEdit2 = edit(QStringLiteral("DBEdit2"), QStringLiteral("cim"), QStringLiteral("Cím"));
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(15);
    DBEdit2->setFont(large);
    DBEdit3 =
        edit(QStringLiteral("DBEdit3"), QStringLiteral("kepviselo"), QStringLiteral("Képviselő"));
    DBEdit7 = edit(QStringLiteral("DBEdit7"), QStringLiteral("kepviselo_cim"),
                   QStringLiteral("Képviselő cím"));
    DBEdit1 = edit(QStringLiteral("DBEdit1"), QStringLiteral("telefon"), QStringLiteral("Telefon"));
    DBEdit6 = edit(QStringLiteral("DBEdit6"), QStringLiteral("emil"), QStringLiteral("E-mail"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DecorPicture(Decor::Site, 96));
    Image1->setFixedSize(96, 96);
    grid->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);

    createButtons();
    grid->setRowStretch(row, 1);
    grid->addLayout(buttonRow(), row + 1, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBEdit7);
    setTabOrder(DBEdit7, DBEdit1);
    setTabOrder(DBEdit1, DBEdit6);
    setTabOrder(DBEdit6, btnOK);
    setTabOrder(btnOK, btnMegsem);
    finishControls(QSize(652, 289));

    // A new site starts with every column empty.
    Tbl = openRow(QStringLiteral("ktgh"), key);
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
