#include "app/Beallit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "common/Rights.h"
#include "db/DbRoutines.h"
#include "db/RightsSetting.h"
#include "dbaccess/Dataset.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/RightsGuard.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Beallit");
const QString kYes = QStringLiteral("I");
const QString kNo = QStringLiteral("N");
const QSize kDesignSize(527, 182);

}  // namespace

Tfrm_Beallit::Tfrm_Beallit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_Beallit"));
    setWindowTitle(QStringLiteral("Beállítások"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 9));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(64, 65);
    Image1->setPixmap(SettingsPicture(64, 65));

    DBCheckBox1 = new QCheckBox(QStringLiteral("Belépésnél jelszót kér"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    chkJogosultsag = new QCheckBox(QStringLiteral("Jogosultságok érvényesítése"), this);
    chkJogosultsag->setObjectName(QStringLiteral("chkJogosultsag"));
    chkJogosultsag->setToolTip(QStringLiteral(
        "A felhasználók kezelése, az adatbázisok, a mentések, az SQL és a beállítások a "
        "rendszergazdáé, a törzsadatok módosítása és a nyomtatás a saját jogosultságához kötött"));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2}) button->setMinimumWidth(80);

    auto* top = new QHBoxLayout;
    top->setSpacing(24);
    top->addWidget(Image1, 0, Qt::AlignTop);
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(DBCheckBox1);
    boxes->addWidget(chkJogosultsag);
    top->addLayout(boxes);
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 16, 14);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Tbl = new dbaccess::Table(MainConnection(), this);
    Tbl->setObjectName(QStringLiteral("Tbl"));
    Tbl->setTableName(QStringLiteral("beallit"));
    Tbl->open();
    if (Tbl->isEmpty()) {
        Tbl->append();
        // The table holds its one row under the key 1; a row without it
        // would not be found again by the post that follows an edit.
        Tbl->setValue(QStringLiteral("beallit"), 1);
    } else {
        Tbl->first();
        Tbl->edit();
    }
    DBCheckBox1->setChecked(Tbl->value(QStringLiteral("vanbelep")).toString() == kYes);
    // Like a data-bound box: only a change by the user reaches the row, so an
    // untouched NULL stays NULL.
    connect(DBCheckBox1, &QCheckBox::toggled, this, [this](bool checked) {
        Guarded(this, [&] { Tbl->setValue(QStringLiteral("vanbelep"), checked ? kYes : kNo); });
    });

    rightsEnforced_ = ReadRightsEnforced();
    chkJogosultsag->setChecked(rightsEnforced_);
    // Only an administrator decides what the rights guard.
    const bool administrator = Beall.Rendszergazda;
    chkJogosultsag->setEnabled(administrator);
    if (!administrator)
        chkJogosultsag->setToolTip(RightHint(chkJogosultsag->toolTip(), Right::Administrator));

    EnableEnterMovesFocus(this);
}

Tfrm_Beallit::~Tfrm_Beallit() = default;

void Tfrm_Beallit::done(int r) {
    if (r == Accepted) {
        // A refused post abandons the edit, as leaving the dialog any other
        // way does; the user has seen why.
        if (!Guarded(this, [&] { Tbl->post(); })) {
            Tbl->cancel();
        } else if (chkJogosultsag->isChecked() != rightsEnforced_ && Beall.Rendszergazda) {
            Guarded(this, [&] { StoreRightsEnforced(chkJogosultsag->isChecked()); });
        }
    } else {
        Tbl->cancel();
    }
    if (isVisible()) StoreWindowPos(this, kSection);
    Tbl->close();
    QDialog::done(r);
}

void Tfrm_Beallit::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, kSection);
    }
    QDialog::showEvent(event);
}

void ShowSettingsDialog(QWidget* owner) {
    // Whoever may change the settings may switch the login off.
    if (!CheckRight(Right::Administrator, owner)) return;
    Guarded(owner, [&] {
        Tfrm_Beallit frm(owner);
        frm.exec();
    });
}

}  // namespace zomi
