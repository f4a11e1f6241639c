#include "Form1.h"
#include "runtime/CommandButton.h"
#include "runtime/Frame.h"
#include "runtime/ListView.h"
#include "runtime/TextBox.h"
#include "store/Connection.h"
#include "store/FillList.h"
#include "store/Notes.h"

namespace window {

void Form1::lst_ItemClick(const QString &key)
{
    const QString id = store::IdFromKey(key);
    fldID->setTextValue(id);
    const store::ReadResult read = store::ReadNote(id);
    if (read.error) {
        reportStoreError(*read.error);
        return;
    }
    // A note deleted meanwhile by someone else leaves the note area as it was.
    if (read.note.found) {
        fldNote->setTextValue(read.note.text);
        fldNote->setLocked(true);
    }
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
    fldNote->setLocked(false);
    frmCmds->setVisible(false);
}

void Form1::Command2_Click()
{
    // A stored note is never saved again: only a new or blank note can be.
    if (!fldID->Text().isEmpty())
        return;
    frmCmds->setVisible(false);
    frmSave->setVisible(true);
}

void Form1::Command6_Click()
{
    // A failed save leaves everything as it was (title, text, the open panel) so the user can
    // try again or copy the note; the database has not been changed.
    if (const store::StoreResult failure = store::InsertNote(fldTitel->Text(), fldNote->Text())) {
        reportStoreError(*failure);
        return;
    }
    // The note is stored now. A list that cannot be reloaded is reported, but the save is
    // finished all the same: keeping the panel open would only invite saving it twice.
    if (const store::StoreResult failure = store::FillList(*lst))
        reportStoreError(*failure);
    Command4_Click();
    frmSave->setVisible(false);
}

void Form1::Command7_Click()
{
    frmSave->setVisible(false);
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
    // A failed delete removes nothing and leaves the question open, so the user can try again.
    if (const store::StoreResult failure = store::DeleteNote(fldID->Text())) {
        reportStoreError(*failure);
        return;
    }
    if (const store::StoreResult failure = store::FillList(*lst))
        reportStoreError(*failure);
    frmErase->setVisible(false);
    Command4_Click();
    store::CloseDb();
}

void Form1::Command9_Click()
{
    frmErase->setVisible(false);
}

} // namespace window
