// Rolling up when the pointer stays away. The pointer position is injected (screen pixels);
// a poll is one tick of the running poll timer. The unrolled window lies at 433..786 x 0..289
// pixels (Left 6495, Width 5295, Height 4335 twips at 15 twips per pixel).

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "window/NoteWindow.h"
#include "window/controls/CheckBox.h"
#include "window/controls/Frame.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QTest>
#include <memory>

using window::NoteWindow;

namespace {
constexpr float UnrolledHeight = 4335;
const QPoint Inside(600, 100);
const QPoint Outside(300, 100);
// Outside the window wherever it lies along the top edge.
const QPoint Below(300, 400);
} // namespace

class tst_autohide : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void edges_data();
    void edges();
    void fifthOutsidePollRollsUp();
    void insidePollResetsRun();
    void uncheckedBoxKeepsCount();
    void leftBeforeFirstPollAfterUnroll();
    void counterSaturates();
    void listAfterHideMe_data();
    void listAfterHideMe();
    void failedPointerReadCountsAsOrigin_data();
    void failedPointerReadCountsAsOrigin();
    void timerDrivesThePoll();

private:
    void pollAt(const std::optional<QPoint> &position, int times = 1);
    bool unrolled() const { return m_window->form.heightTwips() == UnrolledHeight; }
    // Whether the polls so far have counted the pointer outside exactly four times in a row:
    // the next poll outside rolls the window up. Leaves the window rolled up if so.
    bool fourCounted();

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::WindowUnderTest> m_window;
};

void tst_autohide::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_window = std::make_unique<windowtest::WindowUnderTest>(*m_db);
    m_window->desktop.pointer = Inside;
    QVERIFY(m_window->startUnrolled());
    QVERIFY(unrolled());
    QVERIFY(m_window->ui.pointerPoll->isActive());
}

void tst_autohide::cleanup()
{
    m_window.reset();
    m_db.reset();
}

void tst_autohide::pollAt(const std::optional<QPoint> &position, int times)
{
    m_window->desktop.pointer = position;
    for (int i = 0; i < times; ++i)
        windowtest::tick(m_window->ui.pointerPoll);
}

bool tst_autohide::fourCounted()
{
    if (!unrolled())
        return false;
    pollAt(Below);
    return !unrolled();
}

void tst_autohide::edges_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("outside");

    // Every comparison is strict: a pointer exactly on an edge is inside.
    QTest::newRow("left of window") << QPoint(432, 100) << true;
    QTest::newRow("on left edge") << QPoint(433, 100) << false;
    QTest::newRow("above window") << QPoint(600, -1) << true;
    QTest::newRow("on top edge") << QPoint(600, 0) << false;
    QTest::newRow("below window") << QPoint(600, 290) << true;
    QTest::newRow("on bottom edge") << QPoint(600, 289) << false;
    QTest::newRow("right of window") << QPoint(787, 100) << true;
    QTest::newRow("on right edge") << QPoint(786, 100) << false;
    QTest::newRow("top-left corner") << QPoint(433, 0) << false;
    QTest::newRow("top-right corner") << QPoint(786, 0) << false;
    QTest::newRow("bottom-left corner") << QPoint(433, 289) << false;
    QTest::newRow("bottom-right corner") << QPoint(786, 289) << false;
    QTest::newRow("diagonally above left") << QPoint(432, -1) << true;
    QTest::newRow("diagonally below right") << QPoint(787, 290) << true;
    QTest::newRow("middle") << QPoint(600, 150) << false;
}

void tst_autohide::edges()
{
    QFETCH(QPoint, pointer);
    QFETCH(bool, outside);
    pollAt(Outside, 2);
    pollAt(pointer);
    QVERIFY(unrolled());
    // Outside, it was the third in a row; inside, the run starts over.
    pollAt(Outside, outside ? 1 : 4);
    QVERIFY(fourCounted());
}

void tst_autohide::fifthOutsidePollRollsUp()
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    // An open panel or a note being written is no reason to stay unrolled.
    ui.menuButton->click();
    ui.newButton->click();
    QTest::keyClicks(ui.noteText, QStringLiteral("halvfardig"));
    ui.menuButton->click();

    pollAt(Outside, 4);
    QVERIFY(unrolled());
    QVERIFY(ui.pointerPoll->isActive());

    pollAt(Outside);
    QCOMPARE(form.heightTwips(), ui.titleStrip->heightTwips());
    QVERIFY(!ui.pointerPoll->isActive());
    QVERIFY(ui.unrolledArrow->isHidden());
    QVERIFY(!ui.rolledUpArrow->isHidden());

    // Rolling up leaves the note area as it was; unlike a move over the note, it does not
    // close the command panel.
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteText->text(), QStringLiteral("halvfardig"));
    QVERIFY(!ui.noteText->isLocked());
}

void tst_autohide::insidePollResetsRun()
{
    pollAt(Outside, 4);
    pollAt(Inside);
    QVERIFY(unrolled());

    // The run starts over: four more outside polls are not enough.
    pollAt(Outside, 4);
    QVERIFY(unrolled());
    pollAt(Outside);
    QVERIFY(!unrolled());
}

