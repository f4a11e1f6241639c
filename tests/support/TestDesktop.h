#pragma once

// The desktop as a test sets it up: the pointer where the test puts it, questions answered from
// a list given beforehand, error reports and first frames counted rather than shown.

#include "runtime/Desktop.h"

#include <QList>
#include <QStringList>

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

    // Takes the first answer given; a question nobody answered is closed, which counts as No.
    QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &prompt,
                                         const QString &title) override
    {
        questions.append({prompt, title, parent});
        return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
    }

    void reportError(QWidget *, const QString &message) override { reports << message; }
    void firstFrameShown() override { ++firstFrames; }

    // Where the pointer is, in screen pixels; empty for a pointer that cannot be read.
    std::optional<QPoint> pointer = QPoint(0, 0);
    QList<QMessageBox::StandardButton> answers;
    QList<Question> questions;
    QStringList reports;
    int firstFrames = 0;
};

} // namespace testsupport
