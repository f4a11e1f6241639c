// The window's behaviour as a plain object, without a window: rolling up and down, the list's
// slide, the panels and the note they act on, and the looks at the pointer that roll the window up
// when it stays away. Each table gives a state, an event and the state that must follow.

#include "window/Design.h"
#include "window/Layout.h"
#include "window/WindowState.h"

#include <QTest>

using window::Key;
using window::KeyCommand;
using window::NoteMode;
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

// The unrolled window with this note and this panel open, reached through the buttons, as a
// person reaches it.
WindowState unrolledWith(NoteMode note, Panel panel)
{
    WindowState state;
    state.toggleRolledUp();
    if (note == NoteMode::Writing)
        state.startNewNote();
    else if (note == NoteMode::Stored)
        state.showStoredNote(storedNote());
    const bool commands = panel == Panel::None || state.toggleCommandPanel();
    const bool question = panel == Panel::Save     ? state.openSavePanel()
                          : panel == Panel::Delete ? state.openDeletePanel()
                                                   : true;
    if (!commands || !question || state.panel() != panel)
        qFatal("the panel could not be opened in this note state");
    return state;
}

// A state whose list is `width` wide and slides as `slide` says, reached by the pointer's moves
// and the ticks in between, as a person gets there.
WindowState slidTo(int width, Slide slide)
{
    WindowState state;
    state.toggleRolledUp();
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

    void panels_data();
    void panels();
    void noteShownAndReplaced();

    void keys_data();
    void keys();
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
    state.startNewNote();
    QVERIFY(state.toggleCommandPanel());
    QVERIFY(!state.rolledUp());
    state.toggleRolledUp();
    QVERIFY(state.rolledUp());
    QCOMPARE(state.listWidth(), 1500);
    QCOMPARE(state.slide(), Slide::Widening);
    QCOMPARE(state.panel(), Panel::Commands);
    QCOMPARE(state.noteMode(), NoteMode::Writing);
    state.toggleRolledUp();
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
    state.toggleRolledUp();
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

void tst_state::panels_data()
{
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<QString>("event");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<NoteMode>("noteAfter");

    // A button that does nothing says so: "M" while a question is open, "Spara" and "Radera"
    // where they do not apply.
    const auto row
        = [](Panel panel, NoteMode note, const char *event, Panel panelAfter, NoteMode noteAfter) {
              static const char *const panels[] = {"none", "commands", "save", "delete"};
              static const char *const notes[] = {"blank", "writing", "stored"};
              QTest::addRow("%s, %s, %s", panels[int(panel)], notes[int(note)], event)
                  << panel << note << QString::fromLatin1(event) << panelAfter << noteAfter;
          };
    const NoteMode blank = NoteMode::Blank;
    const NoteMode writing = NoteMode::Writing;
    const NoteMode stored = NoteMode::Stored;
    // clang-format off
    row(Panel::None,     blank,   "M",      Panel::Commands, blank);
    row(Panel::Commands, blank,   "M",      Panel::None,     blank);
    row(Panel::Commands, stored,  "Ny",     Panel::None,     writing);
    row(Panel::Commands, blank,   "Spara",  Panel::Save,     blank);
    row(Panel::Commands, writing, "Spara",  Panel::Save,     writing);
    // A stored note is never saved again, and only a stored note can be deleted.
    row(Panel::Commands, stored,  "Spara",  Panel::Commands, stored);
    row(Panel::Commands, stored,  "Radera", Panel::Delete,   stored);
    row(Panel::Commands, blank,   "Radera", Panel::Commands, blank);
    row(Panel::Commands, writing, "Radera", Panel::Commands, writing);
    row(Panel::Commands, stored,  "over note", Panel::None,  stored);
    row(Panel::Save,     writing, "over note", Panel::Save,  writing);
    row(Panel::Save,     writing, "Avbryt", Panel::None,     writing);
    row(Panel::Save,     writing, "saved",  Panel::None,     writing);
    row(Panel::Delete,   stored,  "Nej",    Panel::None,     stored);
    row(Panel::Delete,   stored,  "deleted", Panel::None,    writing);
    // While a question is open, "M" does nothing.
    row(Panel::Save,     writing, "M",      Panel::Save,     writing);
    row(Panel::Delete,   stored,  "M",      Panel::Delete,   stored);
    // clang-format on
}

void tst_state::panels()
{
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(QString, event);
    QFETCH(Panel, panelAfter);
    QFETCH(NoteMode, noteAfter);
    WindowState state = unrolledWith(note, panel);
    QCOMPARE(state.panel(), panel);
    QCOMPARE(state.noteMode(), note);

    std::optional<bool> acted;
    if (event == QLatin1String("M"))
        acted = state.toggleCommandPanel();
    else if (event == QLatin1String("Ny"))
        state.startNewNote();
    else if (event == QLatin1String("Spara"))
        acted = state.openSavePanel();
    else if (event == QLatin1String("Radera"))
        acted = state.openDeletePanel();
    else if (event == QLatin1String("Avbryt") || event == QLatin1String("Nej"))
        state.closePanel();
    else if (event == QLatin1String("saved") || event == QLatin1String("deleted"))
        state.changeStored();
    else
        state.pointerOverNoteOrEdge();

    QCOMPARE(state.panel(), panelAfter);
    QCOMPARE(state.noteMode(), noteAfter);
    if (acted)
        QCOMPARE(*acted, panelAfter != panel || noteAfter != note);
    QCOMPARE(state.noteEditable(), noteAfter == NoteMode::Writing);
    QCOMPARE(state.shownNote().has_value(), noteAfter == NoteMode::Stored);
}

void tst_state::noteShownAndReplaced()
{
    WindowState state;
    state.toggleRolledUp();
    state.showStoredNote(storedNote());
    QCOMPARE(*state.shownNote(), storedNote());
    QVERIFY(state.showsChosenNote());

    // A title chosen while the save panel is open is not shown: the note being saved stays.
    state.startNewNote();
    QVERIFY(state.toggleCommandPanel());
    QVERIFY(state.openSavePanel());
    QVERIFY(!state.showsChosenNote());
    state.closePanel();
    QVERIFY(state.showsChosenNote());

    // The delete question does not stop another title from being shown: "Ja" then deletes
    // the note shown now.
    state.showStoredNote(storedNote());
    QVERIFY(state.toggleCommandPanel());
    QVERIFY(state.openDeletePanel());
    QVERIFY(state.showsChosenNote());
    const store::Note other{13, QStringLiteral("Annan"), QStringLiteral("annan text")};
    state.showStoredNote(other);
    QCOMPARE(*state.shownNote(), other);
    QCOMPARE(state.panel(), Panel::Delete);
}

void tst_state::keys_data()
{
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<NoteMode>("note");
    QTest::addColumn<Key>("key");
    QTest::addColumn<KeyCommand>("command");

    const auto row = [](bool rolledUp, Panel panel, NoteMode note, Key key, KeyCommand command) {
        static const char *const panels[] = {"none", "commands", "save", "delete"};
        static const char *const notes[] = {"blank", "writing", "stored"};
        static const char *const keys[]
            = {"Esc",    "Ctrl+N", "Ctrl+S",         "Ctrl+Del", "Ctrl+Q",
               "Ctrl+L", "Enter",  "Enter in title", "Down"};
        QTest::addRow("%s, %s, %s, %s", rolledUp ? "rolled up" : "unrolled", panels[int(panel)],
                      notes[int(note)], keys[int(key)])
            << rolledUp << panel << note << key << command;
    };
    const bool up = true;
    const bool down = false;
    const NoteMode blank = NoteMode::Blank;
    const NoteMode writing = NoteMode::Writing;
    const NoteMode stored = NoteMode::Stored;
    using enum KeyCommand;
    // clang-format off
    // Rolled up, only Enter and Down act: they unroll, whatever waits inside.
    row(up,   Panel::None,     blank,   Key::Enter,  Unroll);
    row(up,   Panel::None,     blank,   Key::Down,   Unroll);
    row(up,   Panel::Save,     writing, Key::Down,   Unroll);
    row(up,   Panel::None,     blank,   Key::Escape, None);
    row(up,   Panel::None,     writing, Key::New,    None);
    row(up,   Panel::None,     writing, Key::Save,   None);
    row(up,   Panel::None,     stored,  Key::Delete, None);
    row(up,   Panel::None,     blank,   Key::Exit,   None);
    row(up,   Panel::None,     blank,   Key::List,   None);
    row(up,   Panel::Save,     writing, Key::Escape, None);
    // Escape closes what is open, as its own button does, and otherwise rolls up.
    row(down, Panel::None,     blank,   Key::Escape, RollUp);
    row(down, Panel::Commands, blank,   Key::Escape, CloseCommandPanel);
    row(down, Panel::Save,     writing, Key::Escape, CancelSave);
    row(down, Panel::Delete,   stored,  Key::Escape, CancelDelete);
    // The command panel's buttons, with the panel open or not.
    row(down, Panel::None,     blank,   Key::New,    NewNote);
    row(down, Panel::Commands, stored,  Key::New,    NewNote);
    row(down, Panel::None,     blank,   Key::Save,   AskTitle);
    row(down, Panel::Commands, writing, Key::Save,   AskTitle);
    row(down, Panel::None,     stored,  Key::Delete, AskDelete);
    row(down, Panel::Commands, stored,  Key::Delete, AskDelete);
    row(down, Panel::None,     writing, Key::Exit,   AskExit);
    row(down, Panel::Commands, blank,   Key::Exit,   AskExit);
    row(down, Panel::None,     writing, Key::List,   FocusList);
    row(down, Panel::Commands, stored,  Key::List,   FocusList);
    // A stored note is never saved again; nothing shown is nothing to delete.
    row(down, Panel::None,     stored,  Key::Save,   None);
    row(down, Panel::Commands, stored,  Key::Save,   None);
    row(down, Panel::None,     blank,   Key::Delete, None);
    row(down, Panel::None,     writing, Key::Delete, None);
    row(down, Panel::Commands, writing, Key::Delete, None);
    // While a question is open only its answers act: "M" and its buttons are out of reach.
    row(down, Panel::Save,     writing, Key::New,    None);
    row(down, Panel::Save,     writing, Key::Save,   None);
    row(down, Panel::Save,     writing, Key::Exit,   None);
    row(down, Panel::Save,     writing, Key::List,   None);
    row(down, Panel::Delete,   stored,  Key::New,    None);
    row(down, Panel::Delete,   stored,  Key::Delete, None);
    row(down, Panel::Delete,   stored,  Key::Exit,   None);
    row(down, Panel::Delete,   stored,  Key::List,   None);
    // Enter in the title box is "OK"; elsewhere, and Down, are the focused control's own.
    row(down, Panel::Save,     writing, Key::EnterInTitleBox, SaveNote);
    row(down, Panel::Save,     blank,   Key::EnterInTitleBox, SaveNote);
    row(down, Panel::None,     writing, Key::EnterInTitleBox, None);
    row(down, Panel::None,     writing, Key::Enter,  None);
    row(down, Panel::Save,     writing, Key::Enter,  None);
    row(down, Panel::Delete,   stored,  Key::Enter,  None);
    row(down, Panel::None,     stored,  Key::Down,   None);
    // clang-format on
}

// The state a key acts in is reached as a person reaches it; asking what a key does changes
// nothing.
void tst_state::keys()
{
    QFETCH(bool, rolledUp);
    QFETCH(Panel, panel);
    QFETCH(NoteMode, note);
    QFETCH(Key, key);
    QFETCH(KeyCommand, command);
    WindowState state = unrolledWith(note, panel);
    if (rolledUp)
        state.toggleRolledUp();

    QCOMPARE(state.commandForKey(key), command);
    QCOMPARE(state.rolledUp(), rolledUp);
    QCOMPARE(state.panel(), panel);
    QCOMPARE(state.noteMode(), note);
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
    QVERIFY(state.toggleCommandPanel());
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
    state.toggleRolledUp();
    poll(state, Outside, 2);
    poll(state, pointer);
    QCOMPARE(state.pollsOutside(), outside ? 3 : 0);
}

void tst_state::fifthLookOutsideRollsUp()
{
    WindowState state;
    state.toggleRolledUp();
    for (int look = 1; look < design::PollsOutsideBeforeRollingUp; ++look) {
        QVERIFY(!state.pollPointer(Outside, dockedWindow()));
        QCOMPARE(state.pollsOutside(), look);
    }
    QVERIFY(state.pollPointer(Outside, dockedWindow()));
}

void tst_state::lookInsideStartsTheCountAgain()
{
    WindowState state;
    state.toggleRolledUp();
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
    state.toggleRolledUp();
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
        state.toggleRolledUp();
        QCOMPARE(state.pollsOutside(), 0);
        poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
        QVERIFY(!state.rolledUp());
        poll(state, Outside);
        QVERIFY(state.rolledUp());
    }
    // Rolled up by hand in the middle of a count, and unrolled: the count starts over too.
    state.toggleRolledUp();
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    state.toggleRolledUp();
    state.toggleRolledUp();
    poll(state, Outside, design::PollsOutsideBeforeRollingUp - 1);
    QVERIFY(!state.rolledUp());
}

// A run of looks outside calls for the roll-up once, however long it goes on (hours of looks with
// the pointer away, were the window not rolled up): the count never wraps round to call again.
void tst_state::rollUpIsCalledForOnce()
{
    WindowState state;
    state.toggleRolledUp();
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
    state.toggleRolledUp();
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
    state.startNewNote();
    QVERIFY(state.toggleCommandPanel());
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
