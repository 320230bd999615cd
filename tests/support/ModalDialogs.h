#pragma once

// For widget tests: act on a window or dialog once it is shown, from inside its modal loop.

#include "foundation/UserMessage.h"
#include "foundation/ui/MessageBoxes.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `action` with the active modal widget as soon as there is one.
inline void whenModalShows(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

// Runs `action` as soon as `window` is visible; nothing happens once the window is gone.
inline void whenShown(QWidget* window, std::function<void()> action) {
    auto* timer = new QTimer(window);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, window, [window, timer, action] {
        if (window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action();
        }
    });
    timer->start();
}

// Shows the program's messages and questions in its real message boxes while alive, to be
// answered on the screen (whenModalShows), instead of collecting or scripting them.
class RealMessageBoxes {
public:
    RealMessageBoxes() { messages::installMessageBoxSink(); }
    ~RealMessageBoxes() {
        setMessageSink(nullptr);
        setQuestionSink(nullptr);
    }
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;
};
