// The real window on a desktop of several screens, laid out and changed the way a desktop's
// platform changes them (TestScreens): docked on the primary screen at the start; docked again
// when the screens change, with everything else in the window as it was; left where the person
// moved it while a screen shows it; and at the pixels of the screen it is on, each screen at its
// own dots per inch.

#include "TestScreens.h"
#include "WindowTestSupport.h"

#include <QTest>

using testsupport::TestScreen;
using window::Slide;

namespace {

const TestScreen Left{"left", QRect(0, 0, 1280, 1024)};
const TestScreen Right{"right", QRect(1280, 0, 1280, 1024)};

TestScreen at(TestScreen screen, const QRect &geometry)
{
    screen.geometry = geometry;
    return screen;
}

TestScreen withDpi(TestScreen screen, int dpi)
{
    screen.dpi = dpi;
    return screen;
}

} // namespace

Q_DECLARE_METATYPE(QList<TestScreen>)

class tst_screens : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_screens()
        : WindowTestCase({.notes = 3, .unrolled = false})
    {}

private Q_SLOTS:
    void docksOnThePrimary_data();
    void docksOnThePrimary();
    void docksAgainWhenTheScreensChange_data();
    void docksAgainWhenTheScreensChange();
    void movedWindowStaysWhileAScreenShowsIt_data();
    void movedWindowStaysWhileAScreenShowsIt();
    void pixelsOfTheScreenItIsOn();

private:
    // Starts the window afresh on these screens, auto-hide off, so that a window moved away from
    // the pointer stays as it is.
    void startOn(const QList<TestScreen> &screens, bool unrolled);
    // Drags the window by its title strip, the lock off, as a person does with the mouse.
    void drag(const QPoint &by);
};

void tst_screens::startOn(const QList<TestScreen> &screens, bool unrolled)
{
    QVERIFY(testsupport::layOutScreens(screens));
    restart({.notes = 3, .unrolled = unrolled});
    ui().autoHideBox->click();
    QVERIFY(!state().autoHide());
}

void tst_screens::drag(const QPoint &by)
{
    const window::Controls &ui = this->ui();
    if (ui.lockBox->isChecked())
        ui.lockBox->click();
    const QPoint grip = ui.titleStrip->rect().center();
    using windowtest::sendMouse;
    sendMouse(ui.titleStrip, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grip);
    sendMouse(ui.titleStrip, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip);
    sendMouse(ui.titleStrip, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grip + by);
    sendMouse(ui.titleStrip, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grip + by);
}

void tst_screens::docksOnThePrimary_data()
{
    QTest::addColumn<QList<TestScreen>>("screens");
    QTest::addColumn<QRect>("geometry"); // rolled up

    const TestScreen above = at(Left, QRect(0, -1024, 1280, 1024));
    const TestScreen leftOfOrigin = at(Left, QRect(-1280, 0, 1280, 1024));
    // clang-format off
    QTest::newRow("one screen") << QList{Left} << QRect(433, 0, 353, 17);
    QTest::newRow("primary on the left") << QList{Left, Right} << QRect(433, 0, 353, 17);
    QTest::newRow("primary on the right") << QList{Right, Left} << QRect(1713, 0, 353, 17);
    QTest::newRow("primary below another") << QList{Left, above} << QRect(433, 0, 353, 17);
    QTest::newRow("primary left of the origin")
        << QList{leftOfOrigin, Right} << QRect(-1280 + 433, 0, 353, 17);
    QTest::newRow("primary at 192 dpi on the right")
        << QList{withDpi(Right, 192), Left} << QRect(1280 + 1280 - 706, 0, 706, 34);
    QTest::newRow("primary at 96 dpi beside one at 192")
        << QList{Left, withDpi(Right, 192)} << QRect(433, 0, 353, 17);
    // clang-format on
}

void tst_screens::docksOnThePrimary()
{
    QFETCH(QList<TestScreen>, screens);
    QFETCH(QRect, geometry);
    startOn(screens, false);
    QCOMPARE(QGuiApplication::primaryScreen()->name(), screens.first().name);
    QCOMPARE(form().geometry(), geometry);
    QCOMPARE(form().windowHandle()->screen()->name(), screens.first().name);
    QVERIFY(state().rolledUp());
    windowtest::doubleClick(ui().titleStrip);
    QCOMPARE(form().height(), geometry.height() * 289 / 17);
}

void tst_screens::docksAgainWhenTheScreensChange_data()
{
    QTest::addColumn<QList<TestScreen>>("screens"); // after the change; before: Left, Right
    QTest::addColumn<QRect>("geometry");            // unrolled

    // clang-format off
    QTest::newRow("the primary moves to the right screen")
        << QList{Right, Left} << QRect(1713, 0, 353, 289);
    QTest::newRow("the primary removed") << QList{Right} << QRect(1713, 0, 353, 289);
    QTest::newRow("the primary moved down")
        << QList{at(Left, QRect(0, 200, 1280, 1024)), Right} << QRect(433, 200, 353, 289);
    QTest::newRow("the primary moved left of the origin")
        << QList{at(Left, QRect(-1280, 0, 1280, 1024)), Right}
        << QRect(-1280 + 433, 0, 353, 289);
    QTest::newRow("the primary resized")
        << QList{at(Left, QRect(0, 0, 1920, 1080)), at(Right, QRect(1920, 0, 1280, 1024))}
        << QRect(433, 0, 353, 289);
    QTest::newRow("the primary at 192 dpi")
        << QList{withDpi(Left, 192), Right} << QRect(1280 - 706, 0, 706, 578);
    QTest::newRow("the other screen removed") << QList{Left} << QRect(433, 0, 353, 289);
    QTest::newRow("a screen added")
        << QList{Left, Right, TestScreen{"third", QRect(2560, 0, 1280, 1024)}}
        << QRect(433, 0, 353, 289);
    // clang-format on
}

