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
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <limits>

#include "common/Settings.h"
#include "common/TitleBar.h"

namespace zomi {

namespace {

// What the title bar is taken to be before a window manager tells.
constexpr int kAssumedTitleBarHeight = 30;

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

// The time of the last key pressed in any window of the program.
class TypingWatch : public QObject {
  public:
    TypingWatch() : QObject(QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    qint64 msSinceTyping() const { return typed_.isValid() ? typed_.elapsed() : kNever; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) typed_.start();
        return QObject::eventFilter(watched, event);
    }

  private:
    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();
    QElapsedTimer typed_;
};

TypingWatch* typingWatch() {
    static QPointer<TypingWatch> watch;
    if (!watch && QCoreApplication::instance()) watch = new TypingWatch;
    return watch;
}

// Looks after a fresh window's frame while a window manager frames and
// places it, and no longer, so that it never fights the user. The frame may
// arrive without any event to the window, so it looks now and then; a second
// watch of the same kind replaces the first.
class FrameWatch : public QObject {
  protected:
    FrameWatch(QWidget* window, const char* name) : QObject(window), window_(window) {
        const QString kind = QString::fromLatin1(name);
        for (QObject* earlier : window->findChildren<QObject*>(kind, Qt::FindDirectChildrenOnly))
            delete earlier;
        setObjectName(kind);
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, &FrameWatch::tick);
        timer_.start(kLookMs);
    }
    // Called while the window is on the screen; the platform window's own
    // frame, as QWidget's copy of it is not kept up to date under every
    // window manager.
    virtual void look(const QWindow& handle) = 0;

    QWidget* window_;

  private:
    static constexpr int kLookMs = 50;
    static constexpr int kSettleMs = 2000;

    void tick() {
        // Not done at the first match: a window manager may still carry out
        // a request from before it knew the frame, and undo it.
        if (clock_.elapsed() > kSettleMs) {
            timer_.stop();
            deleteLater();
            return;
        }
        const QWindow* handle = window_->windowHandle();
        if (handle && window_->isVisible()) look(*handle);
    }

    QElapsedTimer clock_;
    QTimer timer_;
};

// Keeps a fresh window's frame on the rectangle.
class FrameFitter : public FrameWatch {
  public:
    static constexpr const char* kName = "FrameFitter";

    FrameFitter(QWidget* window, const QRect& frame) : FrameWatch(window, kName), frame_(frame) {
        // A window's position is its frame's: the window manager puts the
        // frame's corner there, whatever the frame turns out to be.
        window->move(frame.topLeft());
        window->resize(frame.size());
    }

  private:
    void look(const QWindow& handle) override {
        const QSize size = frame_.size().shrunkBy(handle.frameMargins());
        if (window_->size() != size) window_->resize(size);
        if (handle.framePosition() != frame_.topLeft()) window_->move(frame_.topLeft());
    }

    QRect frame_;
};

// Puts the frame of a fresh window back where it was placed when a window
// manager put the client area there instead: a native window that existed
// at the move, or a size set after it, leaves Qt placing the client area.
// Only that mistake is undone, so a window the user moves stays moved.
class FramePlacer : public FrameWatch {
  public:
    FramePlacer(QWidget* window, const QPoint& place)
        : FrameWatch(window, "FramePlacer"), place_(place) {}

  private:
    void look(const QWindow& handle) override {
        if (handle.frameMargins().isNull()) return;
        if (handle.framePosition() != place_ && handle.position() == place_) window_->move(place_);
    }

    QPoint place_;
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

void PlaceFrameAt(QWidget* window, const QPoint& topLeft) {
    const QWindow* handle = window->windowHandle();
    const QMargins margins = handle ? handle->frameMargins() : QMargins();
    const QSize frameSize = window->size().grownBy(margins);
    const int titleBar = margins.top() > 0 ? margins.top() : kAssumedTitleBarHeight;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    const QPoint place = KeepTitleBarOnScreen(QRect(topLeft, frameSize), titleBar, screens);
    window->move(place);
    // Once the native window exists (as in a show event), the move alone
    // puts the client area there under a window manager, and the window
    // would creep by its frame at every opening; its frame is what is placed.
    if (QWindow* created = window->windowHandle()) created->setFramePosition(place);
    new FramePlacer(window, place);
}

void RestoreWindowPos(QWidget* window, const QString& section) {
    int left = 10;
    int top = 10;
    LoadWindowPos(section, left, top);
    PlaceFrameAt(window, QPoint(left, top));
}

void StoreWindowPos(QWidget* window, const QString& section) {
    // The frame's corner, as it was placed.
    SaveWindowPos(section, window->x(), window->y());
}

void RestoreWindowPlacement(QWidget* window, const QString& section) {
    int left = 10;
    int top = 10;
    int width = window->width();
    int height = window->height();
    LoadWindowPlacement(section, left, top, width, height);
    window->resize(width, height);
    PlaceFrameAt(window, QPoint(left, top));
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

void WatchTyping() { typingWatch(); }

void WhenTypingPauses(QObject* context, std::function<void()> step) {
    const TypingWatch* watch = typingWatch();
    const qint64 since = watch ? watch->msSinceTyping() : kTypingPauseMs;
    if (since >= kTypingPauseMs) {
        step();
        return;
    }
    QTimer::singleShot(static_cast<int>(kTypingPauseMs - since) + 50, context,
                       [context, step = std::move(step)]() mutable {
                           WhenTypingPauses(context, std::move(step));
                       });
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
