#pragma once

namespace window {

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

// Every control of the note window, each declared once. The design builder creates them from
// the design table (Design.cpp), whose rows name the member each control goes to; the window's
// parent chain owns them. A new control is one row there and one member here.
struct Controls
{
    // The title strip: "Zentavo 1.0". Double-click rolls the window up or down; pressing it
    // moves the window unless it is locked.
    Label *titleStrip = nullptr;
    // The arrow shown while rolled up (pointing up); the pointer over it unrolls the window.
    Image *rolledUpArrow = nullptr;
    // The arrow shown while unrolled (pointing down).
    Image *unrolledArrow = nullptr;
    // "Lås fönster...": checked, the window stays where it is.
    CheckBox *lockBox = nullptr;
    // "AutoDölj...": checked, the window rolls up when the pointer stays away.
    CheckBox *autoHideBox = nullptr;
    // The note text: read-only while a stored note is shown, editable for a new one.
    MultiLineTextBox *noteText = nullptr;
    // The saved notes' titles, narrow until the pointer moves over it.
    ListView *noteList = nullptr;
    // Strips along the left, top and bottom edges: the pointer over them narrows the list.
    Label *leftEdge = nullptr;
    Label *topEdge = nullptr;
    Label *bottomEdge = nullptr;
    // Ticks that widen or narrow the list one step at a time.
    Timer *widenTimer = nullptr;
    Timer *narrowTimer = nullptr;
    // Reads where the pointer is twice a second, to roll the window up when it stays away.
    Timer *pointerPoll = nullptr;
    // The ID of the note shown; empty for a new note. Never shown.
    TextBox *shownNoteId = nullptr;
    Shape *windowOutline = nullptr;

    // "M" opens and closes the command panel: "Ny", "Radera", "Spara", "Avsluta".
    CommandButton *menuButton = nullptr;
    Frame *commandPanel = nullptr;
    CommandButton *newButton = nullptr;
    CommandButton *deleteButton = nullptr;
    CommandButton *saveButton = nullptr;
    CommandButton *exitButton = nullptr;
    Shape *commandPanelOutline = nullptr;

    // The save panel asks for the title: "OK" stores the note, "Avbryt" goes back to it.
    Frame *savePanel = nullptr;
    Label *titlePrompt = nullptr;
    TextBox *titleEdit = nullptr;
    CommandButton *saveOkButton = nullptr;
    CommandButton *saveCancelButton = nullptr;
    Shape *savePanelOutline = nullptr;

    // The delete panel asks "Vill du radera denna notering?": "Ja" deletes the note shown.
    Frame *deletePanel = nullptr;
    Label *deletePrompt = nullptr;
    CommandButton *deleteYesButton = nullptr;
    CommandButton *deleteNoButton = nullptr;
    Shape *deletePanelOutline = nullptr;
};

} // namespace window
