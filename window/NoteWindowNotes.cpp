#include "NoteSyncer.h"
#include "NoteWindow.h"
#include "store/Sync.h"
#include "window/controls/ListView.h"

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
    m_state.showStoredNote(std::move(*read));
    render();
}

void NoteWindow::highlightMoved(qint64 id)
{
    // Typed text that is not a stored note is never replaced by a key in the list: the highlight
    // moves, and Enter or Space shows the note. Otherwise the note shows at once.
    if (!m_state.holdsTypedText())
        showNote(id);
}

void NoteWindow::saveNote()
{
    // A failed save leaves everything as it was (title, text, the open panel) so that the person
    // can try again or copy the note; the database has not been changed.
    const store::Draft typed = typedNote();
    if (const store::Result<qint64> saved
        = m_notes.insertNote(typed.title.value_or(QString()), typed.text);
        !saved) {
        reportStoreError(saved.error());
        return;
    }
    // The note is stored now. A list that cannot be read again is reported, but the save is
    // finished all the same: keeping the panel open would only invite saving it twice.
    reloadList();
    m_state.changeStored();
    render();
    // The save is done; the folder gets the note when the round comes to it.
    m_syncer->requestRound();
}

void NoteWindow::deleteNote()
{
    // Recorded as deleted here, so that the next round takes it from the other machines too.
    const store::Result<store::Done> deleted
        = store::deleteSyncedNote(m_notes.path(), *m_state.shownNote());
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
        m_state.deleteRefused(error.current);
        render();
        reloadList();
        return;
    }
    reloadList();
    m_state.changeStored();
    render();
    m_syncer->requestRound();
}

} // namespace window
