#pragma once

#include "Desktop.h"

namespace runtime {

// The real desktop: Qt's pointer position and modal message boxes. Error reports also go to
// standard error, and only there on the offscreen platform, where no one could close a box.
class SystemDesktop final : public Desktop
{
public:
    // Start-up measurements ask to have the first frame's time printed on standard output as
    // "first-frame <microseconds since the epoch>".
    enum class FirstFrame { Quiet, Report };

    explicit SystemDesktop(FirstFrame firstFrame = FirstFrame::Quiet);

    std::optional<QPoint> pointerPosition() override;
    QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &prompt,
                                         const QString &title) override;
    void reportError(QWidget *parent, const QString &message) override;
    void firstFrameShown() override;

private:
    FirstFrame m_firstFrame;
};

} // namespace runtime
