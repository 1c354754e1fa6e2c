#include "ui/WindowHelpers.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

#include "common/Settings.h"

namespace zomi {

namespace {

bool isEditBox(QObject* object) {
    return qobject_cast<QLineEdit*>(object) || qobject_cast<QPlainTextEdit*>(object) ||
           qobject_cast<QTextEdit*>(object) || qobject_cast<QComboBox*>(object) ||
           qobject_cast<QAbstractSpinBox*>(object);
}

bool isMultiLine(QObject* object) {
    return qobject_cast<QPlainTextEdit*>(object) || qobject_cast<QTextEdit*>(object);
}

class FocusColorFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return QObject::eventFilter(watched, event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && isEditBox(widget)) {
            // A combo box shows its text in its line edit; colour that one.
            QWidget* target = widget;
            if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
                target = combo->lineEdit();
            QPalette palette = target->palette();
            if (event->type() == QEvent::FocusIn) {
                palette.setColor(QPalette::Base, FocusColor());
            } else {
                palette.setColor(QPalette::Base,
                                 target->style()->standardPalette().color(QPalette::Base));
            }
            target->setPalette(palette);
        }
        return QObject::eventFilter(watched, event);
    }
};

class EnterFilter : public QObject {
  public:
    explicit EnterFilter(QWidget* window) : QObject(window), window_(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & Qt::ControlModifier))
            return QObject::eventFilter(watched, event);
        if (isMultiLine(watched) || qobject_cast<QAbstractButton*>(watched))
            return QObject::eventFilter(watched, event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_) return QObject::eventFilter(watched, event);
        // As if Tab were pressed: the widget's own tab order decides.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &tab);
        return true;
    }

  private:
    QWidget* window_;
};

void installOnChildren(QWidget* window, QObject* filter, bool (*wanted)(QObject*)) {
    for (QWidget* child : window->findChildren<QWidget*>())
        if (wanted(child)) child->installEventFilter(filter);
}

}  // namespace

QColor FocusColor() { return QColor(166, 202, 240); }

void ApplyFontSize(QWidget* window, int pointSize) {
    if (pointSize <= 0) return;
    QFont font = window->font();
    font.setPointSize(pointSize);
    window->setFont(font);
}

void RestoreWindowPos(QWidget* window, const QString& section) {
    int left = 10;
    int top = 10;
    LoadWindowPos(section, left, top);
    window->move(left, top);
}

void StoreWindowPos(QWidget* window, const QString& section) {
    SaveWindowPos(section, window->x(), window->y());
}

void RestoreWindowPlacement(QWidget* window, const QString& section) {
    int left = 10;
    int top = 10;
    int width = window->width();
    int height = window->height();
    LoadWindowPlacement(section, left, top, width, height);
    window->move(left, top);
    window->resize(width, height);
}

void StoreWindowPlacement(QWidget* window, const QString& section) {
    SaveWindowPlacement(section, window->x(), window->y(), window->width(), window->height());
}

void FitOnFirstShow(QWidget* window, int fontSize, const QSize& designSize,
                    const QString& section) {
    ApplyFontSize(window, fontSize);
    if (QLayout* layout = window->layout()) {
        // The layouts still hold the sizes of the design font until redone.
        for (QLayout* nested : layout->findChildren<QLayout*>()) nested->invalidate();
        layout->invalidate();
        layout->activate();
    }
    window->setFixedSize(designSize.expandedTo(window->sizeHint()));
    if (!section.isEmpty()) {
        RestoreWindowPos(window, section);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

void BringToFront(QWidget* window) {
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
}

void EnableFocusColor(QWidget* window) {
    installOnChildren(window, new FocusColorFilter(window), isEditBox);
}

void EnableFocusColor(const QList<QWidget*>& controls) {
    if (controls.isEmpty()) return;
    auto* filter = new FocusColorFilter(controls.first()->window());
    for (QWidget* control : controls) control->installEventFilter(filter);
}

void EnableEnterMovesFocus(QWidget* window) {
    installOnChildren(window, new EnterFilter(window), [](QObject* o) {
        return isEditBox(o) || qobject_cast<QWidget*>(o) != nullptr;
    });
}

}  // namespace zomi
