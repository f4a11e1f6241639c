// The note list's slide-out in the real window: which of the window's parts the pointer moves over
// starts it either way, how each tick draws the list and its column, and the timer that drives it.
// Mouse moves are real events sent to the widgets the pointer would be over; a tick is one
// interval of the running slide timer passing.

#include "WindowTestSupport.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using window::Panel;
using window::Slide;
using windowtest::moveOver;
namespace design = window::design;

namespace {
constexpr design::Slide Way = design::ListSlide;
} // namespace

class tst_slideout : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_slideout()
        : WindowTestCase({.notes = 2, .unrolled = true})
    {}

private Q_SLOTS:
    void pointerOver_data();
    void pointerOver();
    void ticksDrawTheListAndItsColumn();
    void slideGoesOnWhileRolledUp();
    void slideRunsOnItsOwnTimer();
    void movesDoNotHoldTheTicksBack();

private:
    // The widget a move over the named part of the window arrives at, and where on it.
    QWidget *target(const QString &part, QPoint *pos);
};

QWidget *tst_slideout::target(const QString &part, QPoint *pos)
{
    const window::Controls &ui = this->ui();
    *pos = QPoint();
    if (part == QLatin1String("list item")) {
        *pos = QPoint(2, ui.noteList->itemRect(0).center().y());
        return ui.noteList->viewport();
    }
    if (part == QLatin1String("list below the items")) {
        *pos = QPoint(2, ui.noteList->viewport()->height() - 2);
        return ui.noteList->viewport();
    }
    if (part == QLatin1String("list border")) {
        *pos = QPoint(0, ui.noteList->height() / 2);
        return ui.noteList;
    }
    if (part == QLatin1String("list header"))
        return ui.noteList->header()->viewport();
    if (part == QLatin1String("note text"))
        return ui.noteText->viewport();
    if (part == QLatin1String("note scroll bar"))
        return ui.noteText->verticalScrollBar();
    return form().findChild<QWidget *>(part);
}

void tst_slideout::pointerOver_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<bool>("listWide"); // else narrow
    QTest::addColumn<Slide>("slideAfter");
    QTest::addColumn<bool>("closesCommandPanel");

    for (const char *part : {"list item", "list below the items", "list border", "list header"}) {
        QTest::addRow("%s, narrow", part)
            << QString::fromLatin1(part) << false << Slide::Widening << false;
        QTest::addRow("%s, wide", part)
            << QString::fromLatin1(part) << true << Slide::Still << false;
    }
    for (const char *part : {"note text", "note scroll bar", "leftEdge", "topEdge", "bottomEdge"}) {
        QTest::addRow("%s, narrow", part)
            << QString::fromLatin1(part) << false << Slide::Still << true;
        QTest::addRow("%s, wide", part)
            << QString::fromLatin1(part) << true << Slide::Narrowing << true;
    }
}

void tst_slideout::pointerOver()
{
    QFETCH(QString, part);
    QFETCH(bool, listWide);
    QFETCH(Slide, slideAfter);
    QFETCH(bool, closesCommandPanel);
    const window::Controls &ui = this->ui();
    if (listWide)
        window().widenList();
    ui.menuButton->click();
    QVERIFY(!ui.commandPanel->isHidden());

    QPoint pos;
    QWidget *widget = target(part, &pos);
    QVERIFY(widget);
    moveOver(widget, pos);

    QCOMPARE(state().slide(), slideAfter);
    QCOMPARE(ui.slideTimer->isActive(), slideAfter != Slide::Still);
    QCOMPARE(ui.commandPanel->isHidden(), closesCommandPanel);
    QCOMPARE(state().panel(), closesCommandPanel ? Panel::None : Panel::Commands);
}

void tst_slideout::ticksDrawTheListAndItsColumn()
{
    const window::Controls &ui = this->ui();
    const window::Scale scale = windowtest::scale();
    int column = 0;
    // Every tick draws the list at the state's width and its column at the state's, except a
    // column narrower than nothing, which is not the list's: it keeps the one it had.
    const auto slideToTheEnd = [&] {
        QVERIFY(ui.slideTimer->isActive());
        while (state().slide() != Slide::Still) {
            QVERIFY(windowtest::tick(ui.slideTimer));
            QCOMPARE(ui.noteList->width(), scale.x(state().listWidth()));
            if (state().columnWidth() >= 0)
                column = scale.x(state().columnWidth());
            QCOMPARE(ui.noteList->columnWidth(0), column);
        }
        QVERIFY(!ui.slideTimer->isActive());
    };
    moveOver(ui.noteList->viewport());
    slideToTheEnd();
    QCOMPARE(ui.noteList->width(), scale.x(Way.wide));
    QCOMPARE(ui.noteList->columnWidth(0), scale.x(Way.wide - Way.columnInset));
    moveOver(ui.noteText->viewport());
    slideToTheEnd();
    QCOMPARE(ui.noteList->width(), scale.x(Way.narrow));
}

void tst_slideout::slideGoesOnWhileRolledUp()
{
    const window::Controls &ui = this->ui();
    moveOver(ui.noteList->viewport());
    QVERIFY(windowtest::tick(ui.slideTimer));
    windowtest::doubleClick(ui.titleStrip);
    QVERIFY(state().rolledUp());
    QVERIFY(ui.slideTimer->isActive());
    windowtest::tickUntilStopped(ui.slideTimer);
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(state().listWidth(), Way.wide);
    QCOMPARE(ui.noteList->width(), windowtest::scale().x(Way.wide));
}

void tst_slideout::slideRunsOnItsOwnTimer()
{
    const window::Controls &ui = this->ui();
    QCOMPARE(ui.slideTimer->interval(), Way.tickMs);
    moveOver(ui.noteList->viewport());
    QTRY_COMPARE_WITH_TIMEOUT(state().listWidth(), Way.wide, 10000);
    QTRY_VERIFY(!ui.slideTimer->isActive());
}

// A stream of moves over the list, each asking for the slide that already runs, must not restart
// the timer's interval: the list goes on sliding out.
void tst_slideout::movesDoNotHoldTheTicksBack()
{
    const window::Controls &ui = this->ui();
    moveOver(ui.noteList->viewport());
    QElapsedTimer clock;
    clock.start();
    while (state().listWidth() == Way.narrow && clock.elapsed() < 5000) {
        moveOver(ui.noteList->viewport());
        QTest::qWait(Way.tickMs / 2);
    }
    QVERIFY(state().listWidth() > Way.narrow);
}

QTEST_MAIN(tst_slideout)
#include "tst_slideout.moc"
