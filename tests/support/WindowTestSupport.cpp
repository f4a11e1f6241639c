#include "WindowTestSupport.h"

#include "store/Sync.h"
#include "window/Application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QScreen>
#include <QSqlDatabase>
#include <QTest>

namespace windowtest {

bool sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               QPoint pos)
{
    if (pos.isNull())
        pos = target->rect().center();
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    return QApplication::sendEvent(target, &event);
}

void moveOver(QWidget *target, QPoint pos)
{
    sendMouse(target, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, pos);
}

void doubleClick(QWidget *target)
{
    sendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    sendMouse(target, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}

bool tick(QTimer *timer)
{
    if (!timer->isActive())
        return false;
    // The timer's own signal, raised as its interval passing would raise it.
    return QMetaObject::invokeMethod(timer, "timeout");
}

int tickUntilStopped(QTimer *timer, int limit)
{
    int ticks = 0;
    while (ticks < limit && tick(timer))
        ++ticks;
    return ticks;
}

window::Scale scale()
{
    return window::Scale::of(QGuiApplication::primaryScreen());
}

WindowUnderTest::WindowUnderTest(store::NoteStore notes, std::optional<QString> draftsFolder)
    : notes(std::move(notes))
    , drafts(draftsFolder.value_or(draftsHome.filePath(QStringLiteral("drafts"))))
    , form(this->notes, drafts, desktop)
{}

WindowUnderTest::WindowUnderTest(const testsupport::TestDatabase &db,
                                 std::optional<QString> draftsFolder)
    : WindowUnderTest(db.store(), std::move(draftsFolder))
{}

bool WindowUnderTest::start()
{
    // As the program does: the check, then the start with its outcome, then the window shown.
    if (!form.start(notes.check()))
        return false;
    const int framesBefore = desktop.firstFrames;
    form.show();
    // The list is read right after the first frame.
    if (!QTest::qWaitFor([&] { return desktop.firstFrames > framesBefore; }, 10000))
        return false;
    ui = window::findControls(form);
    return true;
}

bool WindowUnderTest::startUnrolled()
{
    if (!start())
        return false;
    doubleClick(ui.titleStrip);
    return !state().rolledUp();
}

QPoint WindowUnderTest::inside()
{
    return scale().rect(window::design::Window).center();
}

void WindowUnderTest::widenList()
{
    moveOver(ui.noteList->viewport());
    tickUntilStopped(ui.slideTimer);
}

void WindowUnderTest::slideListTo(int width, window::Slide slide)
{
    const window::design::Slide way = window::design::ListSlide;
    const auto ticks = [this](int steps) {
        for (int i = 0; i < steps; ++i)
            QVERIFY(tick(ui.slideTimer));
    };
    if (slide == window::Slide::Narrowing) {
        widenList();
        moveOver(ui.noteText->viewport());
        ticks((way.wide - width) / way.step);
    } else if (slide == window::Slide::Widening) {
        moveOver(ui.noteList->viewport());
        ticks((width - way.narrow) / way.step);
    } else if (width == way.wide) {
        widenList();
    }
    QCOMPARE(state().listWidth(), width);
    QCOMPARE(state().slide(), slide);
}

void WindowUnderTest::command(window::CommandButton *button)
{
    if (ui.commandPanel->isHidden())
        ui.menuButton->click();
    button->click();
}

void WindowUnderTest::clickNote(qint64 id)
{
    for (int row = 0; row < ui.noteList->itemCount(); ++row) {
        if (ui.noteList->itemId(row) == id)
            return clickItem(row);
    }
    qFatal("No note %lld in the list", static_cast<long long>(id));
}

void WindowUnderTest::clickItem(int row)
{
    if (ui.noteList->columnWidth(0) <= 0)
        widenList();
    ui.noteList->scrollTo(ui.noteList->model()->index(row, 0));
    const QRect item = ui.noteList->itemRect(row);
    if (item.isEmpty() || !ui.noteList->viewport()->rect().contains(item.center()))
        qFatal("The list's row %d cannot be clicked", row);
    QTest::mouseClick(ui.noteList->viewport(), Qt::LeftButton, {}, item.center());
}

WindowTestCase::WindowTestCase(Setup setup)
    : m_setup(setup)
{}

WindowTestCase::~WindowTestCase() = default;

QString WindowTestCase::noteTitle(int index)
{
    static const char *const titles[] = {"Första", "Andra", "Tredje"};
    return index < 3 ? QString::fromUtf8(titles[index])
                     : QStringLiteral("Anteckning %1").arg(index + 1);
}

QString WindowTestCase::noteText(int index)
{
    static const char *const texts[] = {"ett", "två\nrader", "tre"};
    return index < 3 ? QString::fromUtf8(texts[index]) : QStringLiteral("text %1").arg(index + 1);
}

void WindowTestCase::initTestCase()
{
    // As the program does it.
    window::prepareApplication();
    // Closing the window must not end the test run.
    QApplication::setQuitOnLastWindowClosed(false);
}

void WindowTestCase::init()
{
    restart(m_setup);
}

void WindowTestCase::restart(Setup setup)
{
    m_window.reset();
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_ids.clear();
    for (int i = 0; i < setup.notes; ++i)
        m_ids << m_db->addNote(noteTitle(i), noteText(i));
    m_syncFolder.reset();
    if (setup.synced) {
        m_syncFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(store::setSyncFolder(m_db->path(), m_syncFolder->path()));
    }
    m_window = std::make_unique<WindowUnderTest>(*m_db);
    // The pointer stays over the window, so that no look at it rolls the window up.
    m_window->desktop.pointer = WindowUnderTest::inside();
    QVERIFY(setup.unrolled ? m_window->startUnrolled() : m_window->start());
    QCOMPARE(m_window->ui.noteList->itemCount(), setup.notes);
}

void WindowTestCase::cleanup()
{
    if (m_window)
        QCOMPARE(m_window->desktop.reports, QStringList());
    m_window.reset();
    m_db.reset();
    m_syncFolder.reset();
    QCOMPARE(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")), QStringList());
}

} // namespace windowtest
