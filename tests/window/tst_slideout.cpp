// The note list's slide-out. Mouse moves are real events sent to the widgets the pointer would
// be over; a tick is one interval of a running timer passing, so no test waits on the clock.
// Which timer runs is what tells widening from narrowing.

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
    void hideByPointerAway();

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::WindowUnderTest> m_window;
};

void tst_slideout::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_db->addNote(QStringLiteral("Andra"), QStringLiteral("två"));
    m_window = std::make_unique<windowtest::WindowUnderTest>(*m_db);
    m_window->desktop.pointer = QPoint(600, 100);
    QVERIFY(m_window->startUnrolled());
}

void tst_slideout::cleanup()
{
    m_window.reset();
    m_db.reset();
}

// The widget a real move over the named control arrives at.
QWidget *tst_slideout::target(const QString &name) const
{
    const window::Controls &ui = m_window->ui;
    if (name == QLatin1String("noteList"))
        return ui.noteList->viewport();
    if (name == QLatin1String("noteText"))
        return ui.noteText->viewport();
    if (name == QLatin1String("noteText scroll bar"))
        return ui.noteText->verticalScrollBar();
    return m_window->form.findChild<QWidget *>(name);
}

// The pointer leaves the window and stays away for five polls: the window rolls up.
void tst_slideout::hideByPointerAway()
{
    m_window->desktop.pointer = QPoint(0, 600);
    for (int poll = 0; poll < 5; ++poll)
        QVERIFY(windowtest::tick(m_window->ui.pointerPoll));
    QCOMPARE(m_window->form.heightTwips(), m_window->ui.titleStrip->heightTwips());
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
    row("narrow, pointer away",       200, false, false, "away",     200, false, false);

    row("widening, tick",              1500, true, false, "widenTimer",  1600, true,  false);
    row("widening, tick at 2700",      2700, true, false, "widenTimer",  2700, false, false);
    row("widening, move over noteList",     1500, true, false, "noteList",     1500, true,  false);
    row("widening, move over noteText", 1500, true, false, "noteText", 1500, false, true);
    eachBorder("widening",             1500, true, false,                   false, true);
    row("widening, pointer away",       1500, true, false, "away",     1500, false, true);
    // Widening has started but its first tick has not run: the list is still exactly 200.
    row("widening at 200, move over noteText", 200, true, false, "noteText", 200, true, false);
    eachBorder("widening at 200",             200, true, false,                 true, false);

    row("wide, move over noteList",     2700, false, false, "noteList",     2700, false, false);
    row("wide, move over noteText", 2700, false, false, "noteText", 2700, false, true);
    eachBorder("wide",             2700, false, false,                  false, true);
    row("wide, pointer away",       2700, false, false, "away",     2700, false, true);

    row("narrowing, tick",                 1500, false, true, "narrowTimer",  1400, false, true);
    row("narrowing, tick at 200",           200, false, true, "narrowTimer",   200, false, false);
    row("narrowing, move over noteList",        1500, false, true, "noteList",     1500, false, true);
    row("narrowing, move over noteText",    1500, false, true, "noteText", 1500, false, true);
    eachBorder("narrowing",                1500, false, true,                   false, true);
    row("narrowing at 200, move over noteList",  200, false, true, "noteList",      200, true,  false);

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
    const window::Controls &ui = m_window->ui;
    m_window->slideListTo(width, widening, narrowing);

    if (event == QLatin1String("widenTimer"))
        QVERIFY(windowtest::tick(ui.widenTimer));
    else if (event == QLatin1String("narrowTimer"))
        QVERIFY(windowtest::tick(ui.narrowTimer));
    else if (event == QLatin1String("away"))
        hideByPointerAway();
    else
        moveOver(target(event));

    QCOMPARE(ui.noteList->widthTwips(), widthAfter);
    QCOMPARE(ui.widenTimer->isActive(), wideningAfter);
    QCOMPARE(ui.narrowTimer->isActive(), narrowingAfter);
}

void tst_slideout::fullWidening()
{
    const window::Controls &ui = m_window->ui;
    moveOver(ui.noteList->viewport());
    QVERIFY(ui.widenTimer->isActive());

    // 25 visible steps, the column following the list; the first one is refused by the list
    // (negative) and is only remembered.
    for (int step = 1; step <= 25; ++step) {
        QVERIFY(windowtest::tick(ui.widenTimer));
        const float width = 200.f + 100.f * float(step);
        QCOMPARE(ui.noteList->widthTwips(), width);
        QCOMPARE(ui.noteList->width(), qRound(width / 15.0));
        QCOMPARE(ui.noteList->columnWidthTwips(), width - 360.f);
        if (width - 360.f >= 0)
            QCOMPARE(ui.noteList->columnWidth(0), qRound((width - 360.f) / 15.0));
        QVERIFY(ui.widenTimer->isActive());
        QVERIFY(!ui.narrowTimer->isActive());
    }
    QCOMPARE(ui.noteList->columnWidthTwips(), 2340.0f);
    QCOMPARE(ui.noteList->columnWidth(0), 156);

    // The 26th tick only stops the timer.
    QVERIFY(windowtest::tick(ui.widenTimer));
    QCOMPARE(ui.noteList->widthTwips(), 2700.0f);
    QCOMPARE(ui.noteList->columnWidthTwips(), 2340.0f);
    QVERIFY(!ui.widenTimer->isActive());
}

