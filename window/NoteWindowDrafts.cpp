#include "DraftKeeper.h"
#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "window/controls/NoteTextEdit.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QTextDocument>

namespace window {

std::optional<store::Draft> NoteWindow::draftToKeep() const
{
    if (!m_state.noteEditable())
        return std::nullopt;
    store::Draft draft{m_ui.noteText->text(), std::nullopt};
    if (draft.text.isEmpty())
        return std::nullopt;
    if (m_state.panel() == Panel::Save)
        draft.title = m_ui.titleEdit->text();
    return draft;
}

void NoteWindow::readDraftToKeep(std::function<void(std::optional<store::Draft>)> handover)
{
    if (!m_state.noteEditable()) {
        handover(std::nullopt);
        return;
    }
    m_ui.noteText->readText([this, handover = std::move(handover)](const QString &text) {
        if (text.isEmpty() || !m_state.noteEditable()) {
            handover(std::nullopt);
            return;
        }
        store::Draft draft{text, std::nullopt};
        if (m_state.panel() == Panel::Save)
            draft.title = m_ui.titleEdit->text();
        handover(std::move(draft));
    });
}

void NoteWindow::noteEdited()
{
    m_drafts->changed();
}

void NoteWindow::keepDraftNow()
{
    m_drafts->keepNow();
}

void NoteWindow::closeEvent(QCloseEvent *event)
{
    // However the window is closed (the exit question, the window manager, the session ending),
    // the note being written stays on disk.
    keepDraftNow();
    QWidget::closeEvent(event);
}

void NoteWindow::restoreDraft(const store::Draft &draft)
{
    // The draft comes just after the first frame, while the window is still rolled up and its
    // note area read-only, or (a command having called the window up at once, or "Ny" pressed)
    // empty for a new note: nothing the person did is in its place yet.
    const bool emptyNewNote = m_state.noteMode() == NoteMode::Writing
                              && m_state.panel() != Panel::Save
                              && m_ui.noteText->document()->isEmpty();
    if (m_state.noteMode() != NoteMode::Blank && !emptyNewNote) {
        m_drafts->answerRestored(DraftKeeper::Answer::NotTaken);
        m_desktop.tell(this, QStringLiteral("En anteckning som inte var sparad när Zentavo "
                                            "avslutades förra gången väntar kvar, eftersom du "
                                            "redan skriver en ny. Den återställs nästa gång "
                                            "Zentavo startar, eller spara den med: zentavo-notes "
                                            "drafts --save"));
        return;
    }
    m_drafts->answerRestored(DraftKeeper::Answer::Taken);
    m_ui.noteText->setText(draft.text);
    if (draft.title)
        m_ui.titleEdit->setText(*draft.title);
    m_state.startNewNote();
    render();
    m_desktop.tell(this, QStringLiteral("Zentavo har återställt en anteckning som inte var sparad "
                                        "när programmet avslutades förra gången. Den finns i "
                                        "anteckningsfältet: rulla ned fönstret för att se den, och "
                                        "spara den med M, Spara."));
}

void NoteWindow::draftNotKept(const store::StoreError &error)
{
    m_desktop.tell(this, error.message());
}

} // namespace window
