// The note list's slide-out. Mouse moves are real events sent to the widgets the pointer would
// be over; ticks are the timer handlers called directly, so no test waits on the clock. The
// timers' Enabled flags are what tell widening from narrowing.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "window/NoteWindow.h"
#include "window/controls/Frame.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using window::NoteWindow;
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
    std::unique_ptr<NoteWindow> m_form;
};

void tst_slideout::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_db->addNote(QStringLiteral("Andra"), QStringLiteral("två"));
    m_form = std::make_unique<NoteWindow>();
    QVERIFY(m_form->load());
    m_form->toggleRolledUp();
}

void tst_slideout::cleanup()
{
    m_form.reset();
    m_db.reset();
}

// The widget a real move over the named control arrives at.
QWidget *tst_slideout::target(const QString &name) const
{
    NoteWindow &form = *m_form;
    if (name == QLatin1String("noteList"))
        return form.noteList->viewport();
    if (name == QLatin1String("noteText"))
        return form.noteText->viewport();
    if (name == QLatin1String("noteText scroll bar"))
        return form.noteText->verticalScrollBar();
    return form.findChild<QWidget *>(name);
}

void tst_slideout::setState(float width, bool widening, bool narrowing)
{
    m_form->noteList->setWidth(width);
    m_form->widenTimer->setEnabled(widening);
    m_form->narrowTimer->setEnabled(narrowing);
}

void tst_slideout::stateTable_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("widening");  // widenTimer before
    QTest::addColumn<bool>("narrowing"); // narrowTimer before
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
        for (const char *label : {"leftEdge", "topEdge", "bottomEdge"}) {
            row(QByteArray(state) + ", move over " + label, width, widening, narrowing, label,
                width, wideningAfter, narrowingAfter);
        }
    };

    // clang-format off
    row("narrow, move over noteList",     200, false, false, "noteList",     200, true,  false);
    row("narrow, move over noteText", 200, false, false, "noteText", 200, false, false);
    eachBorder("narrow",             200, false, false,                 false, false);
    row("narrow, hideNow",            200, false, false, "hideNow",  200, false, false);

    row("widening, tick",              1500, true, false, "widenTimer",  1600, true,  false);
    row("widening, tick at 2700",      2700, true, false, "widenTimer",  2700, false, false);
    row("widening, move over noteList",     1500, true, false, "noteList",     1500, true,  false);
    row("widening, move over noteText", 1500, true, false, "noteText", 1500, false, true);
    eachBorder("widening",             1500, true, false,                   false, true);
    row("widening, hideNow",            1500, true, false, "hideNow",  1500, false, true);
    // Widening has started but its first tick has not run: the list is still exactly 200.
    row("widening at 200, move over noteText", 200, true, false, "noteText", 200, true, false);
    eachBorder("widening at 200",             200, true, false,                 true, false);

    row("wide, move over noteList",     2700, false, false, "noteList",     2700, false, false);
    row("wide, move over noteText", 2700, false, false, "noteText", 2700, false, true);
    eachBorder("wide",             2700, false, false,                  false, true);
    row("wide, hideNow",            2700, false, false, "hideNow",  2700, false, true);

    row("narrowing, tick",                 1500, false, true, "narrowTimer",  1400, false, true);
    row("narrowing, tick at 200",           200, false, true, "narrowTimer",   200, false, false);
    row("narrowing, move over noteList",        1500, false, true, "noteList",     1500, false, true);
    row("narrowing, move over noteText",    1500, false, true, "noteText", 1500, false, true);
    eachBorder("narrowing",                1500, false, true,                   false, true);
    row("narrowing at 200, move over noteList",  200, false, true, "noteList",      200, true,  false);

    // A width off the 100-twips grid never meets a stop test: the timer runs on past the end.
    row("widening past the end",  2750, true, false, "widenTimer", 2850, true,  false);
    row("narrowing past the end",  250, false, true, "narrowTimer",  150, false, true);
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
    NoteWindow &form = *m_form;
    setState(width, widening, narrowing);

    if (event == QLatin1String("widenTimer"))
        form.widenStep();
    else if (event == QLatin1String("narrowTimer"))
        form.narrowStep();
    else if (event == QLatin1String("hideNow"))
        form.hideNow();
    else
        moveOver(target(event));

    QCOMPARE(form.noteList->Width(), widthAfter);
    QCOMPARE(form.widenTimer->Enabled(), wideningAfter);
    QCOMPARE(form.narrowTimer->Enabled(), narrowingAfter);
}

void tst_slideout::fullWidening()
{
    NoteWindow &form = *m_form;
    moveOver(form.noteList->viewport());
    QVERIFY(form.widenTimer->Enabled());

    // 25 visible steps, the column following the list; the first one is refused by the list
    // (negative) and is only remembered.
    for (int step = 1; step <= 25; ++step) {
        form.widenStep();
        const float width = 200.f + 100.f * float(step);
        QCOMPARE(form.noteList->Width(), width);
        QCOMPARE(form.noteList->width(), qRound(width / 15.0));
        QCOMPARE(form.noteList->ColumnHeaderWidth(), width - 360.f);
        if (width - 360.f >= 0)
            QCOMPARE(form.noteList->columnWidth(0), qRound((width - 360.f) / 15.0));
        QVERIFY(form.widenTimer->Enabled());
        QVERIFY(!form.narrowTimer->Enabled());
    }
    QCOMPARE(form.noteList->ColumnHeaderWidth(), 2340.0f);
    QCOMPARE(form.noteList->columnWidth(0), 156);

    // The 26th tick only stops the timer.
    form.widenStep();
    QCOMPARE(form.noteList->Width(), 2700.0f);
    QCOMPARE(form.noteList->ColumnHeaderWidth(), 2340.0f);
    QVERIFY(!form.widenTimer->Enabled());
}

