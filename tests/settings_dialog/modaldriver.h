#ifndef MODALDRIVER_H
#define MODALDRIVER_H

// Answers modal dialogs of a type as a user would, once one is up: the test starts the driver, then
// presses the button that opens the dialog, whose event loop runs the driver. A dialog still up
// after an answer (a file dialog still reading its folder) is answered again.
#include <QApplication>
#include <QTimer>
#include <functional>

template <class Dialog>
class ModalDriver : public QObject
{
public:
    explicit ModalDriver(std::function<void(Dialog *)> answer)
        : m_answer(std::move(answer))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            Dialog *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            m_answered = true;
            m_answer(dialog);
        });
        m_poll.start(20);
    }

    bool answered() const { return m_answered; }

private:
    std::function<void(Dialog *)> m_answer;
    QTimer m_poll;
    bool m_answered = false;
};

#endif
