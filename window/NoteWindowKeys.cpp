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

// The key of the window that a key press is, if any. Enter counts apart in the title box, where
// it is "OK".
std::optional<Key> windowKey(const QKeyEvent &event, bool inTitleBox)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (event.key()) {
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return inTitleBox ? Key::EnterInTitleBox : Key::Enter;
        case Qt::Key_Down:
            return Key::Down;
        default:
            return std::nullopt;
        }
    }
    if (modifiers != Qt::ControlModifier)
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_N:
        return Key::New;
    case Qt::Key_S:
        return Key::Save;
    case Qt::Key_Delete:
        return Key::Delete;
    case Qt::Key_Q:
        return Key::Exit;
    case Qt::Key_L:
        return Key::List;
    default:
        return std::nullopt;
    }
}

bool pressesButton(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier
           && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter
               || event.key() == Qt::Key_Space);
}

bool takesTabFocus(const QWidget *widget)
{
    return widget->isVisible() && widget->isEnabled()
           && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

} // namespace

void NoteWindow::watchKeys()
{
    // A key goes to the control with the focus, or to the window when none has it.
    installEventFilter(this);
    forEachControl(m_ui, [this](QObject *control, const char *) {
        if (control->isWidgetType())
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
    if (const std::optional<Key> key = windowKey(event, receiver == m_ui.titleEdit)) {
        const KeyCommand command = m_state.commandForKey(*key);
        if (command != KeyCommand::None) {
            // A key held down gives its command once.
            if (!event.isAutoRepeat())
                runKeyCommand(command);
            return true;
        }
    }
    if (auto *button = qobject_cast<CommandButton *>(receiver); button && pressesButton(event)) {
        if (!event.isAutoRepeat())
            pressByKey(button);
        return true;
    }
    return false;
}

void NoteWindow::runKeyCommand(KeyCommand command)
{
    switch (command) {
    case KeyCommand::None:
        break;
    case KeyCommand::Unroll:
    case KeyCommand::RollUp:
        toggleRolledUp();
        break;
    case KeyCommand::CloseCommandPanel:
        toggleCommandPanel();
        break;
    case KeyCommand::CancelSave:
        cancelSave();
        break;
    case KeyCommand::CancelDelete:
        cancelDelete();
        break;
    case KeyCommand::NewNote:
        newNote();
        break;
    case KeyCommand::AskTitle:
        // The title box takes the focus, as for the pointer.
        askTitle();
        break;
    case KeyCommand::AskDelete:
        pressByKey(m_ui.deleteButton);
        break;
    case KeyCommand::AskExit:
        askExit();
        break;
    case KeyCommand::SaveNote:
        saveNote();
        break;
    case KeyCommand::FocusList:
        m_ui.noteList->setFocus(Qt::ShortcutFocusReason);
        break;
    }
}

void NoteWindow::pressByKey(QAbstractButton *button)
{
    // A panel opened from the keyboard takes the focus, at its first button; opened with the
    // pointer, it leaves the focus where typing goes on.
    if (button == m_ui.menuButton) {
        toggleCommandPanel();
        if (m_state.panel() == Panel::Commands)
            m_ui.newButton->setFocus(Qt::TabFocusReason);
    } else if (button == m_ui.deleteButton) {
        askDelete();
        if (m_state.panel() == Panel::Delete)
            m_ui.deleteYesButton->setFocus(Qt::TabFocusReason);
    } else {
        button->click();
    }
}

bool NoteWindow::focusNextPrevChild(bool next)
{
    QWidget *const focused = focusWidget();
    // The control with the focus is being hidden: its panel closed, or the window rolled up.
    if (focused && !focused->isVisible()) {
        if (m_state.rolledUp()) {
            m_focusBeforeRollUp = focused;
            m_ui.titleStrip->setFocus(Qt::OtherFocusReason);
        } else {
            m_ui.noteText->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }
    // A question that is open keeps Tab among its own controls, over the ones it covers.
    QWidget *question = nullptr;
    if (!m_state.rolledUp() && m_state.panel() == Panel::Save)
        question = m_ui.savePanel;
    else if (!m_state.rolledUp() && m_state.panel() == Panel::Delete)
        question = m_ui.deletePanel;
    if (!question)
        return QWidget::focusNextPrevChild(next);
    QWidget *const from = focused ? focused : this;
    for (QWidget *w = from;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == from)
            return true;
        if (question->isAncestorOf(w) && takesTabFocus(w)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void NoteWindow::renderFocus(bool rolledUp)
{
    // Only rolled up does the title strip take the focus: there, the keys that unroll it
    // reach the window; unrolled, the strip is for the pointer alone.
    m_ui.titleStrip->setFocusPolicy(rolledUp ? Qt::TabFocus : Qt::NoFocus);
    QWidget *const focused = focusWidget();
    if (rolledUp) {
        // Rolled up while another window has the keyboard, the window's own focus is moved here
        // (while it has the keyboard, focusNextPrevChild has already moved it).
        if (!focused || !focused->isVisibleTo(this)) {
            if (focused)
                m_focusBeforeRollUp = focused;
            m_ui.titleStrip->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (focused && focused != m_ui.titleStrip)
        return;
    // Unrolled: back where the focus was when the window rolled up, so typing goes on there.
    QWidget *back = m_focusBeforeRollUp;
    if (!back || !takesTabFocus(back))
        back = m_ui.noteText;
    back->setFocus(Qt::OtherFocusReason);
    m_focusBeforeRollUp = nullptr;
}

} // namespace window
