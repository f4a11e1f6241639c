#include "DragForm.h"
#include "Form1.h"
#include "runtime/CheckBox.h"
#include "runtime/ErrorReport.h"
#include "runtime/FirstFrameMarker.h"
#include "runtime/Image.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/MessageBox.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "runtime/Topmost.h"

namespace window {

namespace {
// The unrolled height; rolled up, the window is as high as the title strip.
constexpr float UnrolledHeight = 4335;
} // namespace

bool Form1::Load(ListFill fill)
{
    setTop(0);
    if (const store::Result<store::Done> usable = noteStore().check(); !usable) {
        reportStoreError(usable.error());
        return false;
    }
    if (fill == ListFill::Now) {
        store::Result<store::NoteList> notes = noteStore().listNotes();
        if (!notes) {
            reportStoreError(notes.error());
            return false;
        }
        showList(std::move(*notes));
    } else {
        runtime::afterFirstFrame(*this, [this] { reloadList(); });
    }
    rollToggle();
    runtime::makeTopmost(this);
    fldNote->setTextValue(QString());
    fldNote->setLocked(true);
    lst->setColumnHeaderWidth(0);
    return true;
}

void Form1::rollToggle()
{
    // Rolled up is exactly "as high as the title strip": both read as twips and compared for
    // equality, so any other height (a resize by the system, say) rolls the window up.
    const float stripHeight = Label1->Height();
    const float height = Height();
    if (height == stripHeight) {
        setHeight(UnrolledHeight);
        up->setVisible(true);
        down->setVisible(false);
        Timer3->setEnabled(true);
    } else {
        setHeight(stripHeight);
        up->setVisible(false);
        down->setVisible(true);
        Timer3->setEnabled(false);
    }
}

void Form1::Label1_DblClick()
{
    rollToggle();
}

void Form1::Label1_MouseDown()
{
    // Only a checked box (1) locks the window; unchecked (0) and grayed (2) let it move.
    if (chkMoveable->Value() == 1)
        return;
    DragForm(*this);
}

void Form1::down_MouseMove()
{
    rollToggle();
}

void Form1::Command5_Click()
{
    const int answer = runtime::askYesNo(this, QStringLiteral("Vill du avsluta Zentavo?"),
                                         QStringLiteral("Zentavo 1.0"));
    if (answer == runtime::vbYes)
        close();
}

} // namespace window
