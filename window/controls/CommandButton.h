#pragma once

#include "runtime/TwipsControl.h"

#include <QPushButton>

namespace window {

// A command button in the graphical style: its face is painted in its own background colour,
// either flat (a one-pixel border) or with raised 3-D edges.
class CommandButton : public QPushButton, public runtime::TwipsControl
{
    Q_OBJECT
public:
    enum class Look { Flat, ThreeD };

    explicit CommandButton(QWidget *parent);

    void setLook(Look look);
    void setFaceColor(const QColor &color);
    void setBorderColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look = Look::ThreeD;
    QColor m_face;
    QColor m_border;
};

} // namespace window
