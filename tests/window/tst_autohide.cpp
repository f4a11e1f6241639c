// Rolling up when the pointer stays away. The pointer position is injected (screen pixels);
// polls are Timer3's handler called directly. The unrolled window lies at 433..786 x 0..289
// pixels (Left 6495, Width 5295, Height 4335 twips at 15 twips per pixel).

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/CheckBox.h"
#include "runtime/Frame.h"
#include "runtime/Image.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "window/Form1.h"

#include <QTest>
#include <memory>

using window::Form1;

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
    std::unique_ptr<Form1> m_form;
};

void tst_autohide::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_pointer = std::make_unique<windowtest::FakePointer>(Inside);
    m_form = std::make_unique<Form1>();
    QVERIFY(m_form->Load());
    m_form->rollToggle();
    QVERIFY(unrolled());
    QVERIFY(m_form->Timer3->Enabled());
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
        m_form->Timer3_Timer();
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
    m_form->lostfocus = 2;
    pollAt(pointer);
    QCOMPARE(m_form->lostfocus, std::int16_t(outside ? 3 : 0));
    QVERIFY(unrolled());
}

void tst_autohide::fifthOutsidePollRollsUp()
{
    Form1 &form = *m_form;
    // An open panel or a note being written is no reason to stay unrolled.
    form.Command4_Click();
    form.frmCmds->setVisible(true);
    form.fldNote->setTextValue(QStringLiteral("halvfärdig"));

    pollAt(Outside, 4);
    QCOMPARE(form.lostfocus, std::int16_t(4));
    QVERIFY(unrolled());
    QVERIFY(form.Timer3->Enabled());

    pollAt(Outside);
    QCOMPARE(form.lostfocus, std::int16_t(5));
    QCOMPARE(form.Height(), form.Label1->Height());
    QVERIFY(!form.Timer3->Enabled());
    QVERIFY(form.up->isHidden());
    QVERIFY(!form.down->isHidden());

    // Rolling up leaves the note area as it was; unlike a move over the note, it does not
    // close the command panel.
    QVERIFY(form.frmCmds->Visible());
    QCOMPARE(form.fldNote->Text(), QStringLiteral("halvfärdig"));
    QVERIFY(!form.fldNote->Locked());
}

void tst_autohide::insidePollResetsRun()
{
    pollAt(Outside, 4);
    pollAt(Inside);
    QCOMPARE(m_form->lostfocus, std::int16_t(0));
    QVERIFY(unrolled());

    // The run starts over: four more outside polls are not enough.
    pollAt(Outside, 4);
    QVERIFY(unrolled());
    pollAt(Outside);
    QVERIFY(!unrolled());
}

void tst_autohide::uncheckedBoxKeepsCount()
{
    Form1 &form = *m_form;
    pollAt(Outside, 3);
    form.chkAutoHide->setValue(0);
    pollAt(Outside, 4);
    QCOMPARE(form.lostfocus, std::int16_t(3));
    pollAt(Inside);
    QCOMPARE(form.lostfocus, std::int16_t(3));
    QVERIFY(unrolled());

    // Checked again, counting goes on from where it was.
    form.chkAutoHide->setValue(1);
    pollAt(Outside);
    QCOMPARE(form.lostfocus, std::int16_t(4));
    QVERIFY(unrolled());
    // Any value but 0 polls, the grayed one too.
    form.chkAutoHide->setValue(2);
    pollAt(Outside);
    QCOMPARE(form.lostfocus, std::int16_t(5));
    QVERIFY(!unrolled());
}

void tst_autohide::leftBeforeFirstPollAfterUnroll()
{
    Form1 &form = *m_form;
    pollAt(Outside, 5);
    QVERIFY(!unrolled());

    // Unrolled again, with the pointer gone before the first poll: the count goes on from 5
    // and never meets 5 again, so the window stays unrolled.
    form.down_MouseMove();
    QVERIFY(unrolled());
    for (int expected = 6; expected <= 12; ++expected) {
        pollAt(Outside);
        QCOMPARE(form.lostfocus, std::int16_t(expected));
        QVERIFY(unrolled());
    }

    // One poll inside re-arms it.
    pollAt(Inside);
    QCOMPARE(form.lostfocus, std::int16_t(0));
    pollAt(Outside, 5);
    QVERIFY(!unrolled());
}

void tst_autohide::counterSaturates()
{
    Form1 &form = *m_form;
    form.lostfocus = 32766;
    pollAt(Outside);
    QCOMPARE(form.lostfocus, std::int16_t(32767));
    pollAt(Outside);
    QCOMPARE(form.lostfocus, std::int16_t(32767));
    QVERIFY(unrolled());
    QVERIFY(form.Timer3->Enabled());

    pollAt(Inside);
    QCOMPARE(form.lostfocus, std::int16_t(0));
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
    Form1 &form = *m_form;
    form.lst->setWidth(width);
    form.Timer1->setEnabled(widening);
    form.Timer2->setEnabled(narrowing);

    pollAt(Outside, 5);
    QVERIFY(!unrolled());
    QCOMPARE(form.Timer1->Enabled(), wideningAfter);
    QCOMPARE(form.Timer2->Enabled(), narrowingAfter);
    QCOMPARE(form.lst->Width(), width);

    // A list that narrows does so while the window is rolled up, and is narrow when it unrolls.
    if (narrowingAfter) {
        while (form.Timer2->Enabled())
            form.Timer2_Timer();
        form.down_MouseMove();
        QCOMPARE(form.lst->Width(), 200.0f);
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
    Form1 &form = *m_form;
    form.setLeft(left);
    QCOMPARE(form.Left(), left);
    form.lostfocus = 2;
    pollAt(std::nullopt);
    QCOMPARE(form.lostfocus, std::int16_t(counts ? 3 : 0));
}

void tst_autohide::hideMeWhileRolledUpUnrolls()
{
    Form1 &form = *m_form;
    form.Label1_DblClick();
    QVERIFY(!unrolled());
    form.lostfocus = 5;
    form.HideMe();
    QVERIFY(unrolled());
    QVERIFY(form.Timer3->Enabled());
    QCOMPARE(form.lostfocus, std::int16_t(5));
}

void tst_autohide::timerDrivesThePoll()
{
    Form1 &form = *m_form;
    QCOMPARE(form.Timer3->Interval(), 500);
    form.lostfocus = 4;
    m_pointer->position = Outside;
    // The real timer's next poll is the fifth outside one.
    QTRY_VERIFY_WITH_TIMEOUT(!unrolled(), 5000);
    QCOMPARE(form.lostfocus, std::int16_t(5));
    QVERIFY(!form.Timer3->Enabled());
}

QTEST_MAIN(tst_autohide)
#include "tst_autohide.moc"
