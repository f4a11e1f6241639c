// Rolling up when the pointer stays away, in the real window: the looks at the pointer run only
// while it is unrolled, measure the pointer against where the window really is on the screen, and
// roll it up on the look that the count calls for. The pointer's place is the test desktop's; a
// look is one tick of the running poll timer.

#include "WindowTestSupport.h"

#include <QTest>

using window::Slide;
namespace design = window::design;

namespace {
constexpr int LooksToRollUp = design::PollsOutsideBeforeRollingUp;
} // namespace

class tst_autohide : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_autohide()
        : WindowTestCase({.notes = 1, .unrolled = true})
    {}

private Q_SLOTS:
    void looksOnlyWhileUnrolled();
    void edgesOfTheWindowWhereItIs_data();
    void edgesOfTheWindowWhereItIs();
    void rollsUpOnTheLastLookAndKeepsTheNote();
    void listNarrowsWhileRolledUp();
    void uncheckedBoxKeepsTheWindowOpen();
    void unreadablePointerIsTheCorner();
    void rollsUpEveryTime_data();
    void rollsUpEveryTime();
    void timerDrivesTheLooks();

private:
    void lookAt(const std::optional<QPoint> &pointer, int times = 1);
};

void tst_autohide::lookAt(const std::optional<QPoint> &pointer, int times)
{
    desktop().pointer = pointer;
    for (int i = 0; i < times; ++i)
        windowtest::tick(ui().pointerPoll);
}

void tst_autohide::looksOnlyWhileUnrolled()
{
    const window::Controls &ui = this->ui();
    QCOMPARE(ui.pointerPoll->interval(), design::PollMs);
    QVERIFY(ui.pointerPoll->isActive());
    windowtest::doubleClick(ui.titleStrip);
    QVERIFY(!ui.pointerPoll->isActive());
    windowtest::doubleClick(ui.titleStrip);
    QVERIFY(ui.pointerPoll->isActive());
}

void tst_autohide::edgesOfTheWindowWhereItIs_data()
{
    QTest::addColumn<QPoint>("movedBy"); // where the window manager put the window
    QTest::newRow("docked") << QPoint(0, 0);
    QTest::newRow("moved") << QPoint(-300, 200);
}

// A pointer on any edge of the window, the far ones included, is inside; one pixel beyond is out.
void tst_autohide::edgesOfTheWindowWhereItIs()
{
    QFETCH(QPoint, movedBy);
    form().move(form().pos() + movedBy);
    const QRect w = form().geometry();
    const int right = w.left() + w.width();
    const int bottom = w.top() + w.height();
    const QList<QPair<QPoint, QPoint>> edges{
        {QPoint(w.left(), w.center().y()), QPoint(w.left() - 1, w.center().y())},
        {QPoint(w.center().x(), w.top()), QPoint(w.center().x(), w.top() - 1)},
        {QPoint(right, w.center().y()), QPoint(right + 1, w.center().y())},
        {QPoint(w.center().x(), bottom), QPoint(w.center().x(), bottom + 1)},
    };
    for (const auto &[on, beyond] : edges) {
        lookAt(beyond, LooksToRollUp - 1);
        lookAt(on);
        QCOMPARE(state().pollsOutside(), 0);
        lookAt(beyond, LooksToRollUp);
        QVERIFY2(
            state().rolledUp(),
            qPrintable(
                QStringLiteral("beyond %1,%2 is not outside").arg(beyond.x()).arg(beyond.y())));
        windowtest::doubleClick(ui().titleStrip);
        lookAt(w.center());
    }
}

