#include "app/Nevjegy.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QSize kDesignSize(569, 482);
const QSize kPanelSize(517, 409);

QFont headingFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

QLabel* bandLabel(QWidget* parent, const char* name, const QString& text, const QString& colour,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(headingFont());
    label->setAlignment(alignment);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(colour));
    palette.setColor(QPalette::WindowText, QColor(0x20, 0x2a, 0x33));
    label->setPalette(palette);
    label->setMargin(4);
    return label;
}

}  // namespace

Tfrm_Nevjegy::Tfrm_Nevjegy(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_Nevjegy"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 9));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setMinimumSize(kPanelSize);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(256, 256);
    ProgramIcon->setPixmap(ProgramPicture(256));

    ProductName = bandLabel(Panel1, "ProductName",
                            QStringLiteral("Zomi\nV") + QString::fromLatin1(kProgramVersion),
                            QStringLiteral("#c6f2dc"), Qt::AlignRight | Qt::AlignVCenter);

    Copyright = new QLabel(QStringLiteral("© 2023 Tarvelo Informatikai Kft."), Panel1);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setAlignment(Qt::AlignRight);
    QPalette greyed = Copyright->palette();
    greyed.setColor(QPalette::WindowText, QColor(0x80, 0x86, 0x8c));
    Copyright->setPalette(greyed);
    // One line in the narrow column whatever the font size of the window.
    Copyright->setFont(QFont(QStringLiteral("Tahoma"), 8));

    Comments = bandLabel(Panel1, "Comments", QStringLiteral("Munkalap nyilvántartó program"),
                         QStringLiteral("#fff4d2"), Qt::AlignCenter);

    auto* description = new QLabel(
        QStringLiteral("Karbantartási és javítási munkák megrendelése, nyilvántartása és "
                       "nyomtatása vállalkozók, költséghelyek és státuszok szerint."),
        Panel1);
    description->setObjectName(QStringLiteral("Description"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = bandLabel(Panel1, "Label1", QStringLiteral("Elérhetőség"), QStringLiteral("#fff4d2"),
                       Qt::AlignCenter);
    Label2 = new QLabel(QStringLiteral("Tarvelo Informatikai Kft.\n"
                                       "6722 Szeged, Tisza Lajos körút 41.\n"
                                       "Ügyfélszolgálat: hétfőtől péntekig 8:00–16:30\n"
                                       "Telefon: +36 62 555 0184\n"
                                       "www.tarvelo.hu  •  ugyfelszolgalat@tarvelo.hu"),
                        Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(ProductName);
    right->addWidget(Copyright);
    right->addSpacing(14);
    right->addWidget(Comments);
    right->addSpacing(4);
    right->addWidget(description);
    right->addStretch(1);

    auto* panelLayout = new QGridLayout(Panel1);
    panelLayout->setContentsMargins(8, 8, 8, 8);
    panelLayout->setHorizontalSpacing(12);
    panelLayout->addWidget(ProgramIcon, 0, 0, Qt::AlignTop | Qt::AlignLeft);
    panelLayout->addLayout(right, 0, 1);
    panelLayout->setRowMinimumHeight(1, 10);
    panelLayout->addWidget(Label1, 2, 0, 1, 2);
    panelLayout->addWidget(Label2, 3, 0, 1, 2);
    panelLayout->setRowStretch(1, 1);
    panelLayout->setColumnStretch(1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setMinimumWidth(80);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 16, 26, 14);
    layout->setSpacing(16);
    layout->addWidget(Panel1, 1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void Tfrm_Nevjegy::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, QString());
    }
    QDialog::showEvent(event);
}

void ShowAbout(QWidget* owner) {
    Tfrm_Nevjegy frm(owner);
    frm.exec();
}

}  // namespace zomi
