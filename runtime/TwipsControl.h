#pragma once

class QWidget;

namespace runtime {

// Keeps a control's geometry in twips, the unit the logic works in. Pixels are derived from the
// twips value by rounding. A twips value reads back exactly as assigned for as long as the
// widget still has the pixel size derived from it; if something else (the window manager, say)
// has changed the widget since, the value read is taken from its pixels instead.
//
// For a top-level window Left and Top are its outer position on the screen; for a child they are
// relative to its container's client area.
class TwipsControl
{
public:
    explicit TwipsControl(QWidget *self);
    virtual ~TwipsControl() = default;
    TwipsControl(const TwipsControl &) = delete;
    TwipsControl &operator=(const TwipsControl &) = delete;

    float leftTwips() const;
    float topTwips() const;
    float widthTwips() const;
    float heightTwips() const;

    void setLeftTwips(float twips);
    void setTopTwips(float twips);
    void setWidthTwips(float twips);
    void setHeightTwips(float twips);
    void setTwipsGeometry(float left, float top, float width, float height);

private:
    void applyPosition();
    void applySize();

    QWidget *m_self;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};

} // namespace runtime
