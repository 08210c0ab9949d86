#ifndef WHENSHOWN_H
#define WHENSHOWN_H

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs action once on the first visible top-level window of type T, from inside the modal loop that
// shows it: a test's way into exec().
template <typename T>
void whenShown(const std::function<void(T *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<T *>(widget); window && window->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(window);
                return;
            }
        }
    });
    timer->start();
}

#endif
