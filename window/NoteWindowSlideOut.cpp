#include "NoteWindow.h"
#include "window/controls/Frame.h"
#include "window/controls/ListView.h"
#include "window/controls/Timer.h"

namespace window {

namespace {
// The list slides between these widths in twips, one step per tick. The stop tests compare
// the width read back for exact equality: the width only ever moves in whole steps from
// the narrow width, and reads back exactly as assigned.
constexpr float NarrowWidth = 200;
constexpr float WideWidth = 2700;
constexpr float Step = 100;
// The column is this much narrower than the list, with no lower bound.
constexpr float ColumnInset = 360;
} // namespace

void NoteWindow::startWidening()
{
    // Widening starts only from exactly the narrow width; while the list is sliding either
    // way, a move over it changes nothing.
    if (noteList->Width() == NarrowWidth) {
        widenTimer->setEnabled(true);
        narrowTimer->setEnabled(false);
    }
}

void NoteWindow::pointerOverNote()
{
    if (noteList->Width() > NarrowWidth) {
        narrowTimer->setEnabled(true);
        widenTimer->setEnabled(false);
    }
    commandPanel->setVisible(false);
}

void NoteWindow::startNarrowing()
{
    if (noteList->Width() > NarrowWidth) {
        widenTimer->setEnabled(false);
        narrowTimer->setEnabled(true);
    }
}

void NoteWindow::pointerOverEdge()
{
    startNarrowing();
    commandPanel->setVisible(false);
}

void NoteWindow::widenStep()
{
    const float width = noteList->Width();
    if (width == WideWidth) {
        widenTimer->setEnabled(false);
        return;
    }
    noteList->setWidth(width + Step);
    noteList->setColumnHeaderWidth(noteList->Width() - ColumnInset);
}

void NoteWindow::narrowStep()
{
    const float width = noteList->Width();
    if (width == NarrowWidth) {
        narrowTimer->setEnabled(false);
        return;
    }
    noteList->setWidth(width - Step);
    noteList->setColumnHeaderWidth(noteList->Width() - ColumnInset);
}

} // namespace window
