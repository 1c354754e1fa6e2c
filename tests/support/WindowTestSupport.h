#pragma once

// Driving the real windows in the window tests: a fresh demo database as the
// main connection, a settings file of the test's own, the boxes answered by
// a recorder, and a way into the modal windows that the openers run.

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "common/Settings.h"
#include "db/DbRoutines.h"
#include "support/BoxRecorder.h"
#include "support/TestDatabase.h"

namespace zomi::test {

struct WindowFixture {
    explicit WindowFixture(TestDatabase::Content content = TestDatabase::Content::Demo)
        : WindowFixture(content, TestDatabase::serverParams()) {}
    WindowFixture(TestDatabase::Content content, const dbaccess::ConnectionParams& server)
        : db(content, server), connection(db.connect()) {
        SetMainConnection(connection.get());
        SetSettingsPath(settingsDir.filePath(QStringLiteral("Zomi.ini")));
    }
    ~WindowFixture() {
        // A step meant for a modal window that never opened fails the test
        // that scheduled it, not the next one.
        QCoreApplication::processEvents();
        SetMainConnection(nullptr);
    }

    TestDatabase db;
    std::unique_ptr<dbaccess::Connection> connection;
    QTemporaryDir settingsDir;
    BoxRecorder boxes;
};

// Offscreen windows are never activated by the platform; window shortcuts
// only work in the active window.
inline void Activate(QWidget* window) { QApplication::setActiveWindow(window); }

// Makes the server refuse any stored row whose column holds the word, for a
// test of what a window does with a refusal. The boxes take no more than a
// column holds, so an over-long text no longer serves for this.
inline void RefuseWord(const QString& table, const QString& column, const QString& word) {
    ExecSql(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2_tilos CHECK (%2 NOT LIKE '%%3%')")
                .arg(table, column, word));
}

// Runs the step on the modal window as soon as the event loop of its exec()
// is running. Whatever the step leaves open is closed afterwards, so that a
// failed check cannot leave the test waiting on a window.
inline void OnModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QPointer<QWidget> window = QApplication::activeModalWidget();
        if (!window) {
            QTest::qFail("no modal window is open", __FILE__, __LINE__);
            return;
        }
        // The platform would hand the activation back to the window below.
        QPointer<QWidget> previous = QApplication::activeWindow();
        Activate(window);
        step(window);
        if (window && window->isVisible() && QApplication::activeModalWidget() == window) {
            if (auto* dialog = qobject_cast<QDialog*>(window.data())) dialog->reject();
        }
        if (previous) Activate(previous);
    });
}

// Runs the action on the next modal window as soon as one is visible,
// polling for 5 seconds, after which the test fails; a window the action
// leaves open is rejected.
// For modal windows that open later than the next turn of the event loop.
inline void WhenModal(std::function<void(QWidget*)> action, int attemptsLeft = 500,
                      bool failWhenNone = true) {
    QTimer::singleShot(10, [action, attemptsLeft, failWhenNone] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) {
            if (attemptsLeft > 0) {
                WhenModal(action, attemptsLeft - 1, failWhenNone);
            } else if (failWhenNone) {
                // Said here, where it went wrong, rather than as the test's time-out;
                // a window that opens after all is closed so that nothing waits on it.
                QTest::qFail("no modal window opened within 5 s", __FILE__, __LINE__);
                WhenModal([](QWidget*) {}, 6000, false);
            }
            return;
        }
        QPointer<QWidget> guard(modal);
        action(modal);
        if (guard && guard->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(guard.data())) dialog->reject();
    });
}

// A picture of a window with a message box over its lower part, as the user
// sees the two, for the screenshots the tests take on request.
inline QImage WindowWithBox(QWidget* window, QWidget* box) {
    const QPixmap windowImage = window->grab();
    const QPixmap boxImage = box->grab();
    QImage image(std::max(windowImage.width(), boxImage.width() + 40),
                 windowImage.height() + boxImage.height() / 2 + 20, QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, windowImage);
    painter.drawPixmap(20, image.height() - boxImage.height() - 20, boxImage);
    painter.end();
    return image;
}

// Types the text into the widget key by key. QTest::keyClicks knows only
// ASCII; Hungarian letters go as key events carrying their text.
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
        }
    }
}

template <typename Window>
Window* As(QWidget* window) {
    auto* typed = qobject_cast<Window*>(window);
    if (!typed) QTest::qFail("the modal window is not the one expected", __FILE__, __LINE__);
    return typed;
}

}  // namespace zomi::test
