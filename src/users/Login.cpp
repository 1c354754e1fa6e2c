#include "users/Login.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "common/Text.h"
#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "ui/AsteriskStyle.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QSize kDesignSize(369, 164);
const QString kYes = QStringLiteral("I");
const QString kInvalidLogin = QStringLiteral("Érvénytelen felhasználó, vagy jelszó");

// What the name-and-digest query gives when the name is unknown. Any text
// shorter than a digest does: what it is compared with is the typed name
// followed by 32 digits, so the two can never be equal.
const QString kNoSuchUser = QStringLiteral("-");

}  // namespace

Tfrm_Login::Tfrm_Login(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_Login"));
    setWindowTitle(QStringLiteral("Belépés azonosítás"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 9));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(64, 64);
    Image1->setPixmap(LoginPicture(64));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    MakePasswordBox(Edit2);
    auto* nameLabel = new QLabel(QStringLiteral("Felhasználó"), this);
    nameLabel->setBuddy(Edit1);
    auto* passwordLabel = new QLabel(QStringLiteral("Jelszó"), this);
    passwordLabel->setBuddy(Edit2);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnUjJelszo = new QPushButton(QStringLiteral("Új jelszó"), this);
    btnUjJelszo->setObjectName(QStringLiteral("btnUjJelszo"));
    btnMegsem = new QPushButton(QStringLiteral("Mégsem"), this);
    btnMegsem->setObjectName(QStringLiteral("btnMegsem"));
    for (QPushButton* button : {btnOK, btnUjJelszo, btnMegsem}) button->setMinimumWidth(80);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(10);
    fields->addWidget(nameLabel, 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(passwordLabel, 1, 0);
    fields->addWidget(Edit2, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnUjJelszo);
    buttons->addWidget(btnMegsem);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 18, 16, 14);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, btnOK);
    setTabOrder(btnOK, btnUjJelszo);
    setTabOrder(btnUjJelszo, btnMegsem);
    Edit1->setFocus();

    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Login::btnOKClick);
    connect(btnUjJelszo, &QPushButton::clicked, this, &Tfrm_Login::btnUjJelszoClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    EnableFocusColor(this);
    EnableEnterMovesFocus(this);
}

void Tfrm_Login::btnOKClick() {
    Guarded(this, [&] {
        loginOK_ = CheckCredentials(*this);
        if (loginOK_) accept();
    });
}

void Tfrm_Login::btnUjJelszoClick() {
    Guarded(this, [&] {
        if (!CheckCredentials(*this)) return;
        QString password;
        if (!InputBox(QStringLiteral("Jelszó megadása"), QStringLiteral("Add meg az új jelszót"),
                      QString(), password))
            return;
        QString confirmation;
        if (!InputBox(QStringLiteral("Megerősítés"), QStringLiteral("Add újra az új jelszót"),
                      QString(), confirmation))
            return;
        if (password != confirmation) {
            ErrorBox(QStringLiteral("A megadott jelszavak nem egyezőek"), this);
            return;
        }
        // Only the digest travels; the server never sees the password itself.
        ExecSql(QStringLiteral("UPDATE felhasznalo SET jelszomd5 = ") +
                SqlQuote(PasswordDigest(password)) + QStringLiteral(" WHERE felhasznalo = ") +
                SqlQuote(Edit1->text()) + QStringLiteral(";"));
        InfoBox(QStringLiteral("Jelszó változtatás kész."), this);
    });
}

void Tfrm_Login::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, QString());
    }
    QDialog::showEvent(event);
}

bool CheckCredentials(const QString& login, const QString& password, QWidget* owner) {
    const QString stored =
        QueryText(QStringLiteral("SELECT CONCAT(felhasznalo,jelszomd5) FROM felhasznalo WHERE "
                                 "(felhasznalo=") +
                      SqlQuote(login) + QStringLiteral(");"),
                  kNoSuchUser);
    // The server found the row regardless of letter case; the name must
    // still be typed as it is stored.
    // The digest is computed here: a server the profile was pointed at never
    // sees the password typed.
    if (stored != login + PasswordDigest(password)) {
        ErrorBox(kInvalidLogin, owner);
        return false;
    }
    dbaccess::Query user(MainConnection());
    user.setSql(QStringLiteral("SELECT * FROM felhasznalo WHERE felhasznalo = ") + SqlQuote(login) +
                QStringLiteral(";"));
    user.open();
    Beall.TorzsSzerkeszt = user.value(QStringLiteral("torzsszerkeszt")).toString() == kYes;
    Beall.Rendszergazda = user.value(QStringLiteral("rendszergazda")).toString() == kYes;
    Beall.Felhasznalo = NullToText(user.value(QStringLiteral("felhasznalo_nev")), QString());
    Beall.Nyomtathat = user.value(QStringLiteral("nyomtathat")).toString() == kYes;
    user.close();
    return true;
}

bool CheckCredentials(Tfrm_Login& window) {
    return CheckCredentials(window.Edit1->text(), window.Edit2->text(), &window);
}

bool RunLogin() {
    Tfrm_Login frm;
    const bool closedWithOK = frm.exec() == QDialog::Accepted;
    return closedWithOK && frm.LoginOK();
}

}  // namespace zomi
