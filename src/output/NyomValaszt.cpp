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
#include "common/WindowHelpers.h"
#include "output/Hatarolt.h"

namespace zomi {

namespace {

const QString kSection = QStringLiteral("frm_NyomValaszt");
const QSize kDesignSize(362, 285);
constexpr int kPictureSize = 96;

const QColor kOutline(0x4a, 0x55, 0x5e);
const QColor kPaperLine(0xb8, 0xc4, 0xcc);

// A sheet of paper with a folded corner and written lines, in 96-unit space.
void drawSheet(QPainter& p, const QRectF& sheet, bool lines = true) {
    const double fold = sheet.width() * 0.22;
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(0xe4, 0xe9, 0xee));
    p.drawPath(corner);
    if (!lines) return;
    p.setPen(QPen(kPaperLine, 2));
    for (double y = sheet.top() + fold + 8; y < sheet.bottom() - 6; y += 8)
        p.drawLine(QPointF(sheet.left() + 7, y), QPointF(sheet.right() - 7, y));
}

void drawPreview(QPainter& p) {
    drawSheet(p, QRectF(14, 8, 56, 74));
    // A magnifying glass over the sheet.
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x1e), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 70), QPointF(86, 86));
    QRadialGradient glass(QPointF(52, 52), 22);
    glass.setColorAt(0, QColor(220, 238, 255, 170));
    glass.setColorAt(1, QColor(150, 195, 240, 170));
    p.setBrush(glass);
    p.setPen(QPen(QColor(0x2c, 0x3e, 0x50), 5));
    p.drawEllipse(QPointF(54, 54), 20, 20);
}

void drawPrinter(QPainter& p) {
    // The paper waiting at the top and the printed sheet coming out below.
    drawSheet(p, QRectF(28, 6, 40, 30), false);
    QLinearGradient body(0, 32, 0, 70);
    body.setColorAt(0, QColor(0xd5, 0xdb, 0xe0));
    body.setColorAt(1, QColor(0x8e, 0x99, 0xa3));
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(8, 32, 80, 38), 6, 6);
    p.setBrush(QColor(0x3b, 0x44, 0x4b));
    p.drawRect(QRectF(22, 58, 52, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xc0, 0x5a));
    p.drawEllipse(QPointF(77, 42), 3, 3);
    drawSheet(p, QRectF(24, 61, 48, 30));
}

void drawExport(QPainter& p) {
    const QRectF sheet(12, 8, 62, 78);
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x73, 0x46));
    p.drawRect(QRectF(sheet.left() + 1, sheet.top() + 1, sheet.width() - 2, 12));
    p.setPen(QPen(kPaperLine, 1.2));
    for (double y = sheet.top() + 24; y < sheet.bottom() - 2; y += 10)
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
    for (double x = sheet.left() + 20; x < sheet.right() - 2; x += 20)
        p.drawLine(QPointF(x, sheet.top() + 14), QPointF(x, sheet.bottom() - 3));
    // "CSV" on a label stuck over the corner.
    p.setPen(QPen(QColor(0x14, 0x46, 0x7d), 1.4));
    p.setBrush(QColor(0x4f, 0xa3, 0xe0));
    p.drawRoundedRect(QRectF(44, 58, 46, 26), 4, 4);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(44, 58, 46, 26), Qt::AlignCenter, QStringLiteral("CSV"));
}

void drawPdf(QPainter& p) {
    drawSheet(p, QRectF(16, 6, 60, 82));
    p.setPen(QPen(QColor(0x8b, 0x10, 0x10), 1.4));
    p.setBrush(QColor(0xd3, 0x2f, 0x2f));
    p.drawRoundedRect(QRectF(8, 50, 56, 26), 4, 4);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(8, 50, 56, 26), Qt::AlignCenter, QStringLiteral("PDF"));
}

}  // namespace

QPixmap NyomtatasKep(int option, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 96.0, size / 96.0);
    switch (option) {
        case kNyomtatasiKep:
            drawPreview(p);
            break;
        case kNyomtatas:
            drawPrinter(p);
            break;
        case kExcelbe:
            drawExport(p);
            break;
        case kPdfbe:
            drawPdf(p);
            break;
        default:
            break;
    }
    return pixmap;
}

Tfrm_NyomValaszt::Tfrm_NyomValaszt(const QStringList& printers, const QString& proposal, QWidget* parent)
    : QDialog(parent) {
    setObjectName(kSection);
    setWindowTitle(QStringLiteral("Nyomtatás típusa"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Segoe UI"), 8));

    RadioGroup1 = new TRadioGroup(QStringLiteral("Nyomtatás típusa"),
                                  {QStringLiteral("Nyomtatási kép"), QStringLiteral("Nyomtatás"),
                                   QStringLiteral("Excelbe (CSV)"), QStringLiteral("PDF-be mentés")},
                                  this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));

    QLabel** images[] = {&Image1, &Image2, &Image3, &Image4};
    for (int i = 0; i < 4; ++i) {
        QLabel* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setFixedSize(kPictureSize, kPictureSize);
        image->setPixmap(NyomtatasKep(i, kPictureSize));
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
    const int listed = printers.indexOf(shown);
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
    for (QLabel* image : {Image1, Image2, Image3, Image4}) pictures->addWidget(image, 0, 0, Qt::AlignTop);

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

    for (QAbstractButton* option : RadioGroup1->Buttons()) {
        connect(option, &QAbstractButton::toggled, this, [this](bool checked) {
            if (checked) RadioGroup1Click();
        });
    }
    RadioGroup1->SetItemIndex(kNyomtatasiKep);
    RadioGroup1Click();

    // The option group first, then OK, "Mégsem" and the printer box.
    QWidget* first = RadioGroup1->Buttons().at(kNyomtatasiKep);
    setTabOrder(first, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, ComboBox1);
    first->setFocus();

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    EnableFocusColor(this);
}

void Tfrm_NyomValaszt::RadioGroup1Click() {
    const int option = RadioGroup1->ItemIndex();
    const bool printing = option == kNyomtatas;
    Label1->setEnabled(printing);
    ComboBox1->setEnabled(printing);
    QLabel* const images[] = {Image1, Image2, Image3, Image4};
    for (int i = 0; i < 4; ++i) images[i]->setVisible(i == option);
}

void Tfrm_NyomValaszt::showEvent(QShowEvent* event) {
    if (!shownBefore_) {
        shownBefore_ = true;
        ApplyFontSize(this, Beall.FontSize);
        // The layout still holds the sizes of the design font until it is redone.
        layout()->invalidate();
        layout()->activate();
        setFixedSize(kDesignSize.expandedTo(sizeHint()));
        RestoreWindowPos(this, kSection);
    }
    QDialog::showEvent(event);
}

void Tfrm_NyomValaszt::done(int result) {
    StoreWindowPos(this, kSection);
    QDialog::done(result);
}

int NyomtatasValaszt(QString& printerName) {
    Tfrm_NyomValaszt window(QPrinterInfo::availablePrinterNames(), printerName, QApplication::activeWindow());
    if (window.exec() != QDialog::Accepted) return kMegsem;
    printerName = window.ComboBox1->currentText();
    return window.RadioGroup1->ItemIndex();
}

}  // namespace zomi
