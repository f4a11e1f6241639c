// The window as a whole, started as the program starts it: what the start leaves on the screen,
// rolling up and down, the drag lock of the title strip and the exit question.

#include "WindowTestSupport.h"

#include <QFile>
#include <QHeaderView>
#include <QTest>

using window::Slide;
using windowtest::sendMouse;
namespace design = window::design;

class tst_frame : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_frame()
        : WindowTestCase({.notes = 3, .unrolled = false})
    {}

private Q_SLOTS:
    void startUp();
    void startWithoutDatabase();
    void listMadeAfterFirstFrame();
    void toggleRolledUp_data();
    void toggleRolledUp();
    void resizedByTheSystem();
    void stripDoubleClickAndArrowMove();
    void dragLock_data();
    void dragLock();
    void exitAnsweredNo();
    void exitAnsweredYes();

private:
    // The window's height on the screen when rolled up and unrolled.
    static int rolledUpHeight() { return windowtest::scale().y(design::TitleStrip.height); }
    static int unrolledHeight() { return windowtest::scale().y(design::Window.height); }
    // Unrolls the window, types a note it never saves and chooses "Avsluta", answering "Ja" or
    // "Nej".
    void chooseExitWithUnsavedNote(bool yes);
};

void tst_frame::startUp()
{
    const window::Controls &ui = this->ui();
    // Docked at the top edge, at the design's left, only as high as the title strip.
    QCOMPARE(form().geometry(),
             QRect(windowtest::scale().rect(design::Window).topLeft(),
                   QSize(windowtest::scale().x(design::Window.width), rolledUpHeight())));
    QVERIFY(state().rolledUp());
    QVERIFY(ui.unrolledArrow->isHidden());
    QVERIFY(!ui.rolledUpArrow->isHidden());
    QVERIFY(!ui.pointerPoll->isActive());
    QVERIFY(!ui.slideTimer->isActive());
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(ui.noteText->isLocked());
    QCOMPARE(ui.noteList->header()->sectionSize(0), 0);
    QCOMPARE(ui.noteList->width(), windowtest::scale().x(design::ListSlide.narrow));
    // The strip shows no list: it waits, hidden, for the first unroll.
    QVERIFY(ui.noteList->isHidden());
    QVERIFY(form().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(ui.lockBox->isChecked());
    QVERIFY(ui.autoHideBox->isChecked());

    // The list holds every note in ID order, keyed by ID and showing the title.
    QCOMPARE(ui.noteList->itemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(ui.noteList->itemKey(i), QStringLiteral("ID|%1").arg(ids()[i]));
        QCOMPARE(ui.noteList->itemText(i), noteTitle(i));
    }
}

void tst_frame::startWithoutDatabase()
{
    testsupport::TestDatabase empty(false);
    windowtest::WindowUnderTest window(empty);
    QVERIFY(!window.start());
    const QStringList &reports = window.desktop.reports;
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(empty.path()), qPrintable(reports.first()));
    // The program never creates its database, and the window is never shown.
    QVERIFY(!QFile::exists(empty.path()));
    QVERIFY(!window.form.isVisible());
    QCOMPARE(window.desktop.firstFrames, 0);
    QVERIFY(!window.form.findChild<window::ListView *>());
}

// The first frame waits for nothing the rolled-up strip does not show: the list is made (and
// filled, see startUp) right after it.
void tst_frame::listMadeAfterFirstFrame()
{
    windowtest::WindowUnderTest window(db());
    window.desktop.atFirstFrame = [&] {
        QVERIFY(!window.form.findChild<window::ListView *>());
    };
    QVERIFY(window.start());
    QCOMPARE(window.desktop.firstFrames, 1);
}

void tst_frame::toggleRolledUp_data()
{
    QTest::addColumn<bool>("startUnrolled");
    QTest::newRow("rolled up -> unrolled") << false;
    QTest::newRow("unrolled -> rolled up") << true;
}

void tst_frame::toggleRolledUp()
{
    QFETCH(bool, startUnrolled);
    const window::Controls &ui = this->ui();
    if (startUnrolled)
        windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form().height(), startUnrolled ? unrolledHeight() : rolledUpHeight());

    // Whatever else is going on in the window survives the toggle untouched: a new note being
    // written, the command panel open, the list half-way out.
    window().command(ui.newButton);
    QTest::keyClicks(ui.noteText, QStringLiteral("utkast"));
    ui.menuButton->click();
    window().slideListTo(1500, Slide::Widening);

    windowtest::doubleClick(ui.titleStrip);

    const bool unrolls = !startUnrolled;
    QCOMPARE(state().rolledUp(), !unrolls);
    QCOMPARE(form().height(), unrolls ? unrolledHeight() : rolledUpHeight());
    QCOMPARE(ui.unrolledArrow->isHidden(), !unrolls);
    QCOMPARE(ui.rolledUpArrow->isHidden(), unrolls);
    QCOMPARE(ui.pointerPoll->isActive(), unrolls);

    // The panel stays open; rolled up, it is hidden with the rest of what the strip clips away.
    QCOMPARE(state().panel(), window::Panel::Commands);
    QCOMPARE(ui.commandPanel->isHidden(), !unrolls);
    QCOMPARE(ui.noteText->isHidden(), !unrolls);
    QCOMPARE(state().listWidth(), 1500);
    QCOMPARE(ui.noteList->width(), windowtest::scale().x(1500));
    QVERIFY(ui.slideTimer->isActive());
    QCOMPARE(ui.noteText->text(), QStringLiteral("utkast"));
    QCOMPARE(form().pos(), windowtest::scale().rect(design::Window).topLeft());
}

