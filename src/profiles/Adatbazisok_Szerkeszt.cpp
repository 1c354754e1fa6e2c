#include "profiles/Adatbazisok_Szerkeszt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUuid>
#include <stdexcept>

#include "db/ProfilePasswords.h"
#include "ui/AsteriskStyle.h"
#include "ui/Boxes.h"
#include "ui/Pictures.h"

namespace zomi {

namespace {

const QString kCaptions[] = {QStringLiteral("Megjelenített név"),   QStringLiteral("Kiszolgáló"),
                             QStringLiteral("Felhasználó"),         QStringLiteral("Jelszó"),
                             QStringLiteral("Adatbázis / tárhely"), QStringLiteral("Port")};

QLabel* captionOf(QLineEdit* box, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(box);
    return label;
}

}  // namespace

Tfrm_Adatbazis_Szerkeszt::Tfrm_Adatbazis_Szerkeszt(const ConnectionProfile& profile,
                                                   QWidget* parent)
    : EditWindow(QStringLiteral("frm_Adatbazis_Szerkeszt"),
                 QStringLiteral("Hibás, vagy hiányos adatmegadás"), parent),
      profile_(profile) {
    setWindowTitle(QStringLiteral("Tárhely"));

    DBEdit1 = addBox("DBEdit1", profile.adatbazisnev);
    DBEdit2 = addBox("DBEdit2", profile.kiszolgalo);
    DBEdit3 = addBox("DBEdit3", profile.felhasznalo);
    DBEdit4 = addBox("DBEdit4", profile.jelszo);
    MakePasswordBox(DBEdit4);
    DBEdit5 = addBox("DBEdit5", profile.adatbazis);
    DBEdit6 = addBox("DBEdit6", profile.port ? QString::number(*profile.port) : QString());
    DBEdit6->setAlignment(Qt::AlignRight);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(ToolBarIcon(ToolPicture::Search));
    SpeedButton1->setToolTip(QStringLiteral("Jelszó megjelenítése"));
    connect(SpeedButton1, &QToolButton::clicked, this,
            &Tfrm_Adatbazis_Szerkeszt::SpeedButton1Click);

    CheckBox1 = new QCheckBox(QStringLiteral("Jelszó a rendszer kulcstartójában"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    if (KeyringAvailable()) {
        // A new profile is offered the keyring; a stored one keeps its choice.
        const bool isNew = ProfileText(profile) == ProfileText(ConnectionProfile{});
        CheckBox1->setChecked(!profile.keyringId.isEmpty() || isNew);
    } else {
        CheckBox1->setEnabled(false);
        CheckBox1->setToolTip(
            QStringLiteral("Nincs elérhető kulcstartó: a jelszót a beállítások fájlja őrzi."));
    }

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(SetUpPicture(48));
    Image1->setFixedSize(48, 48);
    createButtons();

    auto* password = new QHBoxLayout;
    password->setSpacing(2);
    password->addWidget(DBEdit4, 1);
    password->addWidget(SpeedButton1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(3);
    const QList<QLineEdit*> boxes{DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6};
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(captionOf(boxes[i], kCaptions[i], this), 2 * (i / 2), 1 + i % 2);
    grid->addWidget(DBEdit1, 1, 1);
    grid->addWidget(DBEdit2, 1, 2);
    grid->addWidget(Image1, 2, 0, 2, 1, Qt::AlignBottom);
    grid->addWidget(DBEdit3, 3, 1);
    grid->addLayout(password, 3, 2);
    grid->addWidget(DBEdit5, 5, 1);
    grid->addWidget(DBEdit6, 5, 2);
    for (int row : {2, 4}) grid->setRowMinimumHeight(row, 26);
    grid->addWidget(CheckBox1, 6, 1, 1, 2);
    grid->setRowMinimumHeight(7, 10);
    grid->addLayout(buttonRow(), 8, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, DBEdit3);
    setTabOrder(DBEdit3, DBEdit4);
    setTabOrder(DBEdit4, DBEdit5);
    setTabOrder(DBEdit5, DBEdit6);
    setTabOrder(DBEdit6, btnOK);
    setTabOrder(btnOK, btnMegsem);
    setTabOrder(btnMegsem, SpeedButton1);
    setTabOrder(SpeedButton1, CheckBox1);
    finishControls(QSize(430, 225));
    DBEdit1->setFocus();
}

QLineEdit* Tfrm_Adatbazis_Szerkeszt::addBox(const char* name, const QString& text) {
    auto* box = new QLineEdit(text, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(50);
    box->setMinimumWidth(170);
    return box;
}

void Tfrm_Adatbazis_Szerkeszt::SpeedButton1Click() {
    DBEdit4->setEchoMode(DBEdit4->echoMode() == QLineEdit::Password ? QLineEdit::Normal
                                                                    : QLineEdit::Password);
    DBEdit4->setFocus();
}

bool Tfrm_Adatbazis_Szerkeszt::storeRow() {
    const QList<QLineEdit*> boxes{DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6};
    QStringList texts;
    for (QLineEdit* box : boxes) texts << box->text();
    if (const int wrong = FieldWithSeparator(texts); wrong >= 0) {
        boxes[wrong]->setFocus();
        throw std::runtime_error(SeparatorMessage(kCaptions[wrong]).toStdString());
    }
    ConnectionProfile edited = profile_;
    if (!PortFromText(DBEdit6->text(), edited.port)) {
        DBEdit6->setFocus();
        throw std::runtime_error(
            QStringLiteral("A(z) \"Port\" mezőbe 0 és 65535 közötti egész számot kell írni.")
                .toStdString());
    }
    // The start-up chooser lists profiles by their name: one without a name
    // is kept here, for its backups, but never offered at start.
    if (DBEdit1->text().trimmed().isEmpty() &&
        !ConfirmBox(QStringLiteral("A \"Megjelenített név\" üres: az indításkor a program név "
                                   "nélküli kapcsolatot nem kínál fel. Így is tároljam?"),
                    QStringLiteral("Megerősítés"), this)) {
        DBEdit1->setFocus();
        return false;
    }
    edited.adatbazisnev = DBEdit1->text();
    edited.kiszolgalo = DBEdit2->text();
    edited.felhasznalo = DBEdit3->text();
    edited.jelszo = DBEdit4->text();
    edited.adatbazis = DBEdit5->text();
    if (!CheckBox1->isEnabled()) {
        // Without a keyring the choice stays as it was stored.
    } else if (!CheckBox1->isChecked()) {
        edited.keyringId.clear();
    } else if (edited.keyringId.isEmpty()) {
        edited.keyringId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    }
    profile_ = edited;
    return true;
}

}  // namespace zomi
