#include "ui/FormLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariant>
#include <algorithm>

namespace zomi {

namespace {

const char* const kDesignWidth = "designWidth";
const char* const kDesignHeight = "designHeight";

}  // namespace

void SetDesignWidth(QWidget* control, int width, int height) {
    control->setProperty(kDesignWidth, width);
    control->setFixedWidth(width);
    if (height > 0) {
        control->setProperty(kDesignHeight, height);
        control->setFixedHeight(height);
    }
}

void FitDesignSizes(QWidget* window, double designPointSize) {
    const double scale = std::max(1.0, window->font().pointSizeF() / designPointSize);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QVariant width = control->property(kDesignWidth);
        if (width.isValid()) control->setFixedWidth(qRound(width.toInt() * scale));
        const QVariant height = control->property(kDesignHeight);
        if (height.isValid()) control->setFixedHeight(qRound(height.toInt() * scale));
    }
}

QPushButton* PictureButton(const QString& name, const QIcon& icon, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setFixedSize(25, 23);
    // The dialog's default look belongs to "OK", not to the first picture button.
    button->setAutoDefault(false);
    return button;
}

QLineEdit* NameBox(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

QVBoxLayout* Labelled(const QString& caption, QWidget* control, QWidget* button) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    column->addWidget(label);
    auto* line = new QHBoxLayout;
    line->setSpacing(3);
    line->addWidget(control);
    if (button) line->addWidget(button);
    line->addStretch();
    column->addLayout(line);
    return column;
}

QHBoxLayout* RowOf(std::initializer_list<QLayout*> parts, int spacing) {
    auto* row = new QHBoxLayout;
    row->setSpacing(spacing);
    for (QLayout* part : parts) row->addLayout(part);
    row->addStretch();
    return row;
}

}  // namespace zomi
