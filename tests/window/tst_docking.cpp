// Where the window goes on the desktop's screens, as a plain object without a window: docked at
// the top of the primary screen, the design's left position in from its left edge; docked again
// when the screens change, unless the person moved it to a place a screen still shows. Each table
// gives the screens, what happened to the window, the screens after a change and where the window
// must be then.

#include "window/Docking.h"

#include <QTest>

using window::Docking;
using window::Scale;
using window::Screens;

namespace {

// A desktop's screens, the primary first, and the primary's dots per inch.
struct Desk
{
    QList<QRect> areas;
    double primaryDpi = 96;

    Screens screens() const
    {
        Screens screens;
        for (const QRect &area : areas)
            screens.areas.push_back(area);
        screens.primary = areas.value(0);
        const double twipsPerPixel = 1440.0 / primaryDpi;
        screens.primaryScale = Scale(twipsPerPixel, twipsPerPixel);
        return screens;
    }
};

const QRect Left(0, 0, 1280, 1024);
const QRect Right(1280, 0, 1280, 1024);

// What happened to the docked window before the screens changed.
enum class Before {
    Nothing,
    // A press on the unlocked strip, and the window manager moved the window to `to`.
    Dragged,
    // A press on the unlocked strip that moved nothing.
    Pressed,
    // The window manager placed the window at `to` by itself.
    PlacedByWindowManager,
    // Dragged to `to`, then docked again by a change of the screens, then placed by the window
    // manager at `to`: the earlier drag no longer counts.
    DraggedThenDocked,
};

// The title strip's size at 96 dpi.
const QSize Strip(353, 17);

} // namespace

Q_DECLARE_METATYPE(Desk)
Q_DECLARE_METATYPE(Before)

class tst_docking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void docksOnThePrimary_data();
    void docksOnThePrimary();
    void followsTheScreens_data();
    void followsTheScreens();
};

void tst_docking::docksOnThePrimary_data()
{
    QTest::addColumn<Desk>("desk");
    QTest::addColumn<QPoint>("place");

    // clang-format off
    QTest::newRow("one screen at the origin") << Desk{{Left}} << QPoint(433, 0);
    QTest::newRow("one screen at 192 dpi") << Desk{{QRect(0, 0, 2560, 2048)}, 192} << QPoint(866, 0);
    QTest::newRow("primary on the right") << Desk{{Right, Left}} << QPoint(1280 + 433, 0);
    QTest::newRow("primary on the left") << Desk{{Left, Right}} << QPoint(433, 0);
    QTest::newRow("primary below") << Desk{{QRect(0, 1024, 1280, 1024), Left}} << QPoint(433, 1024);
    QTest::newRow("primary left of the origin")
        << Desk{{QRect(-1280, 0, 1280, 1024), Left}} << QPoint(-1280 + 433, 0);
    QTest::newRow("primary at 192 dpi on the right")
        << Desk{{QRect(1280, 0, 2560, 2048), Left}, 192} << QPoint(1280 + 866, 0);
    // Narrower than the window docked 433 pixels in: its right edge stays on the screen.
    QTest::newRow("just wide enough") << Desk{{QRect(0, 0, 786, 600)}} << QPoint(433, 0);
    QTest::newRow("640 pixels") << Desk{{QRect(0, 0, 640, 480)}} << QPoint(640 - 353, 0);
    QTest::newRow("narrower than the window") << Desk{{QRect(0, 0, 300, 480)}} << QPoint(0, 0);
    QTest::newRow("640 pixels on the right")
        << Desk{{QRect(1280, 0, 640, 480), Left}} << QPoint(1280 + 640 - 353, 0);
    QTest::newRow("1280 pixels at 192 dpi")
        << Desk{{QRect(0, 0, 1280, 800)}, 192} << QPoint(1280 - 706, 0);
    // clang-format on
}

void tst_docking::docksOnThePrimary()
{
    QFETCH(Desk, desk);
    QFETCH(QPoint, place);
    Docking docking;
    QCOMPARE(docking.dock(desk.screens()), place);
    QCOMPARE(docking.place(), place);
    QVERIFY(!docking.movedByPerson());
    // Nothing changed: a change of screens that leaves the same desktop leaves the window too.
    QCOMPARE(docking.followScreens(desk.screens(), Strip), place);
}

