#include "Image.h"

#include <QMouseEvent>

namespace window {

Image::Image(QWidget *parent)
    : QLabel(parent)
    , runtime::TwipsControl(this)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Image::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT pointerMoved();
}

} // namespace window
