#include "NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"

namespace window {

void NoteWindow::showNote(qint64 id)
{
    // The note being saved stays: a title chosen while the save panel is open shows nothing.
    if (!m_ui.savePanel->isHidden())
        return;
    // Read first: a note that cannot be read leaves the note shown, its ID and its lock as
    // they were, so that "Radera" still acts on the note the user sees.
    store::Result<store::Note> read = m_notes.readNote(id);
    if (!read) {
        reportStoreError(read.error());
        if (read.error().kind == store::StoreError::Kind::NoteGone)
            reloadList();
        return;
    }
    m_ui.shownNoteId->setText(QString::number(id));
    m_ui.noteText->setText(read->text);
    m_ui.noteText->setLocked(true);
    m_shownNote = std::move(*read);
}

void NoteWindow::highlightMoved(qint64 id)
{
    // Typed text that is not a stored note is never replaced by a key in the list: the
    // highlight moves, and Enter or Space shows the note. Otherwise the note shows at once.
    if (!m_ui.noteText->isLocked() && !m_ui.noteText->text().isEmpty())
        return;
    showNote(id);
}

void NoteWindow::toggleCommandPanel()
{
    // While a question panel is open "M" does nothing at all, not even move the focus.
    if (!m_ui.deletePanel->isHidden())
        return;
    if (!m_ui.savePanel->isHidden())
        return;
    m_ui.commandPanel->setVisible(m_ui.commandPanel->isHidden());
    m_ui.noteText->setFocus();
}

void NoteWindow::newNote()
{
    m_ui.noteText->setText(QString());
    m_ui.shownNoteId->setText(QString());
    m_shownNote.reset();
    m_ui.noteText->setLocked(false);
    m_ui.commandPanel->setVisible(false);
    // The panel's button had the focus; typing goes to the new note, not the next tab stop.
    m_ui.noteText->setFocus();
}

void NoteWindow::askTitle()
{
    // A stored note is never saved again: only a new or blank note can be.
    if (!m_ui.shownNoteId->text().isEmpty())
        return;
    m_ui.commandPanel->setVisible(false);
    m_ui.savePanel->setVisible(true);
    // Typing replaces the title used last time.
    m_ui.titleEdit->setFocus();
    m_ui.titleEdit->selectAll();
}

void NoteWindow::saveNote()
{
    // A failed save leaves everything as it was (title, text, the open panel) so the user can
    // try again or copy the note; the database has not been changed.
    if (const store::Result<qint64> saved
        = m_notes.insertNote(m_ui.titleEdit->text(), m_ui.noteText->text());
        !saved) {
        reportStoreError(saved.error());
        return;
    }
    // The note is stored now. A list that cannot be reloaded is reported, but the save is
    // finished all the same: keeping the panel open would only invite saving it twice.
    reloadList();
    newNote();
    m_ui.savePanel->setVisible(false);
    m_ui.noteText->setFocus();
}

void NoteWindow::cancelSave()
{
    m_ui.savePanel->setVisible(false);
    m_ui.noteText->setFocus();
}

void NoteWindow::askDelete()
{
    if (m_ui.shownNoteId->text().isEmpty())
        return;
    m_ui.commandPanel->setVisible(false);
    m_ui.deletePanel->setVisible(true);
}

void NoteWindow::deleteNote()
{
    if (!m_shownNote) {
        m_ui.deletePanel->setVisible(false);
        m_ui.noteText->setFocus();
        return;
    }
    const store::Result<store::Done> deleted = m_notes.deleteNote(*m_shownNote);
    if (!deleted) {
        reportStoreError(deleted.error());
        // A failure to reach the file removes nothing and leaves the question open, so the
        // user can try again.
        if (deleted.error().kind == store::StoreError::Kind::Failure)
            return;
        // The note shown is no longer in the database as shown: nothing was deleted, and the
        // list is read again so that it shows what there is.
        m_ui.deletePanel->setVisible(false);
        m_ui.noteText->setFocus();
        reloadList();
        return;
    }
    reloadList();
    m_ui.deletePanel->setVisible(false);
    newNote();
}

void NoteWindow::cancelDelete()
{
    m_ui.deletePanel->setVisible(false);
    m_ui.noteText->setFocus();
}

} // namespace window
