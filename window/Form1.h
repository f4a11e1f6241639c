#pragma once

// The note window. Form1 is the program's only window: a borderless strip docked at the top of
// the screen that unrolls to show the note text (fldNote), the note list (lst) and the "M" button
// with its command panel.
//
// How the pieces meet: DesignBuilder creates every control from the fixed design table (Design.h)
// as a child of Form1; the controls are thin runtime/ classes over Qt widgets that keep their
// geometry in twips and raise the events the window handles. Each event is connected to one
// handler below, named after its control and event. Handlers read and set control properties;
// all the window's state lives there (and in lostfocus). Handlers that touch the note database
// call the store/ operations, which open and close a session of their own and hand back the
// values read or a StoreError. A store failure is reported to the user by reportStoreError and
// ends only the handler it happened in, leaving the window as it was.
//
// Handlers are spread over files by concern: Form1Frame.cpp (start-up, roll-up, drag, exit),
// Form1Notes.cpp (showing a note, the command panel), Form1SlideOut.cpp (the list's slide-out),
// Form1AutoHide.cpp (rolling up when the pointer stays away).

#include "runtime/TwipsControl.h"
#include "store/NoteStore.h"

#include <QWidget>
#include <cstdint>
#include <optional>

namespace runtime {
class CheckBox;
class CommandButton;
class Frame;
class Image;
class Label;
class ListView;
class MultiLineTextBox;
class Shape;
class TextBox;
class Timer;
} // namespace runtime

namespace window {

class Form1 : public QWidget, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // When the start-up sequence fills the note list: at once, or in one step on the event loop
    // right after the window's first frame, so that the rolled-up strip (which shows no list)
    // appears without waiting for thousands of notes.
    enum class ListFill { Now, AfterFirstFrame };

    // The start-up sequence: docks the window at the top edge, checks that memo.mdb is a note
    // database, rolls the window up, makes it topmost, empties and locks the note text, closes
    // the list's column and fills the note list (or has it filled after the first frame).
    // Returns false, having reported why, when the database cannot be used: the program cannot
    // start then.
    bool Load(ListFill fill = ListFill::Now);

    // Rolls the window up to the height of the title strip, or unrolls it to its full height.
    void rollToggle();

    // Starts narrowing the list and rolls the window up (or down, if it is rolled up already).
    void HideMe();

    // Polls counted with the pointer outside the window since it was last found inside.
    std::int16_t lostfocus = 0;

    // Event handlers, one per event of the design; callable directly.
    void Label1_DblClick();
    void Label1_MouseDown();
    void down_MouseMove();
    void Command5_Click();

    void lst_ItemClick(qint64 id);
    void lst_HighlightMoved(qint64 id);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();

    void lst_MouseMove();
    void fldNote_MouseMove();
    void Label2_MouseMove();
    void Label5_MouseMove();
    void Label6_MouseMove();
    void Timer1_Timer();
    void Timer2_Timer();

    void Timer3_Timer();

    // The controls, named as in the design. Owned by the window through Qt's parent chain.
    runtime::TextBox *fldID = nullptr;
    runtime::Frame *frmErase = nullptr;
    runtime::Frame *frmSave = nullptr;
    runtime::CheckBox *chkAutoHide = nullptr;
    runtime::Timer *Timer3 = nullptr;
    runtime::CheckBox *chkMoveable = nullptr;
    runtime::CommandButton *Command1 = nullptr;
    runtime::Frame *frmCmds = nullptr;
    runtime::ListView *lst = nullptr;
    runtime::Timer *Timer2 = nullptr;
    runtime::Timer *Timer1 = nullptr;
    runtime::MultiLineTextBox *fldNote = nullptr;
    runtime::Label *Label6 = nullptr;
    runtime::Label *Label5 = nullptr;
    runtime::Label *Label2 = nullptr;
    runtime::Image *up = nullptr;
    runtime::Image *down = nullptr;
    runtime::Label *Label1 = nullptr;
    runtime::Shape *Shape1 = nullptr;
    runtime::CommandButton *Command9 = nullptr;
    runtime::CommandButton *Command8 = nullptr;
    runtime::Shape *Shape4 = nullptr;
    runtime::Label *Label4 = nullptr;
    runtime::CommandButton *Command7 = nullptr;
    runtime::CommandButton *Command6 = nullptr;
    runtime::TextBox *fldTitel = nullptr;
    runtime::Shape *Shape3 = nullptr;
    runtime::Label *Label3 = nullptr;
    runtime::CommandButton *Command4 = nullptr;
    runtime::CommandButton *Command3 = nullptr;
    runtime::CommandButton *Command2 = nullptr;
    runtime::CommandButton *Command5 = nullptr;
    runtime::Shape *Shape2 = nullptr;

private:
    void bindControls();
    void connectHandlers();
    // The note database beside the executable.
    store::NoteStore noteStore() const;
    // Shows a store failure: the one place that words it for the user.
    void reportStoreError(const store::StoreError &error);
    // Reads the list again after a change. On failure the list the user had stays, and the
    // report says it may be out of date; the next reload that succeeds replaces it.
    void reloadList();
    void showList(store::NoteList notes);
    // The start of narrowing shared by the border labels and HideMe.
    void startNarrowing();

    // The note shown read-only (its ID is in fldID): what "Ja" deletes, checked against the
    // database so that a note that has since taken its ID is never deleted instead.
    std::optional<store::Note> m_shownNote;
};

} // namespace window
