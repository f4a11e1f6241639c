#include "DraftKeeper.h"
#include "NoteWindow.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QLineEdit>

namespace window {

void NoteWindow::showNote(qint64 id)
{
    // The note being saved stays: a title chosen while the save panel is open shows nothing.
    if (!m_state.showsChosenNote())
        return;
    // Read first: a note that cannot be read leaves the note shown as it was, so that "Radera"
    // still acts on the note the person sees.
    store::Result<store::Note> read = m_notes.readNote(id);
    if (!read) {
        reportStoreError(read.error());
        if (read.error().kind == store::StoreError::Kind::NoteGone)
            reloadList();
        return;
    }
    m_ui.noteText->setText(read->text);
    m_state.showStoredNote(std::move(*read));
    render();
    m_drafts->changedNow();
}

void NoteWindow::highlightMoved(qint64 id)
{
    // Typed text that is not a stored note is never replaced by a key in the list: the highlight
    // moves, and Enter or Space shows the note. Otherwise the note shows at once.
    if (m_state.noteEditable() && !m_ui.noteText->text().isEmpty())
        return;
    showNote(id);
}

void NoteWindow::toggleCommandPanel()
{
    if (!m_state.toggleCommandPanel())
        return;
    render();
    m_ui.noteText->setFocus();
}

void NoteWindow::newNote()
{
    m_ui.noteText->setText(QString());
    m_state.startNewNote();
    render();
    m_drafts->changedNow();
    // The panel's button had the focus; typing goes to the new note, not the next tab stop.
    m_ui.noteText->setFocus();
}

void NoteWindow::askTitle()
{
    if (!m_state.openSavePanel())
        return;
    render();
    m_drafts->changed();
    // Typing replaces the title used last time.
    m_ui.titleEdit->setFocus();
    m_ui.titleEdit->selectAll();
}

void NoteWindow::saveNote()
{
    // A failed save leaves everything as it was (title, text, the open panel) so that the person
    // can try again or copy the note; the database has not been changed.
    if (const store::Result<qint64> saved
        = m_notes.insertNote(m_ui.titleEdit->text(), m_ui.noteText->text());
        !saved) {
        reportStoreError(saved.error());
        return;
    }
    // The note is stored now. A list that cannot be read again is reported, but the save is
    // finished all the same: keeping the panel open would only invite saving it twice.
    reloadList();
    m_ui.noteText->setText(QString());
    m_state.changeStored();
    render();
    m_drafts->changedNow();
    m_ui.noteText->setFocus();
}

void NoteWindow::cancelSave()
{
    m_state.closePanel();
    render();
    m_drafts->changed();
    m_ui.noteText->setFocus();
}

void NoteWindow::askDelete()
{
    if (m_state.openDeletePanel())
        render();
}

void NoteWindow::deleteNote()
{
    const std::optional<store::Note> &shown = m_state.shownNote();
    if (!shown) {
        cancelDelete();
        return;
    }
    const store::Result<store::Done> deleted = m_notes.deleteNote(*shown);
    if (!deleted) {
        const store::StoreError &error = deleted.error();
        reportStoreError(error);
        // A failure to reach the file removes nothing and leaves the question open, so the
        // person can try again.
        if (error.kind == store::StoreError::Kind::Failure)
            return;
        // The note shown is no longer in the database as shown: nothing was deleted, and the
        // list is read again so that it shows what there is. A note changed under its ID is
        // shown as it is now, so that "Radera" asks about the note the database holds.
        cancelDelete();
        if (error.current) {
            m_ui.noteText->setText(error.current->text);
            m_state.showStoredNote(*error.current);
            render();
            m_drafts->changedNow();
        }
        reloadList();
        return;
    }
    reloadList();
    m_ui.noteText->setText(QString());
    m_state.changeStored();
    render();
    m_drafts->changedNow();
    m_ui.noteText->setFocus();
}

void NoteWindow::cancelDelete()
{
    m_state.closePanel();
    render();
    m_ui.noteText->setFocus();
}

} // namespace window
