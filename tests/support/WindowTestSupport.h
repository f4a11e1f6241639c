#pragma once

// The real note window over a test's database, driven the way a person drives it: mouse events
// and keys sent to its real controls, found by their object names. The desktop is the test's
// own (TestDesktop): it places the pointer and answers questions. No event loop runs unless a
// test runs one, so the window's timers tick when a test says time has passed (tick()).

#include "TestDatabase.h"
#include "TestDesktop.h"
#include "window/Controls.h"
#include "window/DesignBuilder.h"
#include "window/NoteWindow.h"
#include "window/controls/CheckBox.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QPointingDevice>
#include <QTest>
#include <QWidget>

namespace windowtest {

// Sends one mouse event of the given type to target at pos (the centre when pos is null).
inline bool sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button,
                      Qt::MouseButtons buttons, QPoint pos = {})
{
    if (pos.isNull())
        pos = target->rect().center();
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    return QApplication::sendEvent(target, &event);
}

// A move with no button held: only widgets that track the mouse ever see one.
inline void moveOver(QWidget *target, QPoint pos = {})
{
    sendMouse(target, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, pos);
}

inline void doubleClick(QWidget *target)
{
    sendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    sendMouse(target, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}

// One interval of the timer passes: it ticks if it is running. Returns whether it ticked.
inline bool tick(window::Timer *timer)
{
    if (!timer->isActive())
        return false;
    Q_EMIT timer->tick();
    return true;
}

// Lets the timer tick until it stops itself, at most `limit` times; returns the ticks.
inline int tickUntilStopped(window::Timer *timer, int limit = 1000)
{
    int ticks = 0;
    while (ticks < limit && tick(timer))
        ++ticks;
    return ticks;
}

// The note window as a person at a test's desktop finds it.
class WindowUnderTest
{
public:
    explicit WindowUnderTest(const testsupport::TestDatabase &db)
        : WindowUnderTest(db.store())
    {}
    explicit WindowUnderTest(store::NoteStore notes)
        : form(std::move(notes), desktop)
    {}
    WindowUnderTest(const WindowUnderTest &) = delete;
    WindowUnderTest &operator=(const WindowUnderTest &) = delete;

    // Starts the window as the program does, reading the list at once.
    bool start() { return form.load(); }

    // Starts it, shows it and unrolls it with a double-click on the title strip.
    bool startUnrolled()
    {
        if (!start())
            return false;
        form.show();
        doubleClick(ui.titleStrip);
        return form.heightTwips() > ui.titleStrip->heightTwips();
    }

    // The pointer moves over the list, and the list slides all the way out.
    void widenList()
    {
        moveOver(ui.noteList->viewport());
        tickUntilStopped(ui.widenTimer);
    }

    // Brings the list to `width` twips the way the pointer does: over the list to widen it, over
    // the note to narrow it, with the timers ticking in between, and leaves it widening,
    // narrowing or still. Fails the test if the list does not end up so.
    void slideListTo(float width, bool widening, bool narrowing)
    {
        const auto ticks = [](window::Timer *timer, float steps) {
            for (int i = 0; i < qRound(steps); ++i)
                QVERIFY(tick(timer));
        };
        if (narrowing) {
            widenList();
            moveOver(ui.noteText->viewport());
            ticks(ui.narrowTimer, (2700 - width) / 100);
        } else if (widening) {
            moveOver(ui.noteList->viewport());
            ticks(ui.widenTimer, (width - 200) / 100);
        } else if (width == 2700) {
            widenList();
        }
        QCOMPARE(ui.noteList->widthTwips(), width);
        QCOMPARE(ui.widenTimer->isActive(), widening);
        QCOMPARE(ui.narrowTimer->isActive(), narrowing);
    }

    // Chooses a command of the "M" panel ("Ny", "Radera", "Spara", "Avsluta"): opens the panel
    // if it is closed, then clicks the button.
    void command(window::CommandButton *button)
    {
        if (ui.commandPanel->isHidden())
            ui.menuButton->click();
        button->click();
    }

    // Clicks the note with this ID in the list.
    void clickNote(qint64 id)
    {
        for (int row = 0; row < ui.noteList->itemCount(); ++row) {
            if (ui.noteList->itemId(row) == id)
                return clickItem(row);
        }
        qFatal("No note %lld in the list", static_cast<long long>(id));
    }

    // Clicks the list's item in `row` (0-based), sliding the list out first if it is closed and
    // scrolling to the item, as a person scrolls to a title below the last one shown.
    void clickItem(int row)
    {
        if (ui.noteList->columnWidth(0) <= 0)
            widenList();
        ui.noteList->scrollTo(ui.noteList->model()->index(row, 0));
        const QRect item = ui.noteList->itemRect(row);
        if (item.isEmpty() || !ui.noteList->viewport()->rect().contains(item.center()))
            qFatal("The list's row %d cannot be clicked", row);
        QTest::mouseClick(ui.noteList->viewport(), Qt::LeftButton, {}, item.center());
    }

    testsupport::TestDesktop desktop;
    window::NoteWindow form;
    const window::Controls ui = window::findControls(form);
};

} // namespace windowtest
