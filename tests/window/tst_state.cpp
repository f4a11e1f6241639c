// The window's behaviour as a plain object, without a window: rolling up and down, the list's
// slide, which command is allowed when and what it does (from the pointer, a key or the desktop),
// which key gives which command, the panels and the note they act on, and the looks at the
// pointer that roll the window up when it stays away. Each table gives a state, an event and the
// state that must follow.

#include "window/Design.h"
#include "window/Layout.h"
#include "window/WindowState.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>

using window::Command;
using window::DraftChange;
using window::Focus;
using window::KeyScope;
using window::NoteMode;
using window::Origin;
using window::Panel;
using window::Slide;
using window::WindowState;
namespace design = window::design;

namespace {

constexpr design::Slide Way = design::ListSlide;
constexpr int Steps = (Way.wide - Way.narrow) / Way.step;

// The window where the design docks it, at 96 dpi.
QRect dockedWindow()
{
    return window::Scale(15, 15).rect(design::Window);
}

const QPoint Inside = dockedWindow().center();
const QPoint Outside = dockedWindow().bottomRight() + QPoint(100, 100);

store::Note storedNote()
{
    return store::Note{12, QStringLiteral("Titel"), QStringLiteral("Text")};
}

// The window rolled up or not, with this note and this panel open, reached through the
// commands, as a person reaches it; what the commands left for the next render is taken.
WindowState reached(bool rolledUp, NoteMode note, Panel panel)
{
    WindowState state;
    state.perform(Command::Toggle, Origin::Pointer);
    if (note == NoteMode::Writing)
        state.perform(Command::New, Origin::Pointer);
    else if (note == NoteMode::Stored)
        state.showStoredNote(storedNote());
    const Command opens[]
        = {Command::Toggle, Command::Menu, Command::Save, Command::Delete, Command::Find};
    if (panel != Panel::None && !state.perform(opens[int(panel)], Origin::Pointer))
        qFatal("the panel could not be opened in this note state");
    if (rolledUp)
        state.perform(Command::Toggle, Origin::Pointer);
    state.takeNoteText();
    state.takeFocus();
    state.takeDraftChange();
    return state;
}

void roll(WindowState &state)
{
    state.perform(Command::Toggle, Origin::Pointer);
}

// A state whose list is `width` wide and slides as `slide` says, reached by the pointer's moves
// and the ticks in between, as a person gets there.
WindowState slidTo(int width, Slide slide)
{
    WindowState state;
    roll(state);
    if (slide == Slide::Narrowing) {
        state.pointerOverList();
        while (state.slide() != Slide::Still)
            state.slideTick();
        state.pointerOverNoteOrEdge();
        for (int w = Way.wide; w > width; w -= Way.step)
            state.slideTick();
    } else if (slide == Slide::Widening) {
        state.pointerOverList();
        for (int w = Way.narrow; w < width; w += Way.step)
            state.slideTick();
    } else if (width == Way.wide) {
        state.pointerOverList();
        while (state.slide() != Slide::Still)
            state.slideTick();
    }
    return state;
}

// One look at the pointer, and the roll-up it calls for.
void poll(WindowState &state, const std::optional<QPoint> &pointer, int times = 1,
          const QRect &window = dockedWindow())
{
    for (int i = 0; i < times; ++i) {
        if (state.pollPointer(pointer, window))
            state.hideNow();
    }
}

} // namespace

class tst_state : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAsFirstShown();
    void rollingKeepsEverythingElse();

    void slide_data();
    void slide();
    void fullSlideOutAndBack();
    void reversalMidWay();

    void commands_data();
    void commands();
    void focusAndDraft_data();
    void focusAndDraft();
    void keys_data();
    void keys();
    void fromDesktop_data();
    void fromDesktop();
    void pollsWaitForThePointerAfterTheDesktop_data();
    void pollsWaitForThePointerAfterTheDesktop();
    void storeAndPointer_data();
    void storeAndPointer();
    void deletedElsewhere_data();
    void deletedElsewhere();
    void noteShownAndReplaced();
    void draftRestored_data();
    void draftRestored();
    void findPanel_data();
    void findPanel();
    void manPageListsTheKeysOfTheTable();
    void listFollowsTheFocus_data();
    void listFollowsTheFocus();

    void pollEdges_data();
    void pollEdges();
    void fifthLookOutsideRollsUp();
    void lookInsideStartsTheCountAgain();
    void autoHideOffKeepsTheCount();
    void countStartsAfreshOnEveryUnroll();
    void rollUpIsCalledForOnce();
    void unreadablePointerIsTheCorner_data();
    void unreadablePointerIsTheCorner();
    void noLooksWhileRolledUp();
    void hideNowNarrowsAndRollsUp_data();
    void hideNowNarrowsAndRollsUp();
};

void tst_state::startsAsFirstShown()
{
    const WindowState state;
    QVERIFY(state.rolledUp());
    QCOMPARE(state.listWidth(), Way.narrow);
    QCOMPARE(state.columnWidth(), 0);
    QCOMPARE(state.slide(), Slide::Still);
    QCOMPARE(state.panel(), Panel::None);
    QCOMPARE(state.noteMode(), NoteMode::Blank);
    QVERIFY(!state.noteEditable());
    QVERIFY(!state.shownNote());
    QVERIFY(state.lockedInPlace());
    QVERIFY(state.autoHide());
    QCOMPARE(state.pollsOutside(), 0);
}

void tst_state::rollingKeepsEverythingElse()
{
    WindowState state = slidTo(1500, Slide::Widening);
    QVERIFY(state.perform(Command::New, Origin::Pointer));
    QVERIFY(state.perform(Command::Menu, Origin::Pointer));
    QVERIFY(!state.rolledUp());
    roll(state);
    QVERIFY(state.rolledUp());
    QCOMPARE(state.listWidth(), 1500);
    QCOMPARE(state.slide(), Slide::Widening);
    QCOMPARE(state.panel(), Panel::Commands);
    QCOMPARE(state.noteMode(), NoteMode::Writing);
    roll(state);
    QVERIFY(!state.rolledUp());
}

void tst_state::slide_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<Slide>("slide");
    QTest::addColumn<QString>("event");
    QTest::addColumn<int>("widthAfter");
    QTest::addColumn<Slide>("slideAfter");

    const auto row = [](const char *tag, int width, Slide slide, const char *event, int widthAfter,
                        Slide slideAfter) {
        QTest::newRow(tag) << width << slide << QString::fromLatin1(event) << widthAfter
                           << slideAfter;
    };
    const int mid = Way.narrow + 13 * Way.step;
    const Slide still = Slide::Still;
    const Slide widening = Slide::Widening;
    const Slide narrowing = Slide::Narrowing;
    // clang-format off
    row("narrow, over list",          Way.narrow, still,     "list", Way.narrow, widening);
    row("narrow, over note or edge",  Way.narrow, still,     "note", Way.narrow, still);
    row("narrow, tick",               Way.narrow, still,     "tick", Way.narrow, still);
    row("widening, tick",             mid,        widening,  "tick", mid + Way.step, widening);
    row("widening, tick at the end",  Way.wide,   widening,  "tick", Way.wide,   still);
    row("widening, over list",        mid,        widening,  "list", mid,        widening);
    row("widening, over note",        mid,        widening,  "note", mid,        narrowing);
    // Widening has started but its first tick has not run: the list is still exactly narrow.
    row("widening at narrow, over note", Way.narrow, widening, "note", Way.narrow, widening);
    row("wide, over list",            Way.wide,   still,     "list", Way.wide,   still);
    row("wide, over note",            Way.wide,   still,     "note", Way.wide,   narrowing);
    row("narrowing, tick",            mid,        narrowing, "tick", mid - Way.step, narrowing);
    row("narrowing, tick at the end", Way.narrow, narrowing, "tick", Way.narrow, still);
    row("narrowing, over list",       mid,        narrowing, "list", mid,        narrowing);
    row("narrowing, over note",       mid,        narrowing, "note", mid,        narrowing);
    row("narrowing at narrow, over list", Way.narrow, narrowing, "list", Way.narrow, widening);
    // clang-format on
}

