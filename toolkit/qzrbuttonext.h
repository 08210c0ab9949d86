#ifndef QZRBUTTONEXT_H
#define QZRBUTTONEXT_H

#include "toolkit/qzrbasebutton.h"

// A skinned button that shows its tool tip once per stay of the cursor and, released with the
// cursor still over it, goes back to its hover frame. It follows the cursor by its enter and
// leave events alone, so it costs nothing while the cursor is elsewhere.
class QZRButtonExt : public QZRBaseButton
{
    Q_OBJECT

public:
    explicit QZRButtonExt(QWidget *parent = nullptr);

protected:
    void enterEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

#endif
