#include "DraftKeeper.h"
#include "NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace window {

namespace {

// Starts or stops a timer; a timer that already runs keeps its interval running, so that a stream
// of events that keep asking for it never holds its ticks back.
void runTimer(QTimer *timer, bool running)
{
    if (timer->isActive() == running)
        return;
    if (running)
        timer->start();
    else
        timer->stop();
}

bool takesTabFocus(const QWidget *widget)
{
    return widget->isVisible() && widget->isEnabled()
           && (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

} // namespace

void NoteWindow::render()
{
    // A control's signal raised by this render (the note area's text changing) is drawn here,
    // by the steps that follow.
    if (m_rendering)
        return;
    m_rendering = true;
    const bool rolledUp = m_state.rolledUp();
    resize(placeOnScreen().size());
    m_ui.unrolledArrow->setVisible(!rolledUp);
    m_ui.rolledUpArrow->setVisible(rolledUp);
    // Until the first frame the window has its strip alone; the rest is made right after it, and
    // what the state holds for it is drawn from then on.
    if (noteAreaMade()) {
        // What the rolled-up window clips away is hidden as well, so that neither Tab nor
        // assistive technology finds it there; the state keeps the panel open and the note as they
        // were, and they show again when the window unrolls. (The list is first laid out when the
        // window first unrolls.) A control hidden with the focus hands it to the title strip.
        m_ui.noteText->setVisible(!rolledUp);
        m_ui.noteList->setVisible(!rolledUp);
        m_ui.menuButton->setVisible(!rolledUp);
        runTimer(m_ui.pointerPoll, !rolledUp);

        renderList();

        const Panel panel = rolledUp ? Panel::None : m_state.panel();
        m_ui.commandPanel->setVisible(panel == Panel::Commands);
        m_ui.savePanel->setVisible(panel == Panel::Save);
        m_ui.deletePanel->setVisible(panel == Panel::Delete);
        m_ui.findPanel->setVisible(panel == Panel::Find);
        renderFind();
        renderNote();
    }
    renderFocus(rolledUp);
    renderDraft();
    m_rendering = false;
}

void NoteWindow::renderList()
{
    m_ui.noteList->resize(m_scale.x(m_state.listWidth()), m_scale.y(design::NoteList.height));
    // A negative width is the state's to keep; the list keeps the column it has.
    if (m_state.columnWidth() >= 0)
        m_ui.noteList->setColumnWidth(0, m_scale.x(m_state.columnWidth()));
    runTimer(m_ui.slideTimer, m_state.slide() != Slide::Still);
}

void NoteWindow::renderNote()
{
    // The answer to a restored draft goes before its text, whose change is the draft's next.
    if (const DraftAnswer answer = m_state.takeDraftAnswer(); answer != DraftAnswer::None)
        m_drafts->answerRestored(answer == DraftAnswer::Taken ? DraftKeeper::Answer::Taken
                                                              : DraftKeeper::Answer::NotTaken);
    if (const std::optional<QString> text = m_state.takeNoteText()) {
        m_ui.noteText->setText(*text);
        markHits();
    }
    if (const std::optional<QString> title = m_state.takeTitle())
        m_ui.titleEdit->setText(*title);
    // Locking again what is locked would only tell the text area's watchers of a change.
    if (m_ui.noteText->isLocked() == m_state.noteEditable())
        m_ui.noteText->setLocked(!m_state.noteEditable());
}

void NoteWindow::renderFocus(bool rolledUp)
{
    // Only rolled up does the title strip take the focus: there, the keys that unroll it
    // reach the window; unrolled, the strip is for the pointer alone.
    m_ui.titleStrip->setFocusPolicy(rolledUp ? Qt::TabFocus : Qt::NoFocus);
    QWidget *const focused = focusWidget();
    const Focus moveTo = m_state.takeFocus();
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
    if (!focused || focused == m_ui.titleStrip) {
        // Unrolled: back where the focus was when the window rolled up, so typing goes on there.
        QWidget *back = m_focusBeforeRollUp;
        if (!back || !takesTabFocus(back))
            back = m_ui.noteText;
        back->setFocus(Qt::OtherFocusReason);
        m_focusBeforeRollUp = nullptr;
    }
    // Where the state moves the focus, and why, as Qt's focus events tell it: a panel opened
    // from the keyboard is reached as by Tab, the list as by its key.
    const std::pair<QWidget *, Qt::FocusReason> targets[]
        = {{nullptr, Qt::OtherFocusReason},         {m_ui.noteText, Qt::OtherFocusReason},
           {m_ui.titleEdit, Qt::OtherFocusReason},  {m_ui.noteList, Qt::ShortcutFocusReason},
           {m_ui.newButton, Qt::TabFocusReason},    {m_ui.deleteYesButton, Qt::TabFocusReason},
           {m_ui.findEdit, Qt::ShortcutFocusReason}};
    if (const auto [target, reason] = targets[int(moveTo)]; target)
        target->setFocus(reason);
    // Typing replaces the title used last time.
    if (moveTo == Focus::TitleBox)
        m_ui.titleEdit->selectAll();
}

void NoteWindow::renderDraft()
{
    const DraftChange change = m_state.takeDraftChange();
    if (change == DraftChange::Soon)
        m_drafts->changed();
    else if (change == DraftChange::Now)
        m_drafts->changedNow();
}

bool NoteWindow::focusNextPrevChild(bool next)
{
    QWidget *const focused = focusWidget();
    // The control with the focus is being hidden by render(): its panel closed, or the window
    // rolled up.
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

} // namespace window