void tst_state::slide()
{
    QFETCH(int, width);
    QFETCH(Slide, slide);
    QFETCH(QString, event);
    QFETCH(int, widthAfter);
    QFETCH(Slide, slideAfter);
    WindowState state = slidTo(width, slide);
    QCOMPARE(state.listWidth(), width);
    QCOMPARE(state.slide(), slide);

    if (event == QLatin1String("list"))
        state.pointerOverList();
    else if (event == QLatin1String("note"))
        state.pointerOverNoteOrEdge();
    else
        state.slideTick();

    QCOMPARE(state.listWidth(), widthAfter);
    QCOMPARE(state.slide(), slideAfter);
}

void tst_state::fullSlideOutAndBack()
{
    WindowState state;
    roll(state);
    state.pointerOverList();
    // Every step the same size, the column following the list; the last tick only stops.
    for (int step = 1; step <= Steps; ++step) {
        state.slideTick();
        QCOMPARE(state.listWidth(), Way.narrow + step * Way.step);
        QCOMPARE(state.columnWidth(), state.listWidth() - Way.columnInset);
        QCOMPARE(state.slide(), Slide::Widening);
    }
    state.slideTick();
    QCOMPARE(state.listWidth(), Way.wide);
    QCOMPARE(state.slide(), Slide::Still);

    state.pointerOverNoteOrEdge();
    for (int step = 1; step <= Steps; ++step) {
        state.slideTick();
        QCOMPARE(state.listWidth(), Way.wide - step * Way.step);
        QCOMPARE(state.columnWidth(), state.listWidth() - Way.columnInset);
    }
    state.slideTick();
    QCOMPARE(state.slide(), Slide::Still);
    QCOMPARE(state.listWidth(), Way.narrow);
    QCOMPARE(state.columnWidth(), Way.narrow - Way.columnInset);
}

void tst_state::reversalMidWay()
{
    WindowState state = slidTo(1500, Slide::Widening);
    state.pointerOverNoteOrEdge();
    QCOMPARE(state.slide(), Slide::Narrowing);
    int ticks = 0;
    while (state.slide() != Slide::Still && ticks < 100) {
        state.slideTick();
        ++ticks;
    }
    // Back from where it was, step by step, and one tick to stop.
    QCOMPARE(ticks, (1500 - Way.narrow) / Way.step + 1);
    QCOMPARE(state.listWidth(), Way.narrow);
}

// The one statement of what each command may do when, for the pointer and the keys alike, and
// the panel and note it leaves. "OK", "Ja" and "Avsluta" change nothing in the state: the window
// carries them out.
void tst_state::commands_data()
{
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<Command>("command");
    QTest::addColumn<Origin>("origin");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<NoteMode>("noteAfter");

    Origin origin = Origin::Key;
    const auto row = [&origin](bool rolledUp, Panel panel, NoteMode note, Command command,
                               bool allowed, Panel panelAfter, NoteMode noteAfter) {
        static const char *const panels[] = {"none", "commands", "save", "delete", "find"};
        static const char *const notes[] = {"blank", "writing", "stored"};
        QTest::addRow("%s, %s, %s, command %d%s", rolledUp ? "up" : "down", panels[int(panel)],
                      notes[int(note)], int(command), origin == Origin::Pointer ? ", pointer" : "")
            << rolledUp << panel << note << command << origin << allowed << panelAfter << noteAfter;
    };
    const bool up = true;
    const bool down = false;
    const bool yes = true;
    const bool no = false;
    const NoteMode blank = NoteMode::Blank;
    const NoteMode writing = NoteMode::Writing;
    const NoteMode stored = NoteMode::Stored;
    const Panel none = Panel::None;
    const Panel commands = Panel::Commands;
    const Panel save = Panel::Save;
    const Panel del = Panel::Delete;
    const Panel find = Panel::Find;
    using enum Command;
    // clang-format off
    // Rolled up, only the title strip and the keys that unroll act.
    row(up,   none,     blank,   Unroll,       yes, none,     blank);
    row(up,   save,     writing, Unroll,       yes, save,     writing);
    row(up,   none,     blank,   Toggle,       yes, none,     blank);
    row(up,   none,     blank,   RollUp,       no,  none,     blank);
    row(up,   none,     writing, New,          no,  none,     writing);
    row(up,   none,     writing, Save,         no,  none,     writing);
    row(up,   none,     stored,  Delete,       no,  none,     stored);
    row(up,   none,     blank,   Exit,         no,  none,     blank);
    row(up,   none,     blank,   List,         no,  none,     blank);
    row(up,   save,     writing, CancelSave,   no,  save,     writing);
    // Unrolled: Esc closes the open panel, or rolls the window up with none open.
    row(down, none,     blank,   Unroll,       no,  none,     blank);
    row(down, save,     writing, Toggle,       yes, save,     writing);
    row(down, none,     blank,   RollUp,       yes, none,     blank);
    row(down, commands, blank,   RollUp,       no,  commands, blank);
    row(down, save,     writing, RollUp,       no,  save,     writing);
    row(down, commands, blank,   CloseMenu,    yes, none,     blank);
    row(down, none,     blank,   CloseMenu,    no,  none,     blank);
    row(down, save,     writing, CancelSave,   yes, none,     writing);
    row(down, del,      stored,  CancelDelete, yes, none,     stored);
    row(down, none,     stored,  CancelDelete, no,  none,     stored);
    // "M" and the command panel's buttons.
    row(down, none,     blank,   Menu,         yes, commands, blank);
    row(down, commands, blank,   Menu,         yes, none,     blank);
    row(down, none,     blank,   New,          yes, none,     writing);
    row(down, commands, stored,  New,          yes, none,     writing);
    row(down, none,     blank,   Save,         yes, save,     blank);
    row(down, commands, writing, Save,         yes, save,     writing);
    row(down, none,     stored,  Delete,       yes, del,      stored);
    row(down, commands, stored,  Delete,       yes, del,      stored);
    row(down, none,     writing, Exit,         yes, none,     writing);
    row(down, commands, blank,   Exit,         yes, commands, blank);
    row(down, none,     writing, List,         yes, none,     writing);
    row(down, commands, stored,  List,         yes, commands, stored);
    // A stored note is never saved again, and only a stored note can be deleted.
    row(down, none,     stored,  Save,         no,  none,     stored);
    row(down, commands, stored,  Save,         no,  commands, stored);
    row(down, none,     blank,   Delete,       no,  none,     blank);
    row(down, none,     writing, Delete,       no,  none,     writing);
    row(down, commands, writing, Delete,       no,  commands, writing);
    // While a question is open only its own answers act.
    row(down, save,     writing, Menu,         no,  save,     writing);
    row(down, save,     writing, New,          no,  save,     writing);
    row(down, save,     writing, Save,         no,  save,     writing);
    row(down, save,     writing, Exit,         no,  save,     writing);
    row(down, save,     writing, List,         no,  save,     writing);
    row(down, del,      stored,  Menu,         no,  del,      stored);
    row(down, del,      stored,  New,          no,  del,      stored);
    row(down, del,      stored,  Delete,       no,  del,      stored);
    row(down, del,      stored,  Exit,         no,  del,      stored);
    row(down, del,      stored,  List,         no,  del,      stored);
    row(down, save,     writing, SaveOk,       yes, save,     writing);
    row(down, save,     blank,   SaveOk,       yes, save,     blank);
    row(down, none,     writing, SaveOk,       no,  none,     writing);
    row(down, del,      stored,  DeleteYes,    yes, del,      stored);
    row(down, none,     stored,  DeleteYes,    no,  none,     stored);
    // Ctrl+F unrolls the rolled-up window too, and like the other panels' commands waits for a
    // question's answer; Esc closes the find panel before anything rolls up.
    row(up,   none,     blank,   Find,         yes, find,     blank);
    row(up,   commands, stored,  Find,         yes, find,     stored);
    row(up,   save,     writing, Find,         no,  save,     writing);
    row(down, none,     writing, Find,         yes, find,     writing);
    row(down, commands, stored,  Find,         yes, find,     stored);
    row(down, find,     stored,  Find,         yes, find,     stored);
    row(down, save,     writing, Find,         no,  save,     writing);
    row(down, del,      stored,  Find,         no,  del,      stored);
    row(down, find,     blank,   CloseFind,    yes, none,     blank);
    row(down, none,     blank,   CloseFind,    no,  none,     blank);
    row(down, find,     writing, RollUp,       no,  find,     writing);
    row(down, find,     writing, FoundList,    yes, find,     writing);
    row(down, none,     writing, FoundList,    no,  none,     writing);
    row(down, find,     writing, Menu,         yes, commands, writing);
    row(down, find,     writing, Save,         yes, save,     writing);
    row(down, find,     stored,  Delete,       yes, del,      stored);
    // The pointer meets the same refusals; rolled up, it reaches only the strip, so the buttons
    // clipped away need none of their own.
    origin = Origin::Pointer;
    row(down, save,     writing, Menu,         no,  save,     writing);
    row(down, none,     stored,  Save,         no,  none,     stored);
    row(down, none,     writing, Delete,       no,  none,     writing);
    row(up,   none,     blank,   New,          yes, none,     writing);
    row(up,   none,     blank,   Menu,         yes, commands, blank);
    row(up,   none,     blank,   Unroll,       yes, none,     blank);
    row(down, none,     blank,   Unroll,       no,  none,     blank);
    // clang-format on
}