void tst_autohide::uncheckedBoxKeepsCount()
{
    const window::Controls &ui = m_window->ui;
    pollAt(Outside, 3);
    ui.autoHideBox->click();
    QCOMPARE(ui.autoHideBox->checkState(), Qt::Unchecked);
    // Unchecked, polls neither count nor start the run over.
    pollAt(Outside, 4);
    pollAt(Inside);
    QVERIFY(unrolled());

    // Checked again, counting goes on from where it was.
    ui.autoHideBox->click();
    QCOMPARE(ui.autoHideBox->checkState(), Qt::Checked);
    pollAt(Outside);
    QVERIFY(unrolled());
    // Any state but unchecked polls, the grayed one too.
    ui.autoHideBox->setCheckState(Qt::PartiallyChecked);
    pollAt(Outside);
    QVERIFY(!unrolled());
}

void tst_autohide::leftBeforeFirstPollAfterUnroll()
{
    const window::Controls &ui = m_window->ui;
    pollAt(Outside, 5);
    QVERIFY(!unrolled());

    // Unrolled again, with the pointer gone before the first poll: the count goes on from 5
    // and never meets 5 again, so the window stays unrolled.
    windowtest::moveOver(ui.rolledUpArrow);
    QVERIFY(unrolled());
    for (int poll = 6; poll <= 12; ++poll) {
        pollAt(Outside);
        QVERIFY(unrolled());
    }

    // One poll inside re-arms it.
    pollAt(Inside);
    pollAt(Outside, 4);
    QVERIFY(unrolled());
    pollAt(Outside);
    QVERIFY(!unrolled());
}

void tst_autohide::counterSaturates()
{
    const window::Controls &ui = m_window->ui;
    // Unrolled with the count already past 5, as in leftBeforeFirstPollAfterUnroll.
    pollAt(Outside, 5);
    windowtest::moveOver(ui.rolledUpArrow);
    // Hours of polling with the pointer away: a count that wrapped around would meet 5 again
    // after 65,536 polls and roll the window up.
    pollAt(Outside, 70000);
    QVERIFY(unrolled());
    QVERIFY(ui.pointerPoll->isActive());

    pollAt(Inside);
    pollAt(Outside, 4);
    QVERIFY(fourCounted());
}

void tst_autohide::listAfterHideMe_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("widening");
    QTest::addColumn<bool>("narrowing");
    QTest::addColumn<bool>("wideningAfter");
    QTest::addColumn<bool>("narrowingAfter");

    QTest::newRow("wide") << 2700.f << false << false << false << true;
    QTest::newRow("widening") << 1500.f << true << false << false << true;
    QTest::newRow("narrowing") << 1500.f << false << true << false << true;
    QTest::newRow("narrow") << 200.f << false << false << false << false;
    QTest::newRow("narrow, widening just started") << 200.f << true << false << true << false;
}

void tst_autohide::listAfterHideMe()
{
    QFETCH(float, width);
    QFETCH(bool, widening);
    QFETCH(bool, narrowing);
    QFETCH(bool, wideningAfter);
    QFETCH(bool, narrowingAfter);
    const window::Controls &ui = m_window->ui;
    m_window->slideListTo(width, widening, narrowing);

    pollAt(Outside, 5);
    QVERIFY(!unrolled());
    QCOMPARE(ui.widenTimer->isActive(), wideningAfter);
    QCOMPARE(ui.narrowTimer->isActive(), narrowingAfter);
    QCOMPARE(ui.noteList->widthTwips(), width);

    // A list that narrows does so while the window is rolled up, and is narrow when it unrolls.
    if (narrowingAfter) {
        windowtest::tickUntilStopped(ui.narrowTimer);
        windowtest::moveOver(ui.rolledUpArrow);
        QCOMPARE(ui.noteList->widthTwips(), 200.0f);
    }
}

void tst_autohide::failedPointerReadCountsAsOrigin_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<bool>("counts");

    QTest::newRow("window away from origin") << 6495.f << true;
    // With the window's corner at the screen's origin, (0, 0) is on its edge: inside.
    QTest::newRow("window at origin") << 0.f << false;
}

void tst_autohide::failedPointerReadCountsAsOrigin()
{
    QFETCH(float, left);
    QFETCH(bool, counts);
    NoteWindow &form = m_window->form;
    // Placed there by the window manager, say.
    form.move(qRound(left / 15), 0);
    QCOMPARE(form.leftTwips(), left);
    pollAt(Below, 2);
    pollAt(std::nullopt);
    QVERIFY(unrolled());
    pollAt(Below, counts ? 1 : 4);
    QVERIFY(fourCounted());
}

void tst_autohide::timerDrivesThePoll()
{
    const window::Controls &ui = m_window->ui;
    QCOMPARE(ui.pointerPoll->interval(), 500);
    pollAt(Outside, 4);
    // The real timer's next poll is the fifth outside one.
    QTRY_VERIFY_WITH_TIMEOUT(!unrolled(), 5000);
    QVERIFY(!ui.pointerPoll->isActive());
}

QTEST_MAIN(tst_autohide)
#include "tst_autohide.moc"
