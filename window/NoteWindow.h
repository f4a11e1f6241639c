#pragma once

// The note window. NoteWindow is the program's only window: a borderless strip docked at the top of
// the screen that unrolls to show the note text (noteText), the note list (noteList) and the "M"
// button with its command panel.
//
// How the pieces meet: DesignBuilder creates every control from the fixed design table (Design.h)
// as a child of NoteWindow; the controls are thin classes over Qt widgets (window/controls/) that
// keep their geometry in twips and raise the events the window handles. Each event is connected to
// one handler below, named for what it does. Handlers read and set control properties; all the
// window's state lives there (and in pollsOutside). Handlers that touch the note database call the
// store/ operations, which open and close a session of their own and hand back the values read or a
// StoreError. A store failure is reported to the user by reportStoreError and ends only the handler
// it happened in, leaving the window as it was.
//
// Handlers are spread over files by concern: NoteWindowFrame.cpp (start-up, roll-up, drag, exit),
// NoteWindowNotes.cpp (showing a note, the command panel), NoteWindowSlideOut.cpp (the list's
// slide-out), NoteWindowAutoHide.cpp (rolling up when the pointer stays away).

#include "runtime/TwipsControl.h"
#include "store/NoteStore.h"

#include <QWidget>
#include <cstdint>
#include <optional>

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

class NoteWindow : public QWidget, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit NoteWindow(QWidget *parent = nullptr);
    ~NoteWindow() override;

    // When the start-up sequence fills the note list: at once, or in one step on the event loop
    // right after the window's first frame, so that the rolled-up strip (which shows no list)
    // appears without waiting for thousands of notes.
    enum class ListFill { Now, AfterFirstFrame };

    // The start-up sequence: docks the window at the top edge, checks that memo.mdb is a note
    // database, rolls the window up, makes it topmost, empties and locks the note text, closes
    // the list's column and fills the note list (or has it filled after the first frame).
    // Returns false, having reported why, when the database cannot be used: the program cannot
    // start then.
    bool load(ListFill fill = ListFill::Now);

    // Rolls the window up to the height of the title strip, or unrolls it to its full height.
    void toggleRolledUp();

    // Starts narrowing the list and rolls the window up (or down, if it is rolled up already).
    void hideNow();

    // Polls counted with the pointer outside the window since it was last found inside.
    std::int16_t pollsOutside = 0;

    // Event handlers: what the window does when the user acts on a control or a timer ticks.
    void dragWindow();
    void unrollOnHover();
    void askExit();

    void showNote(qint64 id);
    void highlightMoved(qint64 id);
    void toggleCommandPanel();
    void askTitle();
    void askDelete();
    void newNote();
    void saveNote();
    void cancelSave();
    void deleteNote();
    void cancelDelete();

    void startWidening();
    void pointerOverNote();
    void pointerOverEdge();
    void widenStep();
    void narrowStep();

    void pollPointer();

    // The controls, named by what they do. Owned by the window through Qt's parent chain.
    window::TextBox *shownNoteId = nullptr;
    window::Frame *deletePanel = nullptr;
    window::Frame *savePanel = nullptr;
    window::CheckBox *autoHideBox = nullptr;
    window::Timer *pointerPoll = nullptr;
    window::CheckBox *lockBox = nullptr;
    window::CommandButton *menuButton = nullptr;
    window::Frame *commandPanel = nullptr;
    window::ListView *noteList = nullptr;
    window::Timer *narrowTimer = nullptr;
    window::Timer *widenTimer = nullptr;
    window::MultiLineTextBox *noteText = nullptr;
    window::Label *bottomEdge = nullptr;
    window::Label *topEdge = nullptr;
    window::Label *leftEdge = nullptr;
    window::Image *unrolledArrow = nullptr;
    window::Image *rolledUpArrow = nullptr;
    window::Label *titleStrip = nullptr;
    window::Shape *windowOutline = nullptr;
    window::CommandButton *deleteNoButton = nullptr;
    window::CommandButton *deleteYesButton = nullptr;
    window::Shape *deletePanelOutline = nullptr;
    window::Label *deletePrompt = nullptr;
    window::CommandButton *saveCancelButton = nullptr;
    window::CommandButton *saveOkButton = nullptr;
    window::TextBox *titleEdit = nullptr;
    window::Shape *savePanelOutline = nullptr;
    window::Label *titlePrompt = nullptr;
    window::CommandButton *newButton = nullptr;
    window::CommandButton *deleteButton = nullptr;
    window::CommandButton *saveButton = nullptr;
    window::CommandButton *exitButton = nullptr;
    window::Shape *commandPanelOutline = nullptr;

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
    // The start of narrowing shared by the border labels and hideNow.
    void startNarrowing();

    // The note shown read-only (its ID is in shownNoteId): what "Ja" deletes, checked against the
    // database so that a note that has since taken its ID is never deleted instead.
    std::optional<store::Note> m_shownNote;
};

} // namespace window