// A refused command changes nothing; asking whether it is allowed changes nothing either.
void tst_state::commands()
{
    QFETCH(bool, rolledUp);
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(Command, command);
    QFETCH(Origin, origin);
    QFETCH(bool, allowed);
    QFETCH(Panel, panelAfter);
    QFETCH(NoteMode, noteAfter);
    WindowState state = reached(rolledUp, note, panel);
    QCOMPARE(state.allows(command, origin), allowed);
    QCOMPARE(state.rolledUp(), rolledUp);

    QCOMPARE(state.perform(command, origin), allowed);
    const bool rolls = command == Command::Toggle || command == Command::Unroll
                       || command == Command::RollUp || (command == Command::Find && rolledUp);
    QCOMPARE(state.rolledUp(), allowed && rolls ? !rolledUp : rolledUp);
    QCOMPARE(state.panel(), panelAfter);
    QCOMPARE(state.noteMode(), noteAfter);
    QCOMPARE(state.noteEditable(), noteAfter == NoteMode::Writing);
    QCOMPARE(state.shownNote().has_value(), noteAfter == NoteMode::Stored);
    if (!allowed) {
        QCOMPARE(state.takeFocus(), Focus::Stays);
        QCOMPARE(state.takeDraftChange(), DraftChange::None);
        QVERIFY(!state.takeNoteText());
    }
}

// Where a command moves the keyboard focus, what it tells the draft, and whether it empties the
// note area. A panel opened from the keyboard takes the focus; opened with the pointer it leaves
// the focus where typing goes on.
void tst_state::focusAndDraft_data()
{
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<Command>("command");
    QTest::addColumn<Origin>("origin");
    QTest::addColumn<Focus>("focus");
    QTest::addColumn<DraftChange>("draft");
    QTest::addColumn<bool>("emptied");
    const auto row = [](const char *name, Panel panel, NoteMode note, Command command,
                        Origin origin, Focus focus, DraftChange draft, bool emptied) {
        QTest::newRow(name) << panel << note << command << origin << focus << draft << emptied;
    };
    using enum Command;
    const Origin pointer = Origin::Pointer;
    const Origin key = Origin::Key;
    // clang-format off
    row("M, pointer",       Panel::None,     NoteMode::Blank,   Menu,   pointer, Focus::Note,         DraftChange::None, false);
    row("M, key",           Panel::None,     NoteMode::Blank,   Menu,   key,     Focus::FirstCommand, DraftChange::None, false);
    row("M closing, key",   Panel::Commands, NoteMode::Blank,   Menu,   key,     Focus::Note,         DraftChange::None, false);
    row("Esc, commands",    Panel::Commands, NoteMode::Blank,   CloseMenu, key,  Focus::Note,         DraftChange::None, false);
    row("Ny",               Panel::Commands, NoteMode::Stored,  New,    pointer, Focus::Note,         DraftChange::Now,  true);
    row("Spara",            Panel::None,     NoteMode::Writing, Save,   pointer, Focus::TitleBox,     DraftChange::Soon, false);
    row("Avbryt",           Panel::Save,     NoteMode::Writing, CancelSave, key, Focus::Note,         DraftChange::Soon, false);
    row("Radera, pointer",  Panel::None,     NoteMode::Stored,  Delete, pointer, Focus::Stays,        DraftChange::None, false);
    row("Radera, key",      Panel::None,     NoteMode::Stored,  Delete, key,     Focus::DeleteYes,    DraftChange::None, false);
    row("Nej",              Panel::Delete,   NoteMode::Stored,  CancelDelete, pointer, Focus::Note,   DraftChange::None, false);
    row("list",             Panel::None,     NoteMode::Writing, List,   key,     Focus::List,         DraftChange::None, false);
    row("Esc, rolls up",    Panel::None,     NoteMode::Writing, RollUp, key,     Focus::Stays,        DraftChange::None, false);
    row("Ctrl+F",           Panel::None,     NoteMode::Stored,  Find,   key,     Focus::FindBox,      DraftChange::None, false);
    row("Ctrl+F, open",     Panel::Find,     NoteMode::Stored,  Find,   key,     Focus::FindBox,      DraftChange::None, false);
    row("Esc, find",        Panel::Find,     NoteMode::Writing, CloseFind, key,  Focus::Note,         DraftChange::None, false);
    row("Down in find box", Panel::Find,     NoteMode::Writing, FoundList, key,  Focus::List,         DraftChange::None, false);
    // clang-format on
}

