#ifndef QZRBUTTONEXT_H
#define QZRBUTTONEXT_H

#include "toolkit/qzrbasebutton.h"

class QTimer;

// A skinned button that polls the cursor to keep its hover frame right and shows its tool tip
// once per stay of the cursor.
class QZRButtonExt : public QZRBaseButton
{
    Q_OBJECT

public:
    explicit QZRButtonExt(QWidget *parent = nullptr);

private slots:
    void mouseEnterTimer();

private:
    QTimer *m_timer;
    bool m_bToolTipShown = false;
};

#endif
