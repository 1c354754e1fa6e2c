#include "output/NyomValaszt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/Beall.h"
#include "output/Hatarolt.h"
#include "ui/Pictures.h"
#include "ui/WindowHelpers.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_NyomValaszt");
const QSize kDesignSize(362, 285);
constexpr int kPictureSize = 96;

}  // namespace

Tfrm_NyomValaszt::Tfrm_NyomValaszt(const QStringList& printers, const QString& proposal,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(kSection);
    setWindowTitle(QStringLiteral("Nyomtatás típusa"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));

    RadioGroup1 = new RadioGroup(QStringLiteral("Nyomtatás típusa"),
                                 {QStringLiteral("Nyomtatási kép"), QStringLiteral("Nyomtatás"),
                                  QStringLiteral("Excelbe (CSV)"), QStringLiteral("PDF-be mentés")},
                                 this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));

    QLabel** images[] = {&Image1, &Image2, &Image3, &Image4};
    for (int i = 0; i < 4; ++i) {
        QLabel* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setFixedSize(kPictureSize, kPictureSize);
        image->setPixmap(PrintChoicePicture(static_cast<PrintChoice>(i), kPictureSize));
        *images[i] = image;
    }

    Label1 = new QLabel(QStringLiteral("Nyomtató"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    // A typed name is only the box's text; it joins no list.
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems(printers);
    Label1->setBuddy(ComboBox1);
    const QString shown = proposal.isEmpty() && !printers.isEmpty() ? printers.first() : proposal;
    const int listed = static_cast<int>(printers.indexOf(shown));
    if (listed >= 0) ComboBox1->setCurrentIndex(listed);
    ComboBox1->setEditText(shown);

    Label2 = new QLabel(QStringLiteral("Nincs telepített nyomtató. A munkalap megtekinthető, "
                                       "és PDF állományba menthető."),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setVisible(printers.isEmpty());

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2}) button->setMinimumWidth(88);

    // The pictures share one place; only the selected option's is visible.
    auto* pictures = new QGridLayout;
    pictures->setContentsMargins(0, 8, 0, 0);
    for (QLabel* image : {Image1, Image2, Image3, Image4})
        pictures->addWidget(image, 0, 0, Qt::AlignTop);

    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(RadioGroup1, 1);
    top->addLayout(pictures);

    auto* printer = new QVBoxLayout;
    printer->setSpacing(3);
    printer->addWidget(Label1);
    printer->addWidget(ComboBox1);
    printer->addWidget(Label2);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addLayout(printer);
    layout->addStretch(1);
    layout->addLayout(buttons);

    for (QAbstractButton* option : RadioGroup1->buttons()) {
        connect(option, &QAbstractButton::toggled, this, [this](bool checked) {
            if (checked) RadioGroup1Click();
        });
    }
    RadioGroup1->setItemIndex(kNyomtatasiKep);
    RadioGroup1Click();

    // The option group first, then OK, "Mégsem" and the printer box.
    QWidget* first = RadioGroup1->buttons().at(kNyomtatasiKep);
    setTabOrder(first, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, ComboBox1);
    first->setFocus();

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    EnableFocusColor(this);
}

void Tfrm_NyomValaszt::RadioGroup1Click() {
    const int option = RadioGroup1->itemIndex();
    const bool printing = option == kNyomtatas;
    Label1->setEnabled(printing);
    ComboBox1->setEnabled(printing);
    QLabel* const images[] = {Image1, Image2, Image3, Image4};
    for (int i = 0; i < 4; ++i) images[i]->setVisible(i == option);
}

void Tfrm_NyomValaszt::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        FitOnFirstShow(this, Beall.FontSize, kDesignSize, kSection);
    }
    QDialog::showEvent(event);
}

void Tfrm_NyomValaszt::accept() {
    if (RadioGroup1->itemIndex() == kNyomtatas && printAction_ &&
        !printAction_(ComboBox1->currentText()))
        return;
    QDialog::accept();
}

void Tfrm_NyomValaszt::done(int result) {
    StoreWindowPos(this, kSection);
    QDialog::done(result);
}

int NyomtatasValaszt(QString& printerName, PrintAction printAction) {
    Tfrm_NyomValaszt window(QPrinterInfo::availablePrinterNames(), printerName,
                            QApplication::activeWindow());
    window.setPrintAction(std::move(printAction));
    if (window.exec() != QDialog::Accepted) return kMegsem;
    printerName = window.ComboBox1->currentText();
    return window.RadioGroup1->itemIndex();
}

}  // namespace zomi
