#include "Image.h"

#include <QMouseEvent>

namespace runtime {

Image::Image(QWidget *parent)
    : QLabel(parent)
    , TwipsControl(this)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
}

void Image::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT MouseMove();
}

} // namespace runtime
