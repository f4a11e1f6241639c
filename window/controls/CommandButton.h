#pragma once

#include <QPushButton>

namespace window {

// A command button in the graphical style, which Qt's styles do not draw: its face is painted in
// a colour of its own, either flat (a one-pixel border) or with raised edges that sink while it
// is pressed. It is never the window's default button, so Enter presses it only when it has the
// focus.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    enum class Look { Flat, Raised };

    explicit CommandButton(QWidget *parent);

    void setLook(Look look);
    void setFaceColor(const QColor &color);
    void setBorderColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look = Look::Raised;
    QColor m_face;
    QColor m_border;
};

} // namespace window
