// Commands from outside the window (zentavo --toggle and --new, a key bound on the desktop), on
// the real window: they unroll it with the note area focused and ask the desktop to activate it
// with the activation they came with; toggle rolls an unrolled window up; new keeps typed text
// and otherwise gives a new empty note. Called up by a command, the window is not rolled up by
// the pointer staying away until the pointer has been over it once. The rules alone are tested
// on WindowState (tst_state).

#include "WindowTestSupport.h"

#include <QApplication>
#include <QTest>

using window::NoteMode;
using window::Panel;
namespace design = window::design;

namespace {

const runtime::Activation Given{QStringLiteral("token-1"), QStringLiteral("launcher_TIME42")};
const QPoint Away(500, 500);

} // namespace

class tst_windowcommands : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_windowcommands()
        : WindowTestCase({.notes = 2, .unrolled = false})
    {}

private Q_SLOTS:
    void toggleCallsTheWindowUpAndRollsItUp();
    void calledUpWindowStaysUntilThePointerCame();
    void newKeepsTypedText();
    void newReplacesAStoredNote_data();
    void newReplacesAStoredNote();
    void draftComesBackIntoANoteCalledUp();

private:
    void typeIntoNote(const QString &text);
};

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
    form().runFromDesktop(window::Command::Toggle, Given);
    QVERIFY(!state().rolledUp());
    QCOMPARE(form().height(), windowtest::scale().y(design::Window.height));
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);
    QCOMPARE(desktop().activations.size(), 1);
    QCOMPARE(desktop().activations.first().token, Given.token);
    QCOMPARE(desktop().activations.first().startupId, Given.startupId);
    // A blank note area is ready to be written in: the keys typed land there.
    typeIntoNote(QStringLiteral("skrivet"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));

    form().runFromDesktop(window::Command::Toggle, Given);
    QVERIFY(state().rolledUp());
    QCOMPARE(form().height(), windowtest::scale().y(design::TitleStrip.height));
    QCOMPARE(desktop().activations.size(), 1);
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
}

void tst_windowcommands::calledUpWindowStaysUntilThePointerCame()
{
    const window::Controls &ui = this->ui();
    desktop().pointer = Away + QPoint(2000, 2000);
    form().runFromDesktop(window::Command::Toggle, Given);
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
    form().runFromDesktop(window::Command::New, Given);
    QVERIFY(!state().rolledUp());
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);
    QCOMPARE(state().noteMode(), NoteMode::Writing);
    typeIntoNote(QStringLiteral("osparat"));
    form().runFromDesktop(window::Command::Toggle, Given);
    QVERIFY(state().rolledUp());
    form().runFromDesktop(window::Command::New, Given);
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
    form().runFromDesktop(window::Command::New, Given);
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
    form().runFromDesktop(window::Command::Toggle, Given);
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
