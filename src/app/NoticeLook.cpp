#include "app/NoticeLook.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace zomi {

namespace {

const QSize kDesignSize(540, 317);
constexpr int kMargin = 8;
constexpr int kButtonWidth = 113;
constexpr int kRowHeight = 27;

QFont designFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Segoe UI"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

void SetUpNoticeWindow(QWidget* window, const QColor& background) {
    window->setFont(designFont(13, false));
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, background);
    window->setPalette(palette);
    window->resize(kDesignSize);
}

QLabel* NoticeTitle(QWidget* window, const char* name, const QString& text) {
    QLabel* title = NoticeText(window, name, text);
    title->setFont(designFont(19, true));
    title->setAlignment(Qt::AlignCenter);
    return title;
}

QLabel* NoticeText(QWidget* window, const char* name, const QString& text) {
    auto* label = new QLabel(window);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QCheckBox* NoticeCheckBox(QWidget* window, const QString& caption) {
    auto* box = new QCheckBox(caption, window);
    box->setObjectName(QStringLiteral("CheckBox1"));
    return box;
}

QPushButton* NoticeOkButton(QWidget* window) {
    auto* ok = new QPushButton(QStringLiteral("OK"), window);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    return ok;
}

void PlaceNoticeControls(QWidget* window, QLabel* title, QLabel* text, int textBottomGap,
                         QCheckBox* checkBox, QPushButton* ok) {
    const int width = window->width();
    const int height = window->height();
    title->setGeometry(kMargin, 10, width - 19, 32);
    text->setGeometry(kMargin, 48, width - 19, height - textBottomGap);
    const int rowTop = height - 35;
    checkBox->setGeometry(kMargin, rowTop, width - 128 - 2 * kMargin, kRowHeight);
    ok->setGeometry(width - 128, rowTop, kButtonWidth, kRowHeight);
}

}  // namespace zomi