// Whatever the screens do, the window docks on the primary as at the start, and nothing else in
// it changes: unrolled with a note being written, the command panel open, the list out.
void tst_screens::docksAgainWhenTheScreensChange()
{
    QFETCH(QList<TestScreen>, screens);
    QFETCH(QRect, geometry);
    startOn({Left, Right}, true);
    const window::Controls &ui = this->ui();
    window().command(ui.newButton);
    QTest::keyClicks(ui.noteText, QStringLiteral("utkast"));
    ui.menuButton->click();
    window().widenList();
    QCOMPARE(form().geometry(), QRect(433, 0, 353, 289));

    QVERIFY(testsupport::layOutScreens(screens));
    QTRY_COMPARE(form().geometry(), geometry);
    QCOMPARE(form().windowHandle()->screen()->name(), screens.first().name);

    QVERIFY(!state().rolledUp());
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteText->text(), QStringLiteral("utkast"));
    QVERIFY(!ui.noteText->isLocked());
    QCOMPARE(state().listWidth(), window::design::ListSlide.wide);
    QCOMPARE(state().slide(), Slide::Still);
    QVERIFY(ui.lockBox->isChecked());
    QVERIFY(!ui.autoHideBox->isChecked());
}

void tst_screens::movedWindowStaysWhileAScreenShowsIt_data()
{
    QTest::addColumn<QList<TestScreen>>("screens"); // after the change; before: Left, Right
    QTest::addColumn<QPoint>("place");

    // The window is moved onto the right screen, to 1433,200: the middle of its strip at 1609.
    const QPoint moved(1433, 200);
    const QPoint docked(433, 0);
    // clang-format off
    QTest::newRow("the primary moves to its screen") << QList{Right, Left} << moved;
    QTest::newRow("a screen added")
        << QList{Left, Right, TestScreen{"third", QRect(0, 1024, 1280, 1024)}} << moved;
    QTest::newRow("its screen at 192 dpi") << QList{Left, withDpi(Right, 192)} << moved;
    QTest::newRow("its screen removed") << QList{Left} << docked;
    QTest::newRow("its screen moved away")
        << QList{Left, at(Right, QRect(1280, 1024, 1280, 1024))} << docked;
    QTest::newRow("its screen shrunk short of the strip's middle")
        << QList{Left, at(Right, QRect(1280, 0, 300, 1024))} << docked;
    QTest::newRow("its screen shrunk, the strip's middle still on it")
        << QList{Left, at(Right, QRect(1280, 0, 400, 1024))} << moved;
    QTest::newRow("its screen removed, the primary moved")
        << QList{at(Left, QRect(0, 100, 1280, 1024))} << QPoint(433, 100);
    // clang-format on
}

void tst_screens::movedWindowStaysWhileAScreenShowsIt()
{
    QFETCH(QList<TestScreen>, screens);
    QFETCH(QPoint, place);
    startOn({Left, Right}, false);
    drag(QPoint(1000, 200));
    QCOMPARE(form().pos(), QPoint(1433, 200));
    QCOMPARE(form().windowHandle()->screen()->name(), Right.name);
    QVERIFY(state().rolledUp());

    QVERIFY(testsupport::layOutScreens(screens));
    // The window finds its place once the screens have settled.
    auto *settling = form().findChild<QTimer *>(QStringLiteral("screensChanging"));
    QVERIFY(settling);
    QVERIFY(settling->isActive());
    QTRY_VERIFY(!settling->isActive());
    QCOMPARE(form().pos(), place);
    QVERIFY(state().rolledUp());
}

// Twips become the pixels of the screen the window is on: dragged from a screen at 96 dpi onto one
// at 192, it is twice as large; dragged back, as it was.
void tst_screens::pixelsOfTheScreenItIsOn()
{
    startOn({Left, withDpi(Right, 192)}, false);
    QCOMPARE(form().geometry(), QRect(433, 0, 353, 17));

    drag(QPoint(1000, 200));
    QCOMPARE(form().windowHandle()->screen()->name(), Right.name);
    QCOMPARE(form().size(), QSize(706, 34));
    QCOMPARE(ui().titleStrip->size(), QSize(706, 34));
    windowtest::doubleClick(ui().titleStrip);
    QCOMPARE(form().size(), QSize(706, 578));
    QCOMPARE(ui().noteText->geometry(), QRect(48, 48, 642, 514));

    drag(QPoint(-1000, 0));
    QCOMPARE(form().windowHandle()->screen()->name(), Left.name);
    QCOMPARE(form().size(), QSize(353, 289));
    QCOMPARE(ui().noteText->geometry(), QRect(24, 24, 321, 257));

    // The screen the window is on goes to 192 dpi while it is there.
    QVERIFY(testsupport::layOutScreens({withDpi(Left, 192), withDpi(Right, 192)}));
    QTRY_COMPARE(form().size(), QSize(706, 578));
}

QTEST_MAIN(tst_screens)
#include "tst_screens.moc"