void tst_slideout::fullNarrowing()
{
    NoteWindow &form = *m_form;
    form.noteList->setWidth(2700);
    form.noteList->setColumnHeaderWidth(2340);
    moveOver(form.noteText->viewport());
    QVERIFY(form.narrowTimer->Enabled());

    for (int step = 1; step <= 25; ++step) {
        form.narrowStep();
        const float width = 2700.f - 100.f * float(step);
        QCOMPARE(form.noteList->Width(), width);
        QCOMPARE(form.noteList->ColumnHeaderWidth(), width - 360.f);
        QVERIFY(form.narrowTimer->Enabled());
    }
    form.narrowStep();
    QCOMPARE(form.noteList->Width(), 200.0f);
    QCOMPARE(form.noteList->ColumnHeaderWidth(), -160.0f);
    QVERIFY(!form.narrowTimer->Enabled());
    QVERIFY(!form.widenTimer->Enabled());
}

void tst_slideout::reversalAt1500()
{
    NoteWindow &form = *m_form;
    moveOver(form.noteList->viewport());
    while (form.noteList->Width() < 1500.f)
        form.widenStep();
    QCOMPARE(form.noteList->Width(), 1500.0f);

    moveOver(form.noteText->viewport());
    QVERIFY(!form.widenTimer->Enabled());
    QVERIFY(form.narrowTimer->Enabled());

    int ticks = 0;
    while (form.narrowTimer->Enabled() && ticks < 100) {
        const float before = form.noteList->Width();
        form.narrowStep();
        ++ticks;
        if (form.narrowTimer->Enabled())
            QCOMPARE(form.noteList->Width(), before - 100.f);
        QVERIFY(!form.widenTimer->Enabled());
    }
    QCOMPARE(ticks, 14); // 13 steps from 1500 to 200, then the stopping tick
    QCOMPARE(form.noteList->Width(), 200.0f);
    QCOMPARE(form.noteList->ColumnHeaderWidth(), -160.0f);
}

void tst_slideout::moveOverListWhileNarrowing()
{
    NoteWindow &form = *m_form;
    setState(2700, false, true);
    while (form.noteList->Width() > 200.f) {
        moveOver(form.noteList->viewport());
        QVERIFY(!form.widenTimer->Enabled());
        QVERIFY(form.narrowTimer->Enabled());
        form.narrowStep();
    }
    form.narrowStep();
    QVERIFY(!form.narrowTimer->Enabled());
    QCOMPARE(form.noteList->Width(), 200.0f);

    // Back at the narrow width, a move over the list widens it again.
    moveOver(form.noteList->viewport());
    QVERIFY(form.widenTimer->Enabled());
}

void tst_slideout::slideGoesOnWhileRolledUp()
{
    NoteWindow &form = *m_form;
    moveOver(form.noteList->viewport());
    form.widenStep();
    form.toggleRolledUp();
    QCOMPARE(form.Height(), form.titleStrip->Height());
    QVERIFY(form.widenTimer->Enabled());
    while (form.widenTimer->Enabled())
        form.widenStep();
    form.toggleRolledUp();
    QCOMPARE(form.noteList->Width(), 2700.0f);
}

void tst_slideout::panelHiddenByMoves_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("hides");

    for (const float width : {200.f, 1500.f, 2700.f}) {
        for (const char *name :
             {"noteText", "noteText scroll bar", "leftEdge", "topEdge", "bottomEdge"})
            QTest::addRow("%s at %g", name, double(width))
                << QString::fromLatin1(name) << width << true;
        QTest::addRow("noteList at %g", double(width))
            << QStringLiteral("noteList") << width << false;
    }
}

void tst_slideout::panelHiddenByMoves()
{
    QFETCH(QString, over);
    QFETCH(float, width);
    QFETCH(bool, hides);
    NoteWindow &form = *m_form;
    form.noteList->setWidth(width);

    form.commandPanel->setVisible(true);
    moveOver(target(over));
    QCOMPARE(!form.commandPanel->isHidden(), !hides);

    // An already hidden panel stays hidden; a move never shows it.
    form.commandPanel->setVisible(false);
    moveOver(target(over));
    QVERIFY(form.commandPanel->isHidden());
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
    NoteWindow &form = *m_form;
    window::ListView *noteList = form.noteList;
    QSignalSpy moves(noteList, &window::ListView::MouseMove);

    QWidget *widget = noteList->viewport();
    QPoint pos;
    if (part == QLatin1String("item")) {
        pos = noteList->itemRect(0).center();
        pos.setX(2);
    } else if (part == QLatin1String("empty")) {
        pos = QPoint(2, widget->height() - 2);
        QVERIFY(!noteList->indexAt(pos).isValid());
    } else if (part == QLatin1String("border")) {
        widget = noteList;
        pos = QPoint(0, noteList->height() / 2);
    } else {
        widget = noteList->header()->viewport();
    }
    moveOver(widget, pos);

    QCOMPARE(moves.count(), 1);
    QVERIFY(form.widenTimer->Enabled());
}

QTEST_MAIN(tst_slideout)
#include "tst_slideout.moc"
