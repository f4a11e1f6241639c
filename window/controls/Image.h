#pragma once

#include "runtime/TwipsControl.h"

#include <QLabel>

namespace window {

// An image: a picture drawn at its own size from the top-left corner, reporting mouse moves.
class Image : public QLabel, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit Image(QWidget *parent);

Q_SIGNALS:
    void pointerMoved();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace window
