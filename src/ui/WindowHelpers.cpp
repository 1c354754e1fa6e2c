#include "ui/WindowHelpers.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

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
        // A push button is pressed by Enter; a check box moves on like a field.
        if (isMultiLine(watched) || qobject_cast<QPushButton*>(watched) ||
            qobject_cast<QToolButton*>(watched))
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

// Keeps a fresh window's frame on the rectangle while a window manager
// frames and places it, and no longer, so that it never fights the user.
// The frame may arrive without any event to the window, so it looks now
// and then.
class FrameFitter : public QObject {
  public:
    static constexpr const char* kName = "FrameFitter";

    FrameFitter(QWidget* window, const QRect& frame)
        : QObject(window), window_(window), frame_(frame) {
        setObjectName(kName);
        // A window's position is its frame's: the window manager puts the
        // frame's corner there, whatever the frame turns out to be.
        window->move(frame.topLeft());
        window->resize(frame.size());
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, &FrameFitter::fit);
        timer_.start(kLookMs);
    }

  private:
    static constexpr int kLookMs = 50;
    static constexpr int kSettleMs = 2000;

    void fit() {
        // Not done at the first match: a window manager may still carry out
        // a request from before it knew the frame, and undo it.
        if (clock_.elapsed() > kSettleMs) {
            timer_.stop();
            deleteLater();
            return;
        }
        // The platform window's own frame: QWidget's copy of it is not kept
        // up to date under every window manager.
        const QWindow* handle = window_->windowHandle();
        if (!handle || !window_->isVisible()) return;
        const QSize size = frame_.size().shrunkBy(handle->frameMargins());
        if (window_->size() != size) window_->resize(size);
        if (handle->framePosition() != frame_.topLeft()) window_->move(frame_.topLeft());
    }

    QWidget* window_;
    QRect frame_;
    QElapsedTimer clock_;
    QTimer timer_;
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

void CoverWithFrame(QWidget* window, const QRect& frame) {
    // A second call (a new work area) replaces the first one's fitting.
    const QString name = QString::fromLatin1(FrameFitter::kName);
    for (QObject* earlier : window->findChildren<QObject*>(name, Qt::FindDirectChildrenOnly))
        delete earlier;
    new FrameFitter(window, frame);
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
