#include "NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace window {

namespace {

// Enter or Space: what presses a focused button.
bool pressesButton(QKeyCombination key)
{
    return key == QKeyCombination(Qt::Key_Return) || key == QKeyCombination(Qt::Key_Enter)
           || key == QKeyCombination(Qt::Key_Space);
}

} // namespace

void NoteWindow::watchKeys()
{
    // A key goes to the control with the focus, or to the window when none has it. Called again
    // once the note area is made; a control watched already is watched once all the same.
    installEventFilter(this);
    forEachControl(m_ui, [this](QObject *control, const char *) {
        if (control && control->isWidgetType())
            control->installEventFilter(this);
    });
}

bool NoteWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(watched, static_cast<const QKeyEvent &>(*event));
    case QEvent::FocusIn:
        if (watched == m_ui.noteList) {
            m_state.listFocused();
            renderList();
        }
        break;
    case QEvent::FocusOut:
        // Another window taking the keyboard leaves the focus in the list, where it comes back.
        if (watched == m_ui.noteList
            && static_cast<const QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason
            && static_cast<const QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            m_state.listLeft();
            renderList();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool NoteWindow::keyPressed(QObject *receiver, const QKeyEvent &event)
{
    const QKeyCombination key(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
    const KeyScope where = receiver == m_ui.titleEdit  ? KeyScope::TitleBox
                           : receiver == m_ui.findEdit ? KeyScope::FindBox
                                                       : KeyScope::Window;
    std::optional<Command> command
        = commandForKey(key, where, [this](Command c) { return m_state.allows(c, Origin::Key); });
    if (!command && pressesButton(key)) {
        for (const auto &[button, given] : buttonCommands()) {
            if (receiver == button)
                command = given;
        }
    }
    if (!command)
        return false;
    // A key held down gives its command once.
    if (!event.isAutoRepeat())
        run(*command, Origin::Key);
    return true;
}

} // namespace window
