// The note list's slide-out. Mouse moves are real events sent to the widgets the pointer would
// be over; ticks are the timer handlers called directly, so no test waits on the clock. The
// timers' Enabled flags are what tell widening from narrowing.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/Frame.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "window/Form1.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using window::Form1;
using windowtest::moveOver;

class tst_slideout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void stateTable_data();
    void stateTable();
    void fullWidening();
    void fullNarrowing();
    void reversalAt1500();
    void moveOverListWhileNarrowing();
    void slideGoesOnWhileRolledUp();
    void panelHiddenByMoves_data();
    void panelHiddenByMoves();
    void listReportsMovesWithoutButton_data();
    void listReportsMovesWithoutButton();

private:
    QWidget *target(const QString &name) const;
    void setState(float width, bool widening, bool narrowing);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<Form1> m_form;
};

void tst_slideout::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_db->addNote(QStringLiteral("Andra"), QStringLiteral("två"));
    m_form = std::make_unique<Form1>();
    QVERIFY(m_form->Load());
    m_form->rollToggle();
}

void tst_slideout::cleanup()
{
    m_form.reset();
    m_db.reset();
}

// The widget a real move over the named control arrives at.
QWidget *tst_slideout::target(const QString &name) const
{
    Form1 &form = *m_form;
    if (name == QLatin1String("lst"))
        return form.lst->viewport();
    if (name == QLatin1String("fldNote"))
        return form.fldNote->viewport();
    if (name == QLatin1String("fldNote scroll bar"))
        return form.fldNote->verticalScrollBar();
    return form.findChild<QWidget *>(name);
}

void tst_slideout::setState(float width, bool widening, bool narrowing)
{
    m_form->lst->setWidth(width);
    m_form->Timer1->setEnabled(widening);
    m_form->Timer2->setEnabled(narrowing);
}

void tst_slideout::stateTable_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("widening");  // Timer1 before
    QTest::addColumn<bool>("narrowing"); // Timer2 before
    QTest::addColumn<QString>("event");
    QTest::addColumn<float>("widthAfter");
    QTest::addColumn<bool>("wideningAfter");
    QTest::addColumn<bool>("narrowingAfter");

    // One row per (state, event): the state is the width and which timer runs.
    const auto row
        = [](const QByteArray &tag, float width, bool widening, bool narrowing, const char *event,
             float widthAfter, bool wideningAfter, bool narrowingAfter) {
              QTest::newRow(tag.constData())
                  << width << widening << narrowing << QString::fromLatin1(event) << widthAfter
                  << wideningAfter << narrowingAfter;
          };
    const auto eachBorder = [&](const char *state, float width, bool widening, bool narrowing,
                                bool wideningAfter, bool narrowingAfter) {
        for (const char *label : {"Label2", "Label5", "Label6"}) {
            row(QByteArray(state) + ", move over " + label, width, widening, narrowing, label,
                width, wideningAfter, narrowingAfter);
        }
    };

    // clang-format off
    row("narrow, move over lst",     200, false, false, "lst",     200, true,  false);
    row("narrow, move over fldNote", 200, false, false, "fldNote", 200, false, false);
    eachBorder("narrow",             200, false, false,                 false, false);
    row("narrow, HideMe",            200, false, false, "HideMe",  200, false, false);

    row("widening, tick",              1500, true, false, "Timer1",  1600, true,  false);
    row("widening, tick at 2700",      2700, true, false, "Timer1",  2700, false, false);
    row("widening, move over lst",     1500, true, false, "lst",     1500, true,  false);
    row("widening, move over fldNote", 1500, true, false, "fldNote", 1500, false, true);
    eachBorder("widening",             1500, true, false,                   false, true);
    row("widening, HideMe",            1500, true, false, "HideMe",  1500, false, true);
    // Widening has started but its first tick has not run: the list is still exactly 200.
    row("widening at 200, move over fldNote", 200, true, false, "fldNote", 200, true, false);
    eachBorder("widening at 200",             200, true, false,                 true, false);

    row("wide, move over lst",     2700, false, false, "lst",     2700, false, false);
    row("wide, move over fldNote", 2700, false, false, "fldNote", 2700, false, true);
    eachBorder("wide",             2700, false, false,                  false, true);
    row("wide, HideMe",            2700, false, false, "HideMe",  2700, false, true);

    row("narrowing, tick",                 1500, false, true, "Timer2",  1400, false, true);
    row("narrowing, tick at 200",           200, false, true, "Timer2",   200, false, false);
    row("narrowing, move over lst",        1500, false, true, "lst",     1500, false, true);
    row("narrowing, move over fldNote",    1500, false, true, "fldNote", 1500, false, true);
    eachBorder("narrowing",                1500, false, true,                   false, true);
    row("narrowing at 200, move over lst",  200, false, true, "lst",      200, true,  false);

    // A width off the 100-twips grid never meets a stop test: the timer runs on past the end.
    row("widening past the end",  2750, true, false, "Timer1", 2850, true,  false);
    row("narrowing past the end",  250, false, true, "Timer2",  150, false, true);
    // clang-format on
}

