// Commands from outside the window (zentavo --toggle and --new, a key bound on the desktop), on
// the real window: they unroll it with the note area focused and ask the desktop to activate it
// with the activation they came with; toggle rolls an unrolled window up; new keeps typed text
// and otherwise gives a new empty note. Called up by a command, the window is not rolled up by
// the pointer staying away until the pointer has been over it once. The rules alone are tested
// on WindowState first.

#include "WindowTestSupport.h"

#include <QApplication>
#include <QTest>

using window::NoteMode;
using window::Panel;
using window::WindowState;
namespace design = window::design;

namespace {

const runtime::Activation Given{QStringLiteral("token-1"), QStringLiteral("launcher_TIME42")};
const QRect Place(0, 0, 100, 100);
const QPoint Away(500, 500);
const QPoint Inside(50, 50);

// Polls with the pointer away until the state says to roll up; how many it took, or -1.
int pollsToRollUp(WindowState &state, int limit = 50)
{
    for (int i = 1; i <= limit; ++i) {
        if (state.pollPointer(Away, Place))
            return i;
    }
    return -1;
}

} // namespace

class tst_windowcommands : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_windowcommands()
        : WindowTestCase({.notes = 2, .unrolled = false})
    {}

private Q_SLOTS:
    // The rules, without a window.
    void pollsWaitForThePointer_data();
    void pollsWaitForThePointer();
    void newNoteByCommand_data();
    void newNoteByCommand();

    // The real window.
    void toggleCallsTheWindowUpAndRollsItUp();
    void calledUpWindowStaysUntilThePointerCame();
    void newKeepsTypedText();
    void newReplacesAStoredNote_data();
    void newReplacesAStoredNote();
    void draftComesBackIntoANoteCalledUp();

private:
    void typeIntoNote(const QString &text);
};

void tst_windowcommands::pollsWaitForThePointer_data()
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

void tst_windowcommands::pollsWaitForThePointer()
{
    QFETCH(bool, byCommand);
    QFETCH(bool, pointerCame);
    QFETCH(int, polls);
    WindowState state;
    if (byCommand)
        state.unrollByCommand();
    else
        state.toggleRolledUp();
    QVERIFY(!state.rolledUp());
    QCOMPARE(state.awaitsPointer(), byCommand);
    if (pointerCame)
        QVERIFY(!state.pollPointer(Inside, Place));
    QCOMPARE(pollsToRollUp(state), polls);
    // Rolled up and unrolled again by the pointer, the window counts as always.
    state.hideNow();
    state.toggleRolledUp();
    QVERIFY(!state.awaitsPointer());
    QCOMPARE(pollsToRollUp(state), design::PollsOutsideBeforeRollingUp);
}

void tst_windowcommands::newNoteByCommand_data()
{
    QTest::addColumn<int>("mode");  // the note area before: blank, writing, stored
    QTest::addColumn<bool>("text"); // whether it holds text
    QTest::addColumn<int>("panel"); // the panel open before
    QTest::addColumn<bool>("emptied");
    QTest::newRow("blank") << int(NoteMode::Blank) << false << int(Panel::None) << true;
    QTest::newRow("writing, empty") << int(NoteMode::Writing) << false << int(Panel::None) << true;
    QTest::newRow("writing, typed") << int(NoteMode::Writing) << true << int(Panel::None) << false;
    QTest::newRow("typed, saving") << int(NoteMode::Writing) << true << int(Panel::Save) << false;
    QTest::newRow("empty, saving") << int(NoteMode::Writing) << false << int(Panel::Save) << true;
    QTest::newRow("stored") << int(NoteMode::Stored) << true << int(Panel::None) << true;
    QTest::newRow("stored, deleting")
        << int(NoteMode::Stored) << true << int(Panel::Delete) << true;
    QTest::newRow("stored, commands")
        << int(NoteMode::Stored) << true << int(Panel::Commands) << true;
}

void tst_windowcommands::newNoteByCommand()
{
    QFETCH(int, mode);
    QFETCH(bool, text);
    QFETCH(int, panel);
    QFETCH(bool, emptied);
    WindowState state;
    if (NoteMode(mode) == NoteMode::Writing)
        state.startNewNote();
    if (NoteMode(mode) == NoteMode::Stored)
        state.showStoredNote(store::Note{7, QStringLiteral("T"), QStringLiteral("t")});
    switch (Panel(panel)) {
    case Panel::None:
        break;
    case Panel::Commands:
        QVERIFY(state.toggleCommandPanel());
        break;
    case Panel::Save:
        QVERIFY(state.openSavePanel());
        break;
    case Panel::Delete:
        QVERIFY(state.openDeletePanel());
        break;
    }
    state.unrollByCommand();
    QCOMPARE(state.newNoteByCommand(text), emptied);
    QCOMPARE(state.noteMode(), NoteMode::Writing);
    QCOMPARE(state.panel(), emptied ? Panel::None : Panel(panel));
    QCOMPARE(state.shownNote().has_value(), false);
    QVERIFY(!state.rolledUp());
}