void tst_state::focusAndDraft()
{
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(Command, command);
    QFETCH(Origin, origin);
    QFETCH(Focus, focus);
    QFETCH(DraftChange, draft);
    QFETCH(bool, emptied);
    WindowState state = reached(false, note, panel);
    QVERIFY(state.perform(command, origin));
    QCOMPARE(state.takeFocus(), focus);
    QCOMPARE(state.takeDraftChange(), draft);
    const std::optional<QString> text = state.takeNoteText();
    QCOMPARE(text.has_value(), emptied);
    if (emptied)
        QVERIFY(text->isEmpty());
    // Each is handed over once.
    QCOMPARE(state.takeFocus(), Focus::Stays);
    QCOMPARE(state.takeDraftChange(), DraftChange::None);
}

// Which command a key gives, where it is pressed, in the state the window is in: the first of
// the command table's rows for the key that is allowed now.
void tst_state::keys_data()
{
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<KeyScope>("where");
    QTest::addColumn<std::optional<Command>>("command");

    const auto row = [](bool rolledUp, Panel panel, NoteMode note, QKeyCombination key,
                        KeyScope where, std::optional<Command> command) {
        QTest::addRow("%s, panel %d, note %d, key %x%s", rolledUp ? "up" : "down", int(panel),
                      int(note), key.toCombined(), where == KeyScope::TitleBox ? ", title box" : "")
            << rolledUp << panel << note << key << where << command;
    };
    const bool up = true;
    const bool down = false;
    const NoteMode blank = NoteMode::Blank;
    const NoteMode writing = NoteMode::Writing;
    const NoteMode stored = NoteMode::Stored;
    const KeyScope window = KeyScope::Window;
    const KeyScope titleBox = KeyScope::TitleBox;
    const QKeyCombination enter(Qt::Key_Return);
    const QKeyCombination keypadEnter(Qt::Key_Enter);
    const QKeyCombination arrowDown(Qt::Key_Down);
    const QKeyCombination escape(Qt::Key_Escape);
    const auto ctrl = [](Qt::Key key) {
        return QKeyCombination(Qt::ControlModifier, key);
    };
    const std::optional<Command> none;
    using enum Command;
    // clang-format off
    row(up,   Panel::None,     blank,   enter,       window,   Unroll);
    row(up,   Panel::None,     blank,   keypadEnter, window,   Unroll);
    row(up,   Panel::None,     blank,   arrowDown,   window,   Unroll);
    row(up,   Panel::Save,     writing, arrowDown,   window,   Unroll);
    row(up,   Panel::None,     blank,   escape,      window,   none);
    row(up,   Panel::Save,     writing, escape,      window,   none);
    row(up,   Panel::None,     writing, ctrl(Qt::Key_N), window, none);
    row(down, Panel::None,     blank,   escape,      window,   RollUp);
    row(down, Panel::Commands, blank,   escape,      window,   CloseMenu);
    row(down, Panel::Save,     writing, escape,      titleBox, CancelSave);
    row(down, Panel::Delete,   stored,  escape,      window,   CancelDelete);
    row(down, Panel::None,     blank,   ctrl(Qt::Key_N),      window, New);
    row(down, Panel::None,     blank,   ctrl(Qt::Key_S),      window, Save);
    row(down, Panel::None,     stored,  ctrl(Qt::Key_S),      window, none);
    row(down, Panel::None,     stored,  ctrl(Qt::Key_Delete), window, Delete);
    row(down, Panel::None,     writing, ctrl(Qt::Key_Q),      window, Exit);
    row(down, Panel::None,     writing, ctrl(Qt::Key_L),      window, List);
    row(down, Panel::Save,     writing, ctrl(Qt::Key_L),      window, none);
    row(down, Panel::None,     writing, QKeyCombination(Qt::ShiftModifier, Qt::Key_N), window, none);
    // Enter is "OK" in the title box only; elsewhere, unrolled, it is the focused control's.
    row(down, Panel::Save,     writing, enter,       titleBox, SaveOk);
    row(down, Panel::Save,     blank,   keypadEnter, titleBox, SaveOk);
    row(down, Panel::None,     writing, enter,       titleBox, none);
    row(down, Panel::None,     writing, enter,       window,   none);
    row(down, Panel::Save,     writing, enter,       window,   none);
    row(down, Panel::Delete,   stored,  enter,       window,   none);
    row(down, Panel::None,     stored,  arrowDown,   window,   none);
    // Ctrl+F, and Enter and Down in the find box only.
    row(up,   Panel::None,     blank,   ctrl(Qt::Key_F),      window, Find);
    row(down, Panel::Commands, stored,  ctrl(Qt::Key_F),      window, Find);
    row(down, Panel::Delete,   stored,  ctrl(Qt::Key_F),      window, none);
    row(down, Panel::Find,     writing, escape,      KeyScope::FindBox, CloseFind);
    row(down, Panel::Find,     writing, escape,      window,   CloseFind);
    row(down, Panel::Find,     writing, enter,       KeyScope::FindBox, FoundList);
    row(down, Panel::Find,     writing, arrowDown,   KeyScope::FindBox, FoundList);
    row(down, Panel::Find,     writing, arrowDown,   window,   none);
    // Tab is the controls' own.
    row(down, Panel::None,     writing, QKeyCombination(Qt::Key_Tab), window, none);
    // clang-format on
}

void tst_state::keys()
{
    QFETCH(bool, rolledUp);
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(QKeyCombination, key);
    QFETCH(KeyScope, where);
    QFETCH(std::optional<Command>, command);
    const WindowState state = reached(rolledUp, note, panel);
    QCOMPARE(window::commandForKey(key, where,
                                   [&state](Command c) { return state.allows(c, Origin::Key); }),
             command);
}

// A command from the desktop calls the window up first: unrolled, the note area focused and
// ready to be written in. "toggle" rolls an unrolled window up; "new" gives a new empty note
// unless typed text that is no stored note is there.
void tst_state::fromDesktop_data()
{
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<bool>("text"); // whether the note area holds text
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("rolledUpAfter");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<NoteMode>("noteAfter");
    QTest::addColumn<bool>("emptied");
    const auto row = [](const char *name, bool rolledUp, NoteMode note, bool text, Panel panel,
                        Command command, bool rolledUpAfter, Panel panelAfter, NoteMode noteAfter,
                        bool emptied) {
        QTest::newRow(name) << rolledUp << note << text << panel << command << rolledUpAfter
                            << panelAfter << noteAfter << emptied;
    };
    const NoteMode blank = NoteMode::Blank;
    const NoteMode writing = NoteMode::Writing;
    const NoteMode stored = NoteMode::Stored;
    using enum Command;
    // clang-format off
    row("toggle, rolled up, blank", true,  blank,   false, Panel::None, Toggle, false, Panel::None, writing, false);
    row("toggle, rolled up, stored", true, stored,  true,  Panel::None, Toggle, false, Panel::None, stored,  false);
    row("toggle, unrolled",         false, writing, true,  Panel::Save, Toggle, true,  Panel::Save, writing, false);
    row("new, blank",               true,  blank,   false, Panel::None, New, false, Panel::None, writing, true);
    row("new, writing, empty",      false, writing, false, Panel::None, New, false, Panel::None, writing, true);
    row("new, writing, typed",      false, writing, true,  Panel::None, New, false, Panel::None, writing, false);
    row("new, typed, saving",       false, writing, true,  Panel::Save, New, false, Panel::Save, writing, false);
    row("new, empty, saving",       false, writing, false, Panel::Save, New, false, Panel::None, writing, true);
    row("new, typed, rolled up",    true,  writing, true,  Panel::None, New, false, Panel::None, writing, false);
    row("new, stored",              false, stored,  true,  Panel::None, New, false, Panel::None, writing, true);
    row("new, stored, deleting",    false, stored,  true,  Panel::Delete, New, false, Panel::None, writing, true);
    row("new, stored, commands",    false, stored,  true,  Panel::Commands, New, false, Panel::None, writing, true);
    // clang-format on
}