void tst_slideout::fullNarrowing()
{
    const window::Controls &ui = m_window->ui;
    m_window->widenList();
    moveOver(ui.noteText->viewport());
    QVERIFY(ui.narrowTimer->isActive());

    for (int step = 1; step <= 25; ++step) {
        QVERIFY(windowtest::tick(ui.narrowTimer));
        const float width = 2700.f - 100.f * float(step);
        QCOMPARE(ui.noteList->widthTwips(), width);
        QCOMPARE(ui.noteList->columnWidthTwips(), width - 360.f);
        QVERIFY(ui.narrowTimer->isActive());
    }
    QVERIFY(windowtest::tick(ui.narrowTimer));
    QCOMPARE(ui.noteList->widthTwips(), 200.0f);
    QCOMPARE(ui.noteList->columnWidthTwips(), -160.0f);
    QVERIFY(!ui.narrowTimer->isActive());
    QVERIFY(!ui.widenTimer->isActive());
}

void tst_slideout::reversalAt1500()
{
    const window::Controls &ui = m_window->ui;
    moveOver(ui.noteList->viewport());
    while (ui.noteList->widthTwips() < 1500.f)
        QVERIFY(windowtest::tick(ui.widenTimer));
    QCOMPARE(ui.noteList->widthTwips(), 1500.0f);

    moveOver(ui.noteText->viewport());
    QVERIFY(!ui.widenTimer->isActive());
    QVERIFY(ui.narrowTimer->isActive());

    int ticks = 0;
    while (ui.narrowTimer->isActive() && ticks < 100) {
        const float before = ui.noteList->widthTwips();
        QVERIFY(windowtest::tick(ui.narrowTimer));
        ++ticks;
        if (ui.narrowTimer->isActive())
            QCOMPARE(ui.noteList->widthTwips(), before - 100.f);
        QVERIFY(!ui.widenTimer->isActive());
    }
    QCOMPARE(ticks, 14); // 13 steps from 1500 to 200, then the stopping tick
    QCOMPARE(ui.noteList->widthTwips(), 200.0f);
    QCOMPARE(ui.noteList->columnWidthTwips(), -160.0f);
}

void tst_slideout::moveOverListWhileNarrowing()
{
    const window::Controls &ui = m_window->ui;
    m_window->slideListTo(2700, false, true);
    while (ui.noteList->widthTwips() > 200.f) {
        moveOver(ui.noteList->viewport());
        QVERIFY(!ui.widenTimer->isActive());
        QVERIFY(ui.narrowTimer->isActive());
        QVERIFY(windowtest::tick(ui.narrowTimer));
    }
    QVERIFY(windowtest::tick(ui.narrowTimer));
    QVERIFY(!ui.narrowTimer->isActive());
    QCOMPARE(ui.noteList->widthTwips(), 200.0f);

    // Back at the narrow width, a move over the list widens it again.
    moveOver(ui.noteList->viewport());
    QVERIFY(ui.widenTimer->isActive());
}

void tst_slideout::slideGoesOnWhileRolledUp()
{
    const window::Controls &ui = m_window->ui;
    moveOver(ui.noteList->viewport());
    QVERIFY(windowtest::tick(ui.widenTimer));
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(m_window->form.heightTwips(), ui.titleStrip->heightTwips());
    QVERIFY(ui.widenTimer->isActive());
    windowtest::tickUntilStopped(ui.widenTimer);
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(ui.noteList->widthTwips(), 2700.0f);
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
    const window::Controls &ui = m_window->ui;
    m_window->slideListTo(width, width != 200 && width != 2700, false);

    ui.menuButton->click();
    QVERIFY(!ui.commandPanel->isHidden());
    moveOver(target(over));
    QCOMPARE(!ui.commandPanel->isHidden(), !hides);

    // An already hidden panel stays hidden; a move never shows it.
    if (!ui.commandPanel->isHidden())
        ui.menuButton->click();
    moveOver(target(over));
    QVERIFY(ui.commandPanel->isHidden());
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
    const window::Controls &ui = m_window->ui;
    window::ListView *noteList = m_window->ui.noteList;
    QSignalSpy moves(noteList, &window::ListView::pointerMoved);

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
    QVERIFY(ui.widenTimer->isActive());
}

QTEST_MAIN(tst_slideout)
#include "tst_slideout.moc"
