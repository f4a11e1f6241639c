// Rolling up when the pointer stays away. The pointer position is injected (screen pixels);
// polls are pointerPoll's handler called directly. The unrolled window lies at 433..786 x 0..289
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
    void hideMeWhileRolledUpUnrolls();
    void timerDrivesThePoll();

private:
    void pollAt(const std::optional<QPoint> &position, int times = 1);
    bool unrolled() const { return m_form->Height() == UnrolledHeight; }

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::FakePointer> m_pointer;
    std::unique_ptr<NoteWindow> m_form;
};

void tst_autohide::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_pointer = std::make_unique<windowtest::FakePointer>(Inside);
    m_form = std::make_unique<NoteWindow>();
    QVERIFY(m_form->load());
    m_form->toggleRolledUp();
    QVERIFY(unrolled());
    QVERIFY(m_form->pointerPoll->Enabled());
}

void tst_autohide::cleanup()
{
    m_form.reset();
    m_pointer.reset();
    m_db.reset();
}

void tst_autohide::pollAt(const std::optional<QPoint> &position, int times)
{
    m_pointer->position = position;
    for (int i = 0; i < times; ++i)
        m_form->pollPointer();
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
    m_form->pollsOutside = 2;
    pollAt(pointer);
    QCOMPARE(m_form->pollsOutside, std::int16_t(outside ? 3 : 0));
    QVERIFY(unrolled());
}

void tst_autohide::fifthOutsidePollRollsUp()
{
    NoteWindow &form = *m_form;
    // An open panel or a note being written is no reason to stay unrolled.
    form.newNote();
    form.commandPanel->setVisible(true);
    form.noteText->setText(QStringLiteral("halvfärdig"));

    pollAt(Outside, 4);
    QCOMPARE(form.pollsOutside, std::int16_t(4));
    QVERIFY(unrolled());
    QVERIFY(form.pointerPoll->Enabled());

    pollAt(Outside);
    QCOMPARE(form.pollsOutside, std::int16_t(5));
    QCOMPARE(form.Height(), form.titleStrip->Height());
    QVERIFY(!form.pointerPoll->Enabled());
    QVERIFY(form.unrolledArrow->isHidden());
    QVERIFY(!form.rolledUpArrow->isHidden());

    // Rolling up leaves the note area as it was; unlike a move over the note, it does not
    // close the command panel.
    QVERIFY(!form.commandPanel->isHidden());
    QCOMPARE(form.noteText->text(), QStringLiteral("halvfärdig"));
    QVERIFY(!form.noteText->isLocked());
}

void tst_autohide::insidePollResetsRun()
{
    pollAt(Outside, 4);
    pollAt(Inside);
    QCOMPARE(m_form->pollsOutside, std::int16_t(0));
    QVERIFY(unrolled());

    // The run starts over: four more outside polls are not enough.
    pollAt(Outside, 4);
    QVERIFY(unrolled());
    pollAt(Outside);
    QVERIFY(!unrolled());
}

void tst_autohide::uncheckedBoxKeepsCount()
{
    NoteWindow &form = *m_form;
    pollAt(Outside, 3);
    form.autoHideBox->setCheckState(Qt::Unchecked);
    pollAt(Outside, 4);
    QCOMPARE(form.pollsOutside, std::int16_t(3));
    pollAt(Inside);
    QCOMPARE(form.pollsOutside, std::int16_t(3));
    QVERIFY(unrolled());

    // Checked again, counting goes on from where it was.
    form.autoHideBox->setCheckState(Qt::Checked);
    pollAt(Outside);
    QCOMPARE(form.pollsOutside, std::int16_t(4));
    QVERIFY(unrolled());
    // Any state but unchecked polls, the grayed one too.
    form.autoHideBox->setCheckState(Qt::PartiallyChecked);
    pollAt(Outside);
    QCOMPARE(form.pollsOutside, std::int16_t(5));
    QVERIFY(!unrolled());
}

void tst_autohide::leftBeforeFirstPollAfterUnroll()
{
    NoteWindow &form = *m_form;
    pollAt(Outside, 5);
    QVERIFY(!unrolled());

    // Unrolled again, with the pointer gone before the first poll: the count goes on from 5
    // and never meets 5 again, so the window stays unrolled.
    form.unrollOnHover();
    QVERIFY(unrolled());
    for (int expected = 6; expected <= 12; ++expected) {
        pollAt(Outside);
        QCOMPARE(form.pollsOutside, std::int16_t(expected));
        QVERIFY(unrolled());
    }

    // One poll inside re-arms it.
    pollAt(Inside);
    QCOMPARE(form.pollsOutside, std::int16_t(0));
    pollAt(Outside, 5);
    QVERIFY(!unrolled());
}

void tst_autohide::counterSaturates()
{
    NoteWindow &form = *m_form;
    form.pollsOutside = 32766;
    pollAt(Outside);
    QCOMPARE(form.pollsOutside, std::int16_t(32767));
    pollAt(Outside);
    QCOMPARE(form.pollsOutside, std::int16_t(32767));
    QVERIFY(unrolled());
    QVERIFY(form.pointerPoll->Enabled());

    pollAt(Inside);
    QCOMPARE(form.pollsOutside, std::int16_t(0));
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
    NoteWindow &form = *m_form;
    form.noteList->setWidth(width);
    form.widenTimer->setEnabled(widening);
    form.narrowTimer->setEnabled(narrowing);

    pollAt(Outside, 5);
    QVERIFY(!unrolled());
    QCOMPARE(form.widenTimer->Enabled(), wideningAfter);
    QCOMPARE(form.narrowTimer->Enabled(), narrowingAfter);
    QCOMPARE(form.noteList->Width(), width);

    // A list that narrows does so while the window is rolled up, and is narrow when it unrolls.
    if (narrowingAfter) {
        while (form.narrowTimer->Enabled())
            form.narrowStep();
        form.unrollOnHover();
        QCOMPARE(form.noteList->Width(), 200.0f);
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
    NoteWindow &form = *m_form;
    form.setLeft(left);
    QCOMPARE(form.Left(), left);
    form.pollsOutside = 2;
    pollAt(std::nullopt);
    QCOMPARE(form.pollsOutside, std::int16_t(counts ? 3 : 0));
}

void tst_autohide::hideMeWhileRolledUpUnrolls()
{
    NoteWindow &form = *m_form;
    form.toggleRolledUp();
    QVERIFY(!unrolled());
    form.pollsOutside = 5;
    form.hideNow();
    QVERIFY(unrolled());
    QVERIFY(form.pointerPoll->Enabled());
    QCOMPARE(form.pollsOutside, std::int16_t(5));
}

void tst_autohide::timerDrivesThePoll()
{
    NoteWindow &form = *m_form;
    QCOMPARE(form.pointerPoll->Interval(), 500);
    form.pollsOutside = 4;
    m_pointer->position = Outside;
    // The real timer's next poll is the fifth outside one.
    QTRY_VERIFY_WITH_TIMEOUT(!unrolled(), 5000);
    QCOMPARE(form.pollsOutside, std::int16_t(5));
    QVERIFY(!form.pointerPoll->Enabled());
}

QTEST_MAIN(tst_autohide)
#include "tst_autohide.moc"
