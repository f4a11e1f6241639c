#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "runtime/FirstFrame.h"
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

bool NoteWindow::load()
{
    // Reading the list checks the file as thoroughly as check() would: one session, not two.
    store::Result<store::NoteList> notes = m_notes.listNotes();
    if (!notes) {
        reportStoreError(notes.error());
        return false;
    }
    showList(std::move(*notes));
    runtime::afterFirstFrame(*this, [this] { m_desktop.firstFrameShown(); });
    dockRolledUp();
    return true;
}

bool NoteWindow::loadChecked(const store::Result<store::Done> &checked)
{
    if (!checked) {
        reportStoreError(checked.error());
        return false;
    }
    runtime::afterFirstFrame(*this, [this] {
        m_desktop.firstFrameShown();
        reloadList();
    });
    dockRolledUp();
    return true;
}

void NoteWindow::dockRolledUp()
{
    setTopTwips(0);
    toggleRolledUp();
    runtime::makeTopmost(this);
    m_ui.noteText->setText(QString());
    m_ui.noteText->setLocked(true);
    m_ui.noteList->setColumnWidthTwips(0);
    // The rolled-up strip shows no list. Hidden, the list keeps its notes but does not lay out
    // a row for each of them (about 40 bytes a note, and the time) until the window unrolls.
    m_ui.noteList->setVisible(false);
}

void NoteWindow::toggleRolledUp()
{
    // Rolled up is exactly "as high as the title strip": both read as twips and compared for
    // equality, so any other height (a resize by the system, say) rolls the window up.
    const float stripHeight = m_ui.titleStrip->heightTwips();
    const float height = heightTwips();
    if (height == stripHeight) {
        setHeightTwips(UnrolledHeight);
        m_ui.noteList->setVisible(true);
        m_ui.unrolledArrow->setVisible(true);
        m_ui.rolledUpArrow->setVisible(false);
        m_ui.pointerPoll->setEnabled(true);
    } else {
        setHeightTwips(stripHeight);
        m_ui.unrolledArrow->setVisible(false);
        m_ui.rolledUpArrow->setVisible(true);
        m_ui.pointerPoll->setEnabled(false);
    }
}

void NoteWindow::dragWindow()
{
    // Only a checked box locks the window; unchecked and grayed let it move.
    if (m_ui.lockBox->checkState() == Qt::Checked)
        return;
    runtime::beginSystemMove(this);
}

void NoteWindow::unrollOnHover()
{
    toggleRolledUp();
}

void NoteWindow::askExit()
{
    const QMessageBox::StandardButton answer = m_desktop.askYesNo(
        this, QStringLiteral("Vill du avsluta Zentavo?"), QStringLiteral("Zentavo 1.0"));
    if (answer == QMessageBox::Yes)
        close();
}

} // namespace window
