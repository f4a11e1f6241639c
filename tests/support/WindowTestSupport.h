#pragma once

// The real note window over a test's database, started the way the program starts it and driven
// the way a person drives it: mouse events and keys sent to its real controls, found by their
// names. The desktop is the test's own (TestDesktop): it places the pointer and answers questions.
// A timer ticks when a test says its interval has passed (tick()), so no test waits on the clock
// unless it means to.

#include "TestDatabase.h"
#include "TestDesktop.h"
#include "window/Controls.h"
#include "window/ControlsBuilder.h"
#include "window/Design.h"
#include "window/Layout.h"
#include "window/NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPoint>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace windowtest {

// Sends one mouse event of the given type to target at pos (the centre when pos is null).
bool sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               QPoint pos = {});
// A move with no button held: only widgets that track the mouse ever see one.
void moveOver(QWidget *target, QPoint pos = {});
void doubleClick(QWidget *target);

// One interval of the timer passes: it ticks if it is running. Returns whether it ticked.
bool tick(QTimer *timer);
// Lets the timer tick until it stops itself, at most `limit` times; returns the ticks.
int tickUntilStopped(QTimer *timer, int limit = 1000);

// The design's twips in the pixels of the screen the tests run on (96 or 192 dpi).
window::Scale scale();

// The note window as a person at a test's desktop finds it.
class WindowUnderTest
{
public:
    // The window over these notes, its drafts in a folder of its own (a temporary one unless
    // given), as a program of its own would have them.
    explicit WindowUnderTest(store::NoteStore notes, std::optional<QString> draftsFolder = {});
    explicit WindowUnderTest(const testsupport::TestDatabase &db,
                             std::optional<QString> draftsFolder = {});
    WindowUnderTest(const WindowUnderTest &) = delete;
    WindowUnderTest &operator=(const WindowUnderTest &) = delete;

    // Starts the window as the program does: the database checked, the window docked and shown,
    // and after its first frame the note list read. False, with a report, when it did not start.
    bool start();
    // Starts it and unrolls it with a double-click on the title strip.
    bool startUnrolled();

    // A point in the middle of the docked, unrolled window: a pointer there never rolls it up.
    static QPoint inside();
    const window::WindowState &state() const { return form.state(); }

    // The pointer moves over the list, and the list slides all the way out.
    void widenList();
    // Brings the list to `width` twips the way the pointer does (over the list to widen it, over
    // the note to narrow it, the slide ticking in between) and leaves it sliding that way, or
    // still. Fails the test if the list does not end up so.
    void slideListTo(int width, window::Slide slide);
    // Chooses a command of the "M" panel: opens the panel if it is closed, then clicks the button.
    void command(window::CommandButton *button);
    // Clicks the note with this ID in the list.
    void clickNote(qint64 id);
    // Clicks the list's item in `row` (0-based), sliding the list out first if it is closed and
    // scrolling to the item, as a person scrolls to a title below the last one shown.
    void clickItem(int row);

    const store::NoteStore notes;
    QTemporaryDir draftsHome;
    const store::DraftFolder drafts;
    testsupport::TestDesktop desktop;
    window::NoteWindow form;
    // Found by start() at the first frame: the window makes most of its controls only then.
    window::Controls ui;
};

// A test case of the note window. Before each test function: a fresh memo.mdb holding the first
// `notes` of the standard notes (noteTitle(), noteText()), the window over it started and, if
// asked, unrolled, with the pointer inside it. After each: no error report left unread (a test
// that expects one clears it), no database session left open.
class WindowTestCase : public QObject
{
    Q_OBJECT
public:
    struct Setup
    {
        int notes = 3;
        bool unrolled = true;
        // A sync folder of the test's own set for the database before the window starts.
        bool synced = false;
    };
    explicit WindowTestCase(Setup setup);
    ~WindowTestCase() override;

    static QString noteTitle(int index);
    static QString noteText(int index);

protected:
    WindowUnderTest &window() { return *m_window; }
    window::NoteWindow &form() { return m_window->form; }
    const window::Controls &ui() const { return m_window->ui; }
    const window::WindowState &state() const { return m_window->state(); }
    testsupport::TestDesktop &desktop() { return m_window->desktop; }
    testsupport::TestDatabase &db() { return *m_db; }
    // The IDs of the notes the database started with.
    const QList<qlonglong> &ids() const { return m_ids; }
    // The sync folder, when the set-up asks for one.
    QString syncFolder() const { return m_syncFolder ? m_syncFolder->path() : QString(); }
    // Starts afresh, inside a test function, with another set-up.
    void restart(Setup setup);

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

private:
    Setup m_setup;
    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_syncFolder;
    std::unique_ptr<WindowUnderTest> m_window;
    QList<qlonglong> m_ids;
};

} // namespace windowtest
