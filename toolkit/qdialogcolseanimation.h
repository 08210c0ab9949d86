#ifndef QDIALOGCOLSEANIMATION_H
#define QDIALOGCOLSEANIMATION_H

#include <QObject>

// A hook object for a dialog's closing animation; it carries no behaviour of its own.
class QDialogColseAnimation : public QObject
{
    Q_OBJECT

public:
    explicit QDialogColseAnimation(QObject *parent = nullptr) : QObject(parent) {}
};

#endif
