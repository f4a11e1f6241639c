#include "Form1.h"
#include "runtime/CommandButton.h"
#include "runtime/Frame.h"
#include "runtime/ListView.h"
#include "runtime/TextBox.h"

namespace window {

void Form1::lst_ItemClick(qint64 id)
{
    // The note being saved stays: a title chosen while the save panel is open shows nothing.
    if (frmSave->Visible())
        return;
    // Read first: a note that cannot be read leaves the note shown, its ID and its lock as
    // they were, so that "Radera" still acts on the note the user sees.
    store::Result<store::Note> read = noteStore().readNote(id);
    if (!read) {
        reportStoreError(read.error());
        if (read.error().kind == store::StoreError::Kind::NoteGone)
            reloadList();
        return;
    }
    fldID->setTextValue(QString::number(id));
    fldNote->setTextValue(read->text);
    fldNote->setLocked(true);
    m_shownNote = std::move(*read);
}

void Form1::lst_HighlightMoved(qint64 id)
{
    // Typed text that is not a stored note is never replaced by a key in the list: the
    // highlight moves, and Enter or Space shows the note. Otherwise the note shows at once.
    if (!fldNote->Locked() && !fldNote->Text().isEmpty())
        return;
    lst_ItemClick(id);
}

void Form1::Command1_Click()
{
    // While a question panel is open "M" does nothing at all, not even move the focus.
    if (frmErase->Visible())
        return;
    if (frmSave->Visible())
        return;
    frmCmds->setVisible(!frmCmds->Visible());
    fldNote->SetFocus();
}

void Form1::Command4_Click()
{
    fldNote->setTextValue(QString());
    fldID->setTextValue(QString());
    m_shownNote.reset();
    fldNote->setLocked(false);
    frmCmds->setVisible(false);
    // The panel's button had the focus; typing goes to the new note, not the next tab stop.
    fldNote->SetFocus();
}

void Form1::Command2_Click()
{
    // A stored note is never saved again: only a new or blank note can be.
    if (!fldID->Text().isEmpty())
        return;
    frmCmds->setVisible(false);
    frmSave->setVisible(true);
    // Typing replaces the title used last time.
    fldTitel->SetFocus();
    fldTitel->selectAll();
}

void Form1::Command6_Click()
{
    // A failed save leaves everything as it was (title, text, the open panel) so the user can
    // try again or copy the note; the database has not been changed.
    if (const store::Result<qint64> saved
        = noteStore().insertNote(fldTitel->Text(), fldNote->Text());
        !saved) {
        reportStoreError(saved.error());
        return;
    }
    // The note is stored now. A list that cannot be reloaded is reported, but the save is
    // finished all the same: keeping the panel open would only invite saving it twice.
    reloadList();
    Command4_Click();
    frmSave->setVisible(false);
    fldNote->SetFocus();
}

void Form1::Command7_Click()
{
    frmSave->setVisible(false);
    fldNote->SetFocus();
}

void Form1::Command3_Click()
{
    if (fldID->Text().isEmpty())
        return;
    frmCmds->setVisible(false);
    frmErase->setVisible(true);
}

void Form1::Command8_Click()
{
    if (!m_shownNote) {
        frmErase->setVisible(false);
        fldNote->SetFocus();
        return;
    }
    const store::Result<store::Done> deleted = noteStore().deleteNote(*m_shownNote);
    if (!deleted) {
        reportStoreError(deleted.error());
        // A failure to reach the file removes nothing and leaves the question open, so the
        // user can try again.
        if (deleted.error().kind == store::StoreError::Kind::Failure)
            return;
        // The note shown is no longer in the database as shown: nothing was deleted, and the
        // list is read again so that it shows what there is.
        frmErase->setVisible(false);
        fldNote->SetFocus();
        reloadList();
        return;
    }
    reloadList();
    frmErase->setVisible(false);
    Command4_Click();
}

void Form1::Command9_Click()
{
    frmErase->setVisible(false);
    fldNote->SetFocus();
}

} // namespace window