void tst_state::fromDesktop()
{
    QFETCH(bool, rolledUp);
    QFETCH(NoteMode, note);
    QFETCH(bool, text);
    QFETCH(Panel, panel);
    QFETCH(Command, command);
    QFETCH(bool, rolledUpAfter);
    QFETCH(Panel, panelAfter);
    QFETCH(NoteMode, noteAfter);
    QFETCH(bool, emptied);
    WindowState state = reached(false, note, panel);
    if (note == NoteMode::Writing)
        state.noteEdited(text);
    if (rolledUp)
        roll(state);
    state.takeDraftChange();

    QVERIFY(state.perform(command, Origin::Desktop));
    QCOMPARE(state.rolledUp(), rolledUpAfter);
    QCOMPARE(state.panel(), panelAfter);
    QCOMPARE(state.noteMode(), noteAfter);
    QCOMPARE(state.takeNoteText().has_value(), emptied);
    QCOMPARE(state.takeDraftChange(), emptied ? DraftChange::Now : DraftChange::None);
    QCOMPARE(state.takeFocus(), rolledUpAfter ? Focus::Stays : Focus::Note);
    QCOMPARE(state.awaitsPointer(), !rolledUpAfter);
}

// Called up from the desktop, the window may be far from the pointer: the polls count no look
// outside until the pointer has been over it once.
void tst_state::pollsWaitForThePointerAfterTheDesktop_data()
{
    QTest::addColumn<bool>("byCommand");
    QTest::addColumn<bool>("pointerCame");
    QTest::addColumn<int>("polls"); // outside, until the roll-up; -1 for none
    QTest::newRow("unrolled by the pointer")
        << false << false << design::PollsOutsideBeforeRollingUp;
    QTest::newRow("by a command, the pointer never came") << true << false << -1;
    QTest::newRow("by a command, the pointer came once")
        << true << true << design::PollsOutsideBeforeRollingUp;
}

void tst_state::pollsWaitForThePointerAfterTheDesktop()
{
    QFETCH(bool, byCommand);
    QFETCH(bool, pointerCame);
    QFETCH(int, polls);
    const auto pollsToRollUp = [](WindowState &state) {
        for (int i = 1; i <= 50; ++i) {
            if (state.pollPointer(Outside, dockedWindow()))
                return i;
        }
        return -1;
    };
    WindowState state;
    state.perform(Command::Toggle, byCommand ? Origin::Desktop : Origin::Pointer);
    QVERIFY(!state.rolledUp());
    QCOMPARE(state.awaitsPointer(), byCommand);
    if (pointerCame)
        QVERIFY(!state.pollPointer(Inside, dockedWindow()));
    QCOMPARE(pollsToRollUp(state), polls);
    // Rolled up and unrolled again by the pointer, the window counts as always.
    state.hideNow();
    roll(state);
    QVERIFY(!state.awaitsPointer());
    QCOMPARE(pollsToRollUp(state), design::PollsOutsideBeforeRollingUp);
}

// What the store's answers and the pointer over the note do to the panels and the note.
void tst_state::storeAndPointer_data()
{
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<QString>("event");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<NoteMode>("noteAfter");
    const auto row
        = [](Panel panel, NoteMode note, const char *event, Panel panelAfter, NoteMode noteAfter) {
              QTest::addRow("panel %d, note %d, %s", int(panel), int(note), event)
                  << panel << note << QString::fromLatin1(event) << panelAfter << noteAfter;
          };
    // clang-format off
    row(Panel::Commands, NoteMode::Stored,  "over note", Panel::None,  NoteMode::Stored);
    row(Panel::Save,     NoteMode::Writing, "over note", Panel::Save,  NoteMode::Writing);
    row(Panel::Save,     NoteMode::Writing, "saved",     Panel::None,  NoteMode::Writing);
    row(Panel::Delete,   NoteMode::Stored,  "deleted",   Panel::None,  NoteMode::Writing);
    row(Panel::Delete,   NoteMode::Stored,  "gone",      Panel::None,  NoteMode::Stored);
    row(Panel::Delete,   NoteMode::Stored,  "changed",   Panel::None,  NoteMode::Stored);
    // clang-format on
}

void tst_state::storeAndPointer()
{
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(QString, event);
    QFETCH(Panel, panelAfter);
    QFETCH(NoteMode, noteAfter);
    WindowState state = reached(false, note, panel);
    const store::Note changed{12, QStringLiteral("Titel"), QStringLiteral("ändrad")};
    if (event == QLatin1String("saved") || event == QLatin1String("deleted"))
        state.changeStored();
    else if (event == QLatin1String("gone"))
        state.deleteRefused(std::nullopt);
    else if (event == QLatin1String("changed"))
        state.deleteRefused(changed);
    else
        state.pointerOverNoteOrEdge();
    QCOMPARE(state.panel(), panelAfter);
    QCOMPARE(state.noteMode(), noteAfter);
    const bool emptied = event == QLatin1String("saved") || event == QLatin1String("deleted");
    const std::optional<QString> text = state.takeNoteText();
    QCOMPARE(text, emptied                             ? std::optional(QString())
                   : event == QLatin1String("changed") ? std::optional(changed.text)
                                                       : std::nullopt);
    if (event == QLatin1String("changed"))
        QCOMPARE(*state.shownNote(), changed);
    if (event != QLatin1String("over note"))
        QCOMPARE(state.takeFocus(), Focus::Note);
}