// A height the window manager gives the window changes nothing the window knows: the next
// double-click unrolls the rolled-up window, and its height is the design's again.
void tst_frame::resizedByTheSystem()
{
    form().resize(form().width(), 66);
    QVERIFY(state().rolledUp());
    windowtest::doubleClick(ui().titleStrip);
    QVERIFY(!state().rolledUp());
    QCOMPARE(form().height(), unrolledHeight());
    QVERIFY(ui().pointerPoll->isActive());
}

void tst_frame::stripDoubleClickAndArrowMove()
{
    const window::Controls &ui = this->ui();
    // A move over the arrow (which shows only while rolled up) unrolls the window.
    windowtest::moveOver(ui.rolledUpArrow);
    QCOMPARE(form().height(), unrolledHeight());
    QVERIFY(ui.pointerPoll->isActive());
    QVERIFY(!ui.noteList->isHidden());

    // A double-click on the strip rolls it up again; the lock keeps the press from moving it.
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form().height(), rolledUpHeight());
    QVERIFY(!ui.pointerPoll->isActive());
    // Rolled up, the list is hidden with the note area; it keeps its notes.
    QVERIFY(ui.noteList->isHidden());
    QCOMPARE(ui.noteList->itemCount(), 3);
    QCOMPARE(desktop().systemMoves, 0);
}

void tst_frame::dragLock_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("locked") << true << Qt::LeftButton;
    QTest::newRow("unlocked") << false << Qt::LeftButton;
    QTest::newRow("unlocked, right button") << false << Qt::RightButton;
    QTest::newRow("locked, right button") << true << Qt::RightButton;
}

// A press on the strip and a move with the button held: the window follows the pointer unless
// it is locked in place, and stays where the button is let go.
void tst_frame::dragLock()
{
    QFETCH(bool, locked);
    QFETCH(Qt::MouseButton, button);
    const window::Controls &ui = this->ui();
    if (!locked)
        ui.lockBox->click();
    QCOMPARE(ui.lockBox->isChecked(), locked);
    const QPoint docked = form().pos();
    const QPoint grip = ui.titleStrip->rect().center();
    const QPoint by(120, 150);

    sendMouse(ui.titleStrip, QEvent::MouseButtonPress, button, button, grip);
    // The first motion hands the move over; from then on the window follows the pointer.
    sendMouse(ui.titleStrip, QEvent::MouseMove, Qt::NoButton, button, grip);
    sendMouse(ui.titleStrip, QEvent::MouseMove, Qt::NoButton, button, grip + by);
    sendMouse(ui.titleStrip, QEvent::MouseButtonRelease, button, Qt::NoButton, grip + by);
    QCOMPARE(desktop().systemMoves, locked ? 0 : 1);
    QCOMPARE(form().pos(), locked ? docked : docked + by);

    // The move has ended: the pointer's next moves leave the window where it is.
    const QPoint dropped = form().pos();
    sendMouse(ui.titleStrip, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grip);
    QCOMPARE(form().pos(), dropped);
}

void tst_frame::chooseExitWithUnsavedNote(bool yes)
{
    const window::Controls &ui = this->ui();
    windowtest::doubleClick(ui.titleStrip);
    window().command(ui.newButton);
    QTest::keyClicks(ui.noteText, QStringLiteral("osparat"));
    ui.menuButton->click();

    desktop().answers = {yes};
    ui.exitButton->click();
}

void tst_frame::exitAnsweredNo()
{
    const window::Controls &ui = this->ui();
    chooseExitWithUnsavedNote(false);

    // The question is the window's own, in its words.
    const QList<testsupport::TestDesktop::Question> &asked = desktop().questions;
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].prompt, QStringLiteral("Vill du avsluta Zentavo?"));
    QCOMPARE(asked[0].title, QStringLiteral("Zentavo 1.0"));
    QCOMPARE(asked[0].parent, &form());

    QVERIFY(form().isVisible());
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteText->text(), QStringLiteral("osparat"));
    QCOMPARE(form().height(), unrolledHeight());
    QCOMPARE(db().count(), 3);
}

void tst_frame::exitAnsweredYes()
{
    chooseExitWithUnsavedNote(true);
    // Closed at once, with nothing saved on the way out.
    QVERIFY(!form().isVisible());
    QCOMPARE(db().count(), 3);
}

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
