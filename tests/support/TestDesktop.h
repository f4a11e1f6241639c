#pragma once

// The desktop as a test sets it up: the pointer where the test puts it, questions answered from a
// list given beforehand, error reports and first frames counted rather than shown. Staying on top
// and the window manager's move are the real ones (on the offscreen platform a move is made by
// hand, with the pointer's moves).

#include "runtime/Desktop.h"
#include "runtime/SystemDesktop.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace testsupport {

class TestDesktop final : public runtime::Desktop
{
public:
    struct Question
    {
        QString prompt;
        QString title;
        QWidget *parent;
    };

    std::optional<QPoint> pointerPosition() override { return pointer; }

    // Takes the first answer given; a question nobody answered is closed, which counts as "Nej".
    bool askYesNo(QWidget *parent, const QString &prompt, const QString &title) override
    {
        questions.append({prompt, title, parent});
        return !answers.isEmpty() && answers.takeFirst();
    }

    void reportError(QWidget *, const QString &message) override { reports << message; }
    void tell(QWidget *, const QString &message) override { notices << message; }
    void firstFrameShown() override
    {
        ++firstFrames;
        if (atFirstFrame)
            atFirstFrame();
    }
    void keepOnTop(QWidget *window) override { m_system.keepOnTop(window); }
    void beginSystemMove(QWidget *window) override
    {
        ++systemMoves;
        m_system.beginSystemMove(window);
    }
    // The real activation (on the offscreen platform, Qt's own), remembering what it came with.
    void activate(QWidget *window, const runtime::Activation &activation) override
    {
        activations.append(activation);
        m_system.activate(window, activation);
    }

    // Where the pointer is, in screen pixels; empty for a pointer that cannot be read.
    std::optional<QPoint> pointer = QPoint(0, 0);
    // The answers to the questions to come, "Ja" being true.
    QList<bool> answers;
    QList<Question> questions;
    QStringList reports;
    QStringList notices;
    int firstFrames = 0;
    // Called at the first frame, before the window makes the rest of its controls and reads.
    std::function<void()> atFirstFrame;
    int systemMoves = 0;
    QList<runtime::Activation> activations;

private:
    runtime::SystemDesktop m_system;
};

} // namespace testsupport