// A sync round deleted notes deleted on another machine: the note shown goes only when it is
// one of them, as "Ja" takes it; a note being written never.
void tst_state::deletedElsewhere_data()
{
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<qint64>("deleted");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<NoteMode>("noteAfter");
    QTest::addColumn<Focus>("focus");
    const auto row = [](Panel panel, NoteMode note, qint64 deleted, Panel panelAfter,
                        NoteMode noteAfter, Focus focus) {
        QTest::addRow("panel %d, note %d, %lld deleted", int(panel), int(note),
                      static_cast<long long>(deleted))
            << panel << note << deleted << panelAfter << noteAfter << focus;
    };
    const qint64 shown = storedNote().id;
    // clang-format off
    row(Panel::None,     NoteMode::Stored,  shown,     Panel::None,     NoteMode::Writing, Focus::Stays);
    row(Panel::Delete,   NoteMode::Stored,  shown,     Panel::None,     NoteMode::Writing, Focus::Note);
    row(Panel::Commands, NoteMode::Stored,  shown,     Panel::None,     NoteMode::Writing, Focus::Stays);
    row(Panel::Find,     NoteMode::Stored,  shown,     Panel::Find,     NoteMode::Writing, Focus::Stays);
    row(Panel::Delete,   NoteMode::Stored,  shown + 1, Panel::Delete,   NoteMode::Stored,  Focus::Stays);
    row(Panel::None,     NoteMode::Writing, shown,     Panel::None,     NoteMode::Writing, Focus::Stays);
    row(Panel::Save,     NoteMode::Writing, shown,     Panel::Save,     NoteMode::Writing, Focus::Stays);
    row(Panel::None,     NoteMode::Blank,   shown,     Panel::None,     NoteMode::Blank,   Focus::Stays);
    // clang-format on
}

void tst_state::deletedElsewhere()
{
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(qint64, deleted);
    QFETCH(Panel, panelAfter);
    QFETCH(NoteMode, noteAfter);
    QFETCH(Focus, focus);
    WindowState state = reached(false, note, panel);
    const bool goes = note == NoteMode::Stored && deleted == storedNote().id;
    QCOMPARE(state.notesDeletedElsewhere({deleted, deleted + 1}), goes);
    QCOMPARE(state.panel(), panelAfter);
    QCOMPARE(state.noteMode(), noteAfter);
    QCOMPARE(state.shownNote().has_value(), noteAfter == NoteMode::Stored);
    QCOMPARE(state.takeNoteText(), goes ? std::optional(QString()) : std::nullopt);
    QCOMPARE(state.takeDraftChange(), goes ? DraftChange::Now : DraftChange::None);
    QCOMPARE(state.takeFocus(), focus);
}

void tst_state::noteShownAndReplaced()
{
    WindowState state;
    roll(state);
    state.showStoredNote(storedNote());
    QCOMPARE(*state.shownNote(), storedNote());
    QCOMPARE(state.takeNoteText(), storedNote().text);
    QCOMPARE(state.takeDraftChange(), DraftChange::Now);
    QVERIFY(state.showsChosenNote());

    // A title chosen while the save panel is open is not shown: the note being saved stays.
    QVERIFY(state.perform(Command::New, Origin::Pointer));
    QVERIFY(state.perform(Command::Save, Origin::Pointer));
    QVERIFY(!state.showsChosenNote());
    QVERIFY(state.perform(Command::CancelSave, Origin::Pointer));
    QVERIFY(state.showsChosenNote());

    // The delete question does not stop another title from being shown: "Ja" then deletes
    // the note shown now.
    state.showStoredNote(storedNote());
    QVERIFY(state.perform(Command::Delete, Origin::Pointer));
    QVERIFY(state.showsChosenNote());
    const store::Note other{13, QStringLiteral("Annan"), QStringLiteral("annan text")};
    state.showStoredNote(other);
    QCOMPARE(*state.shownNote(), other);
    QCOMPARE(state.panel(), Panel::Delete);
}

// A draft left by a program that ended is taken only while nothing the person did is in the
// note area: blank, or an empty new note not being saved.
void tst_state::draftRestored_data()
{
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<bool>("text");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<bool>("taken");
    QTest::newRow("blank") << NoteMode::Blank << false << Panel::None << true;
    QTest::newRow("empty new note") << NoteMode::Writing << false << Panel::None << true;
    QTest::newRow("typed") << NoteMode::Writing << true << Panel::None << false;
    QTest::newRow("empty, saving") << NoteMode::Writing << false << Panel::Save << false;
    QTest::newRow("stored") << NoteMode::Stored << true << Panel::None << false;
}

void tst_state::draftRestored()
{
    QFETCH(NoteMode, note);
    QFETCH(bool, text);
    QFETCH(Panel, panel);
    QFETCH(bool, taken);
    WindowState state = reached(false, note, panel);
    if (note == NoteMode::Writing)
        state.noteEdited(text);
    state.takeDraftChange();
    const store::Draft draft{QStringLiteral("utkast"), QStringLiteral("namn")};
    QCOMPARE(state.restoreDraft(draft), taken);
    QCOMPARE(state.takeDraftAnswer(),
             taken ? window::DraftAnswer::Taken : window::DraftAnswer::NotTaken);
    QCOMPARE(state.takeNoteText(), taken ? std::optional(draft.text) : std::nullopt);
    QCOMPARE(state.takeTitle(), taken ? draft.title : std::nullopt);
    QCOMPARE(state.noteMode(), taken ? NoteMode::Writing : note);
    QCOMPARE(state.holdsTypedText(), taken || (note == NoteMode::Writing && text));
}

// What the find panel's box and the searches' answers do: the list shows the notes found for
// the words typed now, until the panel closes; a note shown from them has the words marked.
// Closing the panel, or another panel in its place, slides the list back. A search that cannot
// read the notes is told once for each opening of the panel.
void tst_state::findPanel_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<QString>("filter"); // the IDs the list shows; "-" for all
    QTest::addColumn<QString>("findText");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<Focus>("focus");
    QTest::addColumn<Slide>("slide");
    QTest::addColumn<int>("failuresTold");
    const auto row = [](const char *name, const char *steps, Panel panel, const char *filter,
                        const char *findText, const char *marked, Focus focus, Slide slide,
                        int failuresTold = 0) {
        QTest::newRow(name) << QString::fromUtf8(steps) << panel << QString::fromUtf8(filter)
                            << QString::fromUtf8(findText) << QString::fromUtf8(marked) << focus
                            << slide << failuresTold;
    };
    const Panel find = Panel::Find;
    const Panel none = Panel::None;
    const Focus stays = Focus::Stays;
    const Slide still = Slide::Still;
    const Slide out = Slide::Widening;
    const Slide back = Slide::Narrowing;
    // "tick": one step of the slide the notes found started.
    // clang-format off
    row("found",                "type kap;found kap 1 2",          find, "1 2", "kap", "",    stays, out);
    row("overtaken dropped",    "type ka;type kap;found ka 1 2 3", find, "-",   "kap", "",    stays, still);
    row("later replaces",       "type ka;found ka 1 2 3;type kap;found kap 2", find, "2", "kap", "", stays, out);
    row("none found",           "type xyz;found xyz",              find, "",    "xyz", "",    stays, out);
    row("emptied box closes",   "type kap;found kap 1;tick;clear", none, "-",   "",    "",    Focus::Note, back);
    row("Esc closes",           "type kap;found kap 1;tick;Esc",   none, "-",   "",    "",    Focus::Note, back);
    row("after closing dropped","type kap;Esc;found kap 1",        none, "-",   "",    "",    Focus::Note, still);
    row("Spara ends the search","type kap;found kap 1;tick;Spara", Panel::Save, "-", "", "", Focus::TitleBox, back);
    row("M ends the search",    "type kap;found kap 1;tick;M",     Panel::Commands, "-", "", "", Focus::FirstCommand, back);
    row("Radera ends the search","type kap;found kap 1;show;tick;Radera", Panel::Delete, "-", "", "kap", Focus::DeleteYes, back);
    row("Ctrl+F keeps words",   "type kap;found kap 1;Ctrl+F",     find, "1",   "kap", "",    Focus::FindBox, out);
    row("reopened empty",       "type kap;Esc;Ctrl+F",             find, "-",   "",    "",    Focus::FindBox, still);
    row("shown from a search",  "type kap;found kap 1;show",       find, "1",   "kap", "kap", stays, out);
    row("shown before answer",  "type kap;show",                   find, "-",   "kap", "",    stays, still);
    row("shown after closing",  "type kap;found kap 1;tick;Esc;show", none, "-", "",   "",    Focus::Note, back);
    row("Ny unmarks",           "type kap;found kap 1;show;Ny",    find, "1",   "kap", "",    Focus::Note, out);
    row("failure told once",    "type k;fail;type ka;fail;type kap;fail", find, "-", "kap", "", stays, still, 1);
    row("told again reopened",  "type k;fail;Esc;Ctrl+F;type k;fail", find, "-", "k",  "",    Focus::FindBox, still, 2);
    row("Ctrl+F again, not told","type k;fail;Ctrl+F;type ka;fail", find, "-",  "ka",  "",    Focus::FindBox, still, 1);
    // clang-format on
}

