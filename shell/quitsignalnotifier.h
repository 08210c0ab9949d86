#ifndef QUITSIGNALNOTIFIER_H
#define QUITSIGNALNOTIFIER_H

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal quit of the event loop, so a logout or a kill ends the
// run as a closed window does. The handler only writes the signal's number to a socket pair;
// the event loop reads it. One notifier at a time; the destructor puts the old handlers back.
class QuitSignalNotifier : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignalNotifier(QObject *parent = nullptr);
    ~QuitSignalNotifier() override;

    bool isInstalled() const;

signals:
    // Emitted before the quit request.
    void quitRequested(int signalNumber);

private slots:
    void readSignal();

private:
    static void handleSignal(int signalNumber);

    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};

#endif
