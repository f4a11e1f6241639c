#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

namespace runtime {

// What the window needs from the person at the desktop and cannot get from a widget: where the
// pointer is, the answer to a modal question, the reading of an error report, and the moment its
// first frame is on the screen. SystemDesktop is the real one; tests hand the window one of their
// own, so that a question is answered and the pointer placed without a person.
class Desktop
{
public:
    virtual ~Desktop() = default;
    Desktop(const Desktop &) = delete;
    Desktop &operator=(const Desktop &) = delete;

    // The pointer's position on the screen, in the pixels window geometry is measured in. Empty
    // when it cannot be read.
    virtual std::optional<QPoint> pointerPosition() = 0;

    // Asks a modal question with the buttons "Ja" and "Nej" and no icon, "Ja" being the default.
    // Returns QMessageBox::Yes or QMessageBox::No; a box closed without a choice counts as No.
    virtual QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &prompt,
                                                 const QString &title)
        = 0;

    // Tells the person what went wrong. The caller decides what happens afterwards.
    virtual void reportError(QWidget *parent, const QString &message) = 0;

    // Called once, when the window's first frame has been painted and flushed.
    virtual void firstFrameShown() = 0;

protected:
    Desktop() = default;
};

} // namespace runtime
