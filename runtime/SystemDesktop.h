#pragma once

#include "Desktop.h"

#include <memory>

namespace runtime {

class MoveTracker;

// The real desktop: Qt's pointer position and modal message boxes, the window manager's "above"
// state and move, and its focus handed over as a command asks. Error reports also go to standard
// error, and only there on the offscreen platform, where no one could close a box.
class SystemDesktop final : public Desktop
{
public:
    // Start-up measurements ask to have the first frame's time printed on standard output as
    // "first-frame <microseconds since the epoch>".
    enum class FirstFrame { Quiet, Report };

    explicit SystemDesktop(FirstFrame firstFrame = FirstFrame::Quiet);
    ~SystemDesktop() override;

    std::optional<QPoint> pointerPosition() override;
    bool askYesNo(QWidget *parent, const QString &prompt, const QString &title) override;
    void reportError(QWidget *parent, const QString &message) override;
    void tell(QWidget *parent, const QString &message) override;
    void firstFrameShown() override;
    void keepOnTop(QWidget *window) override;
    void beginSystemMove(QWidget *window) override;
    void activate(QWidget *window, const Activation &activation) override;

private:
    FirstFrame m_firstFrame;
    std::unique_ptr<MoveTracker> m_moves;
};

} // namespace runtime