void tst_state::findPanel()
{
    QFETCH(QString, steps);
    QFETCH(Panel, panel);
    QFETCH(QString, filter);
    QFETCH(QString, findText);
    QFETCH(QString, marked);
    QFETCH(Focus, focus);
    QFETCH(Slide, slide);
    QFETCH(int, failuresTold);
    WindowState state = reached(false, NoteMode::Writing, Panel::Find);
    int told = 0;
    for (const QString &step : steps.split(QLatin1Char(';'))) {
        QStringList words = step.split(QLatin1Char(' '));
        const QString what = words.takeFirst();
        if (what == QLatin1String("type")) {
            QVERIFY(state.findTyped(words.first()));
        } else if (what == QLatin1String("clear")) {
            QVERIFY(!state.findTyped(QString()));
        } else if (what == QLatin1String("found")) {
            const QString typed = words.takeFirst();
            std::vector<qint64> ids;
            for (const QString &id : words)
                ids.push_back(id.toLongLong());
            state.notesFound(typed, ids);
        } else if (what == QLatin1String("fail")) {
            told += state.searchFailed() ? 1 : 0;
        } else if (what == QLatin1String("show")) {
            state.showStoredNote(storedNote());
        } else if (what == QLatin1String("tick")) {
            state.slideTick();
        } else {
            const Command command = what == QLatin1String("Esc")      ? Command::CloseFind
                                    : what == QLatin1String("Ctrl+F") ? Command::Find
                                    : what == QLatin1String("Spara")  ? Command::Save
                                    : what == QLatin1String("M")      ? Command::Menu
                                    : what == QLatin1String("Radera") ? Command::Delete
                                                                      : Command::New;
            QVERIFY(state.perform(command, Origin::Key));
        }
    }
    QCOMPARE(state.panel(), panel);
    QStringList shown;
    if (const std::vector<qint64> *ids = state.listFilter()) {
        for (const qint64 id : *ids)
            shown << QString::number(id);
    } else {
        shown << QStringLiteral("-");
    }
    QCOMPARE(shown.join(QLatin1Char(' ')), filter);
    QCOMPARE(state.findText(), findText);
    QCOMPARE(state.markedWords(), marked);
    QCOMPARE(state.takeFocus(), focus);
    QCOMPARE(state.slide(), slide);
    QCOMPARE(told, failuresTold);
}

// The man page's KEYS section names exactly the keys of the command table, no more and no fewer,
// and the page tells of every command the desktop may give.
void tst_state::manPageListsTheKeysOfTheTable()
{
    const auto nameOf = [](QKeyCombination key) {
        static const QHash<int, QString> names{{Qt::Key_Return, QStringLiteral("Enter")},
                                               {Qt::Key_Enter, QStringLiteral("Enter")},
                                               {Qt::Key_Down, QStringLiteral("Down")},
                                               {Qt::Key_Escape, QStringLiteral("Esc")},
                                               {Qt::Key_Tab, QStringLiteral("Tab")},
                                               {Qt::Key_Backtab, QStringLiteral("Shift+Tab")},
                                               {Qt::Key_Delete, QStringLiteral("Delete")}};
        // A letter's key code is its character; the others are named above.
        const QString name = names.contains(key.key()) ? names.value(key.key())
                                                       : QString(QChar(char16_t(key.key())));
        return key.keyboardModifiers() == Qt::ControlModifier ? QStringLiteral("Ctrl+") + name
                                                              : name;
    };
    QSet<QString> table;
    for (const window::CommandRow &row : window::commandTable()) {
        for (const QKeyCombination key : row.keys)
            table << nameOf(key);
    }

    QFile page(QFINDTESTDATA("../../docs/man/zentavo.1"));
    QVERIFY(page.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(page.readAll());
    // Each command the desktop gives is in the synopsis, described, and in the exit status.
    for (const QString &name : window::desktopCommandNames()) {
        const QString option = QStringLiteral("\\-\\-") + name;
        const qsizetype exitStatus = text.indexOf(QLatin1String(".SH EXIT STATUS"));
        QVERIFY2(text.section(QLatin1Char('\n'), 7, 7).contains(option), qPrintable(name));
        QVERIFY2(text.contains(QStringLiteral("\n.B ") + option + QLatin1Char('\n')),
                 qPrintable(name));
        QVERIFY2(text.indexOf(option, exitStatus) > exitStatus, qPrintable(name));
    }
    QSet<QString> listed;
    bool inKeys = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".SH")))
            inKeys = line == QLatin1String(".SH KEYS");
        else if (inKeys
                 && (line.startsWith(QLatin1String(".B "))
                     || line.startsWith(QLatin1String(".BR ")))) {
            for (const QString &word : line.split(QLatin1Char(' ')).mid(1)) {
                if (!word.startsWith(QLatin1Char('"')))
                    listed << word;
            }
        }
    }
    QCOMPARE(listed, table);
}

void tst_state::listFollowsTheFocus_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<Slide>("slide");
    QTest::addColumn<bool>("focusComes"); // or leaves
    QTest::addColumn<Slide>("slideAfter");
    const int mid = Way.narrow + 13 * Way.step;
    // Exactly as the pointer over the list, and over the note.
    QTest::newRow("narrow, focus comes") << Way.narrow << Slide::Still << true << Slide::Widening;
    QTest::newRow("narrowing, focus comes") << mid << Slide::Narrowing << true << Slide::Narrowing;
    QTest::newRow("wide, focus comes") << int(Way.wide) << Slide::Still << true << Slide::Still;
    QTest::newRow("wide, focus leaves")
        << int(Way.wide) << Slide::Still << false << Slide::Narrowing;
    QTest::newRow("widening, focus leaves") << mid << Slide::Widening << false << Slide::Narrowing;
    QTest::newRow("narrow, focus leaves") << Way.narrow << Slide::Still << false << Slide::Still;
}