void tst_slideout::stateTable()
{
    QFETCH(float, width);
    QFETCH(bool, widening);
    QFETCH(bool, narrowing);
    QFETCH(QString, event);
    QFETCH(float, widthAfter);
    QFETCH(bool, wideningAfter);
    QFETCH(bool, narrowingAfter);
    Form1 &form = *m_form;
    setState(width, widening, narrowing);

    if (event == QLatin1String("Timer1"))
        form.Timer1_Timer();
    else if (event == QLatin1String("Timer2"))
        form.Timer2_Timer();
    else if (event == QLatin1String("HideMe"))
        form.HideMe();
    else
        moveOver(target(event));

    QCOMPARE(form.lst->Width(), widthAfter);
    QCOMPARE(form.Timer1->Enabled(), wideningAfter);
    QCOMPARE(form.Timer2->Enabled(), narrowingAfter);
}

void tst_slideout::fullWidening()
{
    Form1 &form = *m_form;
    moveOver(form.lst->viewport());
    QVERIFY(form.Timer1->Enabled());

    // 25 visible steps, the column following the list; the first one is refused by the list
    // (negative) and is only remembered.
    for (int step = 1; step <= 25; ++step) {
        form.Timer1_Timer();
        const float width = 200.f + 100.f * float(step);
        QCOMPARE(form.lst->Width(), width);
        QCOMPARE(form.lst->width(), qRound(width / 15.0));
        QCOMPARE(form.lst->ColumnHeaderWidth(), width - 360.f);
        if (width - 360.f >= 0)
            QCOMPARE(form.lst->columnWidth(0), qRound((width - 360.f) / 15.0));
        QVERIFY(form.Timer1->Enabled());
        QVERIFY(!form.Timer2->Enabled());
    }
    QCOMPARE(form.lst->ColumnHeaderWidth(), 2340.0f);
    QCOMPARE(form.lst->columnWidth(0), 156);

    // The 26th tick only stops the timer.
    form.Timer1_Timer();
    QCOMPARE(form.lst->Width(), 2700.0f);
    QCOMPARE(form.lst->ColumnHeaderWidth(), 2340.0f);
    QVERIFY(!form.Timer1->Enabled());
}

void tst_slideout::fullNarrowing()
{
    Form1 &form = *m_form;
    form.lst->setWidth(2700);
    form.lst->setColumnHeaderWidth(2340);
    moveOver(form.fldNote->viewport());
    QVERIFY(form.Timer2->Enabled());

    for (int step = 1; step <= 25; ++step) {
        form.Timer2_Timer();
        const float width = 2700.f - 100.f * float(step);
        QCOMPARE(form.lst->Width(), width);
        QCOMPARE(form.lst->ColumnHeaderWidth(), width - 360.f);
        QVERIFY(form.Timer2->Enabled());
    }
    form.Timer2_Timer();
    QCOMPARE(form.lst->Width(), 200.0f);
    QCOMPARE(form.lst->ColumnHeaderWidth(), -160.0f);
    QVERIFY(!form.Timer2->Enabled());
    QVERIFY(!form.Timer1->Enabled());
}

