#include "app/Init.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ConnectionTest.h"
#include "app/Startup.h"
#include "common/Beall.h"
#include "common/IniFile.h"
#include "common/Settings.h"
#include "db/ConnectionProfiles.h"
#include "dbaccess/Connection.h"
#include "ui/AsteriskStyle.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_Init");
// Before the settings are read the font size is still 0.
constexpr int kFallbackFontSize = 9;

QLineEdit* newEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(180);
    return edit;
}

QLabel* newLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QString labelOf(const QWidget* window, const QWidget* field) {
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() == field) return label->text();
    return field->objectName();
}

}  // namespace

Tfrm_Init::Tfrm_Init(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_Init"));
    setWindowTitle(QStringLiteral("Adatbázis beállítás"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), kFallbackFontSize));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(128, 128);
    Image1->setPixmap(SetUpPicture(128));

    Edit2 = newEdit(this, "Edit2");
    Edit3 = newEdit(this, "Edit3");
    Edit6 = newEdit(this, "Edit6");
    MakePasswordBox(Edit6);
    Edit1 = newEdit(this, "Edit1");
    Edit4 = newEdit(this, "Edit4");
    Edit5 = newEdit(this, "Edit5");
    Edit5->setMinimumWidth(0);
    Edit5->setFixedWidth(90);
    Edit5->setText(QStringLiteral("3306"));

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(3);
    fields->addWidget(
        newLabel(this, QStringLiteral("Kiszolgáló (webszerver) név, vagy IP cím"), Edit2), 0, 0, 1,
        2);
    fields->addWidget(Edit2, 1, 0, 1, 2);
    fields->addWidget(newLabel(this, QStringLiteral("Felhasználó"), Edit3), 2, 0);
    fields->addWidget(newLabel(this, QStringLiteral("Jelszó"), Edit6), 2, 1);
    fields->addWidget(Edit3, 3, 0);
    fields->addWidget(Edit6, 3, 1);
    fields->addWidget(newLabel(this, QStringLiteral("Tárhely, vagy adatbázis neve"), Edit1), 4, 0);
    fields->addWidget(newLabel(this, QStringLiteral("Adatbázis megjelenített neve"), Edit4), 4, 1);
    fields->addWidget(Edit1, 5, 0);
    fields->addWidget(Edit4, 5, 1);
    fields->addWidget(newLabel(this, QStringLiteral("Port"), Edit5), 6, 0);
    fields->addWidget(Edit5, 7, 0, Qt::AlignLeft);
    // Room between the field pairs, as the labels belong to the field below.
    for (int row : {2, 4, 6}) fields->setRowMinimumHeight(row, 24);
    fields->setRowStretch(8, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addLayout(fields, 1);

    Button1 = new QPushButton(QStringLiteral("Kapcsolat tesztelése"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Rendben"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setEnabled(false);
    Button3 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    for (QPushButton* button : {Button1, Button2, Button3}) button->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 14);
    layout->setSpacing(18);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit1);
    setTabOrder(Edit1, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    Edit2->setFocus();

    Db1 = new dbaccess::Connection(this);
    Db1->setObjectName(QStringLiteral("Db1"));

    connect(Button1, &QPushButton::clicked, this, &Tfrm_Init::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfrm_Init::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);

    EnableFocusColor(this);
    EnableEnterMovesFocus(this);
    Edit2->installEventFilter(this);
}

QString Tfrm_Init::profileText() const {
    const QChar sep(QLatin1Char(';'));
    return Edit1->text() + sep + Edit2->text() + sep + Edit5->text() + sep + Edit3->text() + sep +
           Edit6->text() + sep + Edit4->text();
}

bool Tfrm_Init::fieldsFitAProfile() {
    // In tab order, so the box names the first one the user meets.
    const QList<QLineEdit*> edits{Edit2, Edit3, Edit6, Edit1, Edit4, Edit5};
    QStringList texts;
    for (const QLineEdit* edit : edits) texts << edit->text();
    const int wrong = FieldWithSeparator(texts);
    if (wrong < 0) return true;
    ErrorBox(SeparatorMessage(labelOf(this, edits.at(wrong))), this);
    edits.at(wrong)->setFocus();
    return false;
}

void Tfrm_Init::Button1Click() {
    if (!fieldsFitAProfile()) return;
    Guarded(this, [&] {
        if (TryTestConnection(*Db1, Edit1->text(), Edit2->text(), Edit5->text(), Edit3->text(),
                              Edit6->text(), this)) {
            Button2->setEnabled(true);
            Button2->setFocus();
        }
    });
}

void Tfrm_Init::Button2Click() {
    if (!fieldsFitAProfile()) return;
    // A profile that cannot be stored must not close the window as if it had
    // been: the user may correct the folder's rights or cancel.
    Guarded(this, [&] {
        const QString profile = profileText();
        StoreNewProfile(profile);
        Beall.ConStr = profile;
        accept();
    });
}

void Tfrm_Init::done(int r) {
    if (isVisible()) StoreWindowPos(this, kSection);
    QDialog::done(r);
}

void Tfrm_Init::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize != 0 ? Beall.FontSize : kFallbackFontSize, QSize(),
                       kSection);
    }
    QDialog::showEvent(event);
}

bool Tfrm_Init::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Enter in the host field is the experienced user's way to store a
    // profile without waiting for a test connection.
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            Button2Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool SetUpConnection(QWidget* owner) {
    Tfrm_Init frm(owner);
    return frm.exec() == QDialog::Accepted;
}

}  // namespace zomi
