#include "NoteWindow.h"
#include "runtime/ErrorReport.h"
#include "runtime/FirstFrameMarker.h"
#include "runtime/MessageBox.h"
#include "runtime/SystemMove.h"
#include "runtime/Topmost.h"
#include "window/controls/CheckBox.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

namespace window {

namespace {
// The unrolled height; rolled up, the window is as high as the title strip.
constexpr float UnrolledHeight = 4335;
} // namespace

bool NoteWindow::load(ListFill fill)
{
    setTop(0);
    if (fill == ListFill::Now) {
        // Reading the list checks the file as thoroughly as check() would: one session, not two.
        store::Result<store::NoteList> notes = noteStore().listNotes();
        if (!notes) {
            reportStoreError(notes.error());
            return false;
        }
        showList(std::move(*notes));
    } else {
        if (const store::Result<store::Done> usable = noteStore().check(); !usable) {
            reportStoreError(usable.error());
            return false;
        }
        runtime::afterFirstFrame(*this, [this] { reloadList(); });
    }
    toggleRolledUp();
    runtime::makeTopmost(this);
    noteText->setText(QString());
    noteText->setLocked(true);
    noteList->setColumnHeaderWidth(0);
    return true;
}

void NoteWindow::toggleRolledUp()
{
    // Rolled up is exactly "as high as the title strip": both read as twips and compared for
    // equality, so any other height (a resize by the system, say) rolls the window up.
    const float stripHeight = titleStrip->Height();
    const float height = Height();
    if (height == stripHeight) {
        setHeight(UnrolledHeight);
        unrolledArrow->setVisible(true);
        rolledUpArrow->setVisible(false);
        pointerPoll->setEnabled(true);
    } else {
        setHeight(stripHeight);
        unrolledArrow->setVisible(false);
        rolledUpArrow->setVisible(true);
        pointerPoll->setEnabled(false);
    }
}

void NoteWindow::dragWindow()
{
    // Only a checked box locks the window; unchecked and grayed let it move.
    if (lockBox->checkState() == Qt::Checked)
        return;
    runtime::beginSystemMove(this);
}

void NoteWindow::unrollOnHover()
{
    toggleRolledUp();
}

void NoteWindow::askExit()
{
    const QMessageBox::StandardButton answer = runtime::askYesNo(
        this, QStringLiteral("Vill du avsluta Zentavo?"), QStringLiteral("Zentavo 1.0"));
    if (answer == QMessageBox::Yes)
        close();
}

} // namespace window