void tst_docking::followsTheScreens_data()
{
    QTest::addColumn<Desk>("before");
    QTest::addColumn<Before>("happened");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<Desk>("after");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<bool>("movedByPerson");

    const Desk leftPrimary{{Left, Right}};
    const Desk rightPrimary{{Right, Left}};
    const QPoint onRight(1433, 200); // the strip's middle at 1609, 208
    const QPoint docked(433, 0);     // on the left screen, the primary
    const QPoint dockedRight(1713, 0);
    const Before nothing = Before::Nothing;
    const Before dragged = Before::Dragged;

    // clang-format off
    // A docked window docks again, wherever the primary screen goes.
    QTest::newRow("docked, the primary changes")
        << leftPrimary << nothing << QPoint() << rightPrimary << dockedRight << false;
    QTest::newRow("docked, the primary removed")
        << leftPrimary << nothing << QPoint() << Desk{{Right}} << dockedRight << false;
    QTest::newRow("docked, the primary moves")
        << leftPrimary << nothing << QPoint() << Desk{{QRect(-1280, 300, 1280, 1024), Right}}
        << QPoint(-1280 + 433, 300) << false;
    QTest::newRow("docked, the primary resized")
        << leftPrimary << nothing << QPoint() << Desk{{QRect(0, 0, 800, 600), Right}} << docked
        << false;
    QTest::newRow("docked, the primary at 192 dpi")
        << leftPrimary << nothing << QPoint() << Desk{{Left, Right}, 192} << QPoint(1280 - 706, 0)
        << false;
    QTest::newRow("docked, another screen removed")
        << leftPrimary << nothing << QPoint() << Desk{{Left}} << docked << false;
    QTest::newRow("docked, a screen added")
        << Desk{{Left}} << nothing << QPoint() << leftPrimary << docked << false;

    // Moved by the person: it stays while a screen shows the middle of its title strip.
    QTest::newRow("moved, the primary changes")
        << leftPrimary << dragged << onRight << rightPrimary << onRight << true;
    QTest::newRow("moved, a screen added")
        << Desk{{Left}} << dragged << QPoint(300, 500) << leftPrimary << QPoint(300, 500) << true;
    QTest::newRow("moved, its screen removed")
        << leftPrimary << dragged << onRight << Desk{{Left}} << docked << false;
    QTest::newRow("moved, its screen removed, the primary was it")
        << rightPrimary << dragged << onRight << Desk{{Left}} << docked << false;
    QTest::newRow("moved, its screen moved away from it")
        << leftPrimary << dragged << onRight << Desk{{Left, QRect(1280, 1024, 1280, 1024)}}
        << docked << false;
    QTest::newRow("moved, its screen shrunk short of the strip's middle")
        << leftPrimary << dragged << onRight << Desk{{Left, QRect(1280, 0, 300, 1024)}}
        << docked << false;
    QTest::newRow("moved, its screen shrunk, the strip's middle still on it")
        << leftPrimary << dragged << onRight << Desk{{Left, QRect(1280, 0, 400, 1024)}}
        << onRight << true;
    QTest::newRow("moved across two screens, the one with the middle stays")
        << leftPrimary << dragged << QPoint(1200, 100) << Desk{{Right}} << QPoint(1200, 100)
        << true;
    QTest::newRow("moved across two screens, the one with the middle goes")
        << leftPrimary << dragged << QPoint(1100, 100) << Desk{{Right}} << dockedRight << false;
    QTest::newRow("moved half off the desktop, the middle on a screen")
        << leftPrimary << dragged << QPoint(-100, 500) << rightPrimary << QPoint(-100, 500)
        << true;
    QTest::newRow("moved off every screen: docks at the next change")
        << leftPrimary << dragged << QPoint(3000, 100) << leftPrimary << docked << false;

    // Moves that are not the person's leave the window docked.
    QTest::newRow("pressed, not moved")
        << leftPrimary << Before::Pressed << QPoint() << rightPrimary << dockedRight << false;
    QTest::newRow("placed by the window manager")
        << leftPrimary << Before::PlacedByWindowManager << onRight << rightPrimary << dockedRight
        << false;
    QTest::newRow("placed by the window manager after a drag and a docking")
        << leftPrimary << Before::DraggedThenDocked << onRight << rightPrimary << dockedRight
        << false;
    // clang-format on
}

void tst_docking::followsTheScreens()
{
    QFETCH(Desk, before);
    QFETCH(Before, happened);
    QFETCH(QPoint, to);
    QFETCH(Desk, after);
    QFETCH(QPoint, place);
    QFETCH(bool, movedByPerson);

    Docking docking;
    const QPoint docked = docking.dock(before.screens());
    switch (happened) {
    case Before::Nothing:
        break;
    case Before::Dragged:
        docking.moveBegan();
        docking.placed(to);
        break;
    case Before::Pressed:
        docking.moveBegan();
        docking.placed(docked);
        break;
    case Before::PlacedByWindowManager:
        docking.placed(to);
        break;
    case Before::DraggedThenDocked:
        docking.moveBegan();
        docking.placed(to);
        QCOMPARE(docking.followScreens(Desk{{Left}}.screens(), Strip), docked);
        docking.placed(to);
        break;
    }
    QCOMPARE(docking.movedByPerson(), happened == Before::Dragged);

    QCOMPARE(docking.followScreens(after.screens(), Strip), place);
    QCOMPARE(docking.place(), place);
    QCOMPARE(docking.movedByPerson(), movedByPerson);
}

QTEST_APPLESS_MAIN(tst_docking)
#include "tst_docking.moc"