void tst_state::listFollowsTheFocus()
{
    QFETCH(int, width);
    QFETCH(Slide, slide);
    QFETCH(bool, focusComes);
    QFETCH(Slide, slideAfter);
    WindowState state = slidTo(width, slide);
    QVERIFY(state.perform(Command::Menu, Origin::Pointer));
    if (focusComes)
        state.listFocused();
    else
        state.listLeft();
    QCOMPARE(state.slide(), slideAfter);
    QCOMPARE(state.listWidth(), width);
    // Unlike the pointer over the note, the focus leaving the list closes no panel.
    QCOMPARE(state.panel(), Panel::Commands);
}

void tst_state::pollEdges_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("outside");

    // Every comparison is strict: a pointer exactly on an edge, the far ones included, is inside.
    const QRect w = dockedWindow();
    const int right = w.left() + w.width();
    const int bottom = w.top() + w.height();
    const int midX = w.center().x();
    const int midY = w.center().y();
    QTest::newRow("left of window") << QPoint(w.left() - 1, midY) << true;
    QTest::newRow("on left edge") << QPoint(w.left(), midY) << false;
    QTest::newRow("above window") << QPoint(midX, w.top() - 1) << true;
    QTest::newRow("on top edge") << QPoint(midX, w.top()) << false;
    QTest::newRow("below window") << QPoint(midX, bottom + 1) << true;
    QTest::newRow("on bottom edge") << QPoint(midX, bottom) << false;
    QTest::newRow("right of window") << QPoint(right + 1, midY) << true;
    QTest::newRow("on right edge") << QPoint(right, midY) << false;
    QTest::newRow("top-left corner") << w.topLeft() << false;
    QTest::newRow("bottom-right corner") << QPoint(right, bottom) << false;
    QTest::newRow("diagonally above left") << w.topLeft() - QPoint(1, 1) << true;
    QTest::newRow("diagonally below right") << QPoint(right + 1, bottom + 1) << true;
    QTest::newRow("middle") << w.center() << false;
}

void tst_state::pollEdges()
{
    QFETCH(QPoint, pointer);
    QFETCH(bool, outside);
    WindowState state;
    roll(state);
    poll(state, Outside, 2);
    poll(state, pointer);
    QCOMPARE(state.pollsOutside(), outside ? 3 : 0);
}

void tst_state::fifthLookOutsideRollsUp()
{
    WindowState state;
    roll(state);
    for (int look = 1; look < design::PollsOutsideBeforeRollingUp; ++look) {
        QVERIFY(!state.pollPointer(Outside, dockedWindow()));
        QCOMPARE(state.pollsOutside(), look);
    }
    QVERIFY(state.pollPointer(Outside, dockedWindow()));
}

void tst_state::lookInsideStartsTheCountAgain()
{
    WindowState state;
    roll(state);
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    poll(state, Inside);
    QCOMPARE(state.pollsOutside(), 0);
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    QVERIFY(!state.rolledUp());
    poll(state, Outside);
    QVERIFY(state.rolledUp());
}

void tst_state::autoHideOffKeepsTheCount()
{
    WindowState state;
    roll(state);
    poll(state, Outside, 3);
    state.setAutoHide(false);
    // Off, looks neither count nor start the count again.
    poll(state, Outside, 10);
    poll(state, Inside);
    QCOMPARE(state.pollsOutside(), 3);
    QVERIFY(!state.rolledUp());
    state.setAutoHide(true);
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 3);
    QVERIFY(state.rolledUp());
}

// Every unroll counts afresh: unrolled again with the pointer already away, the window rolls up
// again after as many looks as the first time, however it was rolled up or unrolled.
void tst_state::countStartsAfreshOnEveryUnroll()
{
    WindowState state;
    for (int round = 0; round < 3; ++round) {
        roll(state);
        QCOMPARE(state.pollsOutside(), 0);
        poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
        QVERIFY(!state.rolledUp());
        poll(state, Outside);
        QVERIFY(state.rolledUp());
    }
    // Rolled up by hand in the middle of a count, and unrolled: the count starts over too.
    roll(state);
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    roll(state);
    roll(state);
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    QVERIFY(!state.rolledUp());
}

// A run of looks outside calls for the roll-up once, however long it goes on (hours of looks with
// the pointer away, were the window not rolled up): the count never wraps round to call again.
void tst_state::rollUpIsCalledForOnce()
{
    WindowState state;
    roll(state);
    int calls = 0;
    for (int look = 0; look < 70000; ++look)
        calls += state.pollPointer(Outside, dockedWindow()) ? 1 : 0;
    QCOMPARE(calls, 1);
    QVERIFY(state.pollsOutside() <= design::PollsOutsideBeforeRollingUp + 1);
}

void tst_state::unreadablePointerIsTheCorner_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<bool>("counts");
    QTest::newRow("window away from the corner") << dockedWindow() << true;
    // With the window's corner at the screen's corner, (0, 0) is on its edge: inside.
    QTest::newRow("window at the corner") << QRect(QPoint(0, 0), dockedWindow().size()) << false;
}

void tst_state::unreadablePointerIsTheCorner()
{
    QFETCH(QRect, window);
    QFETCH(bool, counts);
    WindowState state;
    roll(state);
    poll(state, Outside, 2, window);
    poll(state, std::nullopt, 1, window);
    QCOMPARE(state.pollsOutside(), counts ? 3 : 0);
}

void tst_state::noLooksWhileRolledUp()
{
    WindowState state;
    QVERIFY(state.rolledUp());
    poll(state, Outside, 10);
    QVERIFY(state.rolledUp());
    QCOMPARE(state.pollsOutside(), 0);
}

void tst_state::hideNowNarrowsAndRollsUp_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<Slide>("slide");
    QTest::addColumn<Slide>("slideAfter");
    QTest::newRow("wide") << Way.wide << Slide::Still << Slide::Narrowing;
    QTest::newRow("widening") << 1500 << Slide::Widening << Slide::Narrowing;
    QTest::newRow("narrowing") << 1500 << Slide::Narrowing << Slide::Narrowing;
    QTest::newRow("narrow") << Way.narrow << Slide::Still << Slide::Still;
    QTest::newRow("narrow, widening just started")
        << Way.narrow << Slide::Widening << Slide::Widening;
}

void tst_state::hideNowNarrowsAndRollsUp()
{
    QFETCH(int, width);
    QFETCH(Slide, slide);
    QFETCH(Slide, slideAfter);
    WindowState state = slidTo(width, slide);
    QVERIFY(state.perform(Command::New, Origin::Pointer));
    QVERIFY(state.perform(Command::Menu, Origin::Pointer));
    poll(state, Outside, design::PollsOutsideBeforeRollingUp);
    QVERIFY(state.rolledUp());
    QCOMPARE(state.slide(), slideAfter);
    QCOMPARE(state.listWidth(), width);
    // Rolling up leaves the panel and the note as they were.
    QCOMPARE(state.panel(), Panel::Commands);
    QCOMPARE(state.noteMode(), NoteMode::Writing);
    // A list that narrows goes on narrowing while the window is rolled up.
    while (state.slide() == Slide::Narrowing)
        state.slideTick();
    if (slideAfter == Slide::Narrowing)
        QCOMPARE(state.listWidth(), Way.narrow);
}

QTEST_APPLESS_MAIN(tst_state)
#include "tst_state.moc"
