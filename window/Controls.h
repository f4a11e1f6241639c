#pragma once

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace window {

class CommandButton;
class ListView;
class NoteTextEdit;

// Every control of the note window, each declared once. buildStrip and buildNoteArea
// (ControlsBuilder.h) make them from the design as children of the window, which owns them;
// forEachControl names them. Until buildNoteArea has run, only the strip's members are set.
// A new control is a member here, a line in forEachControl and its making in the builder.
struct Controls
{
    // The title strip: "Zentavo 1.0". A double-click rolls the window up or down; pressing it
    // moves the window unless it is locked in place.
    QLabel *titleStrip = nullptr;
    QFrame *titleStripOutline = nullptr;
    // The arrow shown while rolled up (pointing up); the pointer over it unrolls the window.
    QLabel *rolledUpArrow = nullptr;
    // The arrow shown while unrolled (pointing down).
    QLabel *unrolledArrow = nullptr;
    // "Lås fönster...": checked, the window stays where it is.
    QCheckBox *lockBox = nullptr;
    // "AutoDölj...": checked, the window rolls up when the pointer stays away.
    QCheckBox *autoHideBox = nullptr;
    // The note text: read-only while a stored note is shown, editable for a new one.
    NoteTextEdit *noteText = nullptr;
    // The saved notes' titles, narrow until the pointer moves over it.
    ListView *noteList = nullptr;
    // Strips along the left, top and bottom edges: the pointer over them narrows the list.
    QLabel *leftEdge = nullptr;
    QLabel *topEdge = nullptr;
    QLabel *bottomEdge = nullptr;
    // Ticks that move the list one step of its slide.
    QTimer *slideTimer = nullptr;
    // Looks where the pointer is twice a second while the window is unrolled.
    QTimer *pointerPoll = nullptr;
    QFrame *windowOutline = nullptr;

    // "M" opens and closes the command panel: "Ny", "Radera", "Spara", "Avsluta".
    CommandButton *menuButton = nullptr;
    QFrame *commandPanel = nullptr;
    CommandButton *newButton = nullptr;
    CommandButton *deleteButton = nullptr;
    CommandButton *saveButton = nullptr;
    CommandButton *exitButton = nullptr;
    QFrame *commandPanelOutline = nullptr;

    // The save panel asks for the title: "OK" stores the note, "Avbryt" goes back to it.
    QFrame *savePanel = nullptr;
    QLabel *titlePrompt = nullptr;
    QLineEdit *titleEdit = nullptr;
    QFrame *titleEditOutline = nullptr;
    CommandButton *saveOkButton = nullptr;
    CommandButton *saveCancelButton = nullptr;
    QFrame *savePanelOutline = nullptr;

    // The delete panel asks "Vill du radera denna notering?": "Ja" deletes the note shown.
    QFrame *deletePanel = nullptr;
    QLabel *deletePrompt = nullptr;
    CommandButton *deleteYesButton = nullptr;
    CommandButton *deleteNoButton = nullptr;
    QFrame *deletePanelOutline = nullptr;

    // The find panel: "Sök", the words sought and how many notes hold them.
    QFrame *findPanel = nullptr;
    QLabel *findPrompt = nullptr;
    QLineEdit *findEdit = nullptr;
    QFrame *findEditOutline = nullptr;
    QLabel *findCount = nullptr;
    QFrame *findPanelOutline = nullptr;
};

// Calls visit(member, name) for every member of Controls, the name being the member's own: the
// one list by which the controls are named when they are made and found again by name.
template<typename Controls, typename Visit>
void forEachControl(Controls &ui, Visit &&visit)
{
    visit(ui.titleStrip, "titleStrip");
    visit(ui.titleStripOutline, "titleStripOutline");
    visit(ui.rolledUpArrow, "rolledUpArrow");
    visit(ui.unrolledArrow, "unrolledArrow");
    visit(ui.lockBox, "lockBox");
    visit(ui.autoHideBox, "autoHideBox");
    visit(ui.noteText, "noteText");
    visit(ui.noteList, "noteList");
    visit(ui.leftEdge, "leftEdge");
    visit(ui.topEdge, "topEdge");
    visit(ui.bottomEdge, "bottomEdge");
    visit(ui.slideTimer, "slideTimer");
    visit(ui.pointerPoll, "pointerPoll");
    visit(ui.windowOutline, "windowOutline");
    visit(ui.menuButton, "menuButton");
    visit(ui.commandPanel, "commandPanel");
    visit(ui.newButton, "newButton");
    visit(ui.deleteButton, "deleteButton");
    visit(ui.saveButton, "saveButton");
    visit(ui.exitButton, "exitButton");
    visit(ui.commandPanelOutline, "commandPanelOutline");
    visit(ui.savePanel, "savePanel");
    visit(ui.titlePrompt, "titlePrompt");
    visit(ui.titleEdit, "titleEdit");
    visit(ui.titleEditOutline, "titleEditOutline");
    visit(ui.saveOkButton, "saveOkButton");
    visit(ui.saveCancelButton, "saveCancelButton");
    visit(ui.savePanelOutline, "savePanelOutline");
    visit(ui.deletePanel, "deletePanel");
    visit(ui.deletePrompt, "deletePrompt");
    visit(ui.deleteYesButton, "deleteYesButton");
    visit(ui.deleteNoButton, "deleteNoButton");
    visit(ui.deletePanelOutline, "deletePanelOutline");
    visit(ui.findPanel, "findPanel");
    visit(ui.findPrompt, "findPrompt");
    visit(ui.findEdit, "findEdit");
    visit(ui.findEditOutline, "findEditOutline");
    visit(ui.findCount, "findCount");
    visit(ui.findPanelOutline, "findPanelOutline");
}

} // namespace window