void tst_autohide::rollsUpOnTheLastLookAndKeepsTheNote()
{
    const window::Controls &ui = this->ui();
    // An open panel or a note being written is no reason to stay unrolled.
    window().command(ui.newButton);
    QTest::keyClicks(ui.noteText, QStringLiteral("halvfardig"));
    ui.menuButton->click();

    const QPoint away = form().geometry().bottomRight() + QPoint(50, 50);
    lookAt(away, LooksToRollUp - 1);
    QVERIFY(!state().rolledUp());
    QVERIFY(ui.pointerPoll->isActive());

    lookAt(away);
    QVERIFY(state().rolledUp());
    QCOMPARE(form().height(), windowtest::scale().y(design::TitleStrip.height));
    QVERIFY(!ui.pointerPoll->isActive());
    QVERIFY(ui.unrolledArrow->isHidden());
    QVERIFY(!ui.rolledUpArrow->isHidden());
    // Rolling up leaves the note area as it was; unlike a move over the note, it does not close
    // the command panel, which shows again when the window unrolls.
    QCOMPARE(state().panel(), window::Panel::Commands);
    windowtest::doubleClick(ui.titleStrip);
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteText->text(), QStringLiteral("halvfardig"));
    QVERIFY(!ui.noteText->isLocked());
}

void tst_autohide::listNarrowsWhileRolledUp()
{
    const window::Controls &ui = this->ui();
    window().widenList();
    lookAt(form().geometry().bottomRight() + QPoint(50, 50), LooksToRollUp);
    QVERIFY(state().rolledUp());
    QCOMPARE(state().slide(), Slide::Narrowing);
    windowtest::tickUntilStopped(ui.slideTimer);
    windowtest::moveOver(ui.rolledUpArrow);
    QCOMPARE(ui.noteList->width(), windowtest::scale().x(design::ListSlide.narrow));
}

void tst_autohide::uncheckedBoxKeepsTheWindowOpen()
{
    const window::Controls &ui = this->ui();
    const QPoint away = form().geometry().bottomRight() + QPoint(50, 50);
    lookAt(away, 3);
    ui.autoHideBox->click();
    QVERIFY(!ui.autoHideBox->isChecked());
    lookAt(away, 2 * LooksToRollUp);
    QVERIFY(!state().rolledUp());
    // Checked again, counting goes on from where it was.
    ui.autoHideBox->click();
    lookAt(away, LooksToRollUp - 3);
    QVERIFY(state().rolledUp());
}

void tst_autohide::unreadablePointerIsTheCorner()
{
    // The docked window lies away from the screen's corner, where a pointer that cannot be read
    // is taken to be.
    QVERIFY(form().x() > 0);
    lookAt(std::nullopt, LooksToRollUp);
    QVERIFY(state().rolledUp());

    // A window that covers the corner holds such a pointer: counting starts again.
    windowtest::doubleClick(ui().titleStrip);
    form().move(0, 0);
    lookAt(form().geometry().bottomRight() + QPoint(50, 50), LooksToRollUp - 1);
    lookAt(std::nullopt);
    QCOMPARE(state().pollsOutside(), 0);
    QVERIFY(!state().rolledUp());
}

void tst_autohide::rollsUpEveryTime_data()
{
    QTest::addColumn<bool>("byHovering"); // else by a double-click on the strip
    QTest::newRow("unrolled by the arrow") << true;
    QTest::newRow("unrolled by the strip") << false;
}

// Unrolled again and left at once, before any look finds the pointer inside: the window rolls up
// again after as many looks as the first time, every time.
void tst_autohide::rollsUpEveryTime()
{
    QFETCH(bool, byHovering);
    const QPoint away = form().geometry().bottomRight() + QPoint(50, 50);
    for (int round = 0; round < 3; ++round) {
        lookAt(away, LooksToRollUp - 1);
        QVERIFY(!state().rolledUp());
        lookAt(away);
        QVERIFY2(state().rolledUp(), qPrintable(QStringLiteral("round %1").arg(round)));
        if (byHovering)
            windowtest::moveOver(ui().rolledUpArrow);
        else
            windowtest::doubleClick(ui().titleStrip);
        QVERIFY(!state().rolledUp());
    }
}

void tst_autohide::timerDrivesTheLooks()
{
    lookAt(form().geometry().bottomRight() + QPoint(50, 50), LooksToRollUp - 1);
    QVERIFY(!state().rolledUp());
    // The real timer's next look is the last one.
    QTRY_VERIFY_WITH_TIMEOUT(state().rolledUp(), 5 * design::PollMs);
    QVERIFY(!ui().pointerPoll->isActive());
}

QTEST_MAIN(tst_autohide)
#include "tst_autohide.moc"