void tst_windowcommands::typeIntoNote(const QString &text)
{
    QTest::keyClicks(ui().noteText, text);
    QCOMPARE(ui().noteText->text().endsWith(text), true);
}

void tst_windowcommands::toggleCallsTheWindowUpAndRollsItUp()
{
    const window::Controls &ui = this->ui();
    QVERIFY(state().rolledUp());
    ui.menuButton->setFocus();
    form().toggleByCommand(Given);
    QVERIFY(!state().rolledUp());
    QCOMPARE(form().height(), windowtest::scale().y(design::Window.height));
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);
    QCOMPARE(desktop().activations.size(), 1);
    QCOMPARE(desktop().activations.first().token, Given.token);
    QCOMPARE(desktop().activations.first().startupId, Given.startupId);
    // A blank note area is ready to be written in: the keys typed land there.
    typeIntoNote(QStringLiteral("skrivet"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));

    form().toggleByCommand(Given);
    QVERIFY(state().rolledUp());
    QCOMPARE(form().height(), windowtest::scale().y(design::TitleStrip.height));
    QCOMPARE(desktop().activations.size(), 1);
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
}

void tst_windowcommands::calledUpWindowStaysUntilThePointerCame()
{
    const window::Controls &ui = this->ui();
    desktop().pointer = Away + QPoint(2000, 2000);
    form().toggleByCommand(Given);
    for (int i = 0; i < 3 * design::PollsOutsideBeforeRollingUp; ++i)
        QVERIFY(windowtest::tick(ui.pointerPoll));
    QVERIFY(!state().rolledUp());
    desktop().pointer = form().geometry().center();
    QVERIFY(windowtest::tick(ui.pointerPoll));
    desktop().pointer = Away + QPoint(2000, 2000);
    for (int i = 0; i < design::PollsOutsideBeforeRollingUp; ++i)
        windowtest::tick(ui.pointerPoll);
    QVERIFY(state().rolledUp());
}

void tst_windowcommands::newKeepsTypedText()
{
    const window::Controls &ui = this->ui();
    form().newNoteByCommand(Given);
    QVERIFY(!state().rolledUp());
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);
    QCOMPARE(state().noteMode(), NoteMode::Writing);
    typeIntoNote(QStringLiteral("osparat"));
    form().toggleByCommand(Given);
    QVERIFY(state().rolledUp());
    form().newNoteByCommand(Given);
    QVERIFY(!state().rolledUp());
    QCOMPARE(ui.noteText->text(), QStringLiteral("osparat"));
    QCOMPARE(state().noteMode(), NoteMode::Writing);
    QCOMPARE(desktop().activations.size(), 2);
}

void tst_windowcommands::newReplacesAStoredNote_data()
{
    QTest::addColumn<bool>("deleting"); // the delete question open
    QTest::newRow("shown") << false;
    QTest::newRow("delete question open") << true;
}

void tst_windowcommands::newReplacesAStoredNote()
{
    QFETCH(bool, deleting);
    const window::Controls &ui = this->ui();
    windowtest::doubleClick(ui.titleStrip);
    window().clickNote(ids().first());
    QCOMPARE(state().noteMode(), NoteMode::Stored);
    if (deleting) {
        window().command(ui.deleteButton);
        QCOMPARE(state().panel(), Panel::Delete);
    }
    form().newNoteByCommand(Given);
    QCOMPARE(state().noteMode(), NoteMode::Writing);
    QCOMPARE(state().panel(), Panel::None);
    QVERIFY(!ui.deletePanel->isVisible());
    QCOMPARE(ui.noteText->text(), QString());
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);
    typeIntoNote(QStringLiteral("nytt"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("nytt"));
    // Nothing was deleted.
    QCOMPARE(db().count(), 2);
}

// A command that starts the program acts right after the first frame, while the draft a program
// left may still be on its way: it comes back into the empty new note all the same.
void tst_windowcommands::draftComesBackIntoANoteCalledUp()
{
    form().toggleByCommand(Given);
    QCOMPARE(state().noteMode(), NoteMode::Writing);
    QMetaObject::invokeMethod(
        &form(), "restoreDraft",
        Q_ARG(store::Draft, (store::Draft{QStringLiteral("kvar"), std::nullopt})));
    QCOMPARE(ui().noteText->text(), QStringLiteral("kvar"));
    QCOMPARE(desktop().notices.size(), 1);
    desktop().notices.clear();
}

QTEST_MAIN(tst_windowcommands)
#include "tst_windowcommands.moc"