void tst_slideout::reversalAt1500()
{
    Form1 &form = *m_form;
    moveOver(form.lst->viewport());
    while (form.lst->Width() < 1500.f)
        form.Timer1_Timer();
    QCOMPARE(form.lst->Width(), 1500.0f);

    moveOver(form.fldNote->viewport());
    QVERIFY(!form.Timer1->Enabled());
    QVERIFY(form.Timer2->Enabled());

    int ticks = 0;
    while (form.Timer2->Enabled() && ticks < 100) {
        const float before = form.lst->Width();
        form.Timer2_Timer();
        ++ticks;
        if (form.Timer2->Enabled())
            QCOMPARE(form.lst->Width(), before - 100.f);
        QVERIFY(!form.Timer1->Enabled());
    }
    QCOMPARE(ticks, 14); // 13 steps from 1500 to 200, then the stopping tick
    QCOMPARE(form.lst->Width(), 200.0f);
    QCOMPARE(form.lst->ColumnHeaderWidth(), -160.0f);
}

void tst_slideout::moveOverListWhileNarrowing()
{
    Form1 &form = *m_form;
    setState(2700, false, true);
    while (form.lst->Width() > 200.f) {
        moveOver(form.lst->viewport());
        QVERIFY(!form.Timer1->Enabled());
        QVERIFY(form.Timer2->Enabled());
        form.Timer2_Timer();
    }
    form.Timer2_Timer();
    QVERIFY(!form.Timer2->Enabled());
    QCOMPARE(form.lst->Width(), 200.0f);

    // Back at the narrow width, a move over the list widens it again.
    moveOver(form.lst->viewport());
    QVERIFY(form.Timer1->Enabled());
}

void tst_slideout::slideGoesOnWhileRolledUp()
{
    Form1 &form = *m_form;
    moveOver(form.lst->viewport());
    form.Timer1_Timer();
    form.Label1_DblClick();
    QCOMPARE(form.Height(), form.Label1->Height());
    QVERIFY(form.Timer1->Enabled());
    while (form.Timer1->Enabled())
        form.Timer1_Timer();
    form.Label1_DblClick();
    QCOMPARE(form.lst->Width(), 2700.0f);
}

void tst_slideout::panelHiddenByMoves_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("hides");

    for (const float width : {200.f, 1500.f, 2700.f}) {
        for (const char *name : {"fldNote", "fldNote scroll bar", "Label2", "Label5", "Label6"})
            QTest::addRow("%s at %g", name, double(width))
                << QString::fromLatin1(name) << width << true;
        QTest::addRow("lst at %g", double(width)) << QStringLiteral("lst") << width << false;
    }
}

void tst_slideout::panelHiddenByMoves()
{
    QFETCH(QString, over);
    QFETCH(float, width);
    QFETCH(bool, hides);
    Form1 &form = *m_form;
    form.lst->setWidth(width);

    form.frmCmds->setVisible(true);
    moveOver(target(over));
    QCOMPARE(form.frmCmds->Visible(), !hides);

    // An already hidden panel stays hidden; a move never shows it.
    form.frmCmds->setVisible(false);
    moveOver(target(over));
    QVERIFY(!form.frmCmds->Visible());
}

void tst_slideout::listReportsMovesWithoutButton_data()
{
    QTest::addColumn<QString>("part");

    QTest::newRow("over an item") << QStringLiteral("item");
    QTest::newRow("empty area") << QStringLiteral("empty");
    QTest::newRow("list border") << QStringLiteral("border");
    QTest::newRow("column header") << QStringLiteral("header");
}

void tst_slideout::listReportsMovesWithoutButton()
{
    QFETCH(QString, part);
    Form1 &form = *m_form;
    runtime::ListView *lst = form.lst;
    QSignalSpy moves(lst, &runtime::ListView::MouseMove);

    QWidget *widget = lst->viewport();
    QPoint pos;
    if (part == QLatin1String("item")) {
        pos = lst->ListItemRect(1).center();
        pos.setX(2);
    } else if (part == QLatin1String("empty")) {
        pos = QPoint(2, widget->height() - 2);
        QVERIFY(!lst->indexAt(pos).isValid());
    } else if (part == QLatin1String("border")) {
        widget = lst;
        pos = QPoint(0, lst->height() / 2);
    } else {
        widget = lst->header()->viewport();
    }
    moveOver(widget, pos);

    QCOMPARE(moves.count(), 1);
    QVERIFY(form.Timer1->Enabled());
}

QTEST_MAIN(tst_slideout)
#include "tst_slideout.moc"
