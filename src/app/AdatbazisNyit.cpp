#include "app/AdatbazisNyit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "app/ConnectionTest.h"
#include "app/Init.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_AdatbazisNyit");

// The layout rules were drawn up against the window's outer width, which under
// Windows is the client width plus a 16-pixel sizing frame.
constexpr int kFrameWidth = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

bool lastShown = false;

}  // namespace

Tfrm_AdatbazisNyit::Tfrm_AdatbazisNyit(const QStringList& lines, const QStringList& profiles,
                                       const QString& caption, QWidget* parent)
    : QDialog(parent), profiles_(profiles) {
    setObjectName(QStringLiteral("frm_AdatbazisNyit"));
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("Segoe UI"), 9));
    setSizeGripEnabled(true);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    QFont listFont(QStringLiteral("Arial"), 11);
    listFont.setBold(true);
    ListBox1->setFont(listFont);
    ListBox1->addItems(lines);
    ListBox1->installEventFilter(this);
    if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ChooserPicture(64));

    BitBtn1 = new QPushButton(QStringLiteral("Új"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(QIcon(SetUpPicture(16)));
    BitBtn1->setAutoDefault(false);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);

    Db1 = new dbaccess::Connection(this);
    Db1->setObjectName(QStringLiteral("Db1"));

    connect(Button1, &QPushButton::clicked, this, &Tfrm_AdatbazisNyit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_AdatbazisNyit::BitBtn1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] {
        if (ListBox1->currentRow() >= 0) Button1Click();
    });

    setMinimumSize(300, 200);
    resize(498 - kFrameWidth, 377);
    placeControls();
    setTabOrder(ListBox1, BitBtn1);
    setTabOrder(BitBtn1, Button1);
    setTabOrder(Button1, Button2);
}

bool Tfrm_AdatbazisNyit::acceptWithoutWindow() {
    if (ListBox1->count() != 1) return false;
    if (!TestProfile()) return false;
    result_ = 0;
    return true;
}

bool Tfrm_AdatbazisNyit::TestProfile() {
    const int row = ListBox1->currentRow();
    return zomi::TestProfile(*Db1, profiles_.value(row), this);
}

void Tfrm_AdatbazisNyit::Button1Click() {
    // Without a line there is nothing to open; the list only ever starts
    // empty when the caller passed no profiles.
    if (ListBox1->currentRow() < 0) return;
    Guarded(this, [&] {
        if (!TestProfile()) return;
        result_ = ListBox1->currentRow();
        accept();
    });
}

void Tfrm_AdatbazisNyit::BitBtn1Click() {
    if (SetUpConnection(this)) {
        result_ = ListBox1->count();
        accept();
    } else {
        // Giving up the set-up gives up the start as well.
        result_ = -1;
        reject();
    }
}

void Tfrm_AdatbazisNyit::done(int r) {
    if (r != Accepted) result_ = -1;
    if (isVisible()) Guarded(this, [&] { StoreWindowPlacement(this, kSection); });
    QDialog::done(r);
}

void Tfrm_AdatbazisNyit::showEvent(QShowEvent* event) {
    if (!placementLoaded_) {
        placementLoaded_ = true;
        // Only the size is remembered; the chooser always opens in the
        // middle of the screen.
        int left = 10;
        int top = 10;
        int w = width();
        int h = height();
        Guarded(this, [&] { LoadWindowPlacement(kSection, left, top, w, h); });
        resize(w, h);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - QPoint(w / 2, h / 2));
    }
    QDialog::showEvent(event);
}

void Tfrm_AdatbazisNyit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
}

void Tfrm_AdatbazisNyit::placeControls() {
    const int cw = width();
    const int ch = height();
    ListBox1->setGeometry(8, 8, cw + kFrameWidth - 33, ch - 92);
    Image1->setGeometry(8, ch - 73, 64, 64);
    Button1->setGeometry(cw - 174, ch - 49, kButtonWidth, kButtonHeight);
    Button2->setGeometry(cw - 90, ch - 49, kButtonWidth, kButtonHeight);
    BitBtn1->setGeometry(80, Button1->y(), kButtonWidth, kButtonHeight);
}

bool Tfrm_AdatbazisNyit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1) {
        // The list moves its selection on the key going down; the wrap-around
        // is decided on its release, from where the selection was before.
        if (event->type() == QEvent::KeyPress) {
            keyDownIndex_ = ListBox1->currentRow();
        } else if (event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int last = ListBox1->count() - 1;
            if (key == Qt::Key_Up && keyDownIndex_ == 0)
                ListBox1->setCurrentRow(last);
            else if (key == Qt::Key_Down && keyDownIndex_ == last && last >= 0)
                ListBox1->setCurrentRow(0);
        }
    }
    return QDialog::eventFilter(watched, event);
}

int ChooseDatabase(const QStringList& lines, const QStringList& profiles, const QString& caption) {
    lastShown = false;
    Tfrm_AdatbazisNyit frm(lines, profiles, caption);
    if (frm.acceptWithoutWindow()) return frm.chosenLine();
    lastShown = true;
    frm.exec();
    return frm.chosenLine();
}

bool ChooserWasShown() { return lastShown; }

}  // namespace zomi
