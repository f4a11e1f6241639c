#include "DraftKeeper.h"
#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "window/controls/NoteTextEdit.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QTextDocument>

namespace window {

store::Draft NoteWindow::typedNote() const
{
    store::Draft typed{m_ui.noteText->text(), std::nullopt};
    if (m_state.panel() == Panel::Save)
        typed.title = m_ui.titleEdit->text();
    return typed;
}

std::optional<store::Draft> NoteWindow::draftToKeep() const
{
    // Before the note area is made (the program ending before its first frame) nothing was typed.
    if (!noteAreaMade() || !m_state.noteEditable())
        return std::nullopt;
    store::Draft draft = typedNote();
    if (draft.text.isEmpty())
        return std::nullopt;
    return draft;
}

void NoteWindow::readDraftToKeep(std::function<void(std::optional<store::Draft>)> handover)
{
    if (!m_state.noteEditable()) {
        handover(std::nullopt);
        return;
    }
    // typedNote() in pieces: a long text is read from the event loop, a piece at a time.
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
    // Whether the note area is empty is known at once, without reading its text.
    m_state.noteEdited(!m_ui.noteText->document()->isEmpty());
    render();
}

void NoteWindow::titleEdited()
{
    m_state.titleEdited();
    render();
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
    const bool taken = m_state.restoreDraft(draft);
    render();
    if (!taken) {
        m_desktop.tell(this, QStringLiteral("En anteckning som inte var sparad när Zentavo "
                                            "avslutades förra gången väntar kvar, eftersom du "
                                            "redan skriver en ny. Den återställs nästa gång "
                                            "Zentavo startar, eller spara den med: zentavo-notes "
                                            "drafts --save"));
        return;
    }
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
