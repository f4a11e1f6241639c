#include "Form1.h"
#include "runtime/Frame.h"
#include "runtime/ListView.h"
#include "runtime/Timer.h"

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

void Form1::lst_MouseMove()
{
    // Widening starts only from exactly the narrow width; while the list is sliding either
    // way, a move over it changes nothing.
    if (lst->Width() == NarrowWidth) {
        Timer1->setEnabled(true);
        Timer2->setEnabled(false);
    }
}

void Form1::fldNote_MouseMove()
{
    if (lst->Width() > NarrowWidth) {
        Timer2->setEnabled(true);
        Timer1->setEnabled(false);
    }
    frmCmds->setVisible(false);
}

void Form1::startNarrowing()
{
    if (lst->Width() > NarrowWidth) {
        Timer1->setEnabled(false);
        Timer2->setEnabled(true);
    }
}

void Form1::Label2_MouseMove()
{
    startNarrowing();
    frmCmds->setVisible(false);
}

void Form1::Label5_MouseMove()
{
    startNarrowing();
    frmCmds->setVisible(false);
}

void Form1::Label6_MouseMove()
{
    startNarrowing();
    frmCmds->setVisible(false);
}

void Form1::Timer1_Timer()
{
    const float width = lst->Width();
    if (width == WideWidth) {
        Timer1->setEnabled(false);
        return;
    }
    lst->setWidth(width + Step);
    lst->setColumnHeaderWidth(lst->Width() - ColumnInset);
}

void Form1::Timer2_Timer()
{
    const float width = lst->Width();
    if (width == NarrowWidth) {
        Timer2->setEnabled(false);
        return;
    }
    lst->setWidth(width - Step);
    lst->setColumnHeaderWidth(lst->Width() - ColumnInset);
}

} // namespace window
